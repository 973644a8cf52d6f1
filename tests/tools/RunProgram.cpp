#include "tests/tools/RunProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/TempDir.h"

namespace qx::test {
namespace {
std::string Slurp(const std::filesystem::path& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    TempDir capture;
    const auto outPath = capture / "out", errPath = capture / "err";
    const std::string path = std::string(QX_APP_DIR) + "/" + program;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ProgramResult result;
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    return result;
}

}  // namespace qx::test
