// The Today item's grid: columns by width, placement with line breaks,
// wrapping, wide and tall items, right-alignment row by row, the name
// reserve of the profile area, and the rectangles of meters and slider.
#include <gtest/gtest.h>

#include <initializer_list>

#include "today/today_layout.h"

namespace {

using namespace today;

struct Slot {
    int32_t type;
    bool tall = false;
    bool wide = false;
};

class LayoutTest : public ::testing::Test {
protected:
    TodayLayout Make(int32_t width, int32_t dpi, std::initializer_list<Slot> slots, bool thumb = false,
                     bool running = true) {
        std::fill(std::begin(items_), std::end(items_), tlw::TodayItem{});
        int i = 0;
        for (const Slot& s : slots) {
            items_[i].enabled = true;
            items_[i].type = s.type;
            items_[i].height = s.tall;
            items_[i].width = s.wide;
            ++i;
        }
        LayoutInput in;
        in.width = width;
        in.dpiX = dpi;
        in.dpiY = dpi;
        in.slots = items_;
        in.thumbMenu = thumb;
        in.profileRunning = running;
        TodayLayout layout;
        ComputeLayout(in, &layout);
        return layout;
    }
    static void ExpectAt(const TodayLayout& L, int hit, int row, int column) {
        EXPECT_EQ(L.hits[hit].nav.row, row) << "hit " << hit;
        EXPECT_EQ(L.hits[hit].nav.column, column) << "hit " << hit;
    }

