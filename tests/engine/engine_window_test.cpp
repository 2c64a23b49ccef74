// The engine window in-process on a virtual clock: message dispatch and the
// settle timer that turns a burst of power and accessory changes into one
// evaluation (parameter 10).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/config/registry_key.h"
#include "common/device/probes.h"
#include "common/graphics/image_loader.h"
#include "engine/engine_actions.h"
#include "engine/engine_main.h"
#include "sim/install_graphics.h"
#include "engine/engine_messages.h"
#include "common/config/registry_state.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"
#include "platform/message/message_loop.h"
#include "platform/power/power_notify.h"
#include "platform/storage/registry.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

class EngineWindowTest : public ::testing::Test {
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
        StartImaging();
        InitializeEngineState(engine);
        Pump();
    }
    void TearDown() override {
        plat::DestroyWindow(Engine().mainWindow);
        Pump();
        plat::UnregisterClass(kEngineClass);
        StopImaging();
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
    std::string Log() {
        std::ifstream in(device_.Root() / "Tallowd.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int Evaluations() {
        std::string log = Log();
        int n = 0;
        for (size_t at = log.find("Param:10,"); at != std::string::npos; at = log.find("Param:10,", at + 1)) ++n;
        return n;
    }
    plat::LResult Send(uint32_t message, plat::WParam wParam = 0, plat::LParam lParam = 0) {
        return plat::SendMessage(Engine().mainWindow, message, wParam, lParam);
    }

    TempDevice device_;
    bool headset_ = false;
};

TEST_F(EngineWindowTest, ThreeAccessoryChangesGiveOneEvaluation) {
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

TEST_F(EngineWindowTest, AccessoryChangeRestartsAPowerDelayAtFiveSeconds) {
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

TEST_F(EngineWindowTest, ParametersCommandsAndCalendarNotifications) {
    EXPECT_EQ(Send(TLWM_PARAMETER, 935), 0);  // a command, not an evaluation
    EXPECT_EQ(ReadLocked(), true);
    EXPECT_EQ(Log().find("Param:935"), std::string::npos);
    Send(TLWM_PARAMETER, 0);  // parameter 0 has no meaning of its own
    EXPECT_NE(Log().find("Processing parameter, Param:0,"), std::string::npos);
    Send(TLWM_PARAMETER, static_cast<uint32_t>(-5));
    EXPECT_NE(Log().find("Processing parameter, Param:-5,"), std::string::npos);
    // No enabled calendar profile: nothing happens, and the answer is 1.
    std::string before = Log();
    EXPECT_EQ(Send(kCalendarItemChanged), 1);
    EXPECT_EQ(Log(), before);
    Send(TLWM_TIMEZONE);
    EXPECT_NE(Log().find("Processing parameter, Param:16,"), std::string::npos);
}

TEST_F(EngineWindowTest, SkinImagesLoadWithTheDefaultSkin) {
    EngineState& engine = Engine();
    EXPECT_FALSE(ImageHasPixels(engine.skin[kEngineSlotMenu]));  // no skins on this device yet
    std::string error;
    ASSERT_TRUE(sim::InstallGraphicsAssets(&error)) << error;
    LoadEngineSkin(engine);
    int loaded = 0;
    for (std::size_t i = 0; i < kEngineSkinSlotCount; ++i) loaded += ImageHasPixels(engine.skin[i]);
    int named = 0;
    for (const char16_t* name : kEngineSkinSlots) named += name != nullptr;
    EXPECT_EQ(loaded, named);
    EXPECT_TRUE(ImageHasPixels(engine.skin[kEngineSlotTaskbar]));
}

TEST_F(EngineWindowTest, CloseDestroysTheWindowAndShutsDown) {
    Send(plat::WM_CLOSE);
    Pump();
    EXPECT_FALSE(plat::IsWindow(Engine().mainWindow));
    EXPECT_NE(Log().find("Exiting program."), std::string::npos);
    EXPECT_FALSE(Engine().powerThread);
}

}  // namespace
}  // namespace tlw
