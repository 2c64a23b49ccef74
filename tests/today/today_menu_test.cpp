// The profile menu and the time-out dialog of the item: what the menu
// lists, what a choice or a dismissal sends, how the open menu looks at
// QVGA and VGA, and what the time picker stores. The menu and the dialog
// run their own message loops; the tests act inside them through messages
// posted before the tap that opens them.
#include "today_item_fixture.h"

#include <algorithm>
#include <deque>
#include <functional>

#include "common/config/config_file.h"
#include "common/config/registry_state.h"
#include "common/graphics/screen_scale.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/dialog.h"
#include "platform/kernel/clock.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/message/messages.h"
#include "platform/window/popup_menu.h"
#include "platform/window/window.h"
#include "today/today_layout.h"
#include "today/today_plugin.h"

namespace todaytest {
namespace {

using namespace today;

constexpr uint32_t kRunNext = plat::WM_USER + 1;
constexpr char16_t kRunnerClass[] = u"TestInsideLoop";

// Steps run one per kRunNext message, in order.
std::deque<std::function<void()>>& Steps() {
    static std::deque<std::function<void()>> steps;
    return steps;
}

plat::LResult RunnerProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == kRunNext) {
        if (Steps().empty()) return 0;
        std::function<void()> step = std::move(Steps().front());
        Steps().pop_front();
        step();
        return 0;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

int JournalCount(const std::string& text) {
    int n = 0;
    for (const std::string& line : plat::JournalRead())
        if (line.find(text) != std::string::npos) ++n;
    return n;
}

// The screen's rows from the top down to `bottom`, the whole width.
plat::SurfaceImage ScreenTop(int32_t bottom) {
    plat::SurfaceImage screen;
    plat::ComposeScreen(&screen);
    plat::SurfaceImage cut;
    cut.width = screen.width;
    cut.height = std::min(bottom, screen.height);
    cut.pixels.assign(screen.pixels.begin(), screen.pixels.begin() + static_cast<size_t>(screen.width) * cut.height);
    return cut;
}

void PostKey(plat::Hwnd hwnd, uint32_t key) {
    plat::PostMessage(hwnd, plat::WM_KEYDOWN, key, 1);
    plat::PostMessage(hwnd, plat::WM_KEYUP, key, 1);
}

class TodayMenuTest : public TodayItemTest {
protected:
    void TearDown() override {
        Steps().clear();
        if (runner_ && plat::IsWindow(runner_)) plat::DestroyWindow(runner_);
        plat::UnregisterClass(kRunnerClass);
        TodayItemTest::TearDown();
    }

    // Taps the middle of the area; the steps run, in order, inside the loop
    // of the menu or dialog the tap opens. A step may post what the loop is
    // to handle and then Next() for the following step.
    void TapWith(const plat::Rect& area, std::vector<std::function<void()>> steps) {
        if (!runner_) {
            plat::WndClass wc;
            wc.className = kRunnerClass;
            wc.proc = &RunnerProc;
            plat::RegisterClass(wc);
            runner_ = plat::CreateWindow(kRunnerClass, u"", 0, 0, 0, 1, 1, {});
        }
        for (auto& step : steps) Steps().push_back(std::move(step));
        Next();
        plat::SendMessage(item_, plat::WM_LBUTTONUP, 0,
                          plat::MakePointParam((area.left + area.right) / 2, (area.top + area.bottom) / 2));
        plat::PumpMessagesUntilIdle();
    }
    void Next() { plat::PostMessage(runner_, kRunNext, 0, 0); }

    // Rewrites the configuration after changes to model_.
    void Rewrite() { ASSERT_TRUE(tlw::WriteConfiguration(false, {}, model_, language_)); }

    static plat::Hwnd Open(const char16_t* className) { return plat::FindWindow(className, nullptr); }

    plat::Hwnd runner_;
};

TEST_F(TodayMenuTest, TheMenuListsWhatMayBeChosenAndAChoiceIsSent) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    // Hidden from the menu: the second profile (not shown) and the third
    // (disabled). The fourth is not shown either but runs, so it is listed.
    model_.profiles.profiles[1].show = false;
    model_.profiles.profiles[2].enabled = false;
    model_.profiles.profiles[3].show = false;
    Rewrite();
    SetRunning(3);
    MakeItem();
    int listed = 0;
    for (int i = 0; i < model_.profiles.count; ++i)
        if (i != 1 && i != 2) ++listed;
    const plat::Rect name = Plugin().layout.hits[kHitProfileName].rect;

    // Down picks the first entry: the first profile.
    TapWith(name, {[&] {
        plat::Hwnd menu = Open(plat::kPopupMenuClass);
        ASSERT_TRUE(menu);
        plat::Rect r;
        plat::GetWindowRect(menu, &r);
        EXPECT_EQ(r.left, tlw::ScaleX(28));
        EXPECT_EQ(r.top, tlw::ScaleY(20));
        EXPECT_EQ(r.right - r.left, tlw::ScaleX(152) + 2) << "entries are 152 units wide";
        PostKey(menu, plat::VK_DOWN);
        PostKey(menu, plat::VK_RETURN);
    }});
    EXPECT_EQ(JournalCount("popup menu shown (" + std::to_string(listed + 2) + " items)"), 1)
        << "the listed profiles, a separator and the automatic entry";
    EXPECT_EQ(Commands(), std::vector<int64_t>{100});
    EXPECT_TRUE(Plugin().manual);
    EXPECT_EQ(Plugin().currentProfile, 0);

    // Up from nothing picks the last entry: back to automatic.
    TapWith(name, {[&] {
        plat::Hwnd menu = Open(plat::kPopupMenuClass);
        ASSERT_TRUE(menu);
        PostKey(menu, plat::VK_UP);
        PostKey(menu, plat::VK_RETURN);
    }});
    EXPECT_EQ(Commands(), (std::vector<int64_t>{100, 500}));
    EXPECT_FALSE(Plugin().manual);
    EXPECT_EQ(Plugin().currentProfile, 3) << "the running profile as last seen";
}

TEST_F(TodayMenuTest, ADismissedMenuChangesNothing) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    SetRunning(1);
    MakeItem();
    const TodayLayout& L = Plugin().layout;
    // The name, and the time-out area while no time-out is shown, open the
    // menu; a tap outside it closes it.
    for (const plat::Rect* area : {&L.hits[kHitProfileName].rect, &L.hits[kHitTimeOut].rect}) {
        TapWith(*area, {[&] {
            plat::Hwnd menu = Open(plat::kPopupMenuClass);
            ASSERT_TRUE(menu);
            plat::PostMessage(menu, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(-5, -5));
        }});
    }
    EXPECT_EQ(JournalCount("popup menu shown"), 2);
    EXPECT_EQ(JournalCount("popup menu cancelled"), 2);
    EXPECT_TRUE(Commands().empty()) << "a dismissed menu sends nothing";
    EXPECT_EQ(Plugin().currentProfile, 1);
    EXPECT_FALSE(Plugin().manual);
}

