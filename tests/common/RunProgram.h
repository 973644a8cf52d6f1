// The one way a test runs a program: arguments as given (never through a
// shell), the test's environment plus the settings given, both outputs and
// the exit code captured, and a deadline after which the program is killed.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/ChildProcess.h"

namespace qx::test {

struct ProgramResult {
    int exitCode = -1;  // 128 + the signal's number when a signal ended it
    std::string out;
    std::string err;
    bool timedOut = false;  // killed at the deadline
};

ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const EnvironmentSettings& environment = {},
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));

// A program of the build's installation folder (build/app).
std::filesystem::path AppProgram(std::string_view name);
// A helper program built for the tests (build/tests).
std::filesystem::path TestProgram(std::string_view name);

}  // namespace qx::test
