// The brightness slider of the item: made with the layout, painted on the
// item's brush, moved by taps and by the keys in adjust mode; a new level is
// stored in BrightNess and told to the engine once, and the refresh leaves
// a level the user just chose for one reading.
#include "today_item_fixture.h"

#include "common/config/registry_state.h"
#include "platform/controls/trackbar.h"
#include "platform/message/message_loop.h"
#include "platform/message/messages.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "today/today_layout.h"
#include "today/today_plugin.h"

namespace todaytest {
namespace {

using namespace today;

class TodaySliderTest : public TodayItemTest {
protected:
    void MakeSliderItem() {
        MakePhone("qvga");
        WriteConfig({{AddonBluetooth}, {AddonBrightness}});
        SetRunning(1);
        MakeItem();
        Refresh();  // the slider follows the backlight
        ASSERT_TRUE(Plugin().slider && plat::IsWindow(Plugin().slider));
    }
    static int32_t Position() {
        return static_cast<int32_t>(plat::SendMessage(Plugin().slider, plat::TBM_GETPOS, 0, 0));
    }
    static uint32_t Stored() {
        uint32_t value = 0xFFFFFFFFu;
        tlw::ReadTallowinDword(tlw::kBrightNessValue, &value);
        return value;
    }
    bool Navigate(uint32_t key) {
        bool answer = plat::SendMessage(item_, plat::WM_TODAYCUSTOM_USERNAVIGATION, key, 0) != 0;
        plat::PumpMessagesUntilIdle();
        return answer;
    }
};

// The slider exists even in a host that had not registered the trackbar
// before the item was made, and its background follows the adjust mode.
TEST_F(TodaySliderTest, TheSliderIsMadeAndPaintedOnTheItemsBrush) {
    MakePhone("qvga");
    plat::UnregisterClass(plat::kTrackbarClass);
    WriteConfig({{AddonBrightness}});
    SetRunning(1);
    MakeItem();
    TodayState& s = Plugin();
    ASSERT_TRUE(s.slider && plat::IsWindow(s.slider)) << "the trackbar class was registered before the layout";
    EXPECT_EQ(plat::SendMessage(s.slider, plat::TBM_GETRANGEMAX, 0, 0), model_.options.bklLevels);
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_CTLCOLORSTATIC, 0, 0),
              static_cast<plat::LResult>(s.patterns[kBrushGrey].value));
    s.selection = s.layout.sliderHit;
    s.hasSelection = true;
    plat::SendMessage(item_, plat::WM_TODAYCUSTOM_ACTION, 0, 0);
    EXPECT_TRUE(s.sliderAdjust);
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_CTLCOLORSTATIC, 0, 0),
              static_cast<plat::LResult>(s.highlightBrush.value));
    plat::SendMessage(item_, plat::WM_TODAYCUSTOM_ACTION, 0, 0);
    EXPECT_FALSE(s.sliderAdjust) << "the action key toggles the mode";
}

TEST_F(TodaySliderTest, KeysInAdjustModeStepTheLevelWithinItsRange) {
    MakeSliderItem();
    TodayState& s = Plugin();
    s.selection = s.layout.sliderHit;
    s.hasSelection = true;
    plat::SendMessage(item_, plat::WM_TODAYCUSTOM_ACTION, 0, 0);
    ASSERT_TRUE(s.sliderAdjust);
    // Down to the bottom of the range, one step a key, each stored and sent.
    int32_t start = s.brightness;
    ASSERT_GT(start, 0);
    for (int32_t level = start - 1; level >= 0; --level) {
        EXPECT_TRUE(Navigate(plat::VK_LEFT));
        EXPECT_EQ(Position(), level);
        EXPECT_EQ(Stored(), static_cast<uint32_t>(level));
    }
    EXPECT_EQ(Commands(), std::vector<int64_t>(static_cast<size_t>(start), 940));
    // At 0 left changes nothing and keeps the selection on the slider.
    EXPECT_TRUE(Navigate(plat::VK_LEFT));
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(s.selection, s.layout.sliderHit);
    EXPECT_EQ(Commands().size(), static_cast<size_t>(start)) << "an unchanged level is not sent again";
    EXPECT_TRUE(Navigate(plat::VK_RIGHT));
    EXPECT_EQ(Position(), 1);
    EXPECT_EQ(Commands().back(), 940);
    // Another key leaves adjust mode and moves the selection.
    Navigate(plat::VK_UP);
    EXPECT_FALSE(s.sliderAdjust);
    EXPECT_NE(s.selection, s.layout.sliderHit);
}

TEST_F(TodaySliderTest, ATapStoresTheLevelOnceAndTheNextReadingIsSkipped) {
    MakeSliderItem();
    TodayState& s = Plugin();
    int32_t device = Position();
    ASSERT_GT(device, 0) << "the backlight is not at its lowest";
    // A tap at the left end of the slider: the thumb goes to 0.
    plat::PostMessage(s.slider, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(0, 5));
    plat::PostMessage(s.slider, plat::WM_LBUTTONUP, 0, plat::MakePointParam(0, 5));
    plat::PumpMessagesUntilIdle();
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Stored(), 0u);
    EXPECT_EQ(Commands(), std::vector<int64_t>{940}) << "tracking is not stored; the end is stored once";
    EXPECT_EQ(plat::GetFocus(), screen_) << "the Today screen has the focus back";
    // The engine has not applied the level yet: the first refresh leaves the
    // slider where the user put it, the next follows the backlight again.
    Refresh();
    EXPECT_EQ(Position(), 0);
    Refresh();
    EXPECT_EQ(Position(), device);
}

}  // namespace
}  // namespace todaytest
