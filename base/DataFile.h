// Raw reading and atomic writing of the data files. Failures are told apart the
// way the file handling of the utility needs: the file is missing, a folder on
// its path is missing, access is denied, or something else went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace qx {

enum class FileError {
    None,
    FileNotFound,
    PathNotFound,
    AccessDenied,
    Other,
};

FileError FileErrorFromErrno(int error);

struct ReadResult {
    FileError error = FileError::None;
    std::size_t bytesRead = 0;
    bool ok() const { return error == FileError::None; }
};

// Reads up to out.size() bytes from the start of the file; a short file reads
// as far as it goes and leaves the rest of `out` as it was.
ReadResult ReadFilePrefix(const std::filesystem::path& path, std::span<std::byte> out);

// Reads the whole file (bounded by maxBytes).
FileError ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                        std::size_t maxBytes = 64u << 20);

// Writes the bytes to a temporary file in the same folder, flushes it to disk
// and renames it over the target, so readers and crashes see either the old or
// the new file, never a part of one. A short write or a full disk is a failure.
FileError WriteFileAtomic(const std::filesystem::path& path, std::span<const std::byte> data);

// Creates one folder (not its parents); an existing folder is success.
FileError CreateFolder(const std::filesystem::path& path);

template <typename Record>
std::span<std::byte> AsWritableBytes(Record& record) {
    return std::as_writable_bytes(std::span<Record, 1>(&record, 1));
}
template <typename Record>
std::span<const std::byte> AsBytes(const Record& record) {
    return std::as_bytes(std::span<const Record, 1>(&record, 1));
}

}  // namespace qx
