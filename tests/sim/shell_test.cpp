// Picture and behaviour tests of the shell in the device host: the taskbar
// shows the device clock and the notification icons (a tap posts the
// callback), a full-screen window hides the taskbar, the shell follows the
// turned screen, taps reach windows in client coordinates (and the
// capture), and the soft keys send the foreground window its commands.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/hardware/display.h"
#include "platform/kernel/clock.h"
#include "platform/shell/full_screen.h"
#include "platform/shell/menu_bar.h"
#include "platform/shell/notify_icon.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "sim/input.h"
#include "sim/shell.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

// What the test window received.
struct Received {
    uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};
std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

constexpr ColorRef kWindowColor = Rgb(200, 40, 40);

LResult AppProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_PAINT: {
        PaintStruct ps;
        Hdc hdc = BeginPaint(hwnd, &ps);
        Rect client;
        GetClientRect(hwnd, &client);
        HBrush brush = CreateSolidBrush(kWindowColor);
        FillRect(hdc, client, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_COMMAND:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_USER + 5:
        Log().push_back({message, wParam, lParam});
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

uint32_t Pixel(const SurfaceImage& s, int32_t x, int32_t y) { return s.pixels[static_cast<size_t>(y) * s.width + x]; }
uint32_t Rgb24(ColorRef c) { return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c); }

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemTime start;
        ASSERT_TRUE(ParseDeviceTime("2010-01-04T10:42:00", &start));
        ASSERT_TRUE(UseVirtualClock(start));
        WndClass wc;
        wc.className = u"ShellTestApp";
        wc.proc = &AppProc;
        RegisterClass(wc);
        Log().clear();
        ASSERT_TRUE(sim::StartShell());
        PumpMessagesUntilIdle();
    }
    void TearDown() override {
        for (Hwnd hwnd : made_) DestroyWindow(hwnd);
        sim::StopShell();
        PumpMessagesUntilIdle();
        UseDeviceClock();
    }
    Hwnd MakeApp(Rect r, uint32_t style = 0, Hwnd parent = Hwnd{}) {
        Hwnd hwnd = CreateWindow(u"ShellTestApp", u"Notes", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                 parent);
        ShowWindow(hwnd, SW_SHOW);
        if (!(style & WS_CHILD)) made_.push_back(hwnd);
        Settle();
        return hwnd;
    }
    // Lets the shell take in the device and everything paint.
    void Settle() {
        sim::RefreshShell();
        PumpMessagesUntilIdle();
    }
    SurfaceImage Screen() {
        Settle();
        SurfaceImage s;
        ComposeScreen(&s);
        return s;
    }
    // The taskbar's rows of the screen.
    std::vector<uint32_t> TaskBarRows(const SurfaceImage& s) {
        ScreenLayout l = CurrentScreenLayout();
        return std::vector<uint32_t>(s.pixels.begin(), s.pixels.begin() + static_cast<size_t>(l.taskBarHeight) * s.width);
    }
    // The taskbar as it must look with this clock and title.
    std::vector<uint32_t> ExpectedTaskBar(const std::u16string& clock, const std::u16string& title) {
        ScreenLayout l = CurrentScreenLayout();
        Hdc hdc = CreateOffscreenDC(l.screen.cx, l.taskBarHeight);
        sim::TaskBarLook look;
        look.clock = clock;
        look.title = title;
        sim::PaintTaskBar(hdc, {0, 0, l.screen.cx, l.taskBarHeight}, look);
        std::vector<uint32_t> rows;
        for (int32_t y = 0; y < l.taskBarHeight; ++y)
            for (int32_t x = 0; x < l.screen.cx; ++x) rows.push_back(Rgb24(GetPixel(hdc, x, y)));
        DeleteDC(hdc);
        return rows;
    }

    TempDevice device_;
    std::vector<Hwnd> made_;
};

TEST_F(ShellTest, TaskBarShowsTheDeviceClockAndTheForegroundTitle) {
    SurfaceImage screen = Screen();
    EXPECT_EQ(TaskBarRows(screen), ExpectedTaskBar(u"10:42", u"Today"));
    EXPECT_NE(TaskBarRows(screen), ExpectedTaskBar(u"10:43", u"Today"));

    ASSERT_TRUE(AdvanceClock(60));
    MakeApp({0, 26, 240, 294});
    screen = Screen();
    EXPECT_EQ(TaskBarRows(screen), ExpectedTaskBar(u"10:43", u"Notes"));
}

