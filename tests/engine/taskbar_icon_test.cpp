// The engine's taskbar icon in its three modes and the menus' commands, in
// process: the notification icon made from the profile image and the
// overlay where they are opaque, the icon window's picture, no icon at all
// for `bar_icon` 0, removing that never adds, and what the menu commands
// and item types start.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/graphics/skin.h"
#include "engine/engine_menus.h"
#include "engine/engine_messages.h"
#include "engine/taskbar_icon.h"
#include "engine_fixture.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/threads.h"
#include "platform/shell/notify_icon.h"
#include "platform/storage/journal.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "common/config/registry_key.h"
#include "platform/message/message_loop.h"
#include "platform/window/popup_menu.h"
#include "platform/window/window.h"

namespace tlw::testing {
namespace {

constexpr Colour kRed = MakeColour(220, 0, 0);
constexpr Colour kGreen = MakeColour(0, 200, 0);
constexpr Colour kBlue = MakeColour(0, 0, 230);
constexpr Colour kGrey = MakeColour(128, 128, 128);

void NoWait(uint32_t) {}

uint32_t Argb(Colour c) { return 0xFF000000u | (uint32_t(ColourRed(c)) << 16) | (uint32_t(ColourGreen(c)) << 8) | ColourBlue(c); }

class TaskbarIconTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        plat::SetScreenDpi(96, 96);
        plat::SetSleepHook(&NoWait);
        plat::WndClass wc;
        wc.className = u"Tallowd";
        wc.proc = &plat::DefWindowProc;
        plat::RegisterClass(wc);
        engine->mainWindow = plat::CreateWindow(u"Tallowd", u"Tallowd", 0, 0, 0, 1, 1, plat::Hwnd{});
        ASSERT_TRUE(engine->mainWindow);
        // Skin images of solid colours; the time trigger's left half is
        // barely opaque (alpha 100), so it stays out of the icon's mask.
        CreateSolidImage(&engine->skin[kSlotTrigger + kEventManual], 16, 16, kRed, 255);
        CreateSolidImage(&engine->skin[kSlotTrigger + kEventTime], 16, 16, kGreen, 255);
        for (uint32_t y = 0; y < 16; ++y)
            for (uint32_t x = 0; x < 8; ++x) engine->skin[kSlotTrigger + kEventTime].alpha[PixelIndex(engine->skin[1], x, y)] = 100;
        CreateSolidImage(&engine->skin[kSlotLocked], 16, 16, kBlue, 255);
        CreateSolidImage(&engine->skin[kEngineSlotTaskbar], 8, 8, kGrey, 255);
        AddProfile(kEventManual);
        AddProfile(kEventTime);
        engine->displayedProfile = 1;
    }
    void TearDown() override {
        RefreshIcon(*engine, true);
        plat::DestroyWindow(engine->mainWindow);
        plat::UnregisterClass(u"Tallowd");
        plat::SetSleepHook(nullptr);
        EngineTest::TearDown();
    }
    // The notification icon's pixel, 0 when transparent.
    uint32_t IconPixel(int x, int y) {
        std::vector<plat::NotifyIconEntry> icons = plat::ListNotifyIcons();
        if (icons.size() != 1 || icons[0].width != 16) return 0xDEADu;
        uint32_t p = icons[0].argb[static_cast<size_t>(y) * 16 + x];
        return (p >> 24) == 0 ? 0 : p;
    }
    std::string LogText() {
        std::ifstream in(plat::HostPath(u"\\Tallowd.log"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(TaskbarIconTest, NotificationIconTakesTheOpaquePixelsAndTheOverlayOfTheState) {
    engine->model.options.bar_icon = 1;
    engine->manualActive = true;
    RefreshIcon(*engine, false);
    std::vector<plat::NotifyIconEntry> icons = plat::ListNotifyIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].id, kTaskbarIconId);
    EXPECT_EQ(icons[0].callbackMessage, static_cast<uint32_t>(TLWM_ICONNOTIFY));
    EXPECT_EQ(IconPixel(1, 1), 0u) << "alpha 100 is not opaque enough";
    EXPECT_EQ(IconPixel(15, 1), Argb(kGreen)) << "above the overlay: the profile image";
    EXPECT_EQ(IconPixel(8, 8), Argb(kRed)) << "manual while unlocked: the manual overlay from (2, 2)";

    // Locked: only the lock overlay, though the choice is still manual.
    engine->locked = true;
    RefreshIcon(*engine, false);
    EXPECT_EQ(plat::ListNotifyIcons().size(), 1u) << "changed, not added twice";
    EXPECT_EQ(IconPixel(8, 8), Argb(kBlue));
    EXPECT_EQ(IconPixel(15, 1), Argb(kGreen));

    // A Manual profile shows no overlay; no profile shows the manual image.
    engine->displayedProfile = 0;
    RefreshIcon(*engine, false);
    EXPECT_EQ(IconPixel(8, 8), Argb(kRed));
    EXPECT_EQ(IconPixel(1, 1), Argb(kRed));
    engine->displayedProfile = kNoProfile;
    RefreshIcon(*engine, false);
    EXPECT_EQ(IconPixel(15, 15), Argb(kRed));

    RefreshIcon(*engine, true);
    EXPECT_TRUE(plat::ListNotifyIcons().empty());
    EXPECT_FALSE(engine->iconPresent);
}

TEST_F(TaskbarIconTest, IconWindowIsPaintedBackgroundProfileAndOverlay) {
    engine->model.options.bar_icon = 2;
    engine->model.options.taskbar_icon_pos = 60;
    engine->locked = true;
    RefreshIcon(*engine, false);
    ASSERT_TRUE(engine->iconWindow);
    EXPECT_EQ(plat::GetWindowText(engine->iconWindow), u"TlwIcon");
    plat::Rect rect;
    ASSERT_TRUE(plat::GetWindowRect(engine->iconWindow, &rect));
    EXPECT_EQ(rect.left, 60);
    EXPECT_EQ(rect.right - rect.left, 18);
    EXPECT_EQ(rect.bottom - rect.top, 18);
    EXPECT_TRUE(plat::ListNotifyIcons().empty());

    plat::Hdc hdc = plat::CreateOffscreenDC(18, 18);
    PaintTaskbarIcon(*engine, hdc);
    plat::ColorRef grey = plat::Rgb(128, 128, 128), green = plat::Rgb(0, 200, 0), blue = plat::Rgb(0, 0, 230);
    EXPECT_NE(plat::GetPixel(hdc, 1, 1), green) << "the faint half shows the background through it";
    EXPECT_NE(plat::GetPixel(hdc, 1, 1), grey);
    EXPECT_EQ(plat::GetPixel(hdc, 16, 1), green);
    EXPECT_EQ(plat::GetPixel(hdc, 16, 16), blue) << "the lock in the lower right";
    plat::DeleteDC(hdc);

    RefreshIcon(*engine, true);
    EXPECT_FALSE(engine->iconWindow);
}

TEST_F(TaskbarIconTest, NoIconModeShowsNothingAndRemovingNeverAdds) {
    engine->model.options.bar_icon = 0;
    RefreshIcon(*engine, false);
    EXPECT_TRUE(plat::ListNotifyIcons().empty());
    EXPECT_FALSE(engine->iconWindow);
    engine->model.options.bar_icon = 1;
    RefreshIcon(*engine, true);
    EXPECT_TRUE(plat::ListNotifyIcons().empty()) << "taking away an absent icon puts none up";
    EXPECT_FALSE(engine->iconPresent);
}

TEST_F(TaskbarIconTest, SetDisplayedProfileFollowsTheManualStateAndTheProfile) {
    engine->model.options.bar_icon = 1;
    WriteManualProfile(1);
    WriteRunningProfile(1, u"P1", u"", kEventTime);
    SetDisplayedProfile(*engine, 1);
    EXPECT_TRUE(engine->manualActive);
    EXPECT_EQ(engine->lastDisplayedProfile, 1);
    EXPECT_EQ(IconPixel(8, 8), Argb(kRed));
    WriteManualProfile(kNoProfile);
    SetDisplayedProfile(*engine, 1);
    EXPECT_FALSE(engine->manualActive);
    EXPECT_EQ(IconPixel(8, 8), Argb(kGreen));
}

TEST_F(TaskbarIconTest, MenusListShownProfilesAndTheDisplayedOne) {
    engine->model.profiles.profiles[0].show = false;
    engine->displayedProfile = 1;
    EXPECT_FALSE(ProfileListed(*engine, 0)) << "hidden and not displayed";
    EXPECT_TRUE(ProfileListed(*engine, 1));
    engine->displayedProfile = 0;
    EXPECT_TRUE(ProfileListed(*engine, 0)) << "hidden but displayed";
    engine->model.profiles.profiles[0].enabled = false;
    EXPECT_FALSE(ProfileListed(*engine, 0));
    EXPECT_FALSE(ProfileListed(*engine, kNoProfile));

    plat::MeasureItemStruct measure;
    EXPECT_EQ(HandleMenuItemMessage(*engine, plat::WM_MEASUREITEM, 0, reinterpret_cast<plat::LParam>(&measure)), 1);
    EXPECT_EQ(measure.itemWidth, 160u);
    EXPECT_EQ(measure.itemHeight, 18u);
}

TEST_F(TaskbarIconTest, MenuCommandsChooseLockAndSwitch) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, kTallowinKey, kLogModeValue, 5));
    engine->logMode = 5;
    engine->model.options.bar_icon = 1;
    // Item 1 is the first profile: parameter 100, a manual choice.
    RunMenuCommand(*engine, 1);
    EXPECT_EQ(ReadManualProfile(), 0);
    EXPECT_TRUE(engine->manualActive);
    EXPECT_NE(LogText().find("Param:100,"), std::string::npos) << LogText();

    // 510 toggles the lock.
    RunMenuCommand(*engine, kMenuLock);
    EXPECT_TRUE(ReadLocked());
    EXPECT_TRUE(engine->locked);
    RunMenuCommand(*engine, kMenuLock);
    EXPECT_FALSE(ReadLocked());

    // Switch items by type and state: Bluetooth off asks for 911.
    engine->model.popupSwitches[0] = {true, kItemBluetooth};
    engine->model.popupSwitches[1] = {true, kItemPhone};
    RunMenuCommand(*engine, kMenuFirstSwitch);
    EXPECT_NE(LogText().find("Param:911"), std::string::npos) << LogText();

    // The phone radio asks first, with the sound bit lifted while it asks
    // to switch off, and put back afterwards.
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, u"ControlPanel\\Volume", u"Mute", 5));
    ASSERT_TRUE(IsSoundMuted());
    RunMenuCommand(*engine, kMenuFirstSwitch + 1);
    std::vector<std::string> journal = plat::JournalRead();
    bool asked = std::any_of(journal.begin(), journal.end(), [](const std::string& l) {
        return l.find("message box [Tallowin]") != std::string::npos && l.find("(question)") != std::string::npos;
    });
    EXPECT_TRUE(asked) << ::testing::PrintToString(journal);
    EXPECT_TRUE(IsSoundMuted()) << "the sound bit is as it was";
}

}  // namespace
}  // namespace tlw::testing
