// The single-line edit control.
#include "platform/controls/edit.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/controls/common_controls.h"
#include "platform/controls/control_support.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

struct EditRecord {
    std::u16string text;        // the content
    std::u16string mirror;      // what the window title was last set to (the text, or its mask)
    size_t anchor = 0;          // selection start as the user made it (the fixed end)
    size_t caret = 0;           // the moving end, where typing goes
    size_t limit = kEditDefaultLimit;  // most characters typing may give
    char16_t passwordChar = u'*';      // with ES_PASSWORD
    int32_t scroll = 0;         // pixels of text scrolled out at the left
    bool modified = false;      // EM_GETMODIFY
    bool selecting = false;     // the pen is down, dragging a selection
    HFont font;                 // WM_SETFONT's font
};

ctl::ControlTable<EditRecord>& Table() {
    static ctl::ControlTable<EditRecord> table;
    return table;
}

bool Password(Hwnd hwnd, const EditRecord& e) { return ctl::Has(hwnd, ES_PASSWORD) && e.passwordChar != 0; }

// The text as drawn and mirrored in the title.
std::u16string Shown(Hwnd hwnd, const EditRecord& e) {
    return Password(hwnd, e) ? std::u16string(e.text.size(), e.passwordChar) : e.text;
}

void Mirror(Hwnd hwnd, EditRecord& e) {
    e.mirror = Shown(hwnd, e);
    SetWindowText(hwnd, e.mirror);
}

// Takes a title set from outside (SetWindowText) as the new text.
void AdoptTitle(Hwnd hwnd, EditRecord& e) {
    std::u16string title = GetWindowText(hwnd);
    if (title == e.mirror) return;
    e.text = title;
    e.anchor = e.caret = 0;
    e.scroll = 0;
    Mirror(hwnd, e);
    InvalidateRect(hwnd, nullptr, true);
}

size_t SelStart(const EditRecord& e) { return std::min(e.anchor, e.caret); }
size_t SelEnd(const EditRecord& e) { return std::max(e.anchor, e.caret); }

Rect TextArea(Hwnd hwnd) {
    Rect client;
    GetClientRect(hwnd, &client);
    int32_t pad = ctl::ScaleX(3);
    return {client.left + pad, client.top + 1, client.right - pad, client.bottom - 1};
}

int32_t Offset(Hwnd hwnd, const EditRecord& e, size_t chars) {
    return ctl::TextWidth(e.font, std::u16string_view(Shown(hwnd, e)).substr(0, chars));
}

// Where the text starts in the control (alignment and scrolling).
int32_t TextLeft(Hwnd hwnd, const EditRecord& e) {
    Rect area = TextArea(hwnd);
    int32_t width = ctl::TextWidth(e.font, Shown(hwnd, e));
    int32_t room = area.right - area.left;
    uint32_t style = ctl::StyleOf(hwnd);
    if (width <= room) {
        if (style & ES_RIGHT) return area.right - width;
        if (style & ES_CENTER) return area.left + (room - width) / 2;
    }
    return area.left - e.scroll;
}

// Scrolls so that the caret is in view.
void KeepCaretVisible(Hwnd hwnd, EditRecord& e) {
    Rect area = TextArea(hwnd);
    int32_t room = std::max(1, area.right - area.left - 1);
    int32_t caretX = Offset(hwnd, e, e.caret);
    int32_t width = ctl::TextWidth(e.font, Shown(hwnd, e));
    if (caretX - e.scroll > room) e.scroll = caretX - room;
    if (caretX < e.scroll) e.scroll = std::max(0, caretX - room / 3);
    if (width - e.scroll < room) e.scroll = std::max(0, width - room);
}

