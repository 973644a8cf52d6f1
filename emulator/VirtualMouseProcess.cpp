#include "emulator/VirtualMouseProcess.h"

#include <chrono>
#include <fstream>

namespace qx::emu {
namespace {

// The value of one key of a flat JSON object as written by the trace.
std::string Field(const std::string& text, const std::string& key) {
    const auto at = text.find("\"" + key + "\": ");
    if (at == std::string::npos) return {};
    auto start = at + key.size() + 4;
    if (text[start] == '"') {
        ++start;
        return text.substr(start, text.find('"', start) - start);
    }
    return text.substr(start, text.find_first_of(",}", start) - start);
}

}  // namespace

std::vector<TraceLine> ReadTrace(const std::filesystem::path& path) {
    std::vector<TraceLine> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        TraceLine t;
        t.tMs = std::stod(Field(line, "t_ms"));
        t.kind = Field(line, "kind");
        t.hex = Field(line, "hex");
        t.refused = Field(line, "refused") == "true";
        lines.push_back(t);
    }
    return lines;
}

VirtualMouseProcess::VirtualMouseProcess(std::filesystem::path program,
                                         std::filesystem::path folder)
    : program_(std::move(program)), folder_(std::move(folder)) {}

VirtualMouseProcess::~VirtualMouseProcess() {
    Stop();
}

EnvironmentSettings VirtualMouseProcess::ClientEnvironment() const {
    return {{"QX_VIRTUAL_HID_DIR", folder_.string()}};
}

bool VirtualMouseProcess::Start(const std::vector<std::string>& options,
                                const std::string& socketName) {
    std::vector<std::string> args = {"--socket", socketName};
    args.insert(args.end(), options.begin(), options.end());
    if (!process_.Start(program_, args, ClientEnvironment(), ChildProcess::Stream::Pipe,
                        ChildProcess::Stream::Discard))
        return false;
    // "serving PATH" comes once it listens; an end of output before that
    // means it gave up.
    const auto said = process_.ReadLine(std::chrono::seconds(5));
    if (said && said->find("serving") != std::string::npos) return true;
    Stop();
    return false;
}

int VirtualMouseProcess::Stop(int signal) {
    return process_.Stop(signal);
}

}  // namespace qx::emu
