// `tlwsim reg` and `tlwsim journal`: the console's view of the registry and
// the journal, run as real processes against a temporary device.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/journal.h"
#include "platform/last_error.h"
#include "platform/registry.h"
#include "support/temp_device.h"

namespace {

// What one run of the console printed and returned.
struct ConsoleRun {
    int code = -1;       // exit code
    std::string output;  // standard output
};

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class RegCommandTest : public ::testing::Test {
protected:
    // Runs "tlwsim COMMAND DIR ARGS..." with each argument quoted.
    ConsoleRun Run(const std::string& command, std::initializer_list<std::string> args) {
        std::string line = std::string(TLW_BIN_DIR) + "/tlwsim " + command + " " + ShellQuote(device_.Root().string());
        for (const std::string& a : args) line += " " + ShellQuote(a);
        line += " 2>/dev/null";
        ConsoleRun result;
        FILE* pipe = popen(line.c_str(), "r");
        if (!pipe) return result;
        char buffer[256];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
        int status = pclose(pipe);
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }
    ConsoleRun Reg(std::initializer_list<std::string> args) { return Run("reg", args); }

    TempDevice device_;
};

TEST_F(RegCommandTest, SetGetAndListEveryType) {
    const std::string key = "HKCU\\Software\\Korvel\\Tallowin";
    EXPECT_EQ(Reg({"set", key, "RunningProfile", "dword:700"}).code, 0);
    EXPECT_EQ(Reg({"set", key, "Big", "dword:0xFFFFFFFF"}).code, 0);
    EXPECT_EQ(Reg({"set", key, "RunningProfileName", "sz:Nacht \xc3\xbc"}).code, 0);
    EXPECT_EQ(Reg({"set", key, "Blob", "hex:01,A0 ff"}).code, 0);
    EXPECT_EQ(Reg({"set", key + "\\Sub"}).code, 0);

    EXPECT_EQ(Reg({"get", "hkey_current_user\\software\\korvel\\tallowin", "runningprofile"}).output, "700\n");
    EXPECT_EQ(Reg({"get", key, "Big"}).output, "4294967295\n");
    EXPECT_EQ(Reg({"get", key, "RunningProfileName"}).output, "Nacht \xc3\xbc\n");
    EXPECT_EQ(Reg({"get", key, "Blob"}).output, "01,a0,ff\n");
    ConsoleRun list = Reg({"list", key});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.output,
              "Sub\\\n"
              "Big=dword:4294967295\n"
              "Blob=hex:01,a0,ff\n"
              "RunningProfile=dword:700\n"
              "RunningProfileName=sz:Nacht \xc3\xbc\n");

    // This process reads what the console wrote.
    uint32_t value = 0;
    EXPECT_TRUE(plat::RegReadDword(plat::kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"RunningProfile", &value));
    EXPECT_EQ(value, 700u);
}

TEST_F(RegCommandTest, MissingKeysAndValuesFailWithExitOne) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\Test", u"Here", 1));
    ConsoleRun r = Reg({"get", "HKLM\\System\\Test", "Gone"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(Reg({"get", "HKLM\\System\\Nowhere", "Here"}).code, 1);
    EXPECT_EQ(Reg({"list", "HKLM\\System\\Nowhere"}).code, 1);
    EXPECT_EQ(Reg({"del", "HKLM\\System\\Test", "Gone"}).code, 1);
}

TEST_F(RegCommandTest, DeleteValueAndKey) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, u"A\\B\\C", u"x", 1));
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, u"A", u"y", 2));
    EXPECT_EQ(Reg({"del", "HKCU\\A", "Y"}).code, 0);
    EXPECT_EQ(Reg({"list", "HKCU\\A"}).output, "B\\\n");
    EXPECT_EQ(Reg({"del", "HKCU\\a\\b"}).code, 0);
    EXPECT_EQ(Reg({"list", "HKCU\\A"}).output, "");
    EXPECT_NE(Reg({"del", "HKCU"}).code, 0);
    EXPECT_EQ(Reg({"list", "HKCU"}).output, "A\\\n");
}

TEST_F(RegCommandTest, BadInputChangesNothing) {
    for (auto args : {std::initializer_list<std::string>{"set", "HKCU\\K", "v", "dword:-1"},
                      {"set", "HKCU\\K", "v", "dword:4294967296"},
                      {"set", "HKCU\\K", "v", "dword:12abc"},
                      {"set", "HKCU\\K", "v", "hex:0"},
                      {"set", "HKCU\\K", "v", "hex:zz"},
                      {"set", "HKCU\\K", "v", "700"},
                      {"set", "HKCU\\K", "v"},
                      {"set", "HKXY\\K", "v", "dword:1"},
                      {"get", "HKCU\\K"},
                      {"copy", "HKCU\\K"}}) {
        ConsoleRun r = Reg(args);
        EXPECT_NE(r.code, 0) << *(args.begin() + 1) << " " << *(args.end() - 1);
    }
    plat::HKey key = 0;
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, u"K", &key), plat::kErrorFileNotFound);
}

TEST_F(RegCommandTest, JournalPrintsEveryLine) {
    EXPECT_EQ(Run("journal", {}).output, "");
    plat::JournalAppend("sound played");
    plat::JournalAppend("radio wifi on");
    ConsoleRun r = Run("journal", {});
    EXPECT_EQ(r.code, 0);
    std::vector<std::string> lines = plat::JournalRead();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(r.output, lines[0] + "\n" + lines[1] + "\n");
    EXPECT_EQ(Run("journal", {"--tail"}).code, 2);
}

}  // namespace
