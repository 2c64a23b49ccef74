// Keyboard navigation over the hit areas: up, down, left and right with
// their row-wrapping rules, over a layout of one row and one of three rows.
#include <gtest/gtest.h>

#include "platform/message/messages.h"
#include "today/today_layout.h"
#include "today/today_navigation.h"

namespace {

using namespace today;
using plat::VK_DOWN;
using plat::VK_LEFT;
using plat::VK_RIGHT;
using plat::VK_UP;

TodayLayout Layout(std::initializer_list<tlw::TodayItem> slots, int32_t width = 240) {
    static tlw::TodayItem items[tlw::kTodayItemCount];
    std::fill(std::begin(items), std::end(items), tlw::TodayItem{});
    int i = 0;
    for (const tlw::TodayItem& s : slots) items[i++] = s;
    LayoutInput in;
    in.width = width;
    in.slots = items;
    in.profileRunning = true;
    TodayLayout L;
    ComputeLayout(in, &L);
    return L;
}

tlw::TodayItem One(int32_t type) { return {true, type, false, false}; }

TEST(TodayNavigation, OneRowWrapsRightAndLeft) {
    // Icon (0,0), name (0,1), lock (0,3), add-ons (0,10) (0,11) (0,12).
    TodayLayout L = Layout({One(AddonBluetooth), One(AddonWifi), One(AddonMessages)});
    EXPECT_EQ(NavigateFrom(L.hits, kHitProfileName, VK_RIGHT), kHitLock) << "the time-out is not shown";
    EXPECT_EQ(NavigateFrom(L.hits, kHitLock, VK_RIGHT), 5);
    EXPECT_EQ(NavigateFrom(L.hits, 5, VK_RIGHT), 6);
    EXPECT_EQ(NavigateFrom(L.hits, 7, VK_RIGHT), kHitProfileIcon) << "after the last row: row 0's first";
    EXPECT_EQ(NavigateFrom(L.hits, 7, VK_LEFT), 6);
    EXPECT_EQ(NavigateFrom(L.hits, 5, VK_LEFT), kHitLock);
    EXPECT_EQ(NavigateFrom(L.hits, kHitProfileIcon, VK_LEFT), 7) << "from row 0's start: the last row's last";
    EXPECT_EQ(NavigateFrom(L.hits, 6, VK_UP), kNoHit) << "up from row 0 leaves the item";
    EXPECT_EQ(NavigateFrom(L.hits, 6, VK_DOWN), kNoHit) << "nothing below";
    EXPECT_EQ(NavigateFrom(L.hits, 6, plat::VK_RETURN), 6) << "other keys do not move";

    SetTimeOutNavigable(&L, true);
    EXPECT_EQ(NavigateFrom(L.hits, kHitProfileName, VK_RIGHT), kHitTimeOut);
    EXPECT_EQ(NavigateFrom(L.hits, kHitTimeOut, VK_RIGHT), kHitLock);
}

TEST(TodayNavigation, RowsAboveAndBelow) {
    // Row 0: a tall item at 10-11 and an item at 12; row 1: an item at 12;
    // row 2: two items at 11 and 12; the lock at (2, 2).
    TodayLayout L = Layout({{true, AddonBluetooth, true, true}, One(AddonWifi), One(AddonLineBreak),
                            One(AddonMessages), One(AddonEmail), One(AddonMissedCalls)});
    ASSERT_EQ(L.rows, 3);
    ASSERT_EQ(L.hits[7].nav.row, 1);
    ASSERT_EQ(L.hits[8].nav.row, 2);
    ASSERT_EQ(L.hits[8].nav.column, 11);
    ASSERT_EQ(L.hits[9].nav.column, 12);

    EXPECT_EQ(NavigateFrom(L.hits, 6, VK_DOWN), 7) << "first with row >= 1 and column >= 11";
    EXPECT_EQ(NavigateFrom(L.hits, 5, VK_DOWN), 7) << "column >= 9 on a lower row, first in index order";
    EXPECT_EQ(NavigateFrom(L.hits, kHitProfileIcon, VK_DOWN), kHitLock) << "the lock at (2, 2) is below";
    EXPECT_EQ(NavigateFrom(L.hits, 9, VK_DOWN), kNoHit);

    EXPECT_EQ(NavigateFrom(L.hits, 9, VK_UP), 7) << "column 12 on rows 0 and 1: the last in index order";
    EXPECT_EQ(NavigateFrom(L.hits, 8, VK_UP), 5) << "greatest column up to 11";
    EXPECT_EQ(NavigateFrom(L.hits, kHitLock, VK_UP), kHitProfileName);

    EXPECT_EQ(NavigateFrom(L.hits, 6, VK_RIGHT), 7) << "end of row 0: the next row's first";
    EXPECT_EQ(NavigateFrom(L.hits, 7, VK_RIGHT), kHitLock) << "row 2's first in index order";
    EXPECT_EQ(NavigateFrom(L.hits, 9, VK_RIGHT), kHitProfileIcon);
    EXPECT_EQ(NavigateFrom(L.hits, 7, VK_LEFT), 6) << "start of row 1: row 0's last";
    EXPECT_EQ(NavigateFrom(L.hits, kHitLock, VK_LEFT), 7);
    EXPECT_EQ(NavigateFrom(L.hits, 9, VK_LEFT), 8);
}

TEST(TodayNavigation, TheTriggerIconAndEmptyAreasAreNeverSelected) {
    TodayLayout L = Layout({One(AddonBluetooth)});
    for (int from = 0; from < kHitCount; ++from) {
        if (L.hits[from].nav.row == kNoHit) continue;
        for (uint32_t key : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
            int to = NavigateFrom(L.hits, from, key);
            EXPECT_NE(to, kHitTrigger);
            if (to != kNoHit) {
                EXPECT_NE(L.hits[to].nav.row, kNoHit) << from << " " << key;
            }
        }
    }
    EXPECT_EQ(NavigateFrom(L.hits, kNoHit, VK_DOWN), kHitProfileName) << "a key without a selection selects the name";
}

}  // namespace
