// The kinetic scroller on a real window, driven by a virtual clock: taps
// and the press highlight, drags beyond the threshold, flings with their
// friction ticks, the four-step bounce at either end, a tap that only stops
// a moving list, and content shorter than the area.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/graphics/kinetic_scroller.h"
#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/threads.h"
#include "platform/message/message_loop.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

// The area: 200 pixels high at y 20; the content 1000 pixels high unless a
// test makes it shorter.
constexpr int32_t kAreaY = 20;
constexpr int32_t kAreaHeight = 200;

struct Seen {
    int32_t contentHeight = 1000;
    std::vector<int32_t> presses;       // extra of each press
    std::vector<int32_t> pressYs;       // content y of each press
    int cancels = 0;
    std::vector<int32_t> clicks;        // content y of each click
};
Seen g_seen;
KineticScroller g_scroller;

int32_t Draw(int64_t, plat::Hdc, int32_t, int32_t, int32_t, int32_t) { return g_seen.contentHeight; }
int32_t Press(int64_t, int32_t, int32_t y, int32_t extra) {
    g_seen.presses.push_back(extra);
    g_seen.pressYs.push_back(y);
    return 1;
}
void Cancel(int64_t) { ++g_seen.cancels; }
void Click(int64_t, int32_t, int32_t y) { g_seen.clicks.push_back(y); }
const KineticScrollerCallback kCallback{Draw, Press, Cancel, Click};

plat::LResult ListProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == plat::WM_TIMER && KineticTimer(&g_scroller, static_cast<uint32_t>(wParam))) return 0;
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

void NoWait(uint32_t) {}

class KineticScrollerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Seen{};
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
        plat::SystemTime start;
        start.year = 2010;
        start.month = 1;
        start.day = 4;
        start.hour = 10;
        ASSERT_TRUE(plat::UseVirtualClock(start));
        plat::SetSleepHook(&NoWait);
        plat::WndClass wc;
        wc.className = u"ScrollList";
        wc.proc = &ListProc;
        plat::RegisterClass(wc);
        window_ = plat::CreateWindow(u"ScrollList", u"", plat::WS_VISIBLE, 0, 0, 240, 240, plat::Hwnd{});
        ASSERT_TRUE(KineticCreate(&g_scroller, 0, window_, &kCallback, 0, kAreaY, 240, kAreaHeight));
        plat::PumpMessagesUntilIdle();
    }
    void TearDown() override {
        KineticDestroy(&g_scroller);
        plat::DestroyWindow(window_);
        plat::UnregisterClass(u"ScrollList");
        plat::PumpMessagesUntilIdle();
        plat::SetSleepHook(nullptr);
        plat::UseDeviceClock();
    }

    // Moves the virtual clock on by ms and lets due timers fire.
    static void Advance(uint32_t ms) {
        plat::FileTime ft = 0;
        plat::SystemTimeToFileTime(plat::GetLocalTime(), &ft);
        plat::SystemTime next;
        plat::FileTimeToSystemTime(ft + uint64_t(ms) * 10000, &next);
        ASSERT_TRUE(plat::SetLocalTime(next));
        plat::PumpMessagesUntilIdle();
    }
    // A drag from y0 to y1 (window coordinates) in steps of dy, step ms apart.
    static void Drag(int32_t y0, int32_t y1, int32_t dy, uint32_t stepMs) {
        KineticPointerDown(&g_scroller, 100, y0);
        for (int32_t y = y0 + dy; dy > 0 ? y <= y1 : y >= y1; y += dy) {
            Advance(stepMs);
            KineticPointerMove(&g_scroller, 100, y);
        }
    }

    TempDevice device_;
    plat::Hwnd window_;
};

