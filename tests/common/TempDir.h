#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qx::test {

// A fresh folder below the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const void* data, std::size_t size);
void WriteText(const std::filesystem::path& path, const std::string& text);
// A path as the messages to the user show it.
std::u16string PathText(const std::filesystem::path& path);

}  // namespace qx::test
