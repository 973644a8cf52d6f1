// Raw reading and atomic writing of the data files. Failures are told apart the
// way the file handling of the utility needs: the file is missing, a folder on
// its path is missing, access is denied, the name is not a regular file, or
// something else went wrong.
//
// Only regular files are read or replaced (after following symbolic links):
// a FIFO, a device, a folder or a link loop in a data file's place is refused
// at once instead of hanging or ending the program.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace qx {

enum class FileError {
    None,
    FileNotFound,
    PathNotFound,
    AccessDenied,
    NotAFile,  // a folder, FIFO, device or socket, or a loop of symbolic links
    TooLarge,  // more than the reader's bound
    Busy,      // another program kept the file locked for the whole wait
    Other,
};

FileError FileErrorFromErrno(int error);
// A few words for messages of the command line ("not a regular file").
std::string_view FileErrorText(FileError error);
inline bool IsMissing(FileError error) {
    return error == FileError::FileNotFound || error == FileError::PathNotFound;
}

struct ReadResult {
    FileError error = FileError::None;
    std::size_t bytesRead = 0;
    bool ok() const { return error == FileError::None; }
};

// None when the path names a regular file (links followed), else why not.
FileError CheckRegularFile(const std::filesystem::path& path);

// Reads up to out.size() bytes from the start of the file; a short file reads
// as far as it goes and leaves the rest of `out` as it was.
ReadResult ReadFilePrefix(const std::filesystem::path& path, std::span<std::byte> out);

// Reads the whole file; a file above maxBytes is TooLarge and nothing is read.
FileError ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                        std::size_t maxBytes = 64u << 20);

// Writes the bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target, so readers and crashes see either the
// old or the new file, never a part of one. A short write or a full disk is a
// failure that leaves the old file as it was.
//  - A target that is a symbolic link is written at the link's end, so the
//    link stays and its target gets the new content.
//  - The new file keeps the permission bits of the file it replaces; a new
//    file gets 0600.
//  - The temporary file has a fixed name per target (".NAME.qxtmp") and is
//    locked while it is written: writers of one target take turns (waiting
//    at most `wait`, else Busy), and one killed half-way leaves a single
//    file that the next save reuses.
inline constexpr std::chrono::milliseconds kTemporaryFileWait{10000};
FileError WriteFileAtomic(const std::filesystem::path& path, std::span<const std::byte> data,
                          std::chrono::milliseconds wait = kTemporaryFileWait);

// The temporary file WriteFileAtomic uses for a target (links not followed).
std::filesystem::path TemporaryFileFor(const std::filesystem::path& target);

// Removes the temporary files that killed saves left in the folder: the
// fixed-name ones no writer holds, and the randomly named "NAME.tmpXXXXXXXXXXXXXXXX"
// of earlier versions. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

// Creates one folder (not its parents) with mode 0700; an existing folder is
// success.
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