TEST_F(ShellTest, FullScreenWindowHidesTheTaskBarAndMenuBar) {
    Hwnd app = MakeApp({0, 0, 240, 320});
    ScreenLayout l = CurrentScreenLayout();
    SurfaceImage screen = Screen();
    EXPECT_NE(Pixel(screen, 120, 5), Rgb24(kWindowColor)) << "the taskbar lies over a window";
    EXPECT_NE(Pixel(screen, 120, l.menuBar.top + 5), Rgb24(kWindowColor));

    ASSERT_TRUE(ShFullScreen(app, kShfsHideTaskbar | kShfsHideSipButton));
    screen = Screen();
    EXPECT_EQ(Pixel(screen, 120, 5), Rgb24(kWindowColor));
    EXPECT_EQ(Pixel(screen, 120, l.menuBar.top + 5), Rgb24(kWindowColor));
    EXPECT_TRUE(WindowFromPoint({120, 5}).hwnd == app) << "a hidden bar takes no taps";

    // The Today screen in front again: the bars are back.
    SetForegroundWindow(sim::Shell().desktop);
    screen = Screen();
    EXPECT_NE(Pixel(screen, 120, 5), Rgb24(kWindowColor));
    ASSERT_TRUE(ShFullScreen(app, kShfsShowTaskbar));
    EXPECT_FALSE(ShFullScreen(app, kShfsShowTaskbar | kShfsHideTaskbar));
}

TEST_F(ShellTest, ShellFollowsTheTurnedScreen) {
    DisplayMode mode;
    mode.fields = kDmDisplayOrientation;
    mode.displayOrientation = kDmdo270;
    ASSERT_EQ(ChangeDisplaySettingsEx(&mode, 0), kDispChangeSuccessful);
    SurfaceImage screen = Screen();
    ASSERT_EQ(screen.width, 320);
    ASSERT_EQ(screen.height, 240);
    Rect bar;
    ASSERT_TRUE(GetWindowRect(sim::Shell().taskBar, &bar));
    EXPECT_EQ(bar.right, 320);
    Rect desk;
    ASSERT_TRUE(GetWindowRect(sim::Shell().desktop, &desk));
    EXPECT_EQ(desk.right, 320);
    EXPECT_EQ(desk.bottom, 240 - CurrentScreenLayout().menuBarHeight);
    EXPECT_EQ(TaskBarRows(screen), ExpectedTaskBar(u"10:42", u"Today")) << "the taskbar spans the new width";
}

TEST_F(ShellTest, TapReachesTheWindowUnderItInClientCoordinates) {
    Hwnd app = MakeApp({20, 60, 220, 260});
    Hwnd child = MakeApp({100, 100, 150, 150}, WS_CHILD, app);
    sim::PenResult r = sim::Tap({30, 75});
    ASSERT_TRUE(r.delivered) << r.error;
    EXPECT_TRUE(r.hwnd == app);
    PumpMessagesUntilIdle();
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(PointParamX(Log()[0].lParam), 10);
    EXPECT_EQ(PointParamY(Log()[0].lParam), 15);
    EXPECT_EQ(Log()[1].message, WM_LBUTTONUP);

    Log().clear();
    r = sim::Tap({125, 165});  // inside the child (at 120,160 on the screen)
    EXPECT_TRUE(r.hwnd == child);
    EXPECT_EQ(r.client.x, 5);
    EXPECT_EQ(r.client.y, 5);

    // With the capture, the stylus goes to the capturing window wherever it is.
    SetCapture(app);
    r = sim::Tap({5, 300});
    EXPECT_TRUE(r.hwnd == app);
    EXPECT_EQ(r.client.x, -15);
    EXPECT_EQ(r.client.y, 240);
    ReleaseCapture();

    EXPECT_FALSE(sim::Tap({500, 10}).delivered);
    // A tap on the desktop brings the Today screen to the front.
    sim::Tap({120, 280});
    EXPECT_TRUE(GetForegroundWindow() == sim::Shell().desktop);
}

