// The focus as the controls rely on it: both windows are told when it
// moves, a window brought to the front gets it, and a disabled control
// hands it to its parent.
#include <algorithm>

#include "platform/controls/edit.h"
#include "controls_test_support.h"

namespace {

using namespace plat;

std::vector<std::pair<uint32_t, uint64_t>> g_focusLog;  // (message, wParam)

LResult FocusLoggingProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) g_focusLog.push_back({message, wParam});
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class FocusTest : public ctltest::ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        WndClass wc;
        wc.className = u"FocusLogging";
        wc.proc = &FocusLoggingProc;
        RegisterClass(wc);
        g_focusLog.clear();
    }
};

TEST_F(FocusTest, BothWindowsAreToldWhenTheFocusMoves) {
    Hwnd a = CreateWindow(u"FocusLogging", u"a", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent_);
    Hwnd b = CreateWindow(u"FocusLogging", u"b", WS_CHILD | WS_VISIBLE, 0, 20, 10, 10, parent_);
    SetFocus(a);
    EXPECT_EQ(SetFocus(b), a);
    SetFocus(b);  // no change: nobody is told
    using Entry = std::pair<uint32_t, uint64_t>;
    EXPECT_EQ(g_focusLog, (std::vector<Entry>{{WM_SETFOCUS, parent_.value}, {WM_KILLFOCUS, b.value},
                                              {WM_SETFOCUS, a.value}}));
    // Bringing a top-level window to the front gives it the focus.
    g_focusLog.clear();
    Hwnd top = CreateWindow(u"FocusLogging", u"top", 0, 0, 0, 50, 50, Hwnd{});
    ShowWindow(top, SW_SHOW);
    EXPECT_EQ(GetFocus(), top);
    EXPECT_EQ(g_focusLog, (std::vector<Entry>{{WM_KILLFOCUS, top.value}, {WM_SETFOCUS, b.value}}));
    DestroyWindow(top);
}

TEST_F(FocusTest, DisablingTheFocusedControlHandsTheFocusToItsParent) {
    Hwnd edit = Make(kEditClass, u"x", 0, 1, {0, 0, 100, 20});
    SetFocus(edit);
    EnableWindow(edit, false);
    EXPECT_EQ(GetFocus(), parent_);
    Type(edit, u"y");  // a disabled edit takes nothing
    EXPECT_EQ(GetWindowText(edit), u"x");
}

}  // namespace