    tlw::TodayItem items_[tlw::kTodayItemCount];
};

TEST_F(LayoutTest, ColumnsFollowTheWidthInScaledUnits) {
    EXPECT_EQ(ColumnsForWidth(240, 96), 12);
    EXPECT_EQ(ColumnsForWidth(241, 96), 12);
    EXPECT_EQ(ColumnsForWidth(242, 96), 16);
    EXPECT_EQ(ColumnsForWidth(320, 96), 16);
    EXPECT_EQ(ColumnsForWidth(400, 96), 21);
    EXPECT_EQ(ColumnsForWidth(480, 96), 30);
    EXPECT_EQ(ColumnsForWidth(480, 192), 12) << "a VGA portrait screen is as wide as a QVGA one in units";
    EXPECT_EQ(ColumnsForWidth(640, 192), 16);
}

TEST_F(LayoutTest, OneRowIsRightAlignedAndLeavesTheNameReserve) {
    TodayLayout L = Make(240, 96, {{AddonBluetooth}, {AddonWifi}, {AddonMessages}});
    EXPECT_EQ(L.columns, 12);
    EXPECT_EQ(L.rows, 1);
    EXPECT_EQ(L.height, 20);
    ExpectAt(L, 5, 0, 10);
    ExpectAt(L, 6, 0, 11);
    ExpectAt(L, 7, 0, 12);
    EXPECT_EQ(L.freeLeft, 5) << "columns 5 to 9 are free";
    // Column c starts at W - (C - c + 1) x 18; the last ends 2 units before the edge.
    EXPECT_EQ(L.hits[5].rect.left, 186);
    EXPECT_EQ(L.hits[7].rect.left, 222);
    EXPECT_EQ(L.hits[7].rect.right, 238);
    EXPECT_EQ(L.hits[7].rect.top, 2);
    EXPECT_EQ(L.hits[7].rect.bottom, 20);
    // The name takes the free columns less room for the time-out and trigger icon.
    EXPECT_EQ(L.hits[kHitProfileName].rect.left, 28);
    EXPECT_EQ(L.hits[kHitProfileName].rect.right, 240 - (3 * 18 + 66));
    EXPECT_FALSE(L.nameHidden);
    EXPECT_EQ(L.hits[kHitTimeOut].rect.left, 120);
    EXPECT_EQ(L.hits[kHitTrigger].rect.left, 150);
    EXPECT_EQ(L.hits[kHitLock].rect.left, 240 - 4 * 18);
    ExpectAt(L, kHitLock, 0, 3);
    EXPECT_EQ(L.hits[kHitTimeOut].nav.row, kNoHit) << "no time-out shown yet";
    EXPECT_EQ(L.hits[8].nav.row, kNoHit) << "areas after the last add-on are empty";
    EXPECT_EQ(L.slotOfHit[8], -1);
}

TEST_F(LayoutTest, AFullFirstRowHidesTheName) {
    TodayLayout L = Make(240, 96, {{0}, {1}, {2}, {3}, {4}, {5}, {6}});
    EXPECT_EQ(L.rows, 1);
    EXPECT_EQ(L.freeLeft, 1);
    EXPECT_TRUE(L.nameHidden);
    EXPECT_EQ(L.hits[kHitProfileName].rect.right, 28 + 18);
}

TEST_F(LayoutTest, ALineBreakFirstMovesEveryAddonToTheSecondRow) {
    TodayLayout L = Make(240, 96, {{AddonLineBreak}, {AddonBluetooth}, {AddonWifi}});
    EXPECT_EQ(L.rows, 2);
    EXPECT_EQ(L.height, 40);
    ExpectAt(L, 5, 1, 11);
    ExpectAt(L, 6, 1, 12);
    EXPECT_EQ(L.hits[5].rect.top, 22);
    EXPECT_EQ(L.freeLeft, 8) << "row 0 stays empty";
    // Two rows without the thumb menu: time-out and trigger go below the name,
    // the lock beside them.
    EXPECT_EQ(L.hits[kHitTimeOut].rect.left, 60);
    EXPECT_EQ(L.hits[kHitTimeOut].rect.top, 22);
    EXPECT_EQ(L.hits[kHitTrigger].rect.left, 2);
    EXPECT_EQ(L.hits[kHitTrigger].rect.top, 22);
    EXPECT_EQ(L.hits[kHitLock].rect.left, 28);
    EXPECT_EQ(L.hits[kHitLock].rect.top, 22);
    ExpectAt(L, kHitLock, 1, 1);
}

TEST_F(LayoutTest, ItemsThatDoNotFitWrapToTheNextRow) {
    // Eight one-cell items: columns 5 to 12 of row 0, then the ninth wraps to
    // row 1, which also starts at column 5.
    TodayLayout L = Make(240, 96, {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {9}});
    EXPECT_EQ(L.rows, 2);
    ExpectAt(L, 5, 0, 5);
    ExpectAt(L, 12, 0, 12);
    ExpectAt(L, 13, 1, 12);
    // A wide item needs two free cells: it wraps when only one is left.
    L = Make(240, 96, {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {AddonWifiMeter, false, true}});
    ExpectAt(L, 11, 0, 12);
    ExpectAt(L, 12, 1, 11);
    EXPECT_EQ(L.hits[12].rect.right - L.hits[12].rect.left, 32);
}

TEST_F(LayoutTest, TallItemsTakeTheRowBelowToo) {
    TodayLayout L = Make(240, 96,
                         {{AddonBluetooth, true, true}, {AddonWifi}, {AddonLineBreak}, {AddonMessages}, {AddonEmail}});
    ExpectAt(L, 5, 0, 10);
    ExpectAt(L, 6, 0, 12);
    EXPECT_EQ(L.hits[5].rect.top, 4);
    EXPECT_EQ(L.hits[5].rect.bottom, 38);
    // Row 1 starts after the lower half of the tall item; the one after it
    // has no room left and goes to row 2, right-aligned.
    ExpectAt(L, 7, 1, 12);
    ExpectAt(L, 8, 2, 12);
    EXPECT_EQ(L.rows, 3);
    EXPECT_EQ(L.height, 60);
    EXPECT_EQ(L.hits[kHitLock].rect.top, 42);
    ExpectAt(L, kHitLock, 2, 2);
}

TEST_F(LayoutTest, ARowBelowATallItemAtTheRightEdgeHasNoRoom) {
    // The tall item ends at the right edge, so its lower half leaves nothing
    // after it on row 1: the next items start row 2 and are right-aligned.
    TodayLayout L = Make(320, 96, {{AddonBluetooth, true, true}, {AddonLineBreak}, {AddonWifi}, {AddonPushMail}});
    EXPECT_EQ(L.columns, 16);
    ExpectAt(L, 5, 0, 15);
    ExpectAt(L, 6, 2, 15);
    ExpectAt(L, 7, 2, 16);
    EXPECT_EQ(L.rows, 3);
    for (int hit = 6; hit <= 7; ++hit) EXPECT_GE(L.hits[hit].rect.top, L.hits[5].rect.bottom) << "no overlap";
}

TEST_F(LayoutTest, ProfileAreaWithTheThumbMenu) {
    TodayLayout L = Make(240, 96, {{AddonLineBreak}, {AddonBluetooth}}, true, true);
    EXPECT_EQ(L.rows, 2);
    EXPECT_EQ(L.hits[kHitProfileName].rect.right, 28 + 36) << "the large icon takes the name's place";
    EXPECT_EQ(L.nameHighlight.bottom, 18 + 18) << "two lines high";
    EXPECT_EQ(L.hits[kHitLock].rect.left, L.nameHighlight.right + 4);
    ExpectAt(L, kHitLock, 0, 2);
}

TEST_F(LayoutTest, WideScreensPlaceFromTheRightEdge) {
    for (int32_t width : {320, 400, 480}) {
        TodayLayout L = Make(width, 96, {{AddonBattery, false, true}});
        int32_t C = L.columns;
        ExpectAt(L, 5, 0, C - 1);
        EXPECT_EQ(L.hits[5].rect.left, width - 2 * 18) << width;
        EXPECT_EQ(L.freeLeft, C - 1 - 5) << width;
    }
}

TEST_F(LayoutTest, HighResolutionScalesEveryLength) {
    TodayLayout L = Make(480, 192, {{AddonBluetooth}, {AddonLineBreak}, {AddonWifi}});
    EXPECT_EQ(L.columns, 12);
    EXPECT_EQ(L.rows, 2);
    EXPECT_EQ(L.height, 80);
    EXPECT_EQ(L.hits[5].rect.left, 480 - 36);
    EXPECT_EQ(L.hits[5].rect.right, 480 - 4);
    EXPECT_EQ(L.hits[6].rect.top, 44);
    EXPECT_EQ(L.hits[kHitProfileIcon].rect.right, 36);
}

TEST_F(LayoutTest, MetersAndTheSliderGetTheirRectangles) {
    TodayLayout L = Make(240, 96, {{AddonCpuMeter, false, true}, {AddonBrightness, false, true}});
    EXPECT_EQ(L.cpuHit, 5);
    EXPECT_EQ(L.sliderHit, 6);
    const plat::Rect& item = L.hits[5].rect;
    const plat::Rect& meter = L.meterRect[5];
    EXPECT_EQ(meter.left, item.left - 2);
    EXPECT_EQ(meter.top, item.top + 1);
    EXPECT_EQ(meter.right, item.right + 1);
    EXPECT_EQ(meter.bottom, item.bottom - 2);
    EXPECT_EQ(L.cpuBar.left, meter.left + 4);
    EXPECT_EQ(L.cpuBar.right, meter.right - 4);
    EXPECT_EQ(L.sliderRect.left, L.hits[6].rect.left - 2);
    EXPECT_EQ(L.sliderRect.right - L.sliderRect.left, 35);
    EXPECT_EQ(L.sliderRect.bottom - L.sliderRect.top, 15);

    L = Make(240, 96, {{AddonBluetooth}});
    EXPECT_EQ(L.cpuHit, -1);
    EXPECT_EQ(L.sliderHit, -1);
}

TEST_F(LayoutTest, NoAddonsIsOneRowAndDisabledSlotsAreSkipped) {
    TodayLayout L = Make(240, 96, {}, false, false);
    EXPECT_EQ(L.rows, 1);
    EXPECT_EQ(L.height, 20);
    for (int hit = kHitFirstAddon; hit < kHitCount; ++hit) EXPECT_EQ(L.hits[hit].nav.row, kNoHit);
    items_[0] = {false, AddonBluetooth, false, false};
    items_[1] = {true, AddonWifi, false, false};
    LayoutInput in;
    in.width = 240;
    in.slots = items_;
    ComputeLayout(in, &L);
    EXPECT_EQ(L.slotOfHit[5], 1);
    EXPECT_EQ(L.slotOfHit[6], -1);
}

TEST_F(LayoutTest, TheTimeOutBecomesNavigableWhenShown) {
    TodayLayout L = Make(240, 96, {{AddonBluetooth}});
    SetTimeOutNavigable(&L, true);
    ExpectAt(L, kHitTimeOut, 0, 2);
    SetTimeOutNavigable(&L, false);
    EXPECT_EQ(L.hits[kHitTimeOut].nav.row, kNoHit);
    L = Make(240, 96, {{AddonLineBreak}, {AddonBluetooth}});
    SetTimeOutNavigable(&L, true);
    ExpectAt(L, kHitTimeOut, 1, 2);
}

}  // namespace
