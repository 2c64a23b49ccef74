// Message boxes: the box window, its buttons and keys, and the nested loop
// that runs it.
#include "platform/controls/message_box.h"

#include <string>

#include "base/text.h"
#include "platform/controls/button.h"
#include "platform/controls/common_controls.h"
#include "platform/controls/dialog.h"
#include "platform/controls/message_box_layout.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/system_icons.h"
#include "platform/kernel/threads.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/system_info.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

// One box while it runs; the box window's GWL_USERDATA points to it.
struct BoxState {
    Hwnd window;                     // the box window
    mbox::MessageBoxLayout layout;   // where its parts are
    std::u16string caption;          // the title
    std::u16string text;             // the message
    HIcon icon;                      // the icon shown, none without one
    Hwnd buttons[mbox::kMaxButtons]; // the button windows, left to right
    int32_t defaultAnswer = kIdOk;   // what the action key on the box gives
    int32_t escapeAnswer = kIdOk;    // what Escape, Back, closing or a quit give
    int32_t answer = 0;              // the answer, once done
    bool done = false;               // answered (or ended)
};

const char* IconName(uint32_t flags) {
    switch (flags & kMbIconMask) {
    case kMbIconHand: return " (stop)";
    case kMbIconQuestion: return " (question)";
    case kMbIconExclamation: return " (exclamation)";
    case kMbIconAsterisk: return " (information)";
    default: return "";
    }
}

bool IconOf(uint32_t flags, SystemIcon* out) {
    switch (flags & kMbIconMask) {
    case kMbIconHand: *out = SystemIcon::kStop; return true;
    case kMbIconQuestion: *out = SystemIcon::kQuestion; return true;
    case kMbIconExclamation: *out = SystemIcon::kExclamation; return true;
    case kMbIconAsterisk: *out = SystemIcon::kInformation; return true;
    default: return false;
    }
}

void JournalAnswer(std::u16string_view caption, int32_t answer, const char* why) {
    JournalAppend("message box [" + tlw::Utf16ToUtf8(caption) + "] answered " + tlw::Utf16ToUtf8(mbox::ButtonLabel(answer)) +
                  why);
}

BoxState* StateOf(Hwnd hwnd) { return reinterpret_cast<BoxState*>(GetWindowLong(hwnd, GWL_USERDATA)); }

void Finish(BoxState& s, int32_t answer) {
    if (s.done) return;
    s.done = true;
    s.answer = answer;
    // Wakes the loop when the answer came with a message handled inside
    // GetMessage (one sent from another thread or process).
    if (IsWindow(s.window)) PostMessage(s.window, WM_NULL, 0, 0);
}

// The index of the button with the focus, -1 when none has it.
int FocusedButton(const BoxState& s) {
    Hwnd focus = GetFocus();
    for (int i = 0; i < s.layout.buttonCount; ++i)
        if (s.buttons[i] == focus) return i;
    return -1;
}

int DefaultIndex(const BoxState& s) {
    for (int i = 0; i < s.layout.buttonCount; ++i)
        if (s.layout.buttons[i].id == s.defaultAnswer) return i;
    return 0;
}

void MoveFocus(BoxState& s, int step) {
    int n = s.layout.buttonCount;
    if (n == 0) return;
    int at = FocusedButton(s);
    if (at < 0) at = DefaultIndex(s);
    else at = (at + step + n) % n;
    SetFocus(s.buttons[at]);
}

LResult MessageBoxProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        const auto* cs = reinterpret_cast<const CreateStruct*>(lParam);
        if (!cs || !cs->createParams) return -1;  // made by MessageBox only
        SetWindowLong(hwnd, GWL_USERDATA, reinterpret_cast<int64_t>(cs->createParams));
        static_cast<BoxState*>(cs->createParams)->window = hwnd;
        return 0;
    }
    BoxState* s = StateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PaintStruct ps;
        if (Hdc hdc = BeginPaint(hwnd, &ps)) {
            mbox::PaintMessageBox(hdc, s->layout, s->caption, s->text, s->icon);
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case WM_COMMAND: {
        int32_t id = static_cast<int32_t>(LowWord(wParam));
        for (int i = 0; i < s->layout.buttonCount; ++i)
            if (s->layout.buttons[i].id == id) Finish(*s, id);
        return 0;
    }
    case WM_SETFOCUS:
        // The box hands the focus on to its default button.
        if (s->layout.buttonCount > 0) SetFocus(s->buttons[DefaultIndex(*s)]);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) Finish(*s, s->defaultAnswer);
        return 0;
    case WM_CLOSE:
        Finish(*s, s->escapeAnswer);
        return 0;
    case WM_DESTROY:
        s->window = Hwnd{};
        Finish(*s, s->escapeAnswer);
        SetWindowLong(hwnd, GWL_USERDATA, 0);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

bool IsWithin(Hwnd ancestor, Hwnd hwnd) {
    for (int depth = 0; hwnd && depth < 32; ++depth) {
        if (hwnd == ancestor) return true;
        hwnd = GetParent(hwnd);
    }
    return false;
}

bool IsInput(uint32_t message) {
    return (message >= WM_KEYDOWN && message <= WM_CHAR) || (message >= WM_MOUSEMOVE && message <= WM_LBUTTONDBLCLK);
}

