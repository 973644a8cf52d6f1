#include "tests/common/RunProgram.h"

#include <csignal>

namespace qx::test {

ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const EnvironmentSettings& environment,
                         std::chrono::milliseconds timeout) {
    ProgramResult result;
    ChildProcess child;
    if (!child.Start(program, args, environment)) {
        result.err = "cannot start " + program.string();
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (child.ReadToEnd(result.out, result.err, timeout)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (const auto code = child.Wait(left)) {
            result.exitCode = *code;
            return result;
        }
    }
    result.timedOut = true;
    result.exitCode = child.Stop(SIGKILL);
    return result;
}

std::filesystem::path AppProgram(std::string_view name) {
    return std::filesystem::path(QX_APP_DIR) / name;
}

std::filesystem::path TestProgram(std::string_view name) {
    return std::filesystem::path(QX_TEST_BIN_DIR) / name;
}

}  // namespace qx::test