TEST_F(TodayMenuTest, TheThumbMenuIsTheEngines) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}}, true);
    SetRunning(1);
    MakeItem();
    TapWith(Plugin().layout.hits[kHitProfileName].rect, {});
    EXPECT_EQ(Commands(), std::vector<int64_t>{2268});
    EXPECT_EQ(JournalCount("popup menu shown"), 0);
}

class TodayTimeOutDialogTest : public TodayMenuTest {
protected:
    void ShowTimeOut(int64_t seconds) {
        MakePhone("qvga");
        WriteConfig({{AddonBluetooth}});
        SetRunning(0, true);
        now_ = plat::GetLocalTime();
        stored_ = tlw::EncodeManualTimeOut(plat::AddSeconds(now_, seconds));
        tlw::WriteManualTimeOut(stored_);
        MakeItem();
        Refresh();
        ASSERT_FALSE(Plugin().timeOutText.Empty());
    }
    static plat::SystemTime PickerTime() {
        plat::SystemTime t{};
        plat::SendDlgItemMessage(Open(plat::kDialogClass), 1000, plat::DTM_GETSYSTEMTIME, 0,
                                 reinterpret_cast<plat::LParam>(&t));
        return t;
    }

    plat::SystemTime now_;
    uint32_t stored_ = 0;
};

TEST_F(TodayTimeOutDialogTest, ZeroBecomesOneMinuteAndOkStoresTheEnd) {
    ShowTimeOut(65 * 60);
    EXPECT_EQ(Plugin().timeOutText.Str(), u"01:05");
    const plat::Rect area = Plugin().layout.hits[kHitTimeOut].rect;
    plat::Hwnd picker;
    TapWith(area, {[&] {
                       plat::Hwnd dialog = Open(plat::kDialogClass);
                       ASSERT_TRUE(dialog);
                       plat::Rect r;
                       plat::GetWindowRect(dialog, &r);
                       EXPECT_EQ(r.left, area.left);
                       EXPECT_EQ(r.top, area.top);
                       EXPECT_EQ(r.right - r.left, tlw::ScaleX(78));
                       EXPECT_EQ(r.bottom - r.top, tlw::ScaleY(23));
                       plat::SystemTime t = PickerTime();
                       EXPECT_EQ(t.hour, 1);
                       EXPECT_EQ(t.minute, 5);
                       EXPECT_EQ(t.second, 0);
                       // The user types 00 into the hours and 00 into the minutes.
                       picker = plat::GetDlgItem(dialog, 1000);
                       for (char16_t c : std::u16string(u"0000")) plat::PostMessage(picker, plat::WM_CHAR, c, 1);
                       Next();
                   },
                   [&] {
                       plat::SystemTime t = PickerTime();
                       EXPECT_EQ(t.hour, 0);
                       EXPECT_EQ(t.minute, 1) << "the shortest time-out is one minute";
                       PostKey(picker, plat::VK_RETURN);
                   }});
    EXPECT_FALSE(Open(plat::kDialogClass)) << "OK closed the dialog";
    EXPECT_EQ(Commands(), std::vector<int64_t>{720});
    EXPECT_EQ(tlw::ReadManualTimeOut(), tlw::EncodeManualTimeOut(plat::AddSeconds(now_, 60)));
    EXPECT_EQ(Plugin().timeOutText.Str(), u"00:01");
}

