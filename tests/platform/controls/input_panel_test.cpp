// The input panel and the wait cursor: the work area shrinking by the
// keyboard, the setting change reaching top-level windows, both drawn by
// the compositor over the windows, taps on the keyboard reaching no window.
#include "platform/shell/input_panel.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/storage/journal.h"
#include "platform/window/compositor.h"
#include "platform/window/cursor.h"
#include "controls_test_support.h"

namespace {

using namespace plat;

std::vector<std::pair<uint64_t, int64_t>> g_settings;  // WM_SETTINGCHANGE (wParam, lParam) seen

LResult SettingsProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_SETTINGCHANGE) g_settings.push_back({wParam, lParam});
    if (message == WM_PAINT) {
        PaintStruct ps;
        Hdc hdc = BeginPaint(hwnd, &ps);
        Rect client;
        GetClientRect(hwnd, &client);
        HBrush red = CreateSolidBrush(Rgb(200, 0, 0));
        FillRect(hdc, client, red);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class InputPanelTest : public ctltest::ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        WndClass wc;
        wc.className = u"Settings";
        wc.proc = &SettingsProc;
        RegisterClass(wc);
        g_settings.clear();
    }
    void TearDown() override {
        SipShowIM(SIPF_OFF);
        SetCursor(HCursor{});
        ControlTest::TearDown();
    }
};

TEST_F(InputPanelTest, ShowingShrinksTheVisibleDesktopAndTellsTopLevelWindows) {
    Hwnd top = CreateWindow(u"Settings", u"Full", WS_VISIBLE, 0, 26, 240, 268, Hwnd{});
    SipInfo info;
    ASSERT_TRUE(SipGetInfo(&info));
    ScreenLayout layout = CurrentScreenLayout();
    EXPECT_EQ(info.fdwFlags & SIPF_ON, 0u);
    EXPECT_EQ(info.rcVisibleDesktop.bottom, layout.work.bottom);
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    PumpMessagesUntilIdle();
    ASSERT_TRUE(SipGetInfo(&info));
    EXPECT_EQ(info.fdwFlags & SIPF_ON, SIPF_ON);
    EXPECT_EQ(info.rcSipRect.bottom, layout.work.bottom);
    EXPECT_EQ(info.rcSipRect.bottom - info.rcSipRect.top, 80);
    EXPECT_EQ(info.rcVisibleDesktop.top, layout.work.top);
    EXPECT_EQ(info.rcVisibleDesktop.bottom, info.rcSipRect.top);
    EXPECT_EQ(g_settings, (std::vector<std::pair<uint64_t, int64_t>>{{SPI_SETSIPINFO, 0}}));
    EXPECT_TRUE(SipShowIM(SIPF_ON));  // already up: nobody is told again
    EXPECT_TRUE(SHSipPreference(top, SIP_DOWN));
    PumpMessagesUntilIdle();
    EXPECT_EQ(g_settings.size(), 2u);
    EXPECT_FALSE(SipIsShown());
    EXPECT_FALSE(SipShowIM(7));
    SipInfo wrong;
    wrong.cbSize = 3;
    EXPECT_FALSE(SipGetInfo(&wrong));
    std::vector<std::string> journal = JournalRead();
    auto endsWith = [](const std::string& line, const std::string& tail) {
        return line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [&](const std::string& l) { return endsWith(l, "input panel shown"); }), 1);
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [&](const std::string& l) { return endsWith(l, "input panel hidden"); }), 1);
    DestroyWindow(top);
}

TEST_F(InputPanelTest, KeyboardAndWaitCursorAreDrawnOverTheWindows) {
    Hwnd top = CreateWindow(u"Settings", u"Full", WS_VISIBLE, 0, 0, 240, 320, Hwnd{});
    PumpMessagesUntilIdle();
    SurfaceImage plain;
    ComposeScreen(&plain);
    const uint32_t red = 0xC80000;
    EXPECT_EQ(plain.pixels[static_cast<size_t>(250) * 240 + 120], red);
    EXPECT_EQ(plain.pixels[static_cast<size_t>(160) * 240 + 120], red);

    SipShowIM(SIPF_ON);
    SetCursor(LoadCursor(IDC_WAIT));
    EXPECT_TRUE(WaitCursorShown());
    SurfaceImage shot;
    ComposeScreen(&shot);
    SipInfo info;
    SipGetInfo(&info);
    // The keyboard covers its rectangle: no red left there, red above it.
    int covered = 0;
    for (int32_t y = info.rcSipRect.top; y < info.rcSipRect.bottom; ++y)
        for (int32_t x = 0; x < 240; ++x) covered += shot.pixels[static_cast<size_t>(y) * 240 + x] != red;
    EXPECT_EQ(covered, 240 * (info.rcSipRect.bottom - info.rcSipRect.top));
    EXPECT_EQ(shot.pixels[static_cast<size_t>(info.rcSipRect.top - 1) * 240 + 5], red);
    // The wait cursor: dots on a circle around the middle of the screen.
    int dots = 0;
    for (int32_t y = 130; y < 190; ++y)
        for (int32_t x = 90; x < 150; ++x) dots += shot.pixels[static_cast<size_t>(y) * 240 + x] != red;
    EXPECT_GT(dots, 20);
    // A tap on the keyboard reaches no window; its keys are known by place.
    Point onQ{info.rcSipRect.left + 12, info.rcSipRect.top + 5};
    EXPECT_FALSE(WindowFromPoint(onQ).hwnd);
    EXPECT_EQ(InputPanelKeyAt(onQ), u'q');
    EXPECT_EQ(InputPanelKeyAt(Point{120, info.rcSipRect.bottom - 3}), u' ');
    EXPECT_EQ(InputPanelKeyAt(Point{120, info.rcSipRect.top - 1}), 0);

    EXPECT_EQ(SetCursor(HCursor{}), LoadCursor(IDC_WAIT));
    EXPECT_FALSE(WaitCursorShown());
    SipShowIM(SIPF_OFF);
    SurfaceImage after;
    ComposeScreen(&after);
    EXPECT_EQ(after.pixels, plain.pixels);
    DestroyWindow(top);
}

}  // namespace