// The character boundary nearest to x (client coordinates).
size_t CharAt(Hwnd hwnd, const EditRecord& e, int32_t x) {
    int32_t left = TextLeft(hwnd, e);
    std::u16string shown = Shown(hwnd, e);
    size_t best = 0;
    int32_t bestDistance = std::abs(x - left);
    for (size_t i = 1; i <= shown.size(); ++i) {
        int32_t d = std::abs(x - (left + Offset(hwnd, e, i)));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

void Changed(Hwnd hwnd, EditRecord& e) {
    e.modified = true;
    Mirror(hwnd, e);
    KeepCaretVisible(hwnd, e);
    InvalidateRect(hwnd, nullptr, true);
    ctl::CommandParent(hwnd, EN_UPDATE);
    ctl::CommandParent(hwnd, EN_CHANGE);
}

void SetSelection(Hwnd hwnd, EditRecord& e, size_t anchor, size_t caret) {
    anchor = std::min(anchor, e.text.size());
    caret = std::min(caret, e.text.size());
    if (anchor == e.anchor && caret == e.caret) return;
    e.anchor = anchor;
    e.caret = caret;
    KeepCaretVisible(hwnd, e);
    InvalidateRect(hwnd, nullptr, true);
}

// Replaces the selection by `insert` as typing does: characters the style
// refuses are dropped, the limit cuts what does not fit. False when nothing
// could be inserted though something was asked for.
bool ReplaceSelection(Hwnd hwnd, EditRecord& e, std::u16string insert, bool typed) {
    uint32_t style = ctl::StyleOf(hwnd);
    if (typed) {
        std::u16string kept;
        for (char16_t c : insert) {
            if ((style & ES_NUMBER) && (c < u'0' || c > u'9')) continue;
            if ((style & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
            if ((style & ES_LOWERCASE) && c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
            kept.push_back(c);
        }
        insert = kept;
    }
    size_t start = SelStart(e), end = SelEnd(e);
    size_t remaining = e.text.size() - (end - start);
    bool cut = false;
    if (typed && remaining + insert.size() > e.limit) {
        insert.resize(e.limit > remaining ? e.limit - remaining : 0);
        cut = true;
    }
    if (insert.empty() && start == end) {
        if (cut) ctl::CommandParent(hwnd, EN_MAXTEXT);
        return false;
    }
    e.text.replace(start, end - start, insert);
    e.anchor = e.caret = start + insert.size();
    Changed(hwnd, e);
    if (cut) ctl::CommandParent(hwnd, EN_MAXTEXT);
    return true;
}

void DeleteAround(Hwnd hwnd, EditRecord& e, bool before) {
    if (ctl::Has(hwnd, ES_READONLY)) return;
    if (e.anchor == e.caret) {
        if (before && e.caret == 0) return;
        if (!before && e.caret >= e.text.size()) return;
        if (before) e.anchor = e.caret - 1;
        else e.anchor = e.caret + 1;
    }
    ReplaceSelection(hwnd, e, u"", false);
}

void Paint(Hwnd hwnd, EditRecord& e) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    bool enabled = ctl::IsEnabled(hwnd);
    bool readOnly = ctl::Has(hwnd, ES_READONLY);
    ColorRef background = (enabled && !readOnly) ? GetSysColor(kColorWindow) : GetSysColor(kColorBtnFace);
    ctl::FillSolid(hdc, client, background);
    if (ctl::Has(hwnd, WS_BORDER)) ctl::FrameSolid(hdc, client, GetSysColor(kColorWindowFrame));
    Rect area = TextArea(hwnd);
    std::u16string shown = Shown(hwnd, e);
    int32_t left = TextLeft(hwnd, e);
    int32_t lineHeight = ctl::LineHeight(e.font);
    int32_t top = client.top + (client.bottom - client.top - lineHeight) / 2;
    SaveDC(hdc);
    IntersectClipRect(hdc, area.left, client.top + 1, area.right, client.bottom - 1);
    HFont old = SelectObject(hdc, ctl::ControlFont(e.font));
    SetBkMode(hdc, kTransparent);
    SetTextColor(hdc, enabled ? GetSysColor(kColorWindowText) : GetSysColor(kColorGrayText));
    TextOut(hdc, left, top, shown);
    bool focused = ctl::HasFocus(hwnd);
    size_t start = SelStart(e), end = SelEnd(e);
    if (start != end && (focused || ctl::Has(hwnd, ES_NOHIDESEL))) {
        int32_t x0 = left + Offset(hwnd, e, start), x1 = left + Offset(hwnd, e, end);
        ctl::FillSolid(hdc, Rect{x0, top, x1, top + lineHeight}, GetSysColor(kColorHighlight));
        SetTextColor(hdc, GetSysColor(kColorHighlightText));
        TextOut(hdc, x0, top, std::u16string_view(shown).substr(start, end - start));
    } else if (focused && enabled) {
        int32_t x = std::min(left + Offset(hwnd, e, e.caret), area.right - 1);
        ctl::FillSolid(hdc, Rect{x, top, x + std::max(1, ctl::ScaleX(1)), top + lineHeight},
                       GetSysColor(kColorWindowText));
    }
    SelectObject(hdc, old);
    RestoreDC(hdc, -1);
    EndPaint(hwnd, &ps);
}

int32_t CopyText(const std::u16string& text, char16_t* buffer, size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), n * sizeof(char16_t));
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}

std::u16string Terminated(LParam lParam) {
    const char16_t* p = reinterpret_cast<const char16_t*>(lParam);
    return p ? std::u16string(p) : std::u16string();
}

}  // namespace

LResult EditProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        std::shared_ptr<EditRecord> e = Table().Make(hwnd);
        e->text = GetWindowText(hwnd);
        Mirror(hwnd, *e);
        return 0;
    }
    std::shared_ptr<EditRecord> record = Table().Get(hwnd);
    if (!record) return DefWindowProc(hwnd, message, wParam, lParam);
    EditRecord& e = *record;
    LResult result = 0;
    if (ctl::HandleFontMessage(hwnd, message, wParam, lParam, &e.font, &result)) return result;
    if (message != WM_DESTROY) AdoptTitle(hwnd, e);
    bool readOnly = ctl::Has(hwnd, ES_READONLY);
    switch (message) {
    case WM_DESTROY:
        if (GetCapture() == hwnd) ReleaseCapture();
        Table().Drop(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, e);
        return 0;
    case WM_SIZE:
        KeepCaretVisible(hwnd, e);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL;
    case WM_SETFOCUS:
        InvalidateRect(hwnd, nullptr, true);
        ctl::CommandParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, true);
        ctl::CommandParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_SETTEXT:
        e.text = Terminated(lParam);
        e.anchor = e.caret = 0;
        e.scroll = 0;
        e.modified = false;
        Mirror(hwnd, e);
        InvalidateRect(hwnd, nullptr, true);
        ctl::CommandParent(hwnd, EN_UPDATE);
        ctl::CommandParent(hwnd, EN_CHANGE);
        return 1;
    case WM_GETTEXT:
        return CopyText(e.text, reinterpret_cast<char16_t*>(lParam), static_cast<size_t>(wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LResult>(e.text.size());
    case WM_CHAR: {
        if (!ctl::IsEnabled(hwnd)) return 0;
        char16_t c = static_cast<char16_t>(wParam);
        if (c == u'\b') {
            DeleteAround(hwnd, e, true);
            return 0;
        }
        if (c < 0x20 || c == 0x7F || readOnly) return 0;  // control characters (return, escape) type nothing
        ReplaceSelection(hwnd, e, std::u16string(1, c), true);
        return 0;
    }
    case WM_KEYDOWN:
        if (!ctl::IsEnabled(hwnd)) return 0;
        switch (wParam) {
        case VK_BACK: DeleteAround(hwnd, e, true); break;
        case VK_DELETE: DeleteAround(hwnd, e, false); break;
        case VK_LEFT: {
            size_t to = e.anchor != e.caret ? SelStart(e) : (e.caret > 0 ? e.caret - 1 : 0);
            SetSelection(hwnd, e, to, to);
            break;
        }
        case VK_RIGHT: {
            size_t to = e.anchor != e.caret ? SelEnd(e) : std::min(e.caret + 1, e.text.size());
            SetSelection(hwnd, e, to, to);
            break;
        }
        case VK_HOME: SetSelection(hwnd, e, 0, 0); break;
        case VK_END: SetSelection(hwnd, e, e.text.size(), e.text.size()); break;
        default: break;
        }
        return 0;
    case WM_LBUTTONDOWN: {
        if (!ctl::IsEnabled(hwnd)) return 0;
        if (!ctl::HasFocus(hwnd)) SetFocus(hwnd);
        size_t at = CharAt(hwnd, e, PointParamX(lParam));
        SetSelection(hwnd, e, at, at);
        e.selecting = true;
        SetCapture(hwnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (e.selecting) SetSelection(hwnd, e, e.anchor, CharAt(hwnd, e, PointParamX(lParam)));
        return 0;
    case WM_LBUTTONUP:
        if (e.selecting) {
            e.selecting = false;
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        SetSelection(hwnd, e, 0, e.text.size());
        return 0;
    case WM_CAPTURECHANGED:
        e.selecting = false;
        return 0;
    case EM_GETSEL: {
        uint32_t start = static_cast<uint32_t>(SelStart(e)), end = static_cast<uint32_t>(SelEnd(e));
        if (wParam) *reinterpret_cast<uint32_t*>(wParam) = start;
        if (lParam) *reinterpret_cast<uint32_t*>(lParam) = end;
        return static_cast<LResult>(MakeLParam(start, end));
    }
    case EM_SETSEL: {
        int64_t start = static_cast<int32_t>(wParam), end = static_cast<int32_t>(lParam);
        if (start < 0) {  // clears the selection, keeping the caret
            SetSelection(hwnd, e, e.caret, e.caret);
            return 0;
        }
        size_t size = e.text.size();
        size_t s = static_cast<size_t>(start), en = end < 0 ? size : static_cast<size_t>(end);
        SetSelection(hwnd, e, std::min(s, size), std::min(en, size));
        return 0;
    }
    case EM_REPLACESEL:
        ReplaceSelection(hwnd, e, Terminated(lParam), false);
        return 0;
    case WM_CLEAR:
        if (!readOnly && e.anchor != e.caret) ReplaceSelection(hwnd, e, u"", false);
        return 0;
    case EM_LIMITTEXT:
        e.limit = wParam == 0 ? kEditLargestLimit : static_cast<size_t>(std::min<WParam>(wParam, kEditLargestLimit));
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LResult>(e.limit);
    case EM_SETPASSWORDCHAR:
        e.passwordChar = static_cast<char16_t>(wParam);
        if (wParam) SetWindowLong(hwnd, GWL_STYLE, ctl::StyleOf(hwnd) | ES_PASSWORD);
        else SetWindowLong(hwnd, GWL_STYLE, ctl::StyleOf(hwnd) & ~ES_PASSWORD);
        Mirror(hwnd, e);
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case EM_GETPASSWORDCHAR:
        return ctl::Has(hwnd, ES_PASSWORD) ? e.passwordChar : 0;
    case EM_SETREADONLY:
        SetWindowLong(hwnd, GWL_STYLE, wParam ? ctl::StyleOf(hwnd) | ES_READONLY : ctl::StyleOf(hwnd) & ~ES_READONLY);
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    case EM_GETMODIFY:
        return e.modified ? 1 : 0;
    case EM_SETMODIFY:
        e.modified = wParam != 0;
        return 0;
    case EM_GETLINECOUNT:
        return 1;
    case EM_LINELENGTH:
        return static_cast<LResult>(e.text.size());
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace plat
