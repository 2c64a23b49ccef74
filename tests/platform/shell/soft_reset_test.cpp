// The Startup folder's shortcuts and the soft reset that restarts the
// device's programs, with host programs standing in for device programs.
#include "platform/shell/soft_reset.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/process/host_process.h"
#include "platform/storage/journal.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/power/power_state.h"
#include "platform/process/process.h"
#include "platform/shell/startup_programs.h"
#include "platform/process/toolhelp.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

TEST(ShortcutTest, CommandsAreReadFromTheFirstLine) {
    ShortcutCommand c;
    ASSERT_TRUE(ParseShortcut(u"23#\"\\Windows\\Tallowd.exe\"", &c));
    EXPECT_EQ(c.program, u"\\Windows\\Tallowd.exe");
    EXPECT_EQ(c.arguments, u"");
    ASSERT_TRUE(ParseShortcut(u"40#\"\\Program Files\\Demo\\Demo.exe\"  -a 1 \r\nnext line", &c));
    EXPECT_EQ(c.program, u"\\Program Files\\Demo\\Demo.exe");
    EXPECT_EQ(c.arguments, u"-a 1");
    ASSERT_TRUE(ParseShortcut(u"20#\\Windows\\cprog.exe 5", &c));
    EXPECT_EQ(c.program, u"\\Windows\\cprog.exe");
    EXPECT_EQ(c.arguments, u"5");
}

TEST(ShortcutTest, MalformedShortcutsAreRefused) {
    ShortcutCommand c;
    c.program = u"kept";
    for (std::u16string_view text : {u"", u"#\"\\a.exe\"", u"23\"\\a.exe\"", u"x3#\\a.exe", u"5#", u"5#   ",
                                     u"9#\"\\Windows\\a.exe", u"4#\"\"", u"12#\r\n\\a.exe"}) {
        EXPECT_FALSE(ParseShortcut(text, &c)) << std::string(text.begin(), text.end());
    }
    EXPECT_EQ(c.program, u"kept");
}

// A device with two programs played by /bin/sleep: one in the Startup
// folder (by shortcut) and one that is not.
class SoftResetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::path windows = device_.Root() / "Windows";
        std::filesystem::create_directories(windows / "StartUp");
        std::filesystem::create_symlink("/bin/sleep", windows / "Resident.exe");
        std::filesystem::create_symlink("/bin/sleep", windows / "Other.exe");
        std::ofstream(windows / "StartUp" / "Resident.lnk") << "26#\"\\Windows\\Resident.exe\" 30";
        std::ofstream(windows / "StartUp" / "notes.txt") << "not a program";
    }
    void TearDown() override {
        for (uint32_t pid : ProgramPids(u"")) ::kill(static_cast<pid_t>(pid), SIGKILL);
    }

    // Starts a program and waits (bounded) until the device lists it: just
    // after the start the new process may not yet show its environment.
    uint32_t Start(std::u16string_view program) {
        ProcessInformation info{};
        EXPECT_TRUE(CreateProcess(program, u"30", 0, &info));
        CloseHandle(info.thread);
        CloseHandle(info.process);
        WaitListed(program, info.processId);
        return info.processId;
    }
    void WaitListed(std::u16string_view program, uint32_t pid) {
        WaitUntil([&] {
            std::vector<uint32_t> pids = ProgramPids(program);
            return std::find(pids.begin(), pids.end(), pid) != pids.end();
        }, 5000);
    }

    // Running device programs with this path (every one for an empty path).
    std::vector<uint32_t> ProgramPids(std::u16string_view path) {
        std::vector<uint32_t> pids;
        Handle snapshot = CreateToolhelp32Snapshot(kTh32csSnapProcess, 0);
        ProcessEntry32 entry;
        for (bool more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (!entry.exePath.empty() && (path.empty() || entry.exePath == path)) pids.push_back(entry.processId);
        }
        CloseToolhelp32Snapshot(snapshot);
        return pids;
    }

    TempDevice device_;
};

TEST_F(SoftResetTest, StartupFolderListsItsShortcutsAndPrograms) {
    std::filesystem::create_symlink("/bin/sleep", device_.Root() / "Windows" / "StartUp" / "Direct.exe");
    std::vector<ShortcutCommand> commands = ListStartupCommands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].program, u"\\Windows\\StartUp\\Direct.exe");
    EXPECT_EQ(commands[1].program, u"\\Windows\\Resident.exe");
    EXPECT_EQ(commands[1].arguments, u"30");
}

TEST_F(SoftResetTest, RestartEndsEveryProgramAndStartsTheStartupFolder) {
    uint32_t resident = Start(u"\\Windows\\Resident.exe");
    uint32_t other = Start(u"\\Windows\\Other.exe");
    std::vector<uint32_t> started = RestartDevicePrograms();
    EXPECT_FALSE(HostProcessRunning(static_cast<pid_t>(resident)));
    EXPECT_FALSE(HostProcessRunning(static_cast<pid_t>(other)));
    ASSERT_EQ(started.size(), 1u);
    WaitListed(u"\\Windows\\Resident.exe", started[0]);
    EXPECT_EQ(ProgramPids(u"\\Windows\\Resident.exe"), started);
    EXPECT_TRUE(ProgramPids(u"\\Windows\\Other.exe").empty());
    // This process is not a device program and lives on.
    std::vector<std::string> lines = JournalRead();
    auto has = [&](const std::string& text) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has("reset ends \\Windows\\Resident.exe (" + std::to_string(resident) + ")"));
    EXPECT_TRUE(has("reset ends \\Windows\\Other.exe (" + std::to_string(other) + ")"));
}

TEST_F(SoftResetTest, ResetRequestRestartsThePrograms) {
    uint32_t resident = Start(u"\\Windows\\Resident.exe");
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateReset, 0), 0u);
    // The reset runs in a process of its own: wait (bounded) for its result.
    std::vector<uint32_t> now;
    WaitUntil([&] {
        now = ProgramPids(u"\\Windows\\Resident.exe");
        return now.size() == 1 && now[0] != resident;
    }, 20000);
    ASSERT_EQ(now.size(), 1u);
    EXPECT_NE(now[0], resident);
    EXPECT_FALSE(HostProcessRunning(static_cast<pid_t>(resident)));
    std::vector<std::string> lines = JournalRead();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[1].find(" power request reset"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" soft reset"), std::string::npos) << lines[2];
}

}  // namespace
