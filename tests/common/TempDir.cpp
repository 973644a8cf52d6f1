#include "tests/common/TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/Text.h"

namespace qx::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qx-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, text.data(), text.size());
}

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.string());
}

}  // namespace qx::test
