// The firmware burner, an outside program under appFolder/FWUpdate. It takes
// one argument: "1" for Chinese texts, "0" otherwise.
#pragma once

#include <filesystem>
#include <string_view>

namespace qx {

class FirmwareBurner {
public:
    virtual ~FirmwareBurner() = default;
    // True when the burner was started.
    virtual bool StartBurner(std::string_view argument) = 0;
};

// Starts the program directly (no shell) and does not wait for it.
class SpawnFirmwareBurner final : public FirmwareBurner {
public:
    explicit SpawnFirmwareBurner(std::filesystem::path program) : program_(std::move(program)) {}
    bool StartBurner(std::string_view argument) override;

private:
    std::filesystem::path program_;
};

inline std::string_view BurnerArgument(bool chineseMode) {
    return chineseMode ? "1" : "0";
}

}  // namespace qx
