// The menu library is taken only with all three of its entry points.
#include "base/MenuLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qx {
namespace {

const std::filesystem::path kBin = QX_TEST_BIN_DIR;

TEST(MenuLibrary, NeedsAllThreeEntryPoints) {
    EXPECT_NE(MenuLibrary::Load(kBin / "menuex_complete/MenuEx.so"), nullptr);
    EXPECT_EQ(MenuLibrary::Load(kBin / "menuex_incomplete/MenuEx.so"), nullptr);
    EXPECT_EQ(MenuLibrary::Load(kBin / "no-such-folder/MenuEx.so"), nullptr);
}

}  // namespace
}  // namespace qx
