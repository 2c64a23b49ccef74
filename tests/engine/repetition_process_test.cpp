// Process tests of the repetition of missed-event sounds: a text message
// left on the screen is replayed by the running engine at growing
// intervals of device time until it is dismissed.
#include <gtest/gtest.h>

#include "engine_process_fixture.h"
#include "platform/message/message_loop.h"

namespace {

class RepetitionProcessTest : public EngineProcessTest {
protected:
    // Lets profile `index` repeat the text-message sound (event 2), with the
    // sound choice volMaster (2: full sound settings), and has the engine
    // reload its configuration.
    void RepeatTextMessages(int index, const char* volMaster = "2") {
        std::string text = Tlwsim({"config", dir_, "read"}).output;
        size_t section = text.find("[profile" + std::to_string(index) + "]\n");
        ASSERT_NE(section, std::string::npos);
        auto set = [&](const std::string& key, const std::string& value) {
            size_t at = text.find("\n" + key + "=", section);
            ASSERT_NE(at, std::string::npos) << key;
            size_t end = text.find('\n', at + 1);
            text.replace(at + 1, end - at - 1, key + "=" + value);
        };
        set("volMaster", volMaster);
        set("event_enabled", "0,0,1,0,0,0");
        set("repeat", "0,0,1,0,0,0");
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        std::filesystem::create_directories(std::filesystem::path(dir_) / "My Documents" / "Korvel");
        std::ofstream(std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary) << crlf;
        SecondStart({"2262"});  // TLWM_RELOAD, as the configuration program sends it
    }
    bool PendingWakeUp(const std::string& line) {
        return Tlwsim({"notify", dir_, "list"}).output.find(line) != std::string::npos;
    }
    // Device times at which the engine played a sound.
    std::vector<std::string> EngineSounds() {
        std::vector<std::string> times;
        std::istringstream lines(Journal());
        for (std::string line; std::getline(lines, line);)
            if (line.find(" Tallowd sound play \\Windows\\Notify.wav") != std::string::npos)
                times.push_back(line.substr(0, line.find(' ')));
        return times;
    }
};

TEST_F(RepetitionProcessTest, AMessageLeftOnScreenIsReplayedAtGrowingIntervalsUntilDismissed) {
    RepeatTextMessages(2);  // the day profile, running at 10:00 on a Monday
    ASSERT_EQ(Registry("RunningProfile"), "2\n");
    ProgramResult shown = Tlwsim({"notify", dir_, "show", "sms", "From Anna"});
    ASSERT_EQ(shown.exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return PendingWakeUp("2010-01-04T10:01:00 \\Windows\\Tallowd.exe 2264"); }));
    EXPECT_TRUE(EngineSounds().empty());  // the shell played the sound as the message came

    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "11m"}).exitCode, 0);
    EXPECT_EQ(EngineSounds(), (std::vector<std::string>{"2010-01-04T10:01:00", "2010-01-04T10:03:00",
                                                        "2010-01-04T10:06:00", "2010-01-04T10:10:00"}));
    EXPECT_TRUE(PendingWakeUp("2010-01-04T10:15:00 \\Windows\\Tallowd.exe 2264"));

    // A parameter in between reschedules the day but keeps the repetition.
    SecondStart({"500"});
    EXPECT_TRUE(PendingWakeUp("2010-01-04T10:15:00 \\Windows\\Tallowd.exe 2264"));

    ASSERT_EQ(Tlwsim({"notify", dir_, "dismiss", shown.output.substr(0, shown.output.size() - 1)}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return !PendingWakeUp(" 2264"); }));
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "30m"}).exitCode, 0);
    EXPECT_EQ(EngineSounds().size(), 4u);
    EXPECT_NE(Log().find("  Repeating alarm inactive"), std::string::npos);
}

TEST_F(RepetitionProcessTest, ASilentProfileRepeatsNothing) {
    RepeatTextMessages(4, "0");  // repeats, but is silent
    SecondStart({"104"});
    ASSERT_EQ(Registry("RunningProfile"), "4\n");
    ASSERT_EQ(Tlwsim({"notify", dir_, "show", "sms"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "5m"}).exitCode, 0);
    EXPECT_FALSE(PendingWakeUp(" 2264"));
    EXPECT_TRUE(EngineSounds().empty());
}

TEST_F(RepetitionProcessTest, ARestartedEngineRepeatsAMessageStillOnScreen) {
    RepeatTextMessages(2);
    ASSERT_EQ(Tlwsim({"notify", dir_, "show", "sms"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return PendingWakeUp("2010-01-04T10:01:00 \\Windows\\Tallowd.exe 2264"); }));
    // The engine is stopped (as the configuration program does) and started
    // again half a minute later.
    plat::Hwnd engine = plat::FindWindow(u"Tallowd", nullptr);
    ASSERT_TRUE(engine);
    ASSERT_TRUE(plat::PostMessage(engine, plat::WM_CLOSE, 0, 0));
    ASSERT_TRUE(WaitUntil([] { return !plat::FindWindow(u"Tallowd", nullptr); }));
    EXPECT_FALSE(PendingWakeUp(" 2264"));
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "30s"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"run", dir_, "\\Windows\\Tallowd.exe"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(u"Tallowd", nullptr)); }));
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_TRUE(PendingWakeUp("2010-01-04T10:01:30 \\Windows\\Tallowd.exe 2264"))
        << Tlwsim({"notify", dir_, "list"}).output << Log();
}

TEST_F(RepetitionProcessTest, ATreoBlinksItsLedWhileTheMessageIsShown) {
    // The same start as every engine test, on the Palm Treo 800w.
    device_ = std::make_unique<SimDevice>(
        std::vector<std::string>{"--model", "treo-800w", "--time", "2010-01-04T10:00:00", "--frozen"});
    ASSERT_TRUE(device_->Ready());
    dir_ = device_->Dir();
    ASSERT_TRUE(plat::SetDevice(dir_));
    ASSERT_EQ(Tlwsim({"run", dir_, "\\Windows\\Tallowd.exe"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(u"Tallowd", nullptr)); }));
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    RepeatTextMessages(2);

    auto led1 = [&] {
        std::string facts = Tlwsim({"hw", dir_}).output;
        size_t at = facts.find("led1=");
        return at == std::string::npos ? std::string() : facts.substr(at, facts.find('\n', at) - at);
    };
    ProgramResult shown = Tlwsim({"notify", dir_, "show", "sms"});
    ASSERT_EQ(shown.exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return led1() == "led1=blink"; }));
    ASSERT_EQ(Tlwsim({"notify", dir_, "dismiss", "sms"}).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return led1() == "led1=off"; }));
    EXPECT_NE(Journal().find(" Tallowd led 1 blink"), std::string::npos);
}

}  // namespace
