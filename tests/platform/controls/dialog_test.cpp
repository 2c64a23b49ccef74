// The dialog manager: templates read from text and resources (and their
// errors), modal dialogs ended by keys, buttons and EndDialog, the focus
// moving between controls, and the item calls.
#include "platform/controls/dialog.h"

#include "platform/controls/button.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/edit.h"
#include "platform/controls/static_control.h"
#include "platform/gdi/resources.h"
#include "platform/kernel/last_error.h"
#include "controls_test_support.h"

namespace {

using namespace plat;

const char kTimeOut[] =
    "102 DIALOG 0, 0, 140, 70\n"
    "STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION\n"
    "CAPTION \"Time-out\"\n"
    "FONT 8, \"Tahoma\"\n"
    "BEGIN\n"
    "    LTEXT \"Ends in\", IDC_STATIC, 6, 8, 40, 10   // label\n"
    "    CONTROL \"\", 1001, \"SysDateTimePick32\", DTS_UPDOWN | WS_TABSTOP, 50, 6, 60, 14\n"
    "    EDITTEXT 1002, 6, 26, 100, 14, ES_NUMBER\n"
    "    AUTOCHECKBOX \"Keep \"\"lock\"\"\", 1003, 6, 44, 100, 10\n"
    "    DEFPUSHBUTTON \"OK\", IDOK, 20, 56, 44, 12\n"
    "    PUSHBUTTON \"Cancel\", IDCANCEL, 76, 56, 44, 12, NOT WS_TABSTOP\n"
    "END\n";

TEST(DialogTemplateText, ReadsEveryStatement) {
    DialogTemplate t;
    std::string error;
    ASSERT_TRUE(ParseDialogTemplate(std::string_view(kTimeOut), &t, &error)) << error;
    EXPECT_EQ(t.cx, 140);
    EXPECT_EQ(t.cy, 70);
    EXPECT_EQ(t.style, DS_MODALFRAME | WS_POPUP | WS_CAPTION);
    EXPECT_EQ(t.caption, u"Time-out");
    EXPECT_EQ(t.fontPoints, 8);
    ASSERT_EQ(t.items.size(), 6u);
    EXPECT_EQ(t.items[0].className, kStaticClass);
    EXPECT_EQ(t.items[0].id, IDC_STATIC);
    EXPECT_EQ(t.items[1].className, kDateTimePickClass);
    EXPECT_EQ(t.items[1].style, WS_CHILD | WS_VISIBLE | DTS_UPDOWN | WS_TABSTOP);
    EXPECT_EQ(t.items[2].style, WS_CHILD | WS_VISIBLE | ES_LEFT | WS_BORDER | WS_TABSTOP | ES_NUMBER);
    EXPECT_EQ(t.items[3].text, u"Keep \"lock\"");
    EXPECT_EQ(t.items[3].style & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(t.items[4].id, IDOK);
    EXPECT_EQ(t.items[5].style & WS_TABSTOP, 0u);
    EXPECT_EQ(t.items[5].x, 76);
}

TEST(DialogTemplateText, ErrorsNameTheLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "the template is empty"},
        {"DIALOG 0, 0, 10\nBEGIN\nEND\n", "line 1: expected a number at the end of the line"},
        {"DIALOG 0, 0, 10, 10\nSTYLE WS_FOO\nBEGIN\nEND\n", "line 2: unknown style name 'WS_FOO'"},
        {"DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"x, 1, 2, 3, 4, 5\nEND\n", "line 3: a string is not closed"},
        {"DIALOG 0, 0, 10, 10\nBEGIN\n  SLIDER \"x\", 1, 2, 3, 4, 5\nEND\n", "line 3: unknown statement 'SLIDER'"},
        {"DIALOG 0, 0, 10, 10\nBEGIN\n  PUSHBUTTON \"x\", IDMAYBE, 2, 3, 4, 5\nEND\n", "line 3: unknown id 'IDMAYBE'"},
        {"DIALOG 0, 0, 10, 10\nBEGIN\n  EDITTEXT 1, 2, 3, 4, 5, ES_NUMBER, 7\nEND\n",
         "line 3: more arguments than EDITTEXT takes"},
        {"DIALOG 0, 0, 10, 10\nBEGIN\n", "the template has no END"},
        {"DIALOG 0, 0, 10, 10\nBEGIN\nEND\nLTEXT\n", "line 4: text after END"},
    };
    for (const Case& c : cases) {
        DialogTemplate t;
        t.cx = 99;
        std::string error;
        EXPECT_FALSE(ParseDialogTemplate(std::string_view(c.text), &t, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(t.cx, 99);  // the output is untouched
    }
}

// What the dialog procedure below saw and does.
struct Script {
    std::vector<uint32_t> commands;  // WM_COMMAND ids it got
    std::vector<std::pair<uint32_t, uint32_t>> keys;  // keys to post at WM_INITDIALOG: (window id, vk)
    std::u16string typed;            // text to type into the focus at WM_INITDIALOG
    LParam init = 0;                 // WM_INITDIALOG's lParam
    std::u16string editText;         // the edit's text when the dialog ended
};
Script* g_script = nullptr;

LResult ScriptedProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        g_script->init = lParam;
        SetDlgItemInt(hwnd, 1002, 15, false);
        // Input arrives as the phone delivers it: to the focus window, in order.
        for (auto [id, vk] : g_script->keys) {
            Hwnd target = id == 0 ? hwnd : GetDlgItem(hwnd, static_cast<int32_t>(id));
            PostMessage(target, WM_KEYDOWN, vk, 1);
            PostMessage(target, WM_KEYUP, vk, 1);
        }
        return 1;
    }
    case WM_COMMAND:
        if (HighWord(wParam) != BN_CLICKED) return 0;  // the edit's changes
        g_script->commands.push_back(LowWord(wParam));
        if (LowWord(wParam) == IDOK || LowWord(wParam) == IDCANCEL) g_script->editText = GetDlgItemText(hwnd, 1002);
        return 0;  // the default handling ends the dialog on IDOK / IDCANCEL
    default:
        return 0;
    }
}

