// Manual choices with a time-out, and activations postponed by a call.
#include <gtest/gtest.h>

#include "common/device/probes.h"
#include "engine/engine_messages.h"
#include "engine_fixture.h"
#include "common/config/registry_key.h"
#include "platform/storage/registry.h"

#include <algorithm>

namespace tlw::testing {
namespace {

class ManualTest : public EngineTest {
protected:
    void SetCall(bool active) {
        plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, u"Active Call Count", active ? 1 : 0);
    }
};

TEST_F(ManualTest, TimeOutSchedulesItsEndAndRecordsIt) {
    AddTimeProfile(u"07:00");
    Profile& car = AddProfile(kEventManual);
    car.timeoutSet = true;
    car.timeout = u"01:30";
    WriteLastManualProfile(kNoProfile);
    Process(kParamManualBase + 1);  // at 10:00:20
    EXPECT_EQ(ReadRunningProfile(), 1);
    EXPECT_EQ(ReadManualProfile(), 1);
    EXPECT_EQ(ReadLastManualProfile(), kNoProfile);  // a choice with time-out is not "last manual"
    plat::SystemTime end;
    ASSERT_TRUE(plat::ParseDeviceTime("2010-01-04T11:30:20", &end));
    EXPECT_EQ(ReadManualTimeOut(), EncodeManualTimeOut(end));
    std::vector<std::string> wakeUps = WakeUps();
    EXPECT_NE(std::find(wakeUps.begin(), wakeUps.end(), "500@11:30:20"), wakeUps.end());

    // Its end: the re-evaluation returns to the time profile.
    SetClock("2010-01-04T11:30:20");
    Process(kParamReevaluate);
    EXPECT_EQ(ReadRunningProfile(), 0);
    EXPECT_EQ(ReadManualProfile(), kNoProfile);
    EXPECT_EQ(ReadManualTimeOut(), 0u);
}

TEST_F(ManualTest, ChoiceWithoutTimeOutBecomesTheLastManualProfile) {
    AddProfile(kEventManual);
    Process(kParamManualBase);
    EXPECT_EQ(ReadLastManualProfile(), 0);
    EXPECT_EQ(ReadManualTimeOut(), 0u);
    // Parameter 720 for a profile without time-out: no wake-up, time-out 0.
    WriteManualTimeOut(12345);
    Process(kParamTimeoutChanged);
    EXPECT_EQ(ReadManualTimeOut(), 0u);
    for (const std::string& w : WakeUps()) EXPECT_NE(w.substr(0, 4), "500@");
}

TEST_F(ManualTest, PhoneOffDuringACallWaitsForTheCallAndKeepsTheChoice) {
    AddTimeProfile(u"07:00");
    Profile& flight = AddProfile(kEventManual);
    flight.radio[kRadioPhone] = 0;
    Process(kParamReevaluate);
    ASSERT_EQ(ReadRunningProfile(), 0);

    SetCall(true);
    Process(kParamManualBase + 1);  // at 10:00:20
    EXPECT_EQ(ReadRunningProfile(), 0);
    EXPECT_EQ(ReadManualProfile(), 1);
    auto delayed = [&] {
        int n = 0;
        for (const std::string& w : WakeUps()) n += w == "500@10:01:15";
        return n;
    };
    EXPECT_EQ(delayed(), 1);
    Process(kParamManualBase + 1);  // a second attempt adds nothing
    EXPECT_EQ(delayed(), 1);

    // The call goes on at the wake-up: postponed again, one minute later.
    SetClock("2010-01-04T10:01:15");
    FireDueWakeUps();
    Process(kParamReevaluate);
    EXPECT_EQ(ReadRunningProfile(), 0);
    std::vector<std::string> wakeUps = WakeUps();
    EXPECT_EQ(delayed(), 0);
    EXPECT_EQ(std::count(wakeUps.begin(), wakeUps.end(), "500@10:02:15"), 1);

    // The call has ended: the user's choice is applied, not the time profile.
    SetCall(false);
    SetClock("2010-01-04T10:02:15");
    FireDueWakeUps();
    Process(kParamReevaluate);
    EXPECT_EQ(ReadRunningProfile(), 1);
    EXPECT_EQ(ReadManualProfile(), 1);
}

}  // namespace
}  // namespace tlw::testing

