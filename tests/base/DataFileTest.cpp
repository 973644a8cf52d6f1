#include "base/DataFile.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <string>

#include <gtest/gtest.h>

#include "tests/common/TempDir.h"

namespace qx {
namespace {

using test::TempDir;

TEST(DataFile, ReadTellsTheReasonsApart) {
    TempDir dir;
    std::byte buffer[4];
    EXPECT_EQ(ReadFilePrefix(dir / "missing.cfg", buffer).error, FileError::FileNotFound);
    EXPECT_EQ(ReadFilePrefix(dir / "nofolder/x.cfg", buffer).error, FileError::PathNotFound);
}

// Anything but a regular file in a data file's place is refused at once: a
// FIFO without a writer would block the open or the read forever, a link loop
// made std::filesystem throw.
TEST(DataFile, SpecialFilesAreRefusedWithoutBlocking) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("loop", dir / "loop");
    std::filesystem::create_symlink("fifo", dir / "link-to-fifo");
    for (const std::filesystem::path& path :
         {dir / "folder", dir / "fifo", dir / "loop", dir / "link-to-fifo",
          std::filesystem::path("/dev/zero")}) {
        SCOPED_TRACE(path.string());
        std::byte buffer[4];
        EXPECT_EQ(ReadFilePrefix(path, buffer).error, FileError::NotAFile);
        std::vector<std::uint8_t> whole;
        EXPECT_EQ(ReadWholeFile(path, whole), FileError::NotAFile);
        EXPECT_EQ(CheckRegularFile(path), FileError::NotAFile);
    }
    const std::byte one[1] = {std::byte{1}};
    EXPECT_NE(WriteFileAtomic(dir / "fifo", one), FileError::None);
    EXPECT_NE(WriteFileAtomic(dir / "loop", one), FileError::None);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
}

TEST(DataFile, WholeReadIsBounded) {
    TempDir dir;
    test::WriteText(dir / "big", std::string(100, 'x'));
    std::vector<std::uint8_t> out;
    EXPECT_EQ(ReadWholeFile(dir / "big", out, 99), FileError::TooLarge);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReadWholeFile(dir / "big", out, 100), FileError::None);
    EXPECT_EQ(out.size(), 100u);
}

TEST(DataFile, ShortFileReadsAsFarAsItGoes) {
    TempDir dir;
    test::WriteText(dir / "short", "ab");
    std::byte buffer[4] = {std::byte{9}, std::byte{9}, std::byte{9}, std::byte{9}};
    const auto result = ReadFilePrefix(dir / "short", buffer);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.bytesRead, 2u);
    EXPECT_EQ(buffer[1], std::byte{'b'});
    EXPECT_EQ(buffer[2], std::byte{9});
}

TEST(DataFile, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
    TempDir dir;
    const auto path = dir / "ConfigInfo.cfg";
    test::WriteText(path, "old content that is longer");
    const std::string text = "new";
    ASSERT_EQ(WriteFileAtomic(path, std::as_bytes(std::span(text.data(), text.size()))),
              FileError::None);
    EXPECT_EQ(test::ReadBytes(path), std::vector<std::uint8_t>({'n', 'e', 'w'}));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(DataFile, AtomicWriteFailuresAreReported) {
    TempDir dir;
    const std::byte one[1] = {std::byte{1}};
    EXPECT_EQ(WriteFileAtomic(dir / "nofolder/x.cfg", one), FileError::PathNotFound);
    std::filesystem::create_directory(dir / "taken");
    EXPECT_EQ(WriteFileAtomic(dir / "taken", one), FileError::AccessDenied);
    EXPECT_EQ(WriteFileAtomic("/dev/null", one), FileError::AccessDenied);  // never replaced
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// A full disk: the write stops short and must be a failure that keeps the old file.
TEST(DataFile, ShortWriteFailsAndKeepsTheOldFile) {
    TempDir dir;
    const auto path = dir / "Macro.cfg";
    test::WriteText(path, "old");
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<std::byte> big(4000, std::byte{7});
        ::_exit(WriteFileAtomic(path, big) == FileError::TooLarge ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::ReadBytes(path), std::vector<std::uint8_t>({'o', 'l', 'd'}));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

std::span<const std::byte> Bytes(const std::string& text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

// A data file that is a link stays one: the new content lands at its end, in
// the target's folder, and the link's owner keeps pointing at it.
TEST(DataFile, AtomicWriteThroughALinkWritesItsTarget) {
    TempDir dir;
    std::filesystem::create_directory(dir / "elsewhere");
    test::WriteText(dir / "elsewhere/real.cfg", "old");
    std::filesystem::create_symlink("elsewhere/real.cfg", dir / "Macro.cfg");
    ASSERT_EQ(WriteFileAtomic(dir / "Macro.cfg", Bytes("new")), FileError::None);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Macro.cfg"));
    EXPECT_EQ(test::ReadBytes(dir / "elsewhere/real.cfg"),
              std::vector<std::uint8_t>({'n', 'e', 'w'}));
    // A dangling link creates its target.
    std::filesystem::create_symlink("elsewhere/later.cfg", dir / "Sts.cfg");
    ASSERT_EQ(WriteFileAtomic(dir / "Sts.cfg", Bytes("x")), FileError::None);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Sts.cfg"));
    EXPECT_EQ(test::ReadBytes(dir / "elsewhere/later.cfg"), std::vector<std::uint8_t>({'x'}));
}

TEST(DataFile, AtomicWriteKeepsTheModeAndCreatesPrivateFiles) {
    TempDir dir;
    test::WriteText(dir / "shared.cfg", "old");
    ::chmod((dir / "shared.cfg").c_str(), 0640);
    ASSERT_EQ(WriteFileAtomic(dir / "shared.cfg", Bytes("new")), FileError::None);
    ASSERT_EQ(WriteFileAtomic(dir / "fresh.cfg", Bytes("new")), FileError::None);
    ASSERT_EQ(CreateFolder(dir / "Profile"), FileError::None);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "shared.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat((dir / "fresh.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat((dir / "Profile").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A save killed half-way leaves one temporary file per target, which the next
// save reuses and the start-up tidy removes; the random names of older
// versions are removed too, files that merely look alike are not.
TEST(DataFile, KilledSavesLeaveOneTemporaryThatIsReusedOrRemoved) {
    TempDir dir;
    const auto path = dir / "Macro.cfg";
    test::WriteText(path, "old");
    test::WriteText(TemporaryFileFor(path), "half a save");
    ASSERT_EQ(WriteFileAtomic(path, Bytes("new")), FileError::None);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>({"Macro.cfg"}));

    test::WriteText(TemporaryFileFor(path), "half a save");
    test::WriteText(dir / "Macro.cfg.tmp0123456789abcdef", "old style");
    test::WriteText(dir / "notes.tmp", "kept");
    test::WriteText(dir / "Macro.cfg.tmp0123", "kept");
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.path()), 2);
    EXPECT_EQ(Names(dir.path()),
              std::vector<std::string>({"Macro.cfg", "Macro.cfg.tmp0123", "notes.tmp"}));
}

}  // namespace
}  // namespace qx