class DialogTest : public ctltest::ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        std::string error;
        ASSERT_TRUE(ParseDialogTemplate(std::string_view(kTimeOut), &tmpl_, &error)) << error;
        g_script = &script_;
    }
    void TearDown() override {
        g_script = nullptr;
        ControlTest::TearDown();
    }
    DialogTemplate tmpl_;
    Script script_;
};

TEST_F(DialogTest, ActionKeyOnAFieldEndsWithOkAndEscapeWithCancel) {
    script_.keys = {{1001, VK_RETURN}};
    EXPECT_EQ(DialogBoxIndirectParam(tmpl_, parent_, ScriptedProc, 77), IDOK);
    EXPECT_EQ(script_.init, 77);
    EXPECT_EQ(script_.commands, std::vector<uint32_t>{IDOK});
    EXPECT_EQ(script_.editText, u"15");
    script_ = Script{};
    script_.keys = {{1001, VK_ESCAPE}};
    EXPECT_EQ(DialogBoxIndirectParam(tmpl_, parent_, ScriptedProc, 0), IDCANCEL);
    // The dialog is gone and the owner is in front again.
    EXPECT_EQ(GetForegroundWindow(), parent_);
}

TEST_F(DialogTest, DownMovesTheFocusAlongTheTabStopsAndTypingReachesTheEdit) {
    Hwnd dialog = CreateDialogIndirectParam(tmpl_, parent_, ScriptedProc, 0);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowVisible(dialog));  // a modeless dialog without WS_VISIBLE stays hidden
    ShowWindow(dialog, SW_SHOW);
    PumpMessagesUntilIdle();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 1001));  // the dialog passes the focus to its first stop
    Msg msg;
    auto pump = [&] {
        while (PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE))
            if (!IsDialogMessage(dialog, &msg)) DispatchMessage(&msg);
    };
    // The picker keeps up and down (it steps with them): leave it by tab.
    PostMessage(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    pump();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 1002));
    PostMessage(GetFocus(), WM_KEYDOWN, VK_BACK, 1);
    PostMessage(GetFocus(), WM_KEYDOWN, VK_BACK, 1);
    pump();
    EXPECT_EQ(GetDlgItemText(dialog, 1002), u"");  // tabbing in selected the text; two backs cleared it
    for (char16_t c : std::u16string(u"4x2")) PostMessage(GetFocus(), WM_CHAR, c, 1);
    pump();
    bool ok = false;
    EXPECT_EQ(GetDlgItemInt(dialog, 1002, &ok, false), 42);
    EXPECT_TRUE(ok);
    PostMessage(GetFocus(), WM_KEYDOWN, VK_DOWN, 1);
    pump();
    Hwnd box = GetDlgItem(dialog, 1003);
    EXPECT_EQ(GetFocus(), box);
    PostMessage(box, WM_KEYDOWN, VK_RETURN, 1);  // the action key on a check box checks it
    pump();
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1003), BST_CHECKED);
    EXPECT_TRUE(IsWindow(dialog));
    // Down from the box to OK, then past Cancel (no tab stop) back to the picker.
    PostMessage(box, WM_KEYDOWN, VK_DOWN, 1);
    pump();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    PostMessage(GetFocus(), WM_KEYDOWN, VK_DOWN, 1);
    pump();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 1001));
    // Disabling the focused control hands the focus to the next stop.
    EnableWindow(GetDlgItem(dialog, 1001), false);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 1002));
    EXPECT_TRUE(EndDialog(dialog, 0));  // a modeless dialog is destroyed
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(DialogTest, ItemCallsReadAndWriteTheControls) {
    Hwnd dialog = CreateDialogIndirectParam(tmpl_, parent_, nullptr, 0);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(GetDlgItem(dialog, 4242));
    EXPECT_TRUE(SetDlgItemInt(dialog, 1002, static_cast<int64_t>(-5), true));
    bool ok = false;
    EXPECT_EQ(GetDlgItemInt(dialog, 1002, &ok, true), -5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetDlgItemInt(dialog, 1002, &ok, false), 0);  // a sign is no unsigned number
    EXPECT_FALSE(ok);
    SetDlgItemText(dialog, 1002, u"99999999999");
    EXPECT_EQ(GetDlgItemInt(dialog, 1002, &ok, true), 0);  // beyond 32 bits
    EXPECT_FALSE(ok);
    EXPECT_TRUE(SetDlgItemText(dialog, 1003, u"Locked"));
    EXPECT_EQ(GetDlgItemText(dialog, 1003), u"Locked");
    char16_t buffer[4];
    EXPECT_EQ(GetDlgItemText(dialog, 1003, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Loc");
    EXPECT_TRUE(CheckDlgButton(dialog, 1003, BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1003), BST_CHECKED);
    EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, IDOK)), IDOK);
    EXPECT_EQ(LowWord(static_cast<uint64_t>(SendMessage(dialog, DM_GETDEFID, 0, 0))), static_cast<uint32_t>(IDOK));
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ResourceTemplatesAndUnknownClasses) {
    std::string text(kTimeOut);
    ASSERT_TRUE(RegisterResource(u"TlwTest", kResourceDialog, u"102",
                                 std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size())));
    DialogTemplate loaded;
    EXPECT_TRUE(LoadDialogTemplate(u"TlwTest", u"#102", &loaded));
    EXPECT_EQ(loaded.items.size(), 6u);
    EXPECT_FALSE(LoadDialogTemplate(u"TlwTest", u"103", &loaded));
    EXPECT_EQ(GetLastError(), kErrorResourceNotFound);
    EXPECT_EQ(DialogBoxParam(u"TlwTest", u"103", parent_, ScriptedProc, 0), -1);
    script_.keys = {{0, VK_ESCAPE}};
    EXPECT_EQ(DialogBoxParam(u"TlwTest", u"102", parent_, ScriptedProc, 0), IDCANCEL);
    UnregisterResource(u"TlwTest", kResourceDialog, u"102");

    DialogTemplate odd = tmpl_;
    odd.items[2].className = u"NoSuchClass";
    EXPECT_FALSE(CreateDialogIndirectParam(odd, parent_, nullptr, 0));
    EXPECT_EQ(GetLastError(), kErrorClassDoesNotExist);
}

TEST_F(DialogTest, CaptionOkBoxEndsWithOk) {
    struct Tapper {
        static LResult Proc(Hwnd hwnd, uint32_t message, WParam wParam, LParam) {
            if (message == WM_INITDIALOG) {
                Rect client;
                GetClientRect(hwnd, &client);
                // The ok box sits at the right end of the caption strip.
                PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(client.right - 8, 8));
                PostMessage(hwnd, WM_LBUTTONUP, 0, MakePointParam(client.right - 8, 8));
                return 1;
            }
            if (message == WM_COMMAND && g_script) g_script->commands.push_back(LowWord(wParam));
            return 0;
        }
    };
    EXPECT_EQ(DialogBoxIndirectParam(tmpl_, parent_, Tapper::Proc, 0), IDOK);
    EXPECT_EQ(script_.commands, std::vector<uint32_t>{IDOK});
}

}  // namespace
