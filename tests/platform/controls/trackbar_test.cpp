// The trackbar: range and position, taps and drags, keys, page taps, and
// what the parent hears.
#include "platform/controls/trackbar.h"

#include "controls_test_support.h"

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

}  // namespace
