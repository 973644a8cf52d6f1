// Runs a program of the installation folder and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace qx::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs QX_APP_DIR/<program> with the arguments (no shell involved).
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace qx::test
