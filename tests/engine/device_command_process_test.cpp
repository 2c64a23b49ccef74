// Process tests: the 9xx commands handed to the running engine by a second
// start act on the simulated phone, seen through `tlwsim hw` and the
// journal: Wi-Fi, Bluetooth on both stacks, push mail, and the phone radio
// with and without a call.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine_process_fixture.h"
#include "platform/storage/device.h"
#include "platform/window/window.h"
#include "support/run_program.h"

namespace {

class DeviceCommandTest : public EngineProcessTest {
protected:
    void SetUp() override {}
    // A device of the model at a frozen time, the engine running on it.
    void StartOn(const std::string& model) {
        device_ = std::make_unique<SimDevice>(
            std::vector<std::string>{"--model", model, "--time", "2010-01-04T10:00:00", "--frozen"});
        ASSERT_TRUE(device_->Ready());
        dir_ = device_->Dir();
        ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "LogMode", "dword:5"}).exitCode, 0);
        ASSERT_TRUE(plat::SetDevice(dir_));
        ASSERT_EQ(Tlwsim({"run", dir_, "\\Windows\\Tallowd.exe"}).exitCode, 0);
        ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(u"Tallowd", nullptr)); }));
        ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    }
    std::string Fact(const std::string& key) {
        std::string out = Tlwsim({"hw", dir_}).output;
        size_t at = out.find("\n" + key + "=");
        if (at == std::string::npos) return out.rfind(key + "=", 0) == 0 ? out.substr(key.size() + 1, out.find('\n') - key.size() - 1) : "";
        at += key.size() + 2;
        return out.substr(at, out.find('\n', at) - at);
    }
    void Hw(const std::string& change) { ASSERT_EQ(Tlwsim({"hw", dir_, change}).exitCode, 0); }
    // The journal from the first line containing `from` on.
    std::string JournalSince(const std::string& from) {
        std::string journal = Journal();
        size_t at = journal.rfind(from);
        return at == std::string::npos ? std::string() : journal.substr(at);
    }
};

TEST_F(DeviceCommandTest, WifiCommandsSwitchAndToggleTheRadio) {
    StartOn("generic-qvga");
    ASSERT_EQ(Fact("wifi"), "off");
    SecondStart({"910"});
    EXPECT_EQ(Fact("wifi"), "on");
    SecondStart({"920"});
    EXPECT_EQ(Fact("wifi"), "off");
    SecondStart({"930"});
    EXPECT_EQ(Fact("wifi"), "on");
    SecondStart({"930"});
    EXPECT_EQ(Fact("wifi"), "off");
    std::string journal = Journal();
    EXPECT_NE(journal.find("Tallowd radio switch Wi-Fi on"), std::string::npos);
    EXPECT_NE(journal.find("Tallowd radio switch Wi-Fi off"), std::string::npos);
    EXPECT_NE(Log().find("Processing command, Param:930"), std::string::npos);
}

TEST_F(DeviceCommandTest, AWifiRadioBehindOemUtilIsSwitchedThroughIt) {
    StartOn("oemutil");
    SecondStart({"910"});
    EXPECT_EQ(Fact("wifi"), "on");
    EXPECT_NE(Journal().find("Tallowd OEMUtil SetWLANRadio 0: Wi-Fi on"), std::string::npos);
}

TEST_F(DeviceCommandTest, BluetoothCommandsOnThePlatformStack) {
    StartOn("generic-qvga");
    SecondStart({"911"});
    EXPECT_EQ(Fact("bt"), "on");
    SecondStart({"917"});
    EXPECT_EQ(Fact("bt"), "discoverable");
    SecondStart({"921"});
    EXPECT_EQ(Fact("bt"), "off");
}

