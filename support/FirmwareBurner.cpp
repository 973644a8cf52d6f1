#include "support/FirmwareBurner.h"

#include <string>

#include "platform/DesktopActions.h"

namespace qx {

bool SpawnFirmwareBurner::StartBurner(std::string_view argument) {
    return SpawnDetached({program_.string(), std::string(argument)});
}

}  // namespace qx