namespace tlw::testing {
namespace {

TEST_F(ManualTest, PostponedChoiceWhoseTimeOutEndedDuringTheCallIsDropped) {
    AddTimeProfile(u"07:00");
    Profile& flight = AddProfile(kEventManual);
    flight.radio[kRadioPhone] = 0;
    flight.timeoutSet = true;
    flight.timeout = u"00:05";
    Process(kParamReevaluate);
    plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, u"Active Call Count", 1);
    Process(kParamManualBase + 1);  // 10:00:20, time-out until 10:05:20
    EXPECT_EQ(ReadRunningProfile(), 0);
    // The time-out's wake-up carries "500": no second wake-up is added.
    std::vector<std::string> wakeUps = WakeUps();
    EXPECT_EQ(std::count(wakeUps.begin(), wakeUps.end(), "500@10:05:20"), 1);
    EXPECT_EQ(std::count(wakeUps.begin(), wakeUps.end(), "500@10:01:15"), 0);
    plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, u"Active Call Count", 0);
    SetClock("2010-01-04T10:05:20");
    Process(kParamReevaluate);
    EXPECT_EQ(ReadRunningProfile(), 0);  // the choice ended with its time-out
    EXPECT_EQ(ReadManualProfile(), kNoProfile);
}

}  // namespace
}  // namespace tlw::testing

namespace tlw::testing {
namespace {

// A manual choice postponed by a call comes back only through the retry its
// postponement scheduled. Every other full re-evaluation (the user's return
// to automatic, an unlock) drops it together with its retry.
class PostponedChoiceTest : public ManualTest {
protected:
    // The day profile P0 runs; the user chooses P1 (phone off) during a call
    // at 10:00:20, and the call ends at 10:00:40.
    void PostponeDuringACall() {
        AddTimeProfile(u"07:00");
        Profile& flight = AddProfile(kEventManual);
        flight.radio[kRadioPhone] = 0;
        Process(kParamReevaluate);
        ASSERT_EQ(ReadRunningProfile(), 0);
        SetCall(true);
        Process(kParamManualBase + 1);
        std::vector<std::string> wakeUps = WakeUps();
        ASSERT_EQ(std::count(wakeUps.begin(), wakeUps.end(), "500@10:01:15"), 1);
        SetCall(false);
        SetClock("2010-01-04T10:00:40");
    }
    // The day profile runs as automatic choice, and nothing brings the
    // dropped choice back, not even a later full re-evaluation.
    void ExpectDropped() {
        EXPECT_EQ(ReadRunningProfile(), 0);
        EXPECT_EQ(ReadManualProfile(), kNoProfile);
        for (const std::string& w : WakeUps()) EXPECT_NE(w.substr(0, 4), "500@");
        SetClock("2010-01-04T10:01:15");
        FireDueWakeUps();
        Process(kParamReevaluate);
        EXPECT_EQ(ReadRunningProfile(), 0);
    }
};

TEST_F(PostponedChoiceTest, BackToAutomaticDropsIt) {
    PostponeDuringACall();
    Process(kParamReevaluate);
    ExpectDropped();
}

TEST_F(PostponedChoiceTest, UnlockDropsIt) {
    PostponeDuringACall();
    Command(915);
    Command(925);  // unlocking processes 500
    ExpectDropped();
}

TEST_F(ManualTest, WithoutItsRegistryKeyTheChoiceIsNotRecorded) {
    Profile& car = AddProfile(kEventManual);
    car.timeoutSet = true;
    car.timeout = u"00:30";
    plat::RegDeleteKey(plat::kHkeyCurrentUser, kTallowinKey);
    SetManualProfile(*engine, 0, false);
    plat::HKey key = 0;
    EXPECT_NE(plat::RegOpenKey(plat::kHkeyCurrentUser, kTallowinKey, &key), 0u);  // not created
    // The time-out's wake-up was scheduled before the key was needed.
    std::vector<std::string> wakeUps = WakeUps();
    EXPECT_EQ(std::count(wakeUps.begin(), wakeUps.end(), "500@10:30:20"), 1);
}

}  // namespace
}  // namespace tlw::testing
