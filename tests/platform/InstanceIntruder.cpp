// Another user's process against the single-instance lock. Run as root with
// --uid N it becomes that user first. One line of output per attempt:
//   squat FOLDER NAME  tries to take the name before the utility: the lock
//                      file, the socket, and the abstract name of old
//                      ("taken" or "refused" for each)
//   inject PATH        connects and sends a message that is not the wake
//                      ("sent" or "refused")
//   wake PATH          connects and sends the wake message ("sent" or "refused")
//   listen PATH        listens there for three seconds and says what came
//                      ("listening", then "got N" or "nothing")
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

sockaddr_un Address(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path + (abstract ? 1 : 0), path.c_str(), sizeof address.sun_path - 2);
    return address;
}

void Say(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
}

bool Send(const std::string& path, std::uint32_t message, std::uint64_t w, std::int64_t l) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = Address(path, false);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    std::uint8_t wire[20];
    for (int i = 0; i < 4; ++i) wire[i] = static_cast<std::uint8_t>(message >> (8 * i));
    for (int i = 0; i < 8; ++i) wire[4 + i] = static_cast<std::uint8_t>(w >> (8 * i));
    for (int i = 0; i < 8; ++i)
        wire[12 + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(l) >> (8 * i));
    const bool sent = ::send(fd, wire, sizeof wire, MSG_NOSIGNAL) == sizeof wire;
    ::close(fd);
    return sent;
}

int Listen(const std::string& path, bool abstract) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = Address(path, abstract);
    const socklen_t size =
        abstract ? static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size())
                 : static_cast<socklen_t>(sizeof address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    int arg = 1;
    if (argc > 2 && std::strcmp(argv[1], "--uid") == 0) {
        const auto uid = static_cast<uid_t>(std::atoi(argv[2]));
        if (::setgid(uid) != 0 || ::setuid(uid) != 0) return 3;
        arg = 3;
    }
    if (argc < arg + 2) return 2;
    const std::string command = argv[arg];
    const std::string path = argv[arg + 1];
    if (command == "squat" && argc >= arg + 3) {
        const std::string name = argv[arg + 2];
        ::mkdir(path.c_str(), 0777);
        const int lock = ::open((path + "/" + name + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
        Say(lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0 ? "taken" : "refused");
        Say(Listen(path + "/" + name, false) >= 0 ? "taken" : "refused");
        // The name of old, in the abstract namespace, which had no permissions.
        Say(Listen(name, true) >= 0 ? "taken" : "refused");
        ::sleep(static_cast<unsigned>(argc > arg + 3 ? std::atoi(argv[arg + 3]) : 0));
        return 0;
    }
    if (command == "inject") {
        Say(Send(path, 16, 57005, -1) ? "sent" : "refused");
        return 0;
    }
    if (command == "wake") {
        Say(Send(path, 1132, 0, 515) ? "sent" : "refused");
        return 0;
    }
    if (command == "listen") {
        const int fd = Listen(path, false);
        if (fd < 0) return 4;
        ::chmod(path.c_str(), 0666);
        Say("listening");
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 3000) <= 0) {
            Say("nothing");
            return 0;
        }
        const int client = ::accept(fd, nullptr, nullptr);
        char buffer[64];
        pollfd c{client, POLLIN, 0};
        ssize_t n = ::poll(&c, 1, 1000) > 0 ? ::recv(client, buffer, sizeof buffer, 0) : 0;
        Say(n > 0 ? ("got " + std::to_string(n)).c_str() : "nothing");
        return 0;
    }
    return 2;
}
