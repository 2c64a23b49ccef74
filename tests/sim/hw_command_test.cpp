// `tlwsim hw` run as a real process on a phone made by `tlwsim init`: the
// printed facts, changes reaching the registry and the power status, and
// refused changes leaving everything as it was.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "common/device/probes.h"
#include "platform/device.h"
#include "platform/registry.h"

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

class HwCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "tlw-hw-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        base_ = pattern;
        device_ = base_ / "phone";
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(base_, ec);
    }
    ConsoleRun Run(const std::string& command, std::initializer_list<std::string> args) {
        std::string line = std::string(TLW_BIN_DIR) + "/tlwsim " + command + " " + ShellQuote(device_.string());
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
    void Init(const std::string& model) {
        ConsoleRun init = Run("init", {"--model", model, "--time", "2010-01-01T12:00:00", "--frozen"});
        ASSERT_EQ(init.code, 0);
        ASSERT_TRUE(plat::SetDevice(device_));
    }
    std::map<std::string, std::string> Facts() {
        ConsoleRun run = Run("hw", {});
        EXPECT_EQ(run.code, 0);
        std::map<std::string, std::string> facts;
        size_t start = 0;
        while (start < run.output.size()) {
            size_t end = run.output.find('\n', start);
            std::string line = run.output.substr(start, end - start);
            size_t eq = line.find('=');
            EXPECT_NE(eq, std::string::npos) << line;
            if (eq != std::string::npos) facts[line.substr(0, eq)] = line.substr(eq + 1);
            start = end == std::string::npos ? run.output.size() : end + 1;
        }
        return facts;
    }

    std::filesystem::path base_;    // temporary folder holding the device
    std::filesystem::path device_;  // the device folder made by init
};

TEST_F(HwCommandTest, FreshPhonePrintsItsModelsStartingState) {
    Init("generic-qvga");
    std::map<std::string, std::string> facts = Facts();
    EXPECT_EQ(facts["ac"], "off");
    EXPECT_EQ(facts["battery"], "85");  // the model's starting charge
    EXPECT_EQ(facts["phone"], "on");
    EXPECT_EQ(facts["call"], "none");
    EXPECT_EQ(facts["wifi"], "off");
    EXPECT_EQ(facts["bt"], "off");
    EXPECT_EQ(facts.size(), 20u);
}

TEST_F(HwCommandTest, ChangesRoundTripAndReachTheProbes) {
    Init("generic-qvga");
    ASSERT_EQ(Run("hw", {"ac=on", "battery=40", "cradle=on", "headset=on", "phone=off", "wifi=on", "bt=discoverable",
                         "data=on", "push=on", "missed=3", "sms=2"})
                  .code,
              0);
    std::map<std::string, std::string> facts = Facts();
    EXPECT_EQ(facts["ac"], "on");
    EXPECT_EQ(facts["battery"], "40");
    EXPECT_EQ(facts["cradle"], "on");
    EXPECT_EQ(facts["phone"], "off");
    EXPECT_EQ(facts["wifi"], "on");
    EXPECT_EQ(facts["bt"], "discoverable");
    EXPECT_EQ(facts["missed"], "3");
    EXPECT_EQ(facts["sms"], "2");

    // The deliverables' probes see the same phone.
    EXPECT_TRUE(tlw::IsOnExternalPower());
    EXPECT_TRUE(tlw::IsCradled());
    EXPECT_TRUE(tlw::IsHeadsetConnected());
    EXPECT_FALSE(tlw::IsPhoneOn());
    EXPECT_TRUE(tlw::IsPushMailOn());
    EXPECT_TRUE(tlw::IsDataConnected());
    uint32_t missed = 0;
    ASSERT_TRUE(plat::RegReadDword(plat::kHkeyCurrentUser, u"System\\State\\Phone", u"Missed Call Count", &missed));
    EXPECT_EQ(missed, 3u);

    ASSERT_EQ(Run("hw", {"battery=unknown"}).code, 0);
    EXPECT_FALSE(tlw::IsOnExternalPower());
}

TEST_F(HwCommandTest, RefusedChangesChangeNothing) {
    Init("generic-qvga");
    std::map<std::string, std::string> before = Facts();
    EXPECT_NE(Run("hw", {"ac=on", "colour=red"}).code, 0);
    EXPECT_NE(Run("hw", {"ac=on", "battery=101"}).code, 0);
    EXPECT_NE(Run("hw", {"ac=on", "call=ringing"}).code, 0);
    EXPECT_NE(Run("hw", {"ac=on", "missed=-1"}).code, 0);
    EXPECT_NE(Run("hw", {"ac=on", "phone"}).code, 0);
    EXPECT_EQ(Facts(), before);
}

TEST_F(HwCommandTest, FactsFollowTheModelsHardware) {
    Init("widcomm-142");
    EXPECT_NE(Run("hw", {"bt=discoverable"}).code, 0);  // the WIDCOMM stack has no discoverable mode here
    ASSERT_EQ(Run("hw", {"bt=on"}).code, 0);
    EXPECT_EQ(Facts()["bt"], "on");
    uint32_t stackMode = 0;
    ASSERT_TRUE(plat::RegReadDword(plat::kHkeyLocalMachine, u"SOFTWARE\\Widcomm\\BtConfig\\General", u"StackMode",
                                   &stackMode));
    EXPECT_EQ(stackMode, 1u);
}

TEST_F(HwCommandTest, PhonelessModelHasNoPhoneFacts) {
    Init("axim");
    std::map<std::string, std::string> facts = Facts();
    EXPECT_EQ(facts["phone"], "absent");
    EXPECT_EQ(facts["call"], "absent");
    EXPECT_NE(Run("hw", {"phone=on"}).code, 0);
}

}  // namespace
