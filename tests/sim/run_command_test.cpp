// `tlwsim run` and the programs a new device gets: a resident stand-in
// program found by its window and closed with WM_CLOSE, a program that ends
// with its exit code, and programs that cannot start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/process/process.h"
#include "platform/process/toolhelp.h"
#include "platform/kernel/wait.h"
#include "platform/window/window.h"
#include "sim/install_programs.h"
#include "support/run_program.h"
#include "support/temp_device.h"
#include "support/test_program.h"

namespace {

const bool g_actingAsProgram = ActAsDeviceProgramWhenStartedAsOne();

class RunCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::InstallPrograms(&error)) << error;
    }

    ProgramResult Run(std::initializer_list<std::string> args) {
        return TlwsimCommand("run", device_.Root().string(), args, ErrorStream::kCaptured);
    }

    // True when some journal line ends with text.
    static bool JournalHasLineEnding(const std::string& text) {
        for (const std::string& line : plat::JournalRead())
            if (line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0)
                return true;
        return false;
    }

    TempDevice device_;
};

TEST_F(RunCommandTest, NewDeviceGetsProgramLinksAndTheStartupShortcut) {
    std::filesystem::path bin = std::filesystem::canonical(TLW_BIN_DIR);
    const std::pair<const char*, const char*> links[] = {
        {"Windows/Tallowd.exe", "Tallowd"},
        {"Program Files/Korvel/Tallowin/Tlwconfig.exe", "Tlwconfig"},
        {"Windows/cprog.exe", "tlwprog"},
        {"Windows/repllog.exe", "tlwprog"},
        {"Windows/tfwifi.exe", "tlwprog"},
        {"Windows/tmail.exe", "tlwprog"},
        {"Program Files/FlexMail/flexmail.exe", "tlwprog"},
        {"Program Files/Demo/Demo.exe", "tlwprog"},
    };
    for (const auto& [file, target] : links) {
        std::filesystem::path link = device_.Root() / file;
        ASSERT_TRUE(std::filesystem::is_symlink(link)) << file;
        EXPECT_EQ(std::filesystem::read_symlink(link), bin / target) << file;
    }
    std::ifstream shortcut(device_.Root() / "Windows" / "StartUp" / "Tallowd.lnk", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(shortcut)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "22#\"\\Windows\\Tallowd.exe\"");
    // Installing again replaces the links instead of failing.
    std::string error;
    EXPECT_TRUE(sim::InstallPrograms(&error)) << error;
}

TEST_F(RunCommandTest, ResidentProgramKeepsRunningUntilItsWindowIsClosed) {
    ProgramResult run = Run({"\\Windows\\cprog.exe", "sync", "now please"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string prefix = "\\Windows\\cprog.exe resident, pid ";
    ASSERT_EQ(run.output.rfind(prefix, 0), 0u) << run.output;
    uint32_t pid = static_cast<uint32_t>(std::stoul(run.output.substr(prefix.size())));
    EXPECT_TRUE(JournalHasLineEnding(" start \\Windows\\cprog.exe sync now please"));
    EXPECT_TRUE(JournalHasLineEnding(" cprog ran sync now please"));

    plat::Hwnd window = plat::FindWindow(u"MSClog", u"MSClog");  // the call log's window
    ASSERT_TRUE(window);
    uint32_t owner = 0;
    plat::GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, pid);
    EXPECT_TRUE(plat::IsDeviceProcessAlive(pid));

    plat::Handle process = plat::OpenProcess(pid);
    ASSERT_TRUE(process);
    ASSERT_TRUE(plat::PostMessage(window, plat::WM_CLOSE, 0, 0));
    EXPECT_EQ(plat::WaitForSingleObject(process, 30000), plat::kWaitObject0);
    plat::CloseHandle(process);
    EXPECT_TRUE(JournalHasLineEnding(" cprog closed"));
    EXPECT_FALSE(plat::FindWindow(u"MSClog", nullptr));
}

TEST_F(RunCommandTest, ProgramThatEndsIsWaitedForWithItsExitCode) {
    ASSERT_TRUE(LinkTestProgram(u"\\Windows\\child.exe"));
    ProgramResult run = Run({"child", "exit", "9"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "exit code 9\n");
    TestProgramReport report;
    ASSERT_TRUE(ReadTestProgramReport(&report));
    EXPECT_EQ(report.commandLine, "exit 9");
}

TEST_F(RunCommandTest, ProgramsThatCannotStartAreReported) {
    EXPECT_EQ(Run({"\\Windows\\nothere.exe"}).exitCode, 1);
    std::filesystem::remove(device_.Root() / "Windows" / "child.exe");
    std::filesystem::create_symlink(device_.Root() / "never-built", device_.Root() / "Windows" / "child.exe");
    ProgramResult run = Run({"child"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(Run({}).exitCode, 2);
}

}  // namespace
