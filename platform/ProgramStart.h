// Starting an outside program without a shell and without waiting for it.
#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace qx {

// Runs `program` with the arguments (argv[0] is the program's path). The
// program gets a session of its own and none of the utility's open files
// beyond standard input, output and error; it is reaped when it ends. True
// when it was started.
bool StartProgram(const std::filesystem::path& program, std::span<const std::string> arguments);

}  // namespace qx
