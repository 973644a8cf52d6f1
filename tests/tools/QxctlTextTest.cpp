// qxctl text: every language file of the installation gives a text of its own.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx::test {
namespace {

ProgramResult Text(const std::filesystem::path& qxctl, const TempDir& dir,
                   const std::string& language) {
    return RunProgram(qxctl, {"--data-dir", (dir / "data").string(), "text", "str_led_title",
                              "--lang", language});
}

TEST(QxctlText, EveryLanguageGivesATextOfItsOwn) {
    TempDir dir;
    std::set<std::string> seen;
    for (int language = 1; language <= 12; ++language) {
        const auto r = Text(AppProgram("qxctl"), dir, std::to_string(language));
        ASSERT_EQ(r.exitCode, 0) << language << ": " << r.err;
        EXPECT_GT(r.out.size(), 1u) << language;  // more than the newline
        EXPECT_TRUE(seen.insert(r.out).second) << language << " repeats " << r.out;
    }
}

// Also the numbers that a narrowing would bring into 1-12.
TEST(QxctlText, NumbersOutside1To12AreRefused) {
    TempDir dir;
    for (const std::string language : {"0", "13", "-1", "4294967297", "3x"}) {
        const auto r = Text(AppProgram("qxctl"), dir, language);
        EXPECT_NE(r.exitCode, 0) << language << " was accepted: " << r.out;
    }
}

TEST(QxctlText, WithoutTheLanguageFilesBesideItTheCommandFails) {
    TempDir dir;
    const auto lonely = dir / "qxctl";
    std::filesystem::copy_file(AppProgram("qxctl"), lonely);
    const auto r = Text(lonely, dir, "2");
    EXPECT_NE(r.exitCode, 0) << r.out;
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace qx::test
