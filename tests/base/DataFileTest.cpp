#include "base/DataFile.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

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
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(ReadFilePrefix(dir / "folder", buffer).error, FileError::AccessDenied);
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
        ::_exit(WriteFileAtomic(path, big) == FileError::Other ? 0 : 1);
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

}  // namespace
}  // namespace qx
