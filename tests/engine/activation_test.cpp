// Profile activation: re-application, rotation, and the one-time soft reset.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/device/device_operations.h"
#include "engine/engine_messages.h"
#include "engine_fixture.h"
#include "platform/hardware/display.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace tlw::testing {
namespace {

class ActivationTest : public EngineTest {
protected:
    int Journaled(const std::string& effect) {
        int n = 0;
        for (const std::string& line : plat::JournalRead()) n += line.find(effect) != std::string::npos;
        return n;
    }
};

TEST_F(ActivationTest, TriggerReapplicationDoesNothingManualChoiceAppliesAgain) {
    AddProfile(kEventManual).rotate = 1;
    AddTimeProfile(u"07:00").rotate = 2;
    Process(kParamReevaluate);
    ASSERT_EQ(ReadRunningProfile(), 1);
    EXPECT_EQ(plat::GetDisplayOrientation(), plat::kDmdo270);
    plat::DisplayMode mode{plat::kDmDisplayOrientation, plat::kDmdo0};
    plat::ChangeDisplaySettingsEx(&mode, 0);
    Process(kParamTimeSlotBase + 1);  // the running profile again, from its trigger
    EXPECT_EQ(plat::GetDisplayOrientation(), plat::kDmdo0);
    Process(kParamManualBase + 0);
    EXPECT_EQ(plat::GetDisplayOrientation(), plat::kDmdo90);
    Process(kParamManualBase + 0);  // chosen by hand: applied again
    EXPECT_EQ(Journaled("display orientation 90"), 2);
}

TEST_F(ActivationTest, RotationThreeNeverTouchesTheDisplay) {
    AddProfile(kEventManual);
    Process(kParamManualBase);
    EXPECT_EQ(Journaled("display orientation"), 0);
}

TEST_F(ActivationTest, SoftResetHappensOnceUntilAnotherProfileRuns) {
    AddProfile(kEventManual).pda_power = kPowerSoftReset;
    AddProfile(kEventManual);
    // Never written: the guard reads 1 and nothing resets.
    Process(kParamManualBase + 0);
    EXPECT_EQ(ReadAlreadyReset(), 1u);
    Process(kParamManualBase + 1);
    EXPECT_EQ(ReadAlreadyReset(), 0u);
    engine->logMode = 1;
    plat::RegWriteDword(plat::kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"LogMode", 1);
    Process(kParamManualBase + 0);  // resets (after its 5 s wait)
    EXPECT_EQ(ReadAlreadyReset(), 1u);
    EXPECT_EQ(Journaled("soft reset"), 1);
    Process(kParamManualBase + 0);  // the re-application after the restart
    EXPECT_EQ(Journaled("soft reset"), 1);
}

TEST_F(ActivationTest, NoProfileWritesTheNoProfileValues) {
    AddProfile(kEventManual);
    Process(kParamManualBase);
    ActivateProfile(*engine, kNoProfile);
    EXPECT_EQ(ReadRunningProfile(), kNoProfile);
    std::u16string name, icon = u"x";
    ReadTallowinString(kRunningProfileNameValue, &name);
    ReadTallowinString(kRunningProfileIconValue, &icon);
    EXPECT_EQ(name, u"---");
    EXPECT_EQ(icon, u"");
    uint32_t type = 9;
    ReadTallowinDword(kRunningProfileTypeValue, &type);
    EXPECT_EQ(type, 0u);
}

}  // namespace
}  // namespace tlw::testing
