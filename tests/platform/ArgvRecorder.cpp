// Appends how it was started to the file named by QX_ARGV_RECORD, in one
// write: its arguments, its parent and session, and its open descriptors.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* record = std::getenv("QX_ARGV_RECORD");
    if (!record) return 2;
    std::string text = "run " + std::to_string(::getpid()) + " ppid " +
                       std::to_string(::getppid()) + " sid " + std::to_string(::getsid(0)) + "\n";
    for (int i = 0; i < argc; ++i) text += std::string("arg ") + argv[i] + "\n";
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(fds)) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || std::atoi(name.c_str()) == ::dirfd(fds)) continue;
            char target[PATH_MAX] = {};
            const std::string link = "/proc/self/fd/" + name;
            [[maybe_unused]] const auto n = ::readlink(link.c_str(), target, sizeof target - 1);
            text += "fd " + name + " " + target + "\n";
        }
        ::closedir(fds);
    }
    text += "end\n";
    const int out = ::open(record, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (out < 0) return 2;
    const bool written =
        ::write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(out);
    return written ? 0 : 2;
}
