// The qxctl macro commands, run as the user runs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/macro/MacroTestSupport.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using namespace test;

struct Run {
    int status;
    std::string out;
};

Run Qxctl(const TempDir& dir, const std::string& args) {
    const std::string command = std::string(QX_APP_DIR) + "/qxctl --data-dir '" +
                                (dir / "data").string() + "' " + args + " 2>/dev/null";
    Run run{0, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    run.status = ::pclose(pipe);
    return run;
}

TEST(QxctlMacro, EncodeImportListShowExport) {
    TempDir dir;
    const auto file = dir / "reload.cfg";
    const auto record = Record(0x16ABCDEF, {Press(0x41), Pause(100), Release(0x41)}, u"Reload", 1);
    WriteBytes(file, record.get(), sizeof(MacroEntry));

    const std::string image = "000106048104" + std::string(1280 - 12, '0');
    const std::string expected = "length 33\nlengthByte 0x21\nimage " + image + "\n";
    EXPECT_EQ(Qxctl(dir, "macro encode --file '" + file.string() + "'").out, expected);

    EXPECT_EQ(Qxctl(dir, "macro import '" + file.string() + "'").status, 0);
    EXPECT_NE(Qxctl(dir, "macro import '" + file.string() + "'").status, 0);  // the id is stored
    EXPECT_EQ(Qxctl(dir, "macro encode 0x16ABCDEF").out, expected);
    EXPECT_EQ(Qxctl(dir, "macro encode 380358127").out, expected);  // the same id in decimal

    const auto list = Qxctl(dir, "macro list --json").out;
    EXPECT_EQ(list,
              "[{\"slot\":0,\"id\":\"0x16ABCDEF\",\"category\":22,\"name\":\"Reload\",\"events\":3,"
              "\"loopMode\":1}]\n");
    const auto show = Qxctl(dir, "macro show 0x16abcdef").out;
    EXPECT_NE(show.find("press     A\n"), std::string::npos) << show;
    EXPECT_NE(show.find("delay     100  ms\n"), std::string::npos) << show;
    EXPECT_NE(show.find("release   A\n"), std::string::npos) << show;

    const auto copy = dir / "copy.cfg";
    EXPECT_EQ(Qxctl(dir, "macro export 0x16ABCDEF '" + copy.string() + "'").status, 0);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(file));

    EXPECT_NE(Qxctl(dir, "macro show 0x16ABCDEE").status, 0);
    EXPECT_NE(Qxctl(dir, "macro show 12x").status, 0);
    EXPECT_NE(Qxctl(dir, "macro encode").status, 0);
}

TEST(QxctlMacro, UnreadableMacroFileStopsEveryCommand) {
    TempDir dir;
    const auto file = dir / "m.cfg";
    const auto record = Record(0x16ABCDEF, {Press(0x41)});
    WriteBytes(file, record.get(), sizeof(MacroEntry));
    std::filesystem::create_directories(dir / "data" / "Macro.cfg" / "in-the-way");

    EXPECT_NE(Qxctl(dir, "macro list").status, 0);
    EXPECT_NE(Qxctl(dir, "macro import '" + file.string() + "'").status, 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "Macro.cfg" / "in-the-way"));
}

}  // namespace
}  // namespace qx
