// The qxctl macro commands, run as the user runs them.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/MacroBuilder.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace test;

ProgramResult Qxctl(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", (dir / "data").string()});
    return RunProgram(AppProgram("qxctl"), args);
}

TEST(QxctlMacro, EncodeImportListShowExport) {
    TempDir dir;
    const auto file = dir / "reload.cfg";
    const auto record = Record(0x16ABCDEF, {Press(0x41), Pause(100), Release(0x41)}, u"Reload", 1);
    WriteBytes(file, record.get(), sizeof(MacroEntry));

    const std::string image = "000106048104" + std::string(1280 - 12, '0');
    const std::string expected = "length 33\nlengthByte 0x21\nimage " + image + "\n";
    EXPECT_EQ(Qxctl(dir, {"macro", "encode", "--file", file.string()}).out, expected);

    EXPECT_EQ(Qxctl(dir, {"macro", "import", file.string()}).exitCode, 0);
    EXPECT_NE(Qxctl(dir, {"macro", "import", file.string()}).exitCode, 0);  // the id is stored
    EXPECT_EQ(Qxctl(dir, {"macro", "encode", "0x16ABCDEF"}).out, expected);
    EXPECT_EQ(Qxctl(dir, {"macro", "encode", "380358127"}).out,
              expected);  // the same id in decimal

    const auto list = Qxctl(dir, {"macro", "list", "--json"}).out;
    EXPECT_EQ(list,
              "[{\"slot\":0,\"id\":\"0x16ABCDEF\",\"category\":22,\"name\":\"Reload\",\"events\":3,"
              "\"loopMode\":1}]\n");
    const auto show = Qxctl(dir, {"macro", "show", "0x16abcdef"}).out;
    EXPECT_NE(show.find("press     A\n"), std::string::npos) << show;
    EXPECT_NE(show.find("delay     100  ms\n"), std::string::npos) << show;
    EXPECT_NE(show.find("release   A\n"), std::string::npos) << show;

    const auto copy = dir / "copy.cfg";
    EXPECT_EQ(Qxctl(dir, {"macro", "export", "0x16ABCDEF", copy.string()}).exitCode, 0);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(file));

    EXPECT_NE(Qxctl(dir, {"macro", "show", "0x16ABCDEE"}).exitCode, 0);
    EXPECT_NE(Qxctl(dir, {"macro", "show", "12x"}).exitCode, 0);
    EXPECT_NE(Qxctl(dir, {"macro", "encode"}).exitCode, 0);
}

TEST(QxctlMacro, UnreadableMacroFileStopsEveryCommand) {
    TempDir dir;
    const auto file = dir / "m.cfg";
    const auto record = Record(0x16ABCDEF, {Press(0x41)});
    WriteBytes(file, record.get(), sizeof(MacroEntry));
    std::filesystem::create_directories(dir / "data" / "Macro.cfg" / "in-the-way");

    EXPECT_NE(Qxctl(dir, {"macro", "list"}).exitCode, 0);
    EXPECT_NE(Qxctl(dir, {"macro", "import", file.string()}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "Macro.cfg" / "in-the-way"));
}

}  // namespace
}  // namespace qx
