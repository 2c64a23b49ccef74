// The Today screen hosts the items of the registry: it loads an item's
// library, calls its entry by ordinal 240, gives the item the height it asks
// for below the date and owner lines, answers its colour and background
// requests, and passes the selection, the navigation keys and the action
// key on. An item whose library is missing is left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/kernel/clock.h"
#include "platform/shell/today_item.h"
#include "platform/storage/journal.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/input.h"
#include "sim/shell.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

void ListItem(const std::u16string& name, const std::u16string& dll, uint32_t order) {
    std::u16string key = std::u16string(kTodayItemsKey) + u"\\" + name;
    ASSERT_TRUE(RegWriteString(kHkeyLocalMachine, key, u"DLL", dll));
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, key, u"Type", kTodayTypeCustom));
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, key, u"Enabled", 1));
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, key, u"Order", order));
}

bool Journalled(const std::string& text) {
    std::vector<std::string> lines = JournalRead();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

class TodayScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemTime start;
        ASSERT_TRUE(ParseDeviceTime("2010-01-04T10:42:00", &start));
        ASSERT_TRUE(UseVirtualClock(start));
        std::filesystem::path link = HostPath(u"\\Windows\\TestItem.dll");
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_symlink(std::string(TLW_BIN_DIR) + "/libtlwtesttodayitem.so", link);
        ListItem(u"TestItem", u"\\Windows\\TestItem.dll", 1);
        ListItem(u"Missing", u"\\Windows\\Missing.dll", 2);
        ASSERT_TRUE(sim::StartShell());
        PumpMessagesUntilIdle();
    }
    void TearDown() override {
        sim::StopShell();
        PumpMessagesUntilIdle();
        UseDeviceClock();
    }
    int64_t Seen() { return GetWindowLong(sim::Shell().items.at(0).record.hwndCustom, GWL_USERDATA); }

    TempDevice device_;
};

TEST_F(TodayScreenTest, ItemIsLoadedByOrdinalAndGetsItsHeight) {
    ASSERT_EQ(sim::Shell().items.size(), 1u) << "the item without a library is left out";
    EXPECT_TRUE(Journalled("load library \\Windows\\TestItem.dll"));
    EXPECT_TRUE(Journalled("Today item Missing not loaded"));
    Hwnd item = sim::Shell().items[0].record.hwndCustom;
    EXPECT_TRUE(GetParent(item) == sim::Shell().desktop);

    sim::RefreshShell();  // the Today screen asks its items to refresh
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Seen() & 1);
    EXPECT_EQ(sim::Shell().items[0].record.cyp, 40);
    ScreenLayout layout = CurrentScreenLayout();
    Rect rect;
    ASSERT_TRUE(GetWindowRect(item, &rect));
    EXPECT_EQ(rect.top, layout.taskBar.bottom + sim::Shell().todayBase);
    EXPECT_EQ(rect.bottom - rect.top, 40);
    EXPECT_EQ(rect.right - rect.left, layout.screen.cx);

    // Painted in the Today screen's text colour over its background.
    SurfaceImage screen;
    ComposeScreen(&screen);
    auto at = [&](int32_t x, int32_t y) { return screen.pixels[static_cast<size_t>(y) * screen.width + x]; };
    EXPECT_EQ(at(15, rect.top + 15), 0x000000u);
    uint32_t background = at(5, rect.top + 5);
    EXPECT_NE(background, 0x000000u);
    EXPECT_NE(background, 0xFFFFFFu) << "the item's background is the Today screen's wash, not plain white";
}

TEST_F(TodayScreenTest, SelectionNavigationAndActionReachTheItem) {
    ASSERT_EQ(sim::Shell().items.size(), 1u);
    std::string error;
    ASSERT_TRUE(sim::PressKey(VK_DOWN, &error)) << error;
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Seen() & 2) << "the first item receives the selection";
    ASSERT_TRUE(sim::PressKey(VK_RETURN, &error));
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Seen() & 16) << "the action key goes to the selected item";
    ASSERT_TRUE(sim::PressKey(VK_DOWN, &error));
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Seen() & 8) << "the item is asked first";
    EXPECT_TRUE(Seen() & 4) << "it let go, so the selection moved past it";
    EXPECT_EQ(sim::Shell().selectedItem, -1);
}

}  // namespace
