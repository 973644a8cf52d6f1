// qxctl against what a data folder may hold besides its files: FIFOs, folders,
// link loops, hostile names, other writers at the same time.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/common/MacroBuilder.h"
#include "tests/common/RunProgram.h"
#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using namespace test;

ProgramResult Qxctl(const std::filesystem::path& data, std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data.string()});
    return RunProgram(AppProgram("qxctl"), args, {}, 10s);
}

// Makes `path` the given kind of thing that is not a regular file.
void PutInTheWay(const std::filesystem::path& path, const std::string& kind) {
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::remove_all(path);
    if (kind == "fifo")
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    else if (kind == "folder")
        std::filesystem::create_directory(path);
    else if (kind == "loop")
        std::filesystem::create_symlink(path.filename(), path);
    else if (kind == "device")
        std::filesystem::create_symlink("/dev/zero", path);
}

// Every command ends, none by a signal, whatever is in a data file's place.
TEST(QxctlIntegrity, SpecialFilesNeverHangOrAbort) {
    const std::vector<std::vector<std::string>> commands = {
        {"language"},        {"text", "str_led_title"}, {"profiles"},
        {"profile", "show"}, {"macro", "list"},         {"macro", "show", "0x16000001"}};
    for (const std::string file :
         {"Language.cfg", "Macro.cfg", "Profile/ConfigInfo.cfg", "Profile/Profile1.cfg"}) {
        for (const std::string kind : {"fifo", "folder", "loop", "device"}) {
            TempDir dir;
            const auto data = dir / "data";
            ASSERT_EQ(Qxctl(data, {"language"}).exitCode, 0);  // lays the folder down
            PutInTheWay(data / file, kind);
            for (const auto& command : commands) {
                const auto r = Qxctl(data, command);
                SCOPED_TRACE(file + " as " + kind + ": " + command[0] + " " +
                             (command.size() > 1 ? command[1] : ""));
                EXPECT_FALSE(r.timedOut);
                EXPECT_LT(r.exitCode, 128) << r.err;
            }
        }
    }
}

TEST(QxctlIntegrity, ArgumentsThatAreNotFilesAreRefusedAtOnce) {
    TempDir dir;
    const auto data = dir / "data";
    for (const std::string kind : {"fifo", "folder", "loop", "device"}) {
        const auto arg = dir / ("arg-" + kind);
        PutInTheWay(arg, kind);
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"macro", "import", arg.string()},
              std::vector<std::string>{"macro", "encode", "--file", arg.string()}}) {
            SCOPED_TRACE(kind + " " + command[1]);
            const auto r = Qxctl(data, command);
            EXPECT_FALSE(r.timedOut);
            EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
            EXPECT_NE(r.err.find(arg.string()), std::string::npos) << r.err;
        }
    }
}

// Several imports at once: each one's macro is in the table afterwards.
TEST(QxctlIntegrity, ParallelImportsLoseNoMacro) {
    TempDir dir;
    const auto data = dir / "data";
    constexpr int kImports = 6;
    std::vector<ProgramResult> results(kImports);
    std::vector<std::thread> threads;
    for (int i = 0; i < kImports; ++i) {
        const auto file = dir / ("m" + std::to_string(i) + ".cfg");
        const auto record = Record(0x16000001 + static_cast<std::uint32_t>(i), {Press(0x41)});
        WriteBytes(file, record.get(), sizeof(MacroEntry));
        threads.emplace_back([&results, i, data, file] {
            results[i] = Qxctl(data, {"macro", "import", file.string()});
        });
    }
    for (auto& t : threads) t.join();
    for (const auto& r : results) EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto list = Qxctl(data, {"macro", "list"}).out;
    for (int i = 0; i < kImports; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%X", 0x16000001 + i);
        EXPECT_NE(list.find(id), std::string::npos) << id << " lost:\n" << list;
    }
}

TEST(QxctlIntegrity, ImportRefusesWhatIsNotAMacroFile) {
    TempDir dir;
    const auto file = dir / "random.cfg";
    std::vector<std::uint8_t> noise(sizeof(MacroEntry));
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 37 + 11);
    WriteBytes(file, noise.data(), noise.size());
    const auto r = Qxctl(dir / "data", {"macro", "import", file.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(file.string() + " is an invaild Profile!"), std::string::npos) << r.err;
    EXPECT_EQ(Qxctl(dir / "data", {"macro", "list"}).out, "");
}

