#include "base/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace qx {
namespace {

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// ENOENT on open means the file or a folder on the way is missing; which one
// is told by whether the parent folder exists.
FileError ClassifyMissing(const std::filesystem::path& path) {
    std::error_code ec;
    const auto parent = path.parent_path();
    if (parent.empty() || std::filesystem::is_directory(parent, ec)) return FileError::FileNotFound;
    return FileError::PathNotFound;
}

FileError Classify(int error, const std::filesystem::path& path) {
    if (error == ENOENT) return ClassifyMissing(path);
    return FileErrorFromErrno(error);
}

}  // namespace

FileError FileErrorFromErrno(int error) {
    // clang-format off
    switch (error) {
        case 0: return FileError::None;
        case ENOENT: return FileError::FileNotFound;
        case ENOTDIR: return FileError::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return FileError::AccessDenied;
        default: return FileError::Other;
    }
    // clang-format on
}

ReadResult ReadFilePrefix(const std::filesystem::path& path, std::span<std::byte> out) {
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) return {Classify(errno, path), 0};
    struct stat st {};
    if (::fstat(f.fd, &st) == 0 && S_ISDIR(st.st_mode)) return {FileError::AccessDenied, 0};
    std::size_t total = 0;
    while (total < out.size()) {
        const ssize_t n = ::read(f.fd, out.data() + total, out.size() - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            return {FileError::Other, total};
        }
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    return {FileError::None, total};
}

FileError ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                        std::size_t maxBytes) {
    out.clear();
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) return Classify(errno, path);
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(f.fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EISDIR ? FileError::AccessDenied : FileError::Other;
        }
        if (n == 0) return FileError::None;
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) return FileError::Other;
        out.insert(out.end(), chunk, chunk + n);
    }
}

FileError WriteFileAtomic(const std::filesystem::path& path, std::span<const std::byte> data) {
    const auto parent = path.parent_path();
    std::error_code ec;
    if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
        return std::filesystem::exists(parent, ec) ? FileError::PathNotFound
                                                   : ClassifyMissing(path);
    }
    // The target itself must be writable, as it would be for an in-place write.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return FileErrorFromErrno(errno);
    // Only a regular file is ever replaced: a folder, device or pipe in the way
    // is refused as the open of a file would be.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return FileError::AccessDenied;

    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%016llx", static_cast<unsigned long long>(random()));
    std::filesystem::path temp = path;
    temp += suffix;

    Fd f{::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
    if (f.fd < 0) return Classify(errno, temp);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(f.fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::unlink(temp.c_str());
            return FileError::Other;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(f.fd) != 0 || ::close(f.fd) != 0) {
        f.fd = -1;
        ::unlink(temp.c_str());
        return FileError::Other;
    }
    f.fd = -1;
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return FileErrorFromErrno(error);
    }
    return FileError::None;
}

FileError CreateFolder(const std::filesystem::path& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return FileError::None;
    const int error = errno;
    std::error_code ec;
    if (error == EEXIST && std::filesystem::is_directory(path, ec)) return FileError::None;
    if (error == ENOENT) return FileError::PathNotFound;
    return FileErrorFromErrno(error);
}

}  // namespace qx
