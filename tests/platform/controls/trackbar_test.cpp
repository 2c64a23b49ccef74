// The trackbar: range and position, taps and drags, keys, page taps, and
// what the parent hears.
#include "platform/controls/trackbar.h"

#include "controls_test_support.h"
#include "platform/gdi/gdi.h"
#include "platform/window/window_surface.h"

namespace {

using namespace plat;
using ctltest::Log;

class TrackbarTest : public ctltest::ControlTest {};

TEST_F(TrackbarTest, PositionStaysInsideTheRange) {
    Hwnd bar = Make(kTrackbarClass, u"", 0, 30, {4, 4, 204, 34});
    SendMessage(bar, TBM_SETRANGE, 1, MakeLParam(0, 12));
    SendMessage(bar, TBM_SETPOS, 1, 7);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 7);
    SendMessage(bar, TBM_SETPOS, 1, 40);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 12);
    SendMessage(bar, TBM_SETPOS, 1, -3);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 0);
    SendMessage(bar, TBM_SETPOS, 1, 10);
    SendMessage(bar, TBM_SETRANGEMAX, 1, 5);  // a smaller range pulls the thumb in
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 5);
    EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMAX, 0, 0), 5);
    EXPECT_EQ(SendMessage(bar, TBM_SETPAGESIZE, 0, 3), 1);  // the default follows the range: a fifth, at least 1
    EXPECT_EQ(SendMessage(bar, TBM_GETPAGESIZE, 0, 0), 3);
    // Setting the position tells the parent nothing.
    EXPECT_TRUE(Log().empty());
}

TEST_F(TrackbarTest, TapAndDragMoveTheThumbAndTellTheParent) {
    Hwnd bar = Make(kTrackbarClass, u"", 0, 31, {4, 4, 204, 34});
    SendMessage(bar, TBM_SETRANGE, 0, MakeLParam(0, 10));
    PenDown(bar, 199, 15);  // the right end
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(GetCapture(), bar);
    PenMove(bar, 100, 15);  // the middle
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 5);
    PenMove(bar, -50, 15);  // beyond the left end: the minimum
    PenUp(bar, -50, 15);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(GetCapture());
    ASSERT_EQ(Log().size(), 5u);
    EXPECT_EQ(Log()[0].message, WM_HSCROLL);
    EXPECT_EQ(Log()[0].code, TB_THUMBTRACK);
    EXPECT_EQ(Log()[0].extra, 10u);
    EXPECT_EQ(Log()[1].extra, 5u);
    EXPECT_EQ(Log()[2].extra, 0u);
    EXPECT_EQ(Log()[3].code, TB_THUMBPOSITION);
    EXPECT_EQ(Log()[3].extra, 0u);
    EXPECT_EQ(Log()[4].code, TB_ENDTRACK);
    EXPECT_EQ(Log()[4].id, 31u);
}

TEST_F(TrackbarTest, KeysStepByLineAndPageTapsByPage) {
    Hwnd bar = Make(kTrackbarClass, u"", TBS_PAGETAP | TBS_VERT, 32, {4, 4, 34, 204});
    SendMessage(bar, TBM_SETRANGE, 0, MakeLParam(0, 100));
    SendMessage(bar, TBM_SETPOS, 0, 50);
    SendMessage(bar, TBM_SETLINESIZE, 0, 5);
    Key(bar, VK_RIGHT);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 55);
    Key(bar, VK_LEFT);
    Key(bar, VK_LEFT);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 45);
    Tap(bar, 15, 2);  // above the thumb of a vertical bar: one page up
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 25);
    std::vector<uint32_t> codes = ctltest::Codes(WM_VSCROLL);
    EXPECT_EQ(codes, (std::vector<uint32_t>{TB_LINEDOWN, TB_ENDTRACK, TB_LINEUP, TB_ENDTRACK, TB_LINEUP, TB_ENDTRACK,
                                            TB_PAGEUP, TB_ENDTRACK}));
}

// A parent that answers WM_CTLCOLORSTATIC with its brush (none: the
// default answer).
HBrush& ParentBrush() {
    static HBrush brush;
    return brush;
}
LResult ColouringParentProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CTLCOLORSTATIC && ParentBrush()) return ParentBrush().value;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// A colour as the surface holds it (0x00RRGGBB).
uint32_t SurfaceColour(ColorRef c) { return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu); }

uint32_t CornerPixel(Hwnd bar) {
    PumpMessagesUntilIdle();
    SurfaceImage image;
    if (!ReadSurface(bar, &image) || image.pixels.empty()) return 0xFFFFFFFFu;
    return image.pixels[0];
}

TEST_F(TrackbarTest, TheBackgroundIsTheBrushTheParentAnswers) {
    WndClass wc;
    wc.className = u"ColouringParent";
    wc.proc = &ColouringParentProc;
    RegisterClass(wc);
    Hwnd parent = CreateWindow(u"ColouringParent", u"", WS_VISIBLE, 0, 26, 240, 100, Hwnd{});
    ASSERT_TRUE(parent);
    Hwnd bar = CreateWindow(kTrackbarClass, u"", WS_CHILD | WS_VISIBLE | TBS_NOTICKS, 10, 10, 100, 20, parent);
    ASSERT_TRUE(bar);
    // No answer: the window colour.
    const uint32_t window = SurfaceColour(GetSysColor(kColorWindow));
    EXPECT_EQ(CornerPixel(bar), window);
    // A solid brush of the parent's.
    ParentBrush() = CreateSolidBrush(Rgb(0x20, 0x80, 0x40));
    InvalidateRect(bar, nullptr, true);
    EXPECT_EQ(CornerPixel(bar), 0x208040u);
    // A brush that no longer exists falls back to the window colour.
    DeleteObject(ParentBrush());
    InvalidateRect(bar, nullptr, true);
    EXPECT_EQ(CornerPixel(bar), window);
    ParentBrush() = {};
    DestroyWindow(parent);
    UnregisterClass(u"ColouringParent");
}

}  // namespace
