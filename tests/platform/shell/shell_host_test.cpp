// The shell host's claim on the device: one live host at a time, given up on
// release or with the process's end, and no file beside the store.
#include "platform/shell/shell_host.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_device.h"

namespace {

using namespace plat;

// Runs fn in a forked child; its exit code.
template <typename Fn>
int InChild(Fn fn) {
    pid_t pid = fork();
    if (pid == 0) _exit(fn());
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(ShellHost, OneLiveHostAtATimeAndAClaimEndsWithItsProcess) {
    TempDevice device;
    int32_t holder = -1;
    ASSERT_TRUE(ClaimShellHost(&holder));
    EXPECT_EQ(holder, 0);
    EXPECT_TRUE(ClaimShellHost());  // its own claim again
    // Another process finds it claimed, and by whom.
    EXPECT_EQ(InChild([] {
                  int32_t other = 0;
                  return !ClaimShellHost(&other) && other == getppid() ? 0 : 1;
              }),
              0);
    ReleaseShellHost();
    // Released: a child claims it and ends without giving it up; the claim
    // of an ended process does not count.
    EXPECT_EQ(InChild([] { return ClaimShellHost() ? 0 : 1; }), 0);
    EXPECT_TRUE(ClaimShellHost(&holder));
    ReleaseShellHost();
    for (const auto& entry : std::filesystem::directory_iterator(device.StateDir()))
        EXPECT_EQ(entry.path().filename().string().rfind("device.db", 0), 0u) << entry.path();
}

}  // namespace
