// Picture tests of the compositor: windows of two processes stacked, a
// child window of another process inside its parent, the screen turned
// with the display, a dark screen while suspended, and what a point hits.
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "platform/gdi/gdi.h"
#include "platform/hardware/display.h"
#include "platform/power/power_state.h"
#include "platform/storage/device.h"
#include "platform/window/compositor.h"
#include "platform/window/window_order.h"
#include "window_test_support.h"

namespace {

using namespace plat;

constexpr ColorRef kRed = Rgb(220, 30, 30);
constexpr ColorRef kBlue = Rgb(30, 30, 220);
constexpr ColorRef kGreen = Rgb(30, 180, 30);
constexpr ColorRef kYellow = Rgb(240, 220, 20);

// The colour each painter window fills itself with (GWL_USERDATA).
LResult SolidProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_PAINT) {
        PaintStruct ps;
        Hdc hdc = BeginPaint(hwnd, &ps);
        Rect client;
        GetClientRect(hwnd, &client);
        HBrush brush = CreateSolidBrush(static_cast<ColorRef>(GetWindowLong(hwnd, GWL_USERDATA)));
        FillRect(hdc, client, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void RegisterSolid() {
    WndClass wc;
    wc.className = u"Solid";
    wc.proc = &SolidProc;
    RegisterClass(wc);
}

Hwnd MakeSolid(ColorRef color, Rect r, Hwnd parent = Hwnd{}, uint32_t style = 0) {
    Hwnd hwnd = CreateWindow(u"Solid", u"Solid", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent);
    SetWindowLong(hwnd, GWL_USERDATA, color);
    ShowWindow(hwnd, SW_SHOW);
    PumpMessagesUntilIdle();
    return hwnd;
}

uint32_t Pixel(const SurfaceImage& s, int32_t x, int32_t y) {
    return s.pixels[static_cast<size_t>(y) * s.width + x];
}
uint32_t Expected(ColorRef c) { return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c); }

class CompositorTest : public wintest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        UseDeviceClock();
        RegisterSolid();
    }
    void TearDown() override {
        if (child_ > 0) {
            if (hold_[1] >= 0) close(hold_[1]);
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        for (int fd : hold_)
            if (fd >= 0) close(fd);
        WindowTest::TearDown();
    }

    // A second process that shows one painted window (a child of parent
    // when given) and keeps it until the test ends. Returns its window.
    Hwnd StartPainter(ColorRef color, Rect r, Hwnd parent = Hwnd{}) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(hold_) != 0) return Hwnd{};
        child_ = fork();
        if (child_ == 0) {
            close(ready[0]);
            close(hold_[1]);
            SetProgramName("painter");
            RegisterSolid();
            Hwnd hwnd = MakeSolid(color, r, parent, parent ? WS_CHILD : 0);
            uint64_t value = hwnd.value;
            if (write(ready[1], &value, sizeof value) != sizeof value) _exit(1);
            char byte;
            while (read(hold_[0], &byte, 1) < 0 && errno == EINTR) {
            }
            _exit(0);
        }
        close(ready[1]);
        uint64_t value = 0;
        bool got = read(ready[0], &value, sizeof value) == sizeof value;
        close(ready[0]);
        EXPECT_TRUE(got) << "the painter process did not start";
        return Hwnd{value};
    }

    pid_t child_ = -1;
    int hold_[2] = {-1, -1};
};

TEST_F(CompositorTest, WindowsOfTwoProcessesStackInOrder) {
    Hwnd theirs = StartPainter(kRed, {20, 40, 140, 160});
    ASSERT_TRUE(theirs);
    Hwnd mine = MakeSolid(kBlue, {80, 100, 200, 220});
    made_.push_back(mine);

    SurfaceImage screen;
    ComposeScreen(&screen);
    ASSERT_EQ(screen.width, 240);
    ASSERT_EQ(screen.height, 320);
    EXPECT_EQ(Pixel(screen, 30, 50), Expected(kRed));
    EXPECT_EQ(Pixel(screen, 190, 210), Expected(kBlue));
    EXPECT_EQ(Pixel(screen, 100, 120), Expected(kBlue)) << "the newer window lies on top";
    EXPECT_EQ(Pixel(screen, 5, 5), 0u) << "no window there";
    EXPECT_TRUE(GetForegroundWindow() == mine);

    // Bringing the other process's window to the front turns the overlap.
    ASSERT_TRUE(SetForegroundWindow(theirs));
    ComposeScreen(&screen);
    EXPECT_EQ(Pixel(screen, 100, 120), Expected(kRed));
    EXPECT_TRUE(GetForegroundWindow() == theirs);
    EXPECT_TRUE(WindowFromPoint({100, 120}).hwnd == theirs);

    // Hidden, it is neither drawn nor hit.
    ShowWindow(mine, SW_HIDE);
    ComposeScreen(&screen);
    EXPECT_EQ(Pixel(screen, 190, 210), 0u);
    EXPECT_FALSE(WindowFromPoint({190, 210}).hwnd);
}

