#include "base/DataFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

namespace qx {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkDepth = 40;  // as the kernel's own limit for a path
constexpr char kTemporarySuffix[] = ".qxtmp";

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// ENOENT on open means the file or a folder on the way is missing; which one
// is told by whether the parent folder exists.
FileError ClassifyMissing(const fs::path& path) {
    std::error_code ec;
    const auto parent = path.parent_path();
    if (parent.empty() || fs::is_directory(parent, ec)) return FileError::FileNotFound;
    return FileError::PathNotFound;
}

FileError Classify(int error, const fs::path& path) {
    if (error == ENOENT) return ClassifyMissing(path);
    return FileErrorFromErrno(error);
}

// Opens a regular file for reading without ever blocking: the type is looked
// at before the open (a device is never opened) and again after it (the name
// may have changed in between).
FileError OpenRegular(const fs::path& path, Fd& out) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Classify(errno, path);
    if (!S_ISREG(st.st_mode)) return FileError::NotAFile;
    out.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (out.fd < 0) return Classify(errno, path);
    if (::fstat(out.fd, &st) != 0) return FileError::Other;
    if (!S_ISREG(st.st_mode)) return FileError::NotAFile;
    return FileError::None;
}

// The name a write must go to: the path itself, or where its chain of
// symbolic links ends (which need not exist yet).
FileError ResolveLinks(const fs::path& path, fs::path& out) {
    fs::path current = path;
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) return Classify(errno, current);
            out = current;
            return FileError::None;
        }
        if (!S_ISLNK(st.st_mode)) {
            out = current;
            return FileError::None;
        }
        std::string text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
        if (n < 0) return FileErrorFromErrno(errno);
        text.resize(static_cast<std::size_t>(n));
        const fs::path link(text);
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return FileError::NotAFile;
}

bool SameFile(int fd, const fs::path& path) {
    struct stat byFd {
    }, byName{};
    return ::fstat(fd, &byFd) == 0 && ::lstat(path.c_str(), &byName) == 0 &&
           byFd.st_dev == byName.st_dev && byFd.st_ino == byName.st_ino;
}