TEST_F(KineticScrollerTest, QuickTapHighlightsThenClicksAndASlowTapUsesTheDelayedHighlight) {
    // Released before 100 ms: the press comes with the release x, then the click.
    EXPECT_TRUE(KineticPointerDown(&g_scroller, 50, kAreaY + 30));
    KineticPointerMove(&g_scroller, 50, kAreaY + 30 + 11);  // under the 12-pixel threshold
    Advance(40);
    EXPECT_TRUE(KineticPointerUp(&g_scroller, 55, kAreaY + 41));
    EXPECT_EQ(g_seen.presses, (std::vector<int32_t>{55}));
    EXPECT_EQ(g_seen.clicks, (std::vector<int32_t>{30})) << "the click is where the pointer went down";
    EXPECT_EQ(g_scroller.offset, 0);

    // Held for 100 ms: the highlight shows by the timer (extra 0); the
    // release only clicks.
    g_seen = Seen{};
    KineticPointerDown(&g_scroller, 50, kAreaY + 70);
    Advance(99);
    EXPECT_TRUE(g_seen.presses.empty());
    Advance(1);
    EXPECT_EQ(g_seen.presses, (std::vector<int32_t>{0}));
    KineticPointerUp(&g_scroller, 50, kAreaY + 70);
    EXPECT_EQ(g_seen.presses.size(), 1u);
    EXPECT_EQ(g_seen.clicks, (std::vector<int32_t>{70}));

    // Outside the area (the bottom edge counts as inside).
    EXPECT_FALSE(KineticPointerDown(&g_scroller, 50, kAreaY - 1));
    EXPECT_FALSE(KineticPointerUp(&g_scroller, 50, kAreaY - 1));
    EXPECT_TRUE(KineticPointerDown(&g_scroller, 240, kAreaY + kAreaHeight));
    KineticPointerUp(&g_scroller, 240, kAreaY + kAreaHeight);
}

TEST_F(KineticScrollerTest, ADragScrollsCancelsThePressAndASlowReleaseStartsNoMomentum) {
    KineticPointerDown(&g_scroller, 100, 150);
    KineticPointerMove(&g_scroller, 100, 139);
    EXPECT_FALSE(g_scroller.scrolling) << "11 pixels is still a tap";
    KineticPointerMove(&g_scroller, 100, 138);
    EXPECT_TRUE(g_scroller.scrolling);
    EXPECT_EQ(g_seen.cancels, 1);
    EXPECT_EQ(g_scroller.offset, -12) << "the whole way from the pointer-down counts once the drag starts";
    for (int32_t y = 136; y >= 130; y -= 2) {
        Advance(20);
        KineticPointerMove(&g_scroller, 100, y);
    }
    EXPECT_EQ(g_scroller.offset, -20);
    // The last moves cover 4 pixels: no momentum, and inside the content no bounce.
    Advance(20);
    KineticPointerUp(&g_scroller, 100, 130);
    EXPECT_FALSE(g_scroller.scrolling);
    EXPECT_EQ(g_scroller.velocity, 0);
    Advance(500);
    EXPECT_EQ(g_scroller.offset, -20);
    EXPECT_TRUE(g_seen.clicks.empty());
}

TEST_F(KineticScrollerTest, AFlingMovesByMomentumWithTheFrictionTable) {
    // Up by 20 pixels every 10 ms: the release sees 40 pixels in 20 ms.
    Drag(200, 100, -20, 10);
    KineticPointerUp(&g_scroller, 100, 100);
    EXPECT_EQ(g_scroller.velocity, -90) << "45 x -40 / 20";
    int32_t offset = g_scroller.offset;
    double v = -90;
    // Each 70 ms tick: friction by speed, then the step (floor of the velocity).
    for (int tick = 0; tick < 5; ++tick) {
        int speed = std::abs(static_cast<int>(v));
        v *= speed >= 201 ? 0.7 : speed >= 101 ? 0.8 : speed >= 41 ? 0.9 : 0.94;
        offset += static_cast<int32_t>(std::floor(v));
        Advance(70);
        ASSERT_EQ(g_scroller.offset, offset) << "tick " << tick;
    }
    // It runs on into the end of the content and settles there.
    for (int i = 0; i < 200 && g_scroller.scrolling; ++i) Advance(70);
    EXPECT_FALSE(g_scroller.scrolling);
    EXPECT_EQ(g_scroller.offset, kAreaHeight - 1000);
    Advance(700);
    EXPECT_EQ(g_scroller.offset, kAreaHeight - 1000);
}