TEST_F(ShellTest, SoftKeysSendTheForegroundWindowItsCommands) {
    Hwnd app = MakeApp({0, 26, 240, 294});
    MenuBarInfo bar;
    bar.left.label = u"Done";
    bar.left.command = 40001;
    bar.right.label = u"Menu";
    bar.right.popup = {{u"Export", 1501}, {u"", 0, true}, {u"Back", 1504}};
    ASSERT_TRUE(SHCreateMenuBar(app, bar));
    Settle();
    EXPECT_EQ(sim::Shell().menuBarShown.left.label, u"Done");

    std::string error;
    ASSERT_TRUE(sim::PressKey(VK_TSOFT1, &error)) << error;
    PumpMessagesUntilIdle();
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().back().message, WM_COMMAND);
    EXPECT_EQ(Log().back().wParam, 40001u);

    // The right key opens its popup above the menu bar; tapping an entry
    // sends its command and closes it.
    ScreenLayout l = CurrentScreenLayout();
    Log().clear();
    sim::Tap({200, l.menuBar.top + 5});
    Settle();
    ASSERT_TRUE(sim::Shell().popup);
    Rect popup;
    GetWindowRect(sim::Shell().popup, &popup);
    EXPECT_EQ(popup.bottom, l.menuBar.top);
    const sim::PopupRow& last = sim::Shell().popupRows.back();
    sim::Tap({popup.left + 20, popup.top + (last.rect.top + last.rect.bottom) / 2});
    Settle();
    EXPECT_FALSE(sim::Shell().popup);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].wParam, 1504u);

    // A tap outside an open popup only closes it.
    sim::PressKey(VK_TSOFT2, &error);
    Settle();
    ASSERT_TRUE(sim::Shell().popup);
    Log().clear();
    sim::Tap({20, 100});
    Settle();
    EXPECT_FALSE(sim::Shell().popup);
    EXPECT_TRUE(Log().empty());
}

TEST_F(ShellTest, NotificationIconIsDrawnAndATapPostsItsCallback) {
    Hwnd app = MakeApp({0, 26, 240, 294});
    SurfaceImage before = Screen();
    // A 16 x 16 icon, green where the mask is black.
    Hdc dc = CreateOffscreenDC(16, 16);
    HBitmap color = CreateCompatibleBitmap(Hdc{}, 16, 16);
    HBitmap mask = CreateBitmap(16, 16, 1, 1, nullptr);  // all black: opaque
    Hdc mem = CreateCompatibleDC(Hdc{});
    SelectObject(mem, color);
    HBrush green = CreateSolidBrush(Rgb(0, 200, 0));
    FillRect(mem, {0, 0, 16, 16}, green);
    DeleteObject(green);
    DeleteDC(mem);
    DeleteDC(dc);
    IconInfo info;
    info.color = color;
    info.mask = mask;
    HIcon icon = CreateIconIndirect(info);
    DeleteObject(color);
    DeleteObject(mask);

    NotifyIconData data;
    data.hwnd = app;
    data.id = 314;
    data.flags = NIF_MESSAGE | NIF_ICON;
    data.callbackMessage = WM_USER + 5;
    data.icon = icon;
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, data));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, data)) << "added twice";
    DestroyIcon(icon);
    SurfaceImage after = Screen();
    // The icon sits left of the clock: find its green.
    int32_t greenX = -1;
    for (int32_t x = 0; x < after.width && greenX < 0; ++x)
        if (Pixel(after, x, 13) == 0x00C800u) greenX = x;
    ASSERT_GE(greenX, 100) << "the icon is drawn at the right of the taskbar";
    EXPECT_NE(Pixel(before, greenX, 13), 0x00C800u);

    Log().clear();
    sim::Tap({greenX + 4, 13});
    Settle();
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, WM_USER + 5);
    EXPECT_EQ(Log()[0].wParam, 314u);
    EXPECT_EQ(Log()[0].lParam, static_cast<LParam>(WM_LBUTTONDOWN));
    EXPECT_EQ(Log()[1].lParam, static_cast<LParam>(WM_LBUTTONUP));

    ASSERT_TRUE(Shell_NotifyIcon(NIM_DELETE, data));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, data)) << "gone";
    SurfaceImage removed = Screen();
    EXPECT_NE(Pixel(removed, greenX, 13), 0x00C800u);
}

}  // namespace
