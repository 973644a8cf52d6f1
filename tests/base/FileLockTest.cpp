#include "base/FileLock.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/common/TempDir.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

// Another process holds the lock: a waiter is refused after its wait, and
// gets the lock once the holder is gone (a killed holder included).
TEST(FileLock, ExcludesOtherProcessesForABoundedWait) {
    TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        FileLock lock = LockDataFolder(dir.path(), 0ms);
        const char c = lock.held() ? 'y' : 'n';
        (void)!::write(ready[1], &c, 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    const auto start = std::chrono::steady_clock::now();
    FileLock second = LockDataFolder(dir.path(), 200ms);
    EXPECT_TRUE(second.busy());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    FileLock third = LockDataFolder(dir.path(), 0ms);
    EXPECT_TRUE(third.held());
    struct stat st {};
    ASSERT_EQ(::stat((dir / kDataLockFile).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(FileLock, ReleaseLetsTheNextOneInAndOddFilesNeverHang) {
    TempDir dir;
    FileLock first = LockDataFolder(dir.path(), 0ms);
    ASSERT_TRUE(first.held());
    EXPECT_TRUE(LockDataFolder(dir.path(), 0ms).busy());
    first.Release();
    EXPECT_TRUE(LockDataFolder(dir.path(), 0ms).held());

    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const FileLock onFifo = FileLock::Acquire(dir / "fifo", 0ms);  // must return at once
    (void)onFifo;
    EXPECT_EQ(LockDataFolder(dir / "missing-folder", 0ms).state(), FileLock::State::Unavailable);
}

}  // namespace
}  // namespace qx
