// The settle timer: a burst of power and accessory changes ends in one
// evaluation (parameter 10), timed on a virtual clock.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/config/registry_key.h"
#include "common/device/probes.h"
#include "engine/engine_main.h"
#include "engine/engine_messages.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/message_loop.h"
#include "platform/power_notify.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

class PowerDebounceTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::CreateDirectory(u"\\My Documents");
        plat::CreateDirectory(u"\\Windows");
        plat::SystemTime start;
        plat::ParseDeviceTime("2010-01-04T10:00:00", &start);
        plat::UseVirtualClock(start);
        plat::RegWriteDword(plat::kHkeyCurrentUser, kTallowinKey, u"LogMode", 1);
        EngineState& engine = ResetEngine();
        engine.logMode = 1;
        plat::WndClass wc;
        wc.className = kEngineClass;
        wc.proc = EngineWindowProc;
        plat::RegisterClass(wc);
        engine.mainWindow = plat::CreateWindow(kEngineClass, kEngineTitle, plat::WS_POPUP, 0, 50, 0, 50, {});
        ASSERT_TRUE(engine.mainWindow);
        InitializeEngineState(engine);
        Pump();
    }
    void TearDown() override {
        plat::DestroyWindow(Engine().mainWindow);
        Pump();
        plat::UnregisterClass(kEngineClass);
        plat::UseDeviceClock();
    }
    void Pump() { plat::PumpMessagesUntilIdle(); }
    void Advance(int64_t ms) {
        // Whole seconds on the device clock; the last step lands exactly.
        plat::AdvanceClock(ms / 1000);
        Pump();
    }
    void HeadsetChange() {
        headset_ = !headset_;
        plat::RegWriteDword(plat::kHkeyLocalMachine, kStateHardwareKey, kHeadsetValue, headset_ ? 1 : 0);
        Pump();
    }
    int Evaluations() {
        std::ifstream in(device_.Root() / "Tallowd.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        std::string log = s.str();
        int n = 0;
        for (size_t at = log.find("Param:10,"); at != std::string::npos; at = log.find("Param:10,", at + 1)) ++n;
        return n;
    }

    TempDevice device_;
    bool headset_ = false;
};

TEST_F(PowerDebounceTest, ThreeAccessoryChangesGiveOneEvaluation) {
    HeadsetChange();
    Advance(2000);
    HeadsetChange();
    Advance(2000);
    HeadsetChange();
    Advance(4000);
    EXPECT_EQ(Evaluations(), 0);
    Advance(1000);  // five seconds after the last change
    EXPECT_EQ(Evaluations(), 1);
    Advance(30000);
    EXPECT_EQ(Evaluations(), 1);
}

TEST_F(PowerDebounceTest, AccessoryChangeRestartsAPowerDelayAtFiveSeconds) {
    // The power thread registers its queue as it starts; until then a
    // notification reaches nobody.
    ASSERT_TRUE(WaitUntil([] { return plat::RaisePowerStatusChange() >= 1; }));
    ASSERT_TRUE(WaitUntil([] {
        plat::PumpMessagesUntilIdle();
        std::ifstream in(plat::HostPath(u"\\Tallowd.log"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str().find("Power change Notified.") != std::string::npos;
    }));
    Pump();
    Advance(10000);
    EXPECT_EQ(Evaluations(), 0);
    HeadsetChange();
    Advance(4000);
    EXPECT_EQ(Evaluations(), 0);  // not at 15 s after the power change
    Advance(1000);
    EXPECT_EQ(Evaluations(), 1);
}

}  // namespace
}  // namespace tlw
