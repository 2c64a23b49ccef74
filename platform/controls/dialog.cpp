// The dialog manager: dialog windows, the modal loop and the dialog's keys.
#include "platform/controls/dialog.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/controls/button.h"
#include "platform/controls/common_controls.h"
#include "platform/controls/control_support.h"
#include "platform/controls/edit.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

struct DialogRecord {
    DlgProc proc = nullptr;     // the program's dialog procedure
    bool modal = false;         // run by DialogBox
    bool ended = false;         // EndDialog was called
    int64_t result = 0;         // EndDialog's result
    LResult msgResult = 0;      // SetDialogResult's answer for the message being handled
    int32_t defId = IDOK;       // the default push button's id
    HFont font;                 // the template's font (owned), none: the system font
    Hwnd focus;                 // the control that had the focus last
    Hwnd owner;                 // the window the dialog was made for
    int32_t captionHeight = 0;  // the caption strip, 0 without WS_CAPTION
    bool okPressed = false;     // the pen is down on the caption's ok box
};

ctl::ControlTable<DialogRecord>& Table() {
    static ctl::ControlTable<DialogRecord> table;
    return table;
}

// What CreateWindow hands WM_CREATE.
struct CreateContext {
    std::shared_ptr<DialogRecord> record;
};

bool IsDescendant(Hwnd dialog, Hwnd hwnd) {
    for (int depth = 0; hwnd && depth < 32; ++depth) {
        if (hwnd == dialog) return true;
        hwnd = GetParent(hwnd);
    }
    return false;
}

Rect OkBox(Hwnd hwnd, const DialogRecord& d) {
    Rect client;
    GetClientRect(hwnd, &client);
    int32_t width = d.captionHeight * 3 / 2;
    return {client.right - width - ctl::ScaleX(2), ctl::ScaleY(2), client.right - ctl::ScaleX(2),
            d.captionHeight - ctl::ScaleY(2)};
}

void Paint(Hwnd hwnd, const DialogRecord& d) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    ctl::FillSolid(hdc, client, GetSysColor(kColorWindow));
    if (d.captionHeight > 0) {
        // The title in bold on the left, a rule under it, the ok box on the right.
        Rect caption{client.left, client.top, client.right, client.top + d.captionHeight};
        LogFont lf;
        if (!GetFontInfo(ctl::ControlFont(d.font), &lf)) lf = LogFont{};
        lf.weight = kFwBold;
        HFont bold = CreateFontIndirect(lf);
        Rect ok = OkBox(hwnd, d);
        Rect title{caption.left + ctl::ScaleX(6), caption.top, ok.left - ctl::ScaleX(4), caption.bottom};
        ctl::DrawLabel(hdc, bold, GetWindowText(hwnd), title, kDtLeft | kDtVCenter | kDtSingleLine | kDtEndEllipsis,
                       GetSysColor(kColorWindowText));
        DeleteObject(bold);
        ctl::FillSolid(hdc, Rect{caption.left, caption.bottom - 1, caption.right, caption.bottom},
                       GetSysColor(kColorWindowFrame));
        ctl::FillSolid(hdc, ok, d.okPressed ? GetSysColor(kColorHighlight) : GetSysColor(kColorBtnFace));
        ctl::FrameSolid(hdc, ok, GetSysColor(kColorWindowFrame));
        ctl::DrawLabel(hdc, d.font, u"ok", ok, kDtCenter | kDtVCenter | kDtSingleLine,
                       d.okPressed ? GetSysColor(kColorHighlightText) : GetSysColor(kColorBtnText));
    }
    if (ctl::Has(hwnd, WS_BORDER) || ctl::Has(hwnd, DS_MODALFRAME)) ctl::FrameSolid(hdc, client, GetSysColor(kColorWindowFrame));
    EndPaint(hwnd, &ps);
}