TEST_F(DeviceCommandTest, BluetoothCommandsOnTheNewWidcommStackGoToItsTray) {
    StartOn("widcomm-191");
    ASSERT_TRUE(plat::FindWindow(u"WCE_BTTRAY", nullptr));  // started with the phone's programs
    // While the engine waits for the tray to answer it also answers what is
    // sent to it, so the sync may return before the last message: wait for it.
    SecondStart({"911"});
    ASSERT_TRUE(WaitUntil([&] {
        return JournalSince("BtTray WIDCOMM_WM_STACK_LOAD (2, 2)").find("BtTray WIDCOMM_WM_SETSTACKCONFIG (2, 2)") !=
               std::string::npos;
    })) << Journal();
    std::string sent = JournalSince("BtTray WIDCOMM_WM_STACK_LOAD (2, 2)");
    size_t config1 = sent.find("BtTray WIDCOMM_WM_SETSTACKCONFIG (1, 1)");
    EXPECT_LT(config1, sent.find("BtTray WIDCOMM_WM_SETSTACKCONFIG (2, 2)"));
    EXPECT_EQ(Fact("bt"), "on");
    SecondStart({"921"});
    ASSERT_TRUE(WaitUntil([&] {
        return JournalSince("BtTray WIDCOMM_WM_SETSTACKCONFIG (0, 0)").find("BtTray WIDCOMM_WM_STACK_UNLOAD (1, 1)") !=
               std::string::npos;
    })) << Journal();
    EXPECT_EQ(Fact("bt"), "off");
}

TEST_F(DeviceCommandTest, TheOlderWidcommStackIsPostedOneMessage) {
    StartOn("widcomm-142");
    SecondStart({"911"});
    ASSERT_TRUE(WaitUntil([&] { return Journal().find("BtTray WIDCOMM_WM_BTRADIO_ON (0, 0)") != std::string::npos; }));
    ASSERT_TRUE(WaitUntil([&] { return Fact("bt") == "on"; }));
    EXPECT_EQ(Journal().find("WIDCOMM_WM_STACK_LOAD"), std::string::npos);
}

TEST_F(DeviceCommandTest, PushMailOnStartsASynchronisationAndOffGoesManual) {
    StartOn("generic-qvga");
    SecondStart({"913"});
    EXPECT_EQ(Fact("pushinterval"), "push");
    EXPECT_EQ(Fact("push"), "on");
    ASSERT_TRUE(WaitUntil([&] { return Journal().find("repllog mail synchronised") != std::string::npos; }));
    SecondStart({"923"});
    EXPECT_EQ(Fact("pushinterval"), "manual");
    EXPECT_EQ(Fact("push"), "off");
    EXPECT_NE(Journal().find("value=\"0\"/>"), std::string::npos);
}

TEST_F(DeviceCommandTest, PhoneOffKeepsAnActiveCallAndOnComesBackThroughTheLine) {
    StartOn("generic-qvga");
    Hw("data=on");
    Hw("call=active");
    SecondStart({"922"});
    EXPECT_EQ(Fact("phone"), "on");
    EXPECT_EQ(Journal().find("radio switch phone off"), std::string::npos);
    EXPECT_EQ(Fact("data"), "off");  // the data calls are dropped all the same
    Hw("call=none");
    SecondStart({"922"});
    EXPECT_EQ(Fact("phone"), "off");
    EXPECT_NE(Journal().find("Tallowd radio switch phone off"), std::string::npos);
    // Back on through the line, with the PIN the configuration program
    // stored for a SIM that asks for it ("2468" in the short form).
    Hw("sim=locked:2468");
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "ProfileFlags", "dword:1074712119"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "ProfileFlags2", "dword:0"}).exitCode, 0);
    SecondStart({"912"});
    EXPECT_EQ(Fact("phone"), "on");
    EXPECT_EQ(Fact("sim"), "unlocked:2468");
    std::string on = JournalSince("Tallowd line 0 open, owner, media 0x10");
    EXPECT_NE(on.find("Tallowd line equipment state 5"), std::string::npos);
    EXPECT_NE(on.find("Tallowd SIM unlock: unlocked"), std::string::npos);
    EXPECT_NE(on.find("Tallowd network registration automatic: registered"), std::string::npos);

    // A damaged stored PIN is never offered.
    SecondStart({"922"});
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "ProfileFlags", "dword:4294967295"}).exitCode, 0);
    SecondStart({"912"});
    EXPECT_EQ(Fact("sim"), "locked:2468");
    EXPECT_NE(JournalSince("Tallowd line 0 open").find("network registration automatic: SIM locked"), std::string::npos);
}

}  // namespace