TEST_F(TodayTimeOutDialogTest, ClosingStoresNothing) {
    ShowTimeOut(20 * 60);
    TapWith(Plugin().layout.hits[kHitTimeOut].rect, {[&] {
        plat::Hwnd dialog = Open(plat::kDialogClass);
        ASSERT_TRUE(dialog);
        plat::PostMessage(dialog, plat::WM_CLOSE, 0, 0);
    }});
    EXPECT_FALSE(Open(plat::kDialogClass));
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(tlw::ReadManualTimeOut(), stored_);
    EXPECT_EQ(Plugin().timeOutText.Str(), u"00:20");
    EXPECT_EQ(JournalCount("popup menu shown"), 0) << "the time-out opens no menu while it is shown";
}

TEST_F(TodayTimeOutDialogTest, AnEndAlreadyReachedStartsAtOneMinute) {
    ShowTimeOut(10 * 60);
    plat::AdvanceClock(12 * 60);  // the engine has not ended the manual mode yet
    Refresh();
    ASSERT_EQ(Plugin().timeOutText.Str(), u"00:00");
    TapWith(Plugin().layout.hits[kHitTimeOut].rect, {[&] {
        plat::SystemTime t = PickerTime();
        EXPECT_EQ(t.hour, 0);
        EXPECT_EQ(t.minute, 1);
        PostKey(plat::GetDlgItem(Open(plat::kDialogClass), 1000), plat::VK_RETURN);
    }});
    EXPECT_EQ(Commands(), std::vector<int64_t>{720});
    EXPECT_EQ(tlw::ReadManualTimeOut(), tlw::EncodeManualTimeOut(plat::AddSeconds(plat::GetLocalTime(), 60)));
}

// The time picker over the item at QVGA and VGA: the hours chosen, the
// minutes beside them, the spin buttons and OK within the box.
class TodayTimeOutPictureTest : public TodayMenuTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TodayTimeOutPictureTest, TheOpenPicker) {
    MakePhone(GetParam());
    WriteConfig({{AddonBluetooth}, {AddonWifi}});
    SetRunning(0, true);
    tlw::WriteManualTimeOut(tlw::EncodeManualTimeOut(plat::AddSeconds(plat::GetLocalTime(), 95 * 60)));
    MakeItem();
    Refresh();
    ASSERT_EQ(Plugin().timeOutText.Str(), u"01:35");
    plat::SurfaceImage picture;
    TapWith(Plugin().layout.hits[kHitTimeOut].rect, {[&] {
        plat::Hwnd dialog = Open(plat::kDialogClass);
        ASSERT_TRUE(dialog);
        plat::UpdateWindow(dialog);
        for (int32_t id : {1000, 1}) plat::UpdateWindow(plat::GetDlgItem(dialog, id));
        plat::Rect r;
        plat::GetWindowRect(dialog, &r);
        picture = ScreenTop(r.bottom + 2);
        plat::PostMessage(dialog, plat::WM_CLOSE, 0, 0);
    }});
    ASSERT_GT(picture.height, 0);
    EXPECT_EQ(CompareWithReference(picture, std::string("time_out_picker_") + GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Screens, TodayTimeOutPictureTest, ::testing::Values("qvga", "vga"));

// The open menu at QVGA and VGA: the running profile's entry in bold with
// its images as they are, the others faded, one entry highlighted, the
// separator and the automatic entry.
class TodayMenuPictureTest : public TodayMenuTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TodayMenuPictureTest, TheOpenMenu) {
    MakePhone(GetParam());
    WriteConfig({{AddonBluetooth}, {AddonWifi}});
    SetRunning(1);
    MakeItem();
    plat::SurfaceImage picture;
    plat::Hwnd menu;
    TapWith(Plugin().layout.hits[kHitProfileName].rect,
            {[&] {
                 menu = Open(plat::kPopupMenuClass);
                 ASSERT_TRUE(menu);
                 PostKey(menu, plat::VK_DOWN);
                 PostKey(menu, plat::VK_DOWN);
                 PostKey(menu, plat::VK_DOWN);
                 Next();
             },
             [&] {
                 plat::UpdateWindow(menu);
                 plat::UpdateWindow(item_);
                 plat::Rect r;
                 plat::GetWindowRect(menu, &r);
                 picture = ScreenTop(r.bottom);  // the item and the menu below it
                 plat::EndMenu();
             }});
    ASSERT_GT(picture.height, 0);
    EXPECT_EQ(CompareWithReference(picture, std::string("profile_menu_") + GetParam()), "");
    EXPECT_TRUE(Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(Screens, TodayMenuPictureTest, ::testing::Values("qvga", "vga"));

}  // namespace
}  // namespace todaytest