TEST_F(CompositorTest, ChildOfAnotherProcessDrawsInsideItsParent) {
    Hwnd parent = MakeSolid(kGreen, {10, 40, 230, 200});
    made_.push_back(parent);
    // The child lies partly outside its parent's right edge.
    Hwnd child = StartPainter(kYellow, {200, 20, 260, 50}, parent);
    ASSERT_TRUE(child);
    EXPECT_TRUE(GetParent(child) == parent);
    Rect rect;
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 210);
    EXPECT_EQ(rect.top, 60);

    SurfaceImage screen;
    ComposeScreen(&screen);
    EXPECT_EQ(Pixel(screen, 215, 65), Expected(kYellow)) << "drawn at the parent's origin plus its own";
    EXPECT_EQ(Pixel(screen, 205, 65), Expected(kGreen));
    EXPECT_EQ(Pixel(screen, 232, 65), 0u) << "clipped to the parent";
    HitResult hit = WindowFromPoint({215, 65});
    EXPECT_TRUE(hit.hwnd == child);
    EXPECT_EQ(hit.client.x, 5);
    EXPECT_EQ(hit.client.y, 5);

    // The parent moves: the child goes with it.
    MoveWindow(parent, 0, 100, 220, 160, true);
    PumpMessagesUntilIdle();
    ComposeScreen(&screen);
    EXPECT_EQ(Pixel(screen, 205, 125), Expected(kYellow));
    EXPECT_EQ(Pixel(screen, 215, 65), 0u);
}

TEST_F(CompositorTest, ScreenTurnsWithTheDisplayAndDarkensWhenSuspended) {
    Hwnd hwnd = MakeSolid(kBlue, {0, 0, 40, 40});
    made_.push_back(hwnd);
    DisplayMode mode;
    mode.fields = kDmDisplayOrientation;
    mode.displayOrientation = kDmdo90;
    ASSERT_EQ(ChangeDisplaySettingsEx(&mode, 0), kDispChangeSuccessful);
    ScreenLayout layout = CurrentScreenLayout();
    EXPECT_EQ(layout.screen.cx, 320);
    EXPECT_EQ(layout.screen.cy, 240);
    EXPECT_EQ(layout.taskBar.right, 320);
    EXPECT_EQ(layout.menuBar.top, 240 - layout.menuBarHeight);
    SurfaceImage screen;
    ComposeScreen(&screen);
    EXPECT_EQ(screen.width, 320);
    EXPECT_EQ(screen.height, 240);
    EXPECT_EQ(Pixel(screen, 10, 10), Expected(kBlue));
    EXPECT_EQ(WindowFromPoint({300, 20}).hwnd, Hwnd{}) << "no window, but on the screen";

    ASSERT_TRUE(SetDevicePower(DevicePower::kSuspend));
    ComposeScreen(&screen);
    EXPECT_EQ(Pixel(screen, 10, 10), 0u);
    EXPECT_FALSE(WindowFromPoint({10, 10}).hwnd);
    ASSERT_TRUE(SetDevicePower(DevicePower::kOn));
    ComposeScreen(&screen);
    EXPECT_EQ(Pixel(screen, 10, 10), Expected(kBlue));
}

TEST_F(CompositorTest, ForegroundFocusAndCaptureAreDeviceWide) {
    Hwnd a = MakeSolid(kRed, {0, 30, 100, 100});
    Hwnd b = MakeSolid(kBlue, {50, 60, 150, 150});
    made_.push_back(a);
    made_.push_back(b);
    EXPECT_TRUE(GetForegroundWindow() == b);
    EXPECT_TRUE(GetFocus() == b);
    EXPECT_TRUE(SetFocus(a) == b);
    EXPECT_TRUE(GetFocus() == a);
    EXPECT_FALSE(GetCapture());
    SetCapture(a);
    EXPECT_TRUE(GetCapture() == a);
    ReleaseCapture();
    EXPECT_FALSE(GetCapture());
    // A window gone leaves no foreground, focus or capture behind.
    SetCapture(b);
    DestroyWindow(b);
    made_.pop_back();
    EXPECT_FALSE(GetCapture());
    EXPECT_TRUE(GetForegroundWindow() == a);
    // A child cannot be the foreground window.
    Hwnd child = CreateWindow(u"Solid", u"", WS_CHILD, 0, 0, 10, 10, a);
    EXPECT_FALSE(SetForegroundWindow(child));
}

}  // namespace