// Gives the focus to a control as the dialog's keys do: an edit's whole
// text is selected.
void FocusControl(Hwnd dialog, DialogRecord& d, Hwnd control, bool selectText) {
    if (!control) return;
    d.focus = control;
    SetFocus(control);
    if (selectText && (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessage(control, EM_SETSEL, 0, -1);
    (void)dialog;
}

Hwnd DefaultButton(Hwnd dialog, int32_t defId) {
    Hwnd button = GetDlgItem(dialog, defId);
    return button;
}

LResult DefaultHandling(Hwnd hwnd, DialogRecord& d, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(hwnd, d);
        return 0;
    case WM_COMMAND: {
        uint32_t id = LowWord(wParam);
        if ((id == IDOK || id == IDCANCEL) && d.modal) EndDialog(hwnd, id);
        return 0;
    }
    case WM_CLOSE:
        SendMessage(hwnd, WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_SETFOCUS: {
        // The dialog passes the focus on to the control that had it last.
        // A control that was disabled or hidden meanwhile hands on to the next stop.
        bool usable = d.focus && IsWindow(d.focus) && IsDescendant(hwnd, d.focus) && IsWindowEnabled(d.focus) &&
                      IsWindowVisible(d.focus);
        Hwnd target = usable ? d.focus : GetNextDlgTabItem(hwnd, d.focus, false);
        if (target) {
            d.focus = target;
            SetFocus(target);
        }
        return 0;
    }
    case WM_NEXTDLGCTL: {
        Hwnd target = lParam ? Hwnd{static_cast<uint64_t>(wParam)}
                             : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
        FocusControl(hwnd, d, target, true);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        if (d.captionHeight == 0) return 0;
        Rect ok = OkBox(hwnd, d);
        int32_t x = PointParamX(lParam), y = PointParamY(lParam);
        if (x >= ok.left && x < ok.right && y >= ok.top && y < ok.bottom) {
            d.okPressed = true;
            SetCapture(hwnd);
            InvalidateRect(hwnd, &ok, true);
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        if (!d.okPressed) return 0;
        d.okPressed = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        Rect ok = OkBox(hwnd, d);
        InvalidateRect(hwnd, &ok, true);
        int32_t x = PointParamX(lParam), y = PointParamY(lParam);
        if (x >= ok.left && x < ok.right && y >= ok.top && y < ok.bottom)
            SendMessage(hwnd, WM_COMMAND, MakeWParam(IDOK, BN_CLICKED), 0);
        return 0;
    }
    case DM_GETDEFID:
        return static_cast<LResult>(MakeLParam(static_cast<uint32_t>(d.defId), DC_HASDEFID));
    case DM_SETDEFID: {
        Hwnd old = DefaultButton(hwnd, d.defId);
        if (old && (ctl::StyleOf(old) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, 1);
        d.defId = static_cast<int32_t>(wParam);
        Hwnd now = DefaultButton(hwnd, d.defId);
        if (now && (ctl::StyleOf(now) & BS_TYPEMASK) == BS_PUSHBUTTON) SendMessage(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
        return 1;
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

HFont MakeDialogFont(int32_t points) {
    if (points <= 0) return HFont{};
    LogFont lf;
    lf.height = -((points * GetScreenDpiY() + 36) / 72);
    return CreateFontIndirect(lf);
}

Hwnd MakeDialog(const DialogTemplate& tmpl, Hwnd parent, DlgProc proc, LParam initParam, bool modal) {
    InitCommonControls();
    auto record = std::make_shared<DialogRecord>();
    record->proc = proc;
    record->modal = modal;
    record->owner = parent;
    record->font = MakeDialogFont(tmpl.fontPoints);
    bool caption = (tmpl.style & WS_CAPTION) == WS_CAPTION;
    record->captionHeight = caption ? ctl::ScaleY(22) : 0;
    // Size and place: centred in the work area, never beyond it.
    Rect work = CurrentScreenLayout().work;
    Rect size = DialogUnitsToPixels(Rect{0, 0, tmpl.cx, tmpl.cy}, tmpl.fontPoints);
    int32_t width = size.right, height = size.bottom + record->captionHeight;
    int32_t workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    if (tmpl.cx == 0 && tmpl.cy == 0) {
        width = workWidth;
        height = workHeight;
    }
    width = std::min(width, workWidth);
    height = std::min(height, workHeight);
    int32_t x = work.left + (workWidth - width) / 2, y = work.top + (workHeight - height) / 2;
    uint32_t style = (tmpl.style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    CreateContext context{record};
    Hwnd dialog = CreateWindow(kDialogClass, tmpl.caption, style, x, y, width, height, parent, &context);
    if (!dialog) return Hwnd{};
    for (const DialogItemTemplate& item : tmpl.items) {
        Rect r = DialogUnitsToPixels(Rect{item.x, item.y, item.x + item.cx, item.y + item.cy}, tmpl.fontPoints);
        Hwnd control = CreateWindow(item.className, item.text, item.style | WS_CHILD, r.left, r.top + record->captionHeight,
                                    r.right - r.left, r.bottom - r.top, dialog);
        if (!control) {
            uint32_t error = GetLastError();
            DestroyWindow(dialog);
            SetLastError(error ? error : kErrorClassDoesNotExist);
            return Hwnd{};
        }
        SetWindowLong(control, GWL_ID, item.id);
        if (record->font) SendMessage(control, WM_SETFONT, record->font.value, 0);
        if (item.className == kButtonClass && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) record->defId = item.id;
    }
    Hwnd first = GetNextDlgTabItem(dialog, Hwnd{}, false);
    LResult init = proc ? proc(dialog, WM_INITDIALOG, first.value, initParam) : 1;
    if (!IsWindow(dialog)) {
        SetLastError(kErrorInvalidWindowHandle);
        return Hwnd{};
    }
    Hwnd focused = GetFocus();
    if (init) record->focus = first;
    else if (IsDescendant(dialog, focused) && focused != dialog) record->focus = focused;
    else record->focus = first;
    if (modal || (tmpl.style & WS_VISIBLE)) {
        if (!record->ended) ShowWindow(dialog, SW_SHOW);
        if (record->focus && GetFocus() != record->focus) FocusControl(dialog, *record, record->focus, init != 0);
        else if (init && record->focus) FocusControl(dialog, *record, record->focus, true);
    }
    return dialog;
}

// Hands the foreground back to the top-level window of the dialog's owner
// when the dialog goes.
void ReturnToOwner(Hwnd owner) {
    for (int depth = 0; owner && depth < 32; ++depth) {
        Hwnd up = GetParent(owner);
        if (!up) break;
        owner = up;
    }
    if (owner && IsWindowVisible(owner)) SetForegroundWindow(owner);
}

}  // namespace

Rect DialogUnitsToPixels(const Rect& units, int32_t fontPoints) {
    HFont font = MakeDialogFont(fontPoints);
    int32_t baseX = std::max(1, ctl::TextWidth(font, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    int32_t baseY = std::max(1, ctl::LineHeight(font));
    if (font) DeleteObject(font);
    auto x = [&](int32_t v) { return static_cast<int32_t>((static_cast<int64_t>(v) * baseX + 2) / 4); };
    auto y = [&](int32_t v) { return static_cast<int32_t>((static_cast<int64_t>(v) * baseY + 4) / 8); };
    return {x(units.left), y(units.top), x(units.right), y(units.bottom)};
}

LResult DialogWindowProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        const CreateStruct* cs = reinterpret_cast<const CreateStruct*>(lParam);
        auto* context = cs ? static_cast<CreateContext*>(cs->createParams) : nullptr;
        if (!context || !context->record) return -1;  // a dialog is made by the dialog calls only
        std::shared_ptr<DialogRecord> record = Table().Make(hwnd);
        *record = *context->record;
        context->record = record;
        return 0;
    }
    std::shared_ptr<DialogRecord> record = Table().Get(hwnd);
    if (!record) return DefWindowProc(hwnd, message, wParam, lParam);
    DialogRecord& d = *record;
    if (message == WM_DESTROY) {
        if (d.proc) d.proc(hwnd, message, wParam, lParam);
        if (GetCapture() == hwnd) ReleaseCapture();
        if (d.font) {
            for (Hwnd child : ListChildWindows(hwnd)) SendMessage(child, WM_SETFONT, 0, 0);
            DeleteObject(d.font);
        }
        Table().Drop(hwnd);
        return 0;
    }
    if (d.proc) {
        LResult saved = d.msgResult;
        d.msgResult = 0;
        LResult handled = d.proc(hwnd, message, wParam, lParam);
        LResult answer = d.msgResult;
        d.msgResult = saved;
        if (handled) return answer;
    }
    return DefaultHandling(hwnd, d, message, wParam, lParam);
}

Hwnd CreateDialogIndirectParam(const DialogTemplate& tmpl, Hwnd parent, DlgProc proc, LParam initParam) {
    return MakeDialog(tmpl, parent, proc, initParam, false);
}

Hwnd CreateDialogParam(std::u16string_view module, std::u16string_view name, Hwnd parent, DlgProc proc,
                       LParam initParam) {
    DialogTemplate tmpl;
    if (!LoadDialogTemplate(module, name, &tmpl)) return Hwnd{};
    return CreateDialogIndirectParam(tmpl, parent, proc, initParam);
}

int64_t DialogBoxIndirectParam(const DialogTemplate& tmpl, Hwnd parent, DlgProc proc, LParam initParam) {
    Hwnd dialog = MakeDialog(tmpl, parent, proc, initParam, true);
    if (!dialog) return -1;
    std::shared_ptr<DialogRecord> record = Table().Get(dialog);
    bool quit = false;
    int32_t quitCode = 0;
    while (record && !record->ended && IsWindow(dialog)) {
        Msg msg;
        int32_t got = GetMessage(&msg, Hwnd{}, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int32_t>(msg.wParam);
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessage(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    int64_t result = record && record->ended ? record->result : 0;
    if (IsWindow(dialog)) {
        ShowWindow(dialog, SW_HIDE);
        DestroyWindow(dialog);
    }
    ReturnToOwner(parent);
    if (quit) PostQuitMessage(quitCode);
    return result;
}

int64_t DialogBoxParam(std::u16string_view module, std::u16string_view name, Hwnd parent, DlgProc proc,
                       LParam initParam) {
    DialogTemplate tmpl;
    if (!LoadDialogTemplate(module, name, &tmpl)) return -1;
    return DialogBoxIndirectParam(tmpl, parent, proc, initParam);
}

bool EndDialog(Hwnd dialog, int64_t result) {
    std::shared_ptr<DialogRecord> record = Table().Get(dialog);
    if (!record) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    if (!record->modal) return DestroyWindow(dialog);
    record->ended = true;
    record->result = result;
    ShowWindow(dialog, SW_HIDE);
    // Wakes the modal loop when EndDialog came from outside a message of its thread.
    PostMessage(dialog, WM_NULL, 0, 0);
    return true;
}

void SetDialogResult(Hwnd dialog, LResult result) {
    std::shared_ptr<DialogRecord> record = Table().Get(dialog);
    if (record) record->msgResult = result;
}

Hwnd GetDlgItem(Hwnd dialog, int32_t id) {
    for (Hwnd child : ListChildWindows(dialog))
        if (static_cast<int32_t>(GetWindowLong(child, GWL_ID)) == id) return child;
    SetLastError(kErrorInvalidWindowHandle);
    return Hwnd{};
}

int32_t GetDlgCtrlID(Hwnd control) { return static_cast<int32_t>(GetWindowLong(control, GWL_ID)); }

LResult SendDlgItemMessage(Hwnd dialog, int32_t id, uint32_t message, WParam wParam, LParam lParam) {
    Hwnd control = GetDlgItem(dialog, id);
    return control ? SendMessage(control, message, wParam, lParam) : 0;
}

bool SetDlgItemText(Hwnd dialog, int32_t id, std::u16string_view text) {
    Hwnd control = GetDlgItem(dialog, id);
    if (!control) return false;
    std::u16string copy(text);
    // Controls of other classes keep their text in the title only.
    if (!SendMessage(control, WM_SETTEXT, 0, reinterpret_cast<LParam>(copy.c_str()))) return SetWindowText(control, copy);
    return true;
}

std::u16string GetDlgItemText(Hwnd dialog, int32_t id) {
    Hwnd control = GetDlgItem(dialog, id);
    if (!control) return std::u16string();
    std::u16string cls = GetClassName(control);
    if (tlw::EqualsNoCase(cls, kEditClass)) {
        LResult length = SendMessage(control, WM_GETTEXTLENGTH, 0, 0);
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        LResult got = SendMessage(control, WM_GETTEXT, text.size(), reinterpret_cast<LParam>(text.data()));
        text.resize(static_cast<size_t>(std::max<LResult>(0, got)));
        return text;
    }
    return GetWindowText(control);
}

int32_t GetDlgItemText(Hwnd dialog, int32_t id, char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return 0;
    std::u16string text = GetDlgItemText(dialog, id);
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}

bool SetDlgItemInt(Hwnd dialog, int32_t id, int64_t value, bool isSigned) {
    std::string text = isSigned ? std::to_string(static_cast<int32_t>(value)) : std::to_string(static_cast<uint32_t>(value));
    return SetDlgItemText(dialog, id, tlw::Utf8ToUtf16(text));
}

int64_t GetDlgItemInt(Hwnd dialog, int32_t id, bool* ok, bool isSigned) {
    if (ok) *ok = false;
    std::string text = tlw::Utf16ToUtf8(GetDlgItemText(dialog, id));
    size_t start = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (start == std::string::npos) return 0;
    text = text.substr(start, end - start + 1);
    bool negative = false;
    size_t at = 0;
    if (text[0] == '-' || text[0] == '+') {
        if (!isSigned && text[0] == '-') return 0;
        negative = text[0] == '-';
        at = 1;
    }
    if (at >= text.size()) return 0;
    int64_t value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return 0;
        value = value * 10 + (text[at] - '0');
        if (value > 0xFFFFFFFFLL) return 0;
    }
    if (negative) value = -value;
    if (isSigned ? (value < INT32_MIN || value > INT32_MAX) : value > UINT32_MAX) return 0;
    if (ok) *ok = true;
    return value;
}

bool CheckDlgButton(Hwnd dialog, int32_t id, uint32_t check) {
    Hwnd control = GetDlgItem(dialog, id);
    if (!control) return false;
    SendMessage(control, BM_SETCHECK, check, 0);
    return true;
}

uint32_t IsDlgButtonChecked(Hwnd dialog, int32_t id) {
    return static_cast<uint32_t>(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}

bool CheckRadioButton(Hwnd dialog, int32_t first, int32_t last, int32_t check) {
    bool found = false;
    for (Hwnd child : ListChildWindows(dialog)) {
        int32_t id = static_cast<int32_t>(GetWindowLong(child, GWL_ID));
        if (id < first || id > last) continue;
        SendMessage(child, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
        found = found || id == check;
    }
    return found;
}

Hwnd GetNextDlgTabItem(Hwnd dialog, Hwnd control, bool previous) {
    std::vector<Hwnd> children = ListChildWindows(dialog);
    std::vector<Hwnd> stops;
    for (Hwnd child : children) {
        uint32_t style = ctl::StyleOf(child);
        if ((style & WS_TABSTOP) && !(style & WS_DISABLED) && IsWindowVisible(child)) stops.push_back(child);
    }
    if (stops.empty()) return Hwnd{};
    auto at = std::find(stops.begin(), stops.end(), control);
    if (at == stops.end()) {
        // From a control that is no tab stop: the next stop after it in creation order.
        auto pos = std::find(children.begin(), children.end(), control);
        if (pos == children.end()) return previous ? stops.back() : stops.front();
        for (auto it = stops.begin(); it != stops.end(); ++it)
            if (std::find(pos, children.end(), *it) != children.end()) return previous && it != stops.begin() ? *(it - 1) : *it;
        return previous ? stops.back() : stops.front();
    }
    size_t index = static_cast<size_t>(at - stops.begin());
    size_t count = stops.size();
    return stops[previous ? (index + count - 1) % count : (index + 1) % count];
}

bool IsDialogMessage(Hwnd dialog, const Msg* msg) {
    if (!msg || !IsDescendant(dialog, msg->hwnd)) return false;
    std::shared_ptr<DialogRecord> record = Table().Get(dialog);
    if (!record) return false;
    if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP && msg->message != WM_CHAR) return false;
    Hwnd focus = msg->hwnd;
    if (focus != dialog) record->focus = focus;
    LResult code = focus != dialog ? SendMessage(focus, WM_GETDLGCODE, msg->wParam, 0) : 0;
    if (code & DLGC_WANTALLKEYS) return false;
    uint32_t key = static_cast<uint32_t>(msg->wParam);
    if (msg->message == WM_CHAR) {
        // The characters of the keys handled below type nothing.
        return key == u'\r' || key == 0x1B || key == u'\t';
    }
    bool handledKey = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE ||
                      ((key == VK_UP || key == VK_DOWN) && !(code & DLGC_WANTARROWS));
    if (msg->message == WM_KEYUP) return handledKey && !(key == VK_RETURN && (code & DLGC_BUTTON));
    switch (key) {
    case VK_TAB:
    case VK_UP:
    case VK_DOWN: {
        if (!handledKey) return false;
        Hwnd next = GetNextDlgTabItem(dialog, focus == dialog ? Hwnd{} : focus, key == VK_UP);
        if (next && next != focus) FocusControl(dialog, *record, next, true);
        return true;
    }
    case VK_RETURN: {
        if (code & DLGC_BUTTON) {
            // The button takes the action key itself (a click).
            return false;
        }
        int32_t defId = LowWord(static_cast<uint64_t>(SendMessage(dialog, DM_GETDEFID, 0, 0)));
        Hwnd button = GetDlgItem(dialog, defId);
        if (button && !IsWindowEnabled(button)) return true;
        SendMessage(dialog, WM_COMMAND, MakeWParam(static_cast<uint32_t>(defId), BN_CLICKED),
                    static_cast<LParam>(button.value));
        return true;
    }
    case VK_ESCAPE:
        SendMessage(dialog, WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED),
                    static_cast<LParam>(GetDlgItem(dialog, IDCANCEL).value));
        return true;
    default:
        return false;
    }
}

}  // namespace plat