// Id 0 is an empty slot, not a macro.
TEST(QxctlIntegrity, IdZeroAndLanguageZeroAreRefused) {
    TempDir dir;
    const auto data = dir / "data";
    const auto file = dir / "m.cfg";
    const auto record = Record(0x16000001, {Press(0x41)});
    WriteBytes(file, record.get(), sizeof(MacroEntry));
    ASSERT_EQ(Qxctl(data, {"macro", "import", file.string()}).exitCode, 0);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"macro", "show", "0"},
          std::vector<std::string>{"macro", "export", "0", (dir / "out.cfg").string()},
          std::vector<std::string>{"macro", "encode", "0"},
          std::vector<std::string>{"macro", "encode", "0x16000001", "--language", "0"}}) {
        const auto r = Qxctl(data, command);
        EXPECT_EQ(r.exitCode, 1) << command[1] << " " << command[2] << ": " << r.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.cfg"));
}

TEST(QxctlIntegrity, NamesCannotControlTheTerminal) {
    TempDir dir;
    const auto file = dir / "m.cfg";
    const auto record = Record(0x16000001, {Press(0x41)}, u"\x1b]0;owned\x07\x1b[2Jred\u202e");
    WriteBytes(file, record.get(), sizeof(MacroEntry));
    ASSERT_EQ(Qxctl(dir / "data", {"macro", "import", file.string()}).exitCode, 0);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"macro", "list"},
          std::vector<std::string>{"macro", "show", "0x16000001"}}) {
        const auto out = Qxctl(dir / "data", command).out;
        EXPECT_EQ(out.find('\x1b'), std::string::npos) << command[1];
        EXPECT_EQ(out.find('\x07'), std::string::npos) << command[1];
        EXPECT_NE(out.find("\\x1b]0;owned\\x07\\x1b[2Jred\\u202e"), std::string::npos) << out;
    }
}

// A relative --data-dir would name another folder once the working folder changes.
TEST(QxctlIntegrity, RelativeDataFolderIsStoredAbsolute) {
    TempDir dir;
    const auto relative = std::filesystem::relative(dir / "data", std::filesystem::current_path());
    ASSERT_TRUE(relative.is_relative());
    const auto r = Qxctl(relative, {"profiles"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto absolute = std::filesystem::weakly_canonical(dir / "data").string();
    EXPECT_NE(r.out.find(absolute + "/Profile/Profile1.cfg"), std::string::npos) << r.out;
}

TEST(QxctlIntegrity, DataFolderOfOthersIsRefusedAndLeftAlone) {
    TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directory(data);
    ::chmod(data.c_str(), 0777);
    const auto r = Qxctl(data, {"profiles"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("can be written by other users"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(data));
}

// Without a stored language every command speaks English, text included.
TEST(QxctlIntegrity, TextWithoutAStoredLanguageIsEnglish) {
    TempDir dir;
    const auto english = Qxctl(dir / "data", {"text", "str_led_title", "--lang", "2"});
    ASSERT_EQ(english.exitCode, 0);
    std::filesystem::create_directories(dir / "empty");
    const auto stored = Qxctl(dir / "empty", {"text", "str_led_title"});
    EXPECT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_EQ(stored.out, english.out);
}

// A language file that cannot be used is said so, not printed as an empty text;
// one far larger than any language file is not read at all.
TEST(QxctlIntegrity, UnusableLanguageFilesFailTheTextCommand) {
    TempDir dir;
    const auto qxctl = dir / "app/qxctl";
    std::filesystem::create_directories(dir / "app/Language");
    std::filesystem::copy_file(AppProgram("qxctl"), qxctl);
    const auto english = dir / "app/Language/en.xml";
    struct Case {
        std::string content;
        const char* says;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?><root><other/></root>", "damaged"},
        {"\xff\xfe garbage", "damaged"},
        {"<root><config><str_led_title>" + std::string(5u << 20, 'x') +
             "</str_led_title></config></root>",
         "too large"},
    };
    for (const auto& c : cases) {
        WriteText(english, c.content);
        const auto start = std::chrono::steady_clock::now();
        const auto r = RunProgram(
            qxctl, {"--data-dir", (dir / "data").string(), "text", "str_led_title", "--lang", "2"});
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
        EXPECT_EQ(r.exitCode, 1) << c.says << ": " << r.out;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    PutInTheWay(english, "fifo");
    const auto r = RunProgram(
        qxctl, {"--data-dir", (dir / "data").string(), "text", "str_led_title", "--lang", "2"}, {},
        10s);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
}

}  // namespace
}  // namespace qx
