// One program per folder, checked with a second process.
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "UFolderLock.h"

namespace {
// Runs in a child process: 0 when it could take the folder's lock.
int TryInChild(const std::string& folder, int holdFd = -1) {
    pid_t pid = fork();
    if (pid == 0) {
        TFolderLock lock;
        std::string error;
        bool ok = lock.Acquire(folder, error);
        if (holdFd >= 0) {
            char c = ok ? 'y' : 'n';
            (void)!write(holdFd, &c, 1);
            pause(); // held until killed: the system must release it
        }
        _exit(ok ? 0 : 1);
    }
    if (holdFd >= 0) return pid;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
} // namespace

TEST(FolderLock, ExcludesASecondProgramUntilTheFirstEnds) {
    TTempFolder folder;
    TFolderLock lock;
    std::string error;
    ASSERT_TRUE(lock.Acquire(folder.Path(), error)) << error;
    EXPECT_TRUE(lock.Held());
    EXPECT_EQ(TryInChild(folder.Path()), 1);

    // A second lock in the same process is refused as well, with a message.
    TFolderLock second;
    EXPECT_FALSE(second.Acquire(folder.Path(), error));
    EXPECT_NE(error.find(folder.Path()), std::string::npos);
    EXPECT_TRUE(second.HeldElsewhere());

    lock.Release();
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(TryInChild(folder.Path()), 0);

    // A holder that dies leaves nothing stale.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t holder = TryInChild(folder.Path(), fds[1]);
    char c = 0;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_FALSE(second.Acquire(folder.Path(), error));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(fds[0]);
    close(fds[1]);
    EXPECT_TRUE(second.Acquire(folder.Path(), error)) << error;
    EXPECT_FALSE(second.HeldElsewhere());

    // A folder that cannot hold the lock file is refused for that reason, not as one in use.
    TFolderLock elsewhere;
    EXPECT_FALSE(elsewhere.Acquire(folder.File("missing/folder"), error));
    EXPECT_FALSE(elsewhere.HeldElsewhere());
    EXPECT_NE(error.find("Cannot open"), std::string::npos);
}
