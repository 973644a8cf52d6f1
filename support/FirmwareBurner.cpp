#include "support/FirmwareBurner.h"

#include <string>

#include "platform/ProgramStart.h"

namespace qx {

bool SpawnFirmwareBurner::StartBurner(std::string_view argument) {
    const std::string args[] = {std::string(argument)};
    return StartProgram(program_, args);
}

}  // namespace qx
