#include "platform/DesktopActions.h"

#include <canberra.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace qx {
namespace {

// One id for every sound, so that cancelling it cuts whatever still plays.
constexpr std::uint32_t kSoundId = 1;

// Where execve is tried for a program name, in order.
std::vector<std::string> ExecCandidates(const std::string& program) {
    if (program.find('/') != std::string::npos) return {program};
    std::string search;
    if (const char* path = std::getenv("PATH")) {
        search = path;
    } else {
        search.resize(::confstr(_CS_PATH, nullptr, 0));
        ::confstr(_CS_PATH, search.data(), search.size());
        search.resize(search.size() ? search.size() - 1 : 0);
    }
    std::vector<std::string> candidates;
    std::size_t start = 0;
    while (start <= search.size()) {
        const std::size_t end = std::min(search.find(':', start), search.size());
        const std::string folder = search.substr(start, end - start);
        candidates.push_back((folder.empty() ? std::string(".") : folder) + "/" + program);
        start = end + 1;
    }
    return candidates;
}

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void ExecChild(const std::vector<const char*>& candidates, char* const* argv,
                            char* const* envp, int report, int highestFd) {
    // Ignored signals stay ignored across exec, and the mask is inherited.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const int null = ::open("/dev/null", O_RDONLY);
    if (null > 0) {
        ::dup2(null, 0);
        ::close(null);
    }
    // Keep 0-2 and the report pipe; a descriptor the caller forgot to mark
    // close-on-exec must not outlive it in the program.
    if ((report > 3 && ::close_range(3, static_cast<unsigned>(report) - 1, 0) != 0) ||
        ::close_range(static_cast<unsigned>(report) + 1, ~0U, 0) != 0)
        for (int fd = 3; fd <= highestFd; ++fd)
            if (fd != report) ::close(fd);

    int error = ENOENT;
    for (const char* candidate : candidates) {
        ::execve(candidate, argv, envp);
        // Like execvp: a program found but not runnable is the error to tell.
        if (errno != ENOENT && errno != ENOTDIR) error = errno;
    }
    [[maybe_unused]] const auto ignored = ::write(report, &error, sizeof error);
    ::_exit(127);
}

class SystemDesktopActions final : public DesktopActions {
public:
    explicit SystemDesktopActions(std::string openCommand) : openCommand_(std::move(openCommand)) {}
    ~SystemDesktopActions() override {
        if (sound_) ca_context_destroy(sound_);
    }

    void PlaySoundFile(const std::filesystem::path& file) override {
        if (file.empty()) return;
        // Created at the first sound: a utility that plays none opens no audio.
        if (!sound_ && ca_context_create(&sound_) != CA_SUCCESS) {
            sound_ = nullptr;
            return;
        }
        std::error_code error;
        const auto absolute = std::filesystem::absolute(file, error);
        ca_proplist* properties = nullptr;
        if (error || ca_proplist_create(&properties) != CA_SUCCESS) return;
        ca_proplist_sets(properties, CA_PROP_MEDIA_FILENAME, absolute.c_str());
        ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
        ca_context_cancel(sound_, kSoundId);
        // Failures (no audio device, no such file, unknown format) stay silent.
        ca_context_play_full(sound_, kSoundId, properties, nullptr, nullptr);
        ca_proplist_destroy(properties);
    }

    void RunProgram(const std::filesystem::path& program) override {
        if (!program.empty()) SpawnDetached({program.string()});
    }

    void OpenPath(const std::filesystem::path& fileOrFolder) override {
        if (fileOrFolder.empty()) return;
        // An absolute path is never read as an option ("-x") or a URL ("http:x").
        std::error_code error;
        const auto absolute = std::filesystem::absolute(fileOrFolder, error);
        if (!error) SpawnDetached({openCommand_, absolute.string()});
    }

    void OpenUrl(std::string_view url) override {
        if (IsWebUrl(url)) SpawnDetached({openCommand_, std::string(url)});
    }

private:
    std::string openCommand_;
    ca_context* sound_ = nullptr;
};

}  // namespace

bool IsWebUrl(std::string_view url) {
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return false;
    std::string scheme;
    for (char c : url.substr(0, url.find(':')))
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t rest = url.find("://");
    return (scheme == "http" || scheme == "https") && rest == scheme.size() &&
           url.size() > rest + 3 && url[rest + 3] != '/';
}

bool SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return false;
    // Everything the child uses is prepared before the fork.
    const auto candidateTexts = ExecCandidates(argv[0]);
    std::vector<const char*> candidates;
    for (const auto& text : candidateTexts) candidates.push_back(text.c_str());
    std::vector<char*> arguments;
    for (const auto& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    rlimit limit{};
    const int highestFd = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536
                              ? static_cast<int>(limit.rlim_cur) - 1
                              : 65535;

    // The child reports a failed exec through the pipe; a successful exec
    // closes it (close-on-exec), so the parent reads nothing.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    int report = pipeFds[1];
    if (report < 3) {  // the child keeps 0-2 for itself
        report = ::fcntl(pipeFds[1], F_DUPFD_CLOEXEC, 3);
        ::close(pipeFds[1]);
        if (report < 0) {
            ::close(pipeFds[0]);
            return false;
        }
    }

    // Double fork: the middle child ends at once and is reaped here, the
    // program is adopted by init and leaves no zombie with us.
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        const pid_t child = ::fork();
        if (child == 0) ExecChild(candidates, arguments.data(), environ, report, highestFd);
        if (child < 0) {
            const int error = errno;
            [[maybe_unused]] const auto ignored = ::write(report, &error, sizeof error);
        }
        ::_exit(0);
    }
    ::close(report);
    bool started = false;
    if (middle > 0) {
        while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
        int error = 0;
        ssize_t n;
        while ((n = ::read(pipeFds[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        started = n == 0;
    }
    ::close(pipeFds[0]);
    return started;
}

std::unique_ptr<DesktopActions> MakeDesktopActions(std::string openCommand) {
    return std::make_unique<SystemDesktopActions>(std::move(openCommand));
}

std::unique_ptr<DesktopActions> MakeDesktopActions() {
    const char* command = std::getenv("QX_OPEN_COMMAND");
    return MakeDesktopActions(command && *command ? command : "xdg-open");
}

}  // namespace qx
