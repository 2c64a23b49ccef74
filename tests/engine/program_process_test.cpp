// Process tests of a profile's program: started with its parameters,
// closed by the next activation, watched until it ends.
#include <gtest/gtest.h>

#include <signal.h>

#include "engine_process_fixture.h"

namespace {

class ProgramProcessTest : public EngineProcessTest {
protected:
    // Rewrites profile `index` of the configuration with extra keys and reloads.
    void SetProgram(int index, const std::string& flags) {
        std::string text = Tlwsim({"config", dir_, "read"}).output;
        size_t section = text.find("[profile" + std::to_string(index) + "]\n");
        ASSERT_NE(section, std::string::npos);
        auto set = [&](const std::string& key, const std::string& value) {
            size_t at = text.find("\n" + key + "=", section);
            size_t end = text.find('\n', at + 1);
            text.replace(at + 1, end - at - 1, key + "=" + value);
        };
        set("run_program", "1");
        set("program", "\\Program Files\\Demo\\Demo.exe");
        set("program_params", "hello world");
        set("auto_program", flags.find("auto") != std::string::npos ? "1" : "0");
        set("close_program", flags.find("close") != std::string::npos ? "1" : "0");
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        std::filesystem::create_directories(std::filesystem::path(dir_) / "My Documents" / "Korvel");
        std::ofstream(std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary) << crlf;
        SecondStart({"2262"});
    }
};

TEST_F(ProgramProcessTest, RememberedProgramIsClosedByTheNextActivation) {
    SetProgram(3, "close");
    SecondStart({"103"});
    ASSERT_TRUE(WaitUntil([&] { return Journal().find("ran hello world") != std::string::npos; }));
    EXPECT_NE(Journal().find("start \\Program Files\\Demo\\Demo.exe hello world"), std::string::npos);
    std::string pid = Registry("RunProcess");
    EXPECT_NE(pid, "0\n");
    SecondStart({"100"});
    EXPECT_TRUE(WaitUntil([&] { return Journal().find("closed") != std::string::npos; }));
    EXPECT_EQ(Registry("RunProcess"), "0\n");
}

TEST_F(ProgramProcessTest, WatchedProgramThatEndsBringsAReevaluation) {
    SetProgram(3, "auto");
    SecondStart({"103"});
    ASSERT_TRUE(WaitUntil([&] { return Journal().find("ran hello world") != std::string::npos; }));
    size_t before = Log().rfind("Processing parameter, Param:500");
    // The program ends on its own (the user closed it).
    plat::Hwnd window;
    ASSERT_TRUE(WaitUntil([&] { return bool(window = plat::FindWindow(nullptr, u"Demo")); }));
    uint32_t pid = 0;
    plat::GetWindowThreadProcessId(window, &pid);
    ASSERT_NE(pid, 0u);
    kill(static_cast<pid_t>(pid), SIGKILL);
    // The watch looks every 15 s.
    EXPECT_TRUE(WaitUntil([&] { return Log().rfind("Processing parameter, Param:500") != before; }));
}

}  // namespace
