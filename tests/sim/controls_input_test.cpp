// Input on the phone reaching the controls of a dialog as a user gives it:
// a tap on an edit and typed text land in that edit (masked in a password
// edit), the keys move between the controls and confirm the dialog, and the
// input panel's keys type into the focused edit.
#include <gtest/gtest.h>

#include "platform/controls/button.h"
#include "platform/controls/common_controls.h"
#include "platform/controls/dialog.h"
#include "platform/controls/edit.h"
#include "platform/kernel/clock.h"
#include "platform/shell/input_panel.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "sim/input.h"
#include "sim/shell.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

const char kForm[] =
    "DIALOG 0, 0, 0, 0\n"
    "STYLE WS_POPUP | WS_CAPTION\n"
    "CAPTION \"Profile\"\n"
    "BEGIN\n"
    "    LTEXT \"Name\", IDC_STATIC, 4, 4, 40, 10\n"
    "    EDITTEXT 101, 4, 16, 100, 14\n"
    "    EDITTEXT 102, 4, 36, 100, 14, ES_PASSWORD | ES_NUMBER\n"
    "    AUTOCHECKBOX \"Locked\", 103, 4, 56, 80, 12\n"
    "END\n";

std::vector<uint32_t> g_commands;

LResult FormProc(Hwnd, uint32_t message, WParam wParam, LParam) {
    if (message == WM_INITDIALOG) return 1;
    if (message == WM_COMMAND && HighWord(wParam) == BN_CLICKED) g_commands.push_back(LowWord(wParam));
    return 0;
}

class ControlsInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemTime start;
        ASSERT_TRUE(ParseDeviceTime("2010-01-04T10:42:00", &start));
        ASSERT_TRUE(UseVirtualClock(start));
        ASSERT_TRUE(sim::StartShell());
        Settle();
        std::string error;
        ASSERT_TRUE(ParseDialogTemplate(std::string_view(kForm), &form_, &error)) << error;
        g_commands.clear();
    }
    void TearDown() override {
        SipShowIM(SIPF_OFF);
        if (IsWindow(dialog_)) DestroyWindow(dialog_);
        sim::StopShell();
        PumpMessagesUntilIdle();
        UseDeviceClock();
    }
    void Settle() {
        sim::RefreshShell();
        PumpMessagesUntilIdle();
    }
    // Taps the middle of a control as the console's `tap` does.
    void TapOn(Hwnd control) {
        Rect r;
        ASSERT_TRUE(GetWindowRect(control, &r));
        sim::PenResult hit = sim::Tap(Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        ASSERT_TRUE(hit.delivered) << hit.error;
        EXPECT_EQ(hit.hwnd, control);
        Settle();
    }
    void Type(std::u16string_view text) {
        std::string error;
        ASSERT_TRUE(sim::TypeText(text, &error)) << error;
        Settle();
    }
    // The modeless dialog's keys need IsDialogMessage in the loop: pump so.
    void PumpDialog() {
        Msg msg;
        while (PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE))
            if (!IsDialogMessage(dialog_, &msg)) DispatchMessage(&msg);
        sim::RefreshShell();
        PumpMessagesUntilIdle();
    }

    TempDevice device_;
    DialogTemplate form_;
    Hwnd dialog_;
};

TEST_F(ControlsInputTest, TapThenTypeFillsTheTappedEdit) {
    form_.style |= WS_VISIBLE;
    dialog_ = CreateDialogIndirectParam(form_, Hwnd{}, FormProc, 0);
    ASSERT_TRUE(dialog_);
    Settle();
    TapOn(GetDlgItem(dialog_, 102));
    Type(u"1234");
    TapOn(GetDlgItem(dialog_, 101));
    Type(u"Night");
    EXPECT_EQ(GetDlgItemText(dialog_, 101), u"Night");
    EXPECT_EQ(GetDlgItemText(dialog_, 102), u"1234");
    EXPECT_EQ(GetWindowText(GetDlgItem(dialog_, 102)), u"****");  // what other programs see
    // The back key deletes before the caret.
    std::string error;
    ASSERT_TRUE(sim::PressKey(VK_BACK, &error)) << error;
    Settle();
    EXPECT_EQ(GetDlgItemText(dialog_, 101), u"Nigh");
}

TEST_F(ControlsInputTest, KeysMoveTheFocusClickAndConfirm) {
    form_.style |= WS_VISIBLE;
    dialog_ = CreateDialogIndirectParam(form_, Hwnd{}, FormProc, 0);
    ASSERT_TRUE(dialog_);
    Settle();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, 101));
    std::string error;
    ASSERT_TRUE(sim::PressKey(VK_DOWN, &error)) << error;
    PumpDialog();
    ASSERT_TRUE(sim::PressKey(VK_DOWN, &error)) << error;
    PumpDialog();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, 103));
    ASSERT_TRUE(sim::PressKey(VK_SPACE, &error)) << error;
    PumpDialog();
    EXPECT_EQ(IsDlgButtonChecked(dialog_, 103), BST_CHECKED);
    ASSERT_TRUE(sim::PressKey(VK_RETURN, &error)) << error;  // the action key on a check box toggles it
    PumpDialog();
    EXPECT_EQ(IsDlgButtonChecked(dialog_, 103), BST_UNCHECKED);
    ASSERT_TRUE(sim::PressKey(VK_UP, &error)) << error;
    PumpDialog();
    ASSERT_TRUE(sim::PressKey(VK_RETURN, &error)) << error;  // on an edit: OK
    PumpDialog();
    EXPECT_EQ(g_commands, (std::vector<uint32_t>{103, 103, IDOK}));
    // The caption's ok box confirms too.
    Rect d;
    GetWindowRect(dialog_, &d);
    sim::Tap(Point{d.right - 8, d.top + 8});
    PumpDialog();
    EXPECT_EQ(g_commands.back(), static_cast<uint32_t>(IDOK));
    EXPECT_EQ(g_commands.size(), 4u);
}

TEST_F(ControlsInputTest, InputPanelKeysTypeIntoTheFocusedEdit) {
    form_.style |= WS_VISIBLE;
    dialog_ = CreateDialogIndirectParam(form_, Hwnd{}, FormProc, 0);
    ASSERT_TRUE(dialog_);
    Settle();
    TapOn(GetDlgItem(dialog_, 101));
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    Settle();
    SipInfo info;
    ASSERT_TRUE(SipGetInfo(&info));
    Rect panel = info.rcSipRect;
    int32_t keyWidth = (panel.right - panel.left) / 10;
    int32_t row = (panel.bottom - panel.top) / 4;
    // "h" and "i": the sixth and eighth keys of the second row (centred, nine keys).
    int32_t left = panel.left + (panel.right - panel.left - 9 * keyWidth) / 2;
    sim::Tap(Point{left + 5 * keyWidth + keyWidth / 2, panel.top + row + row / 2});
    sim::Tap(Point{panel.left + 7 * keyWidth + keyWidth / 2, panel.top + row / 2});
    Settle();
    EXPECT_EQ(GetDlgItemText(dialog_, 101), u"hi");
}

}  // namespace