// The box's keys: Escape and Back answer as a cancel, the arrows and Tab
// move between the buttons. True when the message was taken.
bool HandleBoxKey(Hwnd box, BoxState& s, const Msg& msg) {
    if (msg.message != WM_KEYDOWN || !IsWithin(box, msg.hwnd)) return false;
    switch (msg.wParam) {
    case VK_ESCAPE:
    case VK_BACK:
        Finish(s, s.escapeAnswer);
        return true;
    case VK_LEFT:
    case VK_UP:
        MoveFocus(s, -1);
        return true;
    case VK_RIGHT:
    case VK_DOWN:
    case VK_TAB:
        MoveFocus(s, 1);
        return true;
    default:
        return false;
    }
}

// The owner of a box shown without one: the calling thread's window in front.
Hwnd ThreadForegroundWindow() {
    Hwnd front = GetForegroundWindow();
    return front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId() ? front : Hwnd{};
}

}  // namespace

int MessageBox(Hwnd owner, std::u16string_view text, std::u16string_view caption, uint32_t flags) {
    int32_t ids[mbox::kMaxButtons] = {kIdOk, 0};
    int count = 1;
    switch (flags & kMbButtonMask) {
    case kMbOkCancel: ids[0] = kIdOk; ids[1] = kIdCancel; count = 2; break;
    case kMbYesNo: ids[0] = kIdYes; ids[1] = kIdNo; count = 2; break;
    default: break;  // OK alone
    }
    BoxState s;
    s.caption = std::u16string(caption);
    s.text = std::u16string(text);
    s.defaultAnswer = (flags & kMbDefButton2) && count > 1 ? ids[1] : ids[0];
    s.escapeAnswer = count > 1 ? ids[1] : ids[0];
    JournalAppend("message box [" + tlw::Utf16ToUtf8(caption) + "] " + tlw::Utf16ToUtf8(text) + IconName(flags));

    if (!ShellIsRunning()) {
        JournalAnswer(caption, s.defaultAnswer, " (no screen)");
        return s.defaultAnswer;
    }

    InitCommonControls();
    WndClass wc;
    wc.className = kMessageBoxClass;
    wc.proc = &MessageBoxProc;
    RegisterClass(wc);  // once per process; later calls find it registered

    SystemIcon kind;
    int32_t iconSize = 0;
    if (IconOf(flags, &kind)) {
        iconSize = GetSystemMetrics(kSmCxIcon);
        s.icon = LoadSystemIcon(kind, iconSize);
    }
    s.layout = mbox::LayOutMessageBox(s.text, iconSize, ids, count);
    if (GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()) owner = Hwnd{};
    const Rect& r = s.layout.screen;
    Hwnd box = CreateWindow(kMessageBoxClass, caption, WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, owner, &s);
    if (!box) {
        if (s.icon) DestroyIcon(s.icon);
        JournalAnswer(caption, s.defaultAnswer, " (no window)");
        return s.defaultAnswer;
    }
    for (int i = 0; i < s.layout.buttonCount; ++i) {
        const mbox::ButtonPlace& b = s.layout.buttons[i];
        uint32_t kindStyle = b.id == s.defaultAnswer ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        s.buttons[i] = CreateWindow(kButtonClass, b.label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kindStyle, b.rect.left,
                                    b.rect.top, b.rect.right - b.rect.left, b.rect.bottom - b.rect.top, box);
        SetWindowLong(s.buttons[i], GWL_ID, b.id);
    }
    // The owner takes no input while the box is up.
    bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, false);
    Hwnd previousFocus = GetFocus();
    ShowWindow(box, SW_SHOW);
    SetFocus(s.buttons[DefaultIndex(s)]);
    UpdateWindow(box);

    bool quit = false;
    int32_t quitCode = 0;
    while (!s.done) {
        if (!IsWindow(box) || (owner && !IsWindow(owner))) {
            Finish(s, s.escapeAnswer);
            break;
        }
        Msg msg;
        int32_t got = GetMessage(&msg, Hwnd{}, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quitCode = static_cast<int32_t>(msg.wParam);
            Finish(s, s.escapeAnswer);
            break;
        }
        if (HandleBoxKey(box, s, msg)) continue;
        if (owner && IsInput(msg.message) && IsWithin(owner, msg.hwnd)) {
            // The owner is disabled: a touch on it brings the box back to the front.
            if (msg.message == WM_LBUTTONDOWN) SetForegroundWindow(box);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }

    bool boxHadFocus = !GetFocus() || IsWithin(box, GetFocus());
    if (disabledOwner && IsWindow(owner)) EnableWindow(owner, true);
    if (IsWindow(box)) {
        ShowWindow(box, SW_HIDE);
        DestroyWindow(box);
    }
    if (s.icon) DestroyIcon(s.icon);
    if (owner && IsWindowVisible(owner)) SetForegroundWindow(owner);
    if (boxHadFocus && previousFocus && IsWindow(previousFocus) && IsWindowVisible(previousFocus)) SetFocus(previousFocus);
    JournalAnswer(caption, s.answer, "");
    if (quit) PostQuitMessage(quitCode);
    return s.answer;
}

int MessageBox(std::u16string_view text, std::u16string_view caption, uint32_t flags) {
    return MessageBox(ThreadForegroundWindow(), text, caption, flags);
}

}  // namespace plat