TEST_F(KineticScrollerTest, ATapOnAMovingListStopsItWithoutAClick) {
    Drag(200, 100, -20, 10);
    KineticPointerUp(&g_scroller, 100, 100);
    Advance(70);
    ASSERT_TRUE(g_scroller.scrolling);
    int32_t offset = g_scroller.offset;
    KineticPointerDown(&g_scroller, 100, 120);
    KineticPointerUp(&g_scroller, 100, 120);
    Advance(500);
    EXPECT_EQ(g_scroller.offset, offset);
    EXPECT_FALSE(g_scroller.scrolling);
    EXPECT_TRUE(g_seen.clicks.empty());
    EXPECT_TRUE(g_seen.presses.empty());
    // The next tap clicks again.
    KineticPointerDown(&g_scroller, 100, 120);
    KineticPointerUp(&g_scroller, 100, 120);
    EXPECT_EQ(g_seen.clicks.size(), 1u);
}

TEST_F(KineticScrollerTest, PulledPastTheTopItBouncesBackInFourSteps) {
    // Down by 100 pixels, slowly at the end.
    KineticPointerDown(&g_scroller, 100, 50);
    for (int32_t y = 62; y <= 150; y += 22) {
        Advance(30);
        KineticPointerMove(&g_scroller, 100, y);
    }
    KineticPointerMove(&g_scroller, 100, 152);
    KineticPointerMove(&g_scroller, 100, 152);
    ASSERT_EQ(g_scroller.offset, 102);
    KineticPointerUp(&g_scroller, 100, 152);
    std::vector<int32_t> steps;
    for (int i = 0; i < 4; ++i) {
        Advance(50);
        steps.push_back(g_scroller.offset);
    }
    EXPECT_EQ(steps, (std::vector<int32_t>{51, 20, 4, 0})) << "50 %, 40 % of that, 20 % of that, then 0";
    EXPECT_FALSE(g_scroller.scrolling);
    Advance(200);
    EXPECT_EQ(g_scroller.offset, 0);
}

TEST_F(KineticScrollerTest, PulledPastTheBottomItLandsOnTheEnd) {
    KineticSetOffset(&g_scroller, -(1000 - kAreaHeight) - 100, false);
    g_scroller.scrolling = true;
    EXPECT_TRUE(KineticOverscrollCheck(&g_scroller, true));
    std::vector<int32_t> steps;
    for (int i = 0; i < 4; ++i) {
        Advance(50);
        steps.push_back(g_scroller.offset);
    }
    // From 100 past the end: half of it back, then 20 % and 2 % of what is
    // left (truncated: nothing), then exactly on the end.
    EXPECT_EQ(steps, (std::vector<int32_t>{-850, -840, -840, -800}));
    EXPECT_FALSE(g_scroller.scrolling);
}

TEST_F(KineticScrollerTest, ShortContentAlwaysSettlesAtTheTop) {
    g_seen.contentHeight = 120;
    KineticRedraw(&g_scroller);
    KineticPointerDown(&g_scroller, 100, 150);
    for (int32_t y = 130; y >= 60; y -= 10) {
        Advance(10);
        KineticPointerMove(&g_scroller, 100, y);
    }
    KineticPointerUp(&g_scroller, 100, 60);
    for (int i = 0; i < 40; ++i) Advance(50);
    EXPECT_EQ(g_scroller.offset, 0);
    EXPECT_FALSE(g_scroller.scrolling);
    // A release with no time between the samples starts no momentum.
    KineticPointerDown(&g_scroller, 100, 150);
    KineticPointerMove(&g_scroller, 100, 100);
    KineticPointerUp(&g_scroller, 100, 100);
    EXPECT_EQ(g_scroller.velocity, 0);
    for (int i = 0; i < 10; ++i) Advance(50);
    EXPECT_EQ(g_scroller.offset, 0);
}

}  // namespace