// Opens and locks the target's temporary file. Another writer of the same
// target holds the lock until it has renamed the file; a name that no longer
// leads to the locked file (renamed or removed meanwhile) is opened again.
FileError LockTemporary(const fs::path& temp, std::chrono::milliseconds wait, Fd& out) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        Fd f{::open(temp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600)};
        if (f.fd < 0) {
            // Something that is not a file took the temporary name: clear it once.
            if ((errno == ELOOP || errno == ENXIO || errno == EISDIR) &&
                ::unlink(temp.c_str()) == 0)
                continue;
            return Classify(errno, temp);
        }
        struct stat st {};
        if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return FileError::NotAFile;
        if (::flock(f.fd, LOCK_EX | LOCK_NB) == 0) {
            if (SameFile(f.fd, temp)) {
                out.fd = f.fd;
                f.fd = -1;
                return FileError::None;
            }
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return FileError::Other;
        if (std::chrono::steady_clock::now() >= deadline) return FileError::Busy;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool WriteAll(int fd, std::span<const std::byte> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// "NAME.tmp" and sixteen hex digits: the random temporary names of earlier versions.
bool IsOldTemporaryName(const std::string& name) {
    const std::size_t at = name.size() >= 20 ? name.size() - 20 : std::string::npos;
    if (at == std::string::npos || at == 0 || name.compare(at, 4, ".tmp") != 0) return false;
    for (std::size_t i = at + 4; i < name.size(); ++i)
        if (!IsHex(name[i])) return false;
    return true;
}

bool IsTemporaryName(const std::string& name) {
    const std::size_t suffix = sizeof kTemporarySuffix - 1;
    return name.size() > suffix + 1 && name[0] == '.' && name.ends_with(kTemporarySuffix);
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
        case ELOOP:
        case ENXIO: return FileError::NotAFile;
        case EFBIG: return FileError::TooLarge;
        default: return FileError::Other;
    }
    // clang-format on
}

std::string_view FileErrorText(FileError error) {
    // clang-format off
    switch (error) {
        case FileError::None: return "no error";
        case FileError::FileNotFound: return "no such file";
        case FileError::PathNotFound: return "no such folder";
        case FileError::AccessDenied: return "access denied";
        case FileError::NotAFile: return "not a regular file";
        case FileError::TooLarge: return "too large";
        case FileError::Busy: return "in use by another program";
        case FileError::Other: return "read or write error";
    }
    // clang-format on
    return "error";
}

FileError CheckRegularFile(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Classify(errno, path);
    return S_ISREG(st.st_mode) ? FileError::None : FileError::NotAFile;
}

ReadResult ReadFilePrefix(const fs::path& path, std::span<std::byte> out) {
    Fd f;
    if (const FileError error = OpenRegular(path, f); error != FileError::None) return {error, 0};
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

FileError ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& out,
                        std::size_t maxBytes) {
    out.clear();
    Fd f;
    if (const FileError error = OpenRegular(path, f); error != FileError::None) return error;
    struct stat st {};
    if (::fstat(f.fd, &st) == 0 && static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return FileError::TooLarge;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(f.fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return FileError::Other;
        }
        if (n == 0) return FileError::None;
        // Sizes a file system reports may be wrong (sysfs says 4096): the bound
        // holds for what is read, too.
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
            out.clear();
            return FileError::TooLarge;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
}

fs::path TemporaryFileFor(const fs::path& target) {
    return target.parent_path() / ("." + target.filename().string() + kTemporarySuffix);
}

FileError WriteFileAtomic(const fs::path& path, std::span<const std::byte> data,
                          std::chrono::milliseconds wait) {
    fs::path target;
    if (const FileError error = ResolveLinks(path, target); error != FileError::None) return error;
    const auto parent = target.parent_path();
    std::error_code ec;
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        return fs::exists(parent, ec) ? FileError::PathNotFound : ClassifyMissing(target);
    }
    mode_t mode = 0600;
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing) {
        // Only a regular file is ever replaced: a folder, device or pipe in the
        // way is refused as the open of a file would be.
        if (!S_ISREG(old.st_mode)) return FileError::AccessDenied;
        // The target itself must be writable, as it would be for an in-place write.
        if (::access(target.c_str(), W_OK) != 0) return FileErrorFromErrno(errno);
        mode = old.st_mode & 07777;
    }

    const fs::path temp = TemporaryFileFor(target);
    Fd f;
    if (const FileError error = LockTemporary(temp, wait, f); error != FileError::None)
        return error;
    auto fail = [&](FileError error) {
        ::unlink(temp.c_str());  // still locked: nobody else writes it now
        return error;
    };
    if (::ftruncate(f.fd, 0) != 0) return fail(FileErrorFromErrno(errno));
    if (!WriteAll(f.fd, data)) return fail(errno == EFBIG ? FileError::TooLarge : FileError::Other);
    ::fchmod(f.fd, mode);
    // Whoever ran as another user (root, say) leaves the file to its owner.
    if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        if (::fchown(f.fd, old.st_uid, old.st_gid) != 0) {
            // Not allowed to: the file then belongs to whoever wrote it.
        }
    }
    if (::fsync(f.fd) != 0) return fail(FileError::Other);
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail(FileErrorFromErrno(errno));
    // The rename itself reaches the disk with the folder.
    Fd folder{::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0) ::fsync(folder.fd);
    return FileError::None;
}

int RemoveStaleTemporaryFiles(const fs::path& folder) {
    int removed = 0;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path path = it->path();
        const std::string name = path.filename().string();
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (IsOldTemporaryName(name)) {
            removed += ::unlink(path.c_str()) == 0;
        } else if (IsTemporaryName(name)) {
            // A writer that holds the file is still at work.
            Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK)};
            if (f.fd >= 0 && ::flock(f.fd, LOCK_EX | LOCK_NB) == 0 && SameFile(f.fd, path))
                removed += ::unlink(path.c_str()) == 0;
        }
    }
    return removed;
}

FileError CreateFolder(const fs::path& path) {
    if (::mkdir(path.c_str(), 0700) == 0) return FileError::None;
    const int error = errno;
    std::error_code ec;
    if (error == EEXIST && fs::is_directory(path, ec)) return FileError::None;
    if (error == ENOENT) return FileError::PathNotFound;
    return FileErrorFromErrno(error);
}

}  // namespace qx
