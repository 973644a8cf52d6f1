// The build's virtual mouse (build/app/qx-virtual-mouse) as a process of its
// own, serving in a folder of the test's; its clients find it through
// ClientEnvironment(), or a VirtualHidBackend on the same folder.
#pragma once

#include <filesystem>

#include "emulator/VirtualMouseProcess.h"
#include "tests/common/RunProgram.h"

namespace qx::test {

using emu::ReadTrace;
using emu::TraceLine;

class VirtualMouse : public emu::VirtualMouseProcess {
public:
    explicit VirtualMouse(const std::filesystem::path& folder)
        : emu::VirtualMouseProcess(AppProgram("qx-virtual-mouse"), folder) {}
    VirtualMouse(const std::filesystem::path& folder, const std::filesystem::path& program)
        : emu::VirtualMouseProcess(program, folder) {}
};

}  // namespace qx::test
