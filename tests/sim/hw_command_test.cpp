// `tlwsim hw` run as a real process on a phone made by `tlwsim init`: the
// printed facts, changes reaching the registry and the power status, and
// refused changes leaving everything as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/device/probes.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"
#include "platform/storage/registry.h"
#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

class HwCommandTest : public ::testing::Test {
protected:
    ProgramResult Run(const std::string& command, std::initializer_list<std::string> args) {
        return TlwsimCommand(command, device_->Dir(), args, ErrorStream::kCaptured);
    }
    void Init(const std::string& model) {
        device_ = std::make_unique<SimDevice>(
            std::vector<std::string>{"--model", model, "--time", "2010-01-01T12:00:00", "--frozen"});
        ASSERT_TRUE(device_->Ready());
        ASSERT_TRUE(plat::SetDevice(device_->Dir()));
    }
    std::map<std::string, std::string> Facts() {
        ProgramResult run = Run("hw", {});
        EXPECT_EQ(run.exitCode, 0);
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

    std::unique_ptr<SimDevice> device_;  // the phone, made by Init
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
    EXPECT_EQ(facts["cell"], "none");
    EXPECT_EQ(facts["sim"], "ready");
    EXPECT_EQ(facts["ap"], "none");
    EXPECT_EQ(facts["pushinterval"], "manual");
    EXPECT_EQ(facts["proxy"], "none");
    EXPECT_EQ(facts["led0"], "off");
    EXPECT_EQ(facts["led1"], "off");
    EXPECT_EQ(facts.size(), 35u);
}

TEST_F(HwCommandTest, ChangesRoundTripAndReachTheProbes) {
    Init("generic-qvga");
    ASSERT_EQ(Run("hw", {"ac=on", "battery=40", "cradle=on", "headset=on", "phone=off", "wifi=on", "bt=discoverable",
                         "data=on", "push=on", "missed=3", "sms=2"})
                  .exitCode,
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

    ASSERT_EQ(Run("hw", {"battery=unknown"}).exitCode, 0);
    EXPECT_FALSE(tlw::IsOnExternalPower());
}

TEST_F(HwCommandTest, RefusedChangesChangeNothing) {
    Init("generic-qvga");
    std::map<std::string, std::string> before = Facts();
    EXPECT_NE(Run("hw", {"ac=on", "colour=red"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "battery=101"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "call=ringing"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "missed=-1"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "phone"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "volume=6"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "sound=loud"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "orientation=45"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ac=on", "power=unattended"}).exitCode, 0);
    EXPECT_EQ(Facts(), before);
}

TEST_F(HwCommandTest, FactsFollowTheModelsHardware) {
    Init("widcomm-142");
    EXPECT_NE(Run("hw", {"bt=discoverable"}).exitCode, 0);  // the WIDCOMM stack has no discoverable mode here
    ASSERT_EQ(Run("hw", {"bt=on"}).exitCode, 0);
    EXPECT_EQ(Facts()["bt"], "on");
    uint32_t stackMode = 0;
    ASSERT_TRUE(plat::RegReadDword(plat::kHkeyLocalMachine, u"SOFTWARE\\Widcomm\\BtConfig\\General", u"StackMode",
                                   &stackMode));
    EXPECT_EQ(stackMode, 1u);
}

TEST_F(HwCommandTest, AccessPointsAreAddedReplacedRemovedAndCleared) {
    Init("generic-qvga");
    ASSERT_EQ(Run("hw", {"ap+=00:1a:2b:3c:4d:5e,Home,-55,6", "ap+=02:00:00:00:00:01,Cafe,-70,2437000,privacy,adhoc"})
                  .exitCode,
              0);
    ASSERT_EQ(Run("hw", {"ap+=00:1A:2B:3C:4D:5E,Home,-40,11,privacy"}).exitCode, 0);  // same MAC: replaced
    std::string output = Run("hw", {}).output;
    EXPECT_NE(output.find("\nap=00:1A:2B:3C:4D:5E,Home,-40,11,privacy\nap=02:00:00:00:00:01,Cafe,-70,2437000,privacy,adhoc\n"),
              std::string::npos)
        << output;
    EXPECT_NE(Run("hw", {"ap-=00:1A:2B:3C:4D:5E", "ap+=00:1A:2B:3C:4D:5E,Home,-40,15"}).exitCode, 0);  // channel 15
    EXPECT_NE(Run("hw", {"ap+=00:1A:2B:3C:4D,Home,-40,6"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ap+=00:1A:2B:3C:4D:5F,ThisNameIsLongerThanThirtyTwoBytes!,-40,6"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"ap=all"}).exitCode, 0);
    EXPECT_EQ(Run("hw", {}).output, output);  // refused changes changed nothing
    ASSERT_EQ(Run("hw", {"ap-=00:1A:2B:3C:4D:5E"}).exitCode, 0);
    EXPECT_EQ(Run("hw", {}).output.find("Home"), std::string::npos);
    ASSERT_EQ(Run("hw", {"ap=none"}).exitCode, 0);
    EXPECT_EQ(Facts()["ap"], "none");
}

TEST_F(HwCommandTest, ASimLockedWithAPinAsksForIt) {
    Init("generic-qvga");
    ASSERT_EQ(Run("hw", {"sim=locked:1234"}).exitCode, 0);
    EXPECT_EQ(Facts()["sim"], "locked:1234");
    EXPECT_NE(Run("hw", {"sim=locked:12"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"sim=open"}).exitCode, 0);
    ASSERT_EQ(Run("hw", {"sim=ready"}).exitCode, 0);
    EXPECT_EQ(Facts()["sim"], "ready");
}

TEST_F(HwCommandTest, PhonelessModelHasNoPhoneFacts) {
    Init("axim");
    std::map<std::string, std::string> facts = Facts();
    EXPECT_EQ(facts["phone"], "absent");
    EXPECT_EQ(facts["call"], "absent");
    EXPECT_EQ(facts["sim"], "absent");
    EXPECT_NE(Run("hw", {"phone=on"}).exitCode, 0);
    EXPECT_NE(Run("hw", {"sim=locked:1234"}).exitCode, 0);
}

TEST_F(HwCommandTest, SoundBacklightOrientationAndPowerRoundTrip) {
    Init("ipaq");
    std::map<std::string, std::string> facts = Facts();
    EXPECT_EQ(facts["sound"], "on");
    EXPECT_EQ(facts["volume"], "3");  // the panel's starting volume
    EXPECT_EQ(facts["brightness"], "14");  // the model's, on the utility's scale
    EXPECT_EQ(facts["power"], "on");
    ASSERT_EQ(Run("hw", {"sound=vibrate", "volume=1", "ringer=4", "callvolume=2", "brightness=7", "orientation=270",
                         "power=idle", "led1=blink"})
                  .exitCode,
              0);
    EXPECT_NE(Run("hw", {"led0=flash"}).exitCode, 0);
    facts = Facts();
    EXPECT_EQ(facts["led1"], "blink");
    EXPECT_EQ(facts["led0"], "off");
    EXPECT_EQ(facts["sound"], "vibrate");
    EXPECT_EQ(facts["volume"], "1");
    EXPECT_EQ(facts["ringer"], "4");
    EXPECT_EQ(facts["callvolume"], "2");
    EXPECT_EQ(facts["brightness"], "7");
    EXPECT_EQ(facts["orientation"], "270");
    EXPECT_EQ(facts["power"], "idle");
    uint32_t volume = 0;
    ASSERT_TRUE(plat::RegReadDword(plat::kHkeyCurrentUser, u"ControlPanel\\Volume", u"Volume", &volume));
    EXPECT_EQ(volume, 0x33333333u);
    std::string journal = Run("journal", {}).output;
    EXPECT_NE(journal.find("display orientation 270"), std::string::npos);
    EXPECT_NE(journal.find("power idle"), std::string::npos);
    EXPECT_NE(journal.find("led 1 blink"), std::string::npos);
}

// A disk that takes no more writes: every kind of change (the hardware table,
// a registry fact, the power manager, the display, the access points) says
// why in one line and exits 1; what was set before stays, and once there is
// room again the console changes the facts as before.
TEST_F(HwCommandTest, AFullDiskIsNamedInOneLineAndLosesNothing) {
    Init("generic-qvga");
    ASSERT_EQ(Run("hw", {"ac=on", "cradle=on", "sms=2"}).exitCode, 0);
    // The store stays open in this process, as on a running phone, so the
    // console opens it and fails only when it writes.
    std::string problem;
    ASSERT_EQ(plat::store::Check(&problem), plat::kErrorSuccess) << problem;

    for (std::string change : {"ac=off", "cradle=off", "sms=7", "power=suspend", "orientation=90",
                               "ap+=00:1A:2B:3C:4D:5E,Home,-55,6", "battery=20"}) {
        ProgramResult r = TlwsimOnAFullDisk({"hw", device_->Dir(), change});
        EXPECT_EQ(r.exitCode, 1) << change;
        EXPECT_EQ(r.errors.rfind("tlwsim: cannot change ", 0), 0u) << r.errors;
        EXPECT_NE(r.errors.find("disk"), std::string::npos) << r.errors;
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
    }

    std::map<std::string, std::string> facts = Facts();
    EXPECT_EQ(facts["ac"], "on");
    EXPECT_EQ(facts["cradle"], "on");
    EXPECT_EQ(facts["sms"], "2");
    EXPECT_EQ(facts["battery"], "85");
    EXPECT_EQ(facts["power"], "on");
    EXPECT_EQ(facts["orientation"], "0");
    EXPECT_EQ(facts["ap"], "none");
    ASSERT_EQ(Run("hw", {"ac=off", "power=idle"}).exitCode, 0);
    facts = Facts();
    EXPECT_EQ(facts["ac"], "off");
    EXPECT_EQ(facts["power"], "idle");
}

}  // namespace
