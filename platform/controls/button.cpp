// The button control: push buttons, check boxes and radio buttons.
#include "platform/controls/button.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/common_controls.h"
#include "platform/controls/control_support.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

struct ButtonRecord {
    uint32_t check = BST_UNCHECKED;  // BST_CHECKED / BST_INDETERMINATE
    bool pushed = false;             // drawn pressed (pen down on it, or space held)
    bool tracking = false;           // the pen went down on it and holds the capture
    HFont font;                      // WM_SETFONT's font, none: the system font
};

ctl::ControlTable<ButtonRecord>& Table() {
    static ctl::ControlTable<ButtonRecord> table;
    return table;
}

uint32_t Kind(Hwnd hwnd) { return ctl::StyleOf(hwnd) & BS_TYPEMASK; }

bool IsCheckKind(uint32_t kind) {
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}
bool IsRadioKind(uint32_t kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }
bool IsPushKind(uint32_t kind) { return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW; }

// The radio buttons of hwnd's group: its siblings from the last WS_GROUP
// control at or before it up to the next WS_GROUP control.
std::vector<Hwnd> RadioGroup(Hwnd hwnd) {
    std::vector<Hwnd> siblings = ListChildWindows(GetParent(hwnd));
    size_t at = 0;
    while (at < siblings.size() && siblings[at] != hwnd) ++at;
    if (at == siblings.size()) return {hwnd};
    size_t first = at;
    while (first > 0 && !ctl::Has(siblings[first], WS_GROUP)) --first;
    std::vector<Hwnd> group;
    for (size_t i = first; i < siblings.size(); ++i) {
        if (i > first && ctl::Has(siblings[i], WS_GROUP)) break;
        if (GetClassName(siblings[i]) == kButtonClass && IsRadioKind(Kind(siblings[i]))) group.push_back(siblings[i]);
    }
    return group;
}

void SetCheck(Hwnd hwnd, ButtonRecord& b, uint32_t check) {
    if (b.check == check) return;
    b.check = check;
    InvalidateRect(hwnd, nullptr, true);
}

void Click(Hwnd hwnd, ButtonRecord& b) {
    uint32_t kind = Kind(hwnd);
    if (kind == BS_AUTOCHECKBOX) SetCheck(hwnd, b, b.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    else if (kind == BS_AUTO3STATE) SetCheck(hwnd, b, (b.check + 1) % 3);
    else if (kind == BS_AUTORADIOBUTTON) {
        for (Hwnd other : RadioGroup(hwnd))
            if (other != hwnd) SendMessage(other, BM_SETCHECK, BST_UNCHECKED, 0);
        SetCheck(hwnd, b, BST_CHECKED);
    }
    ctl::CommandParent(hwnd, BN_CLICKED);
}

bool Inside(Hwnd hwnd, LParam lParam) {
    Rect r;
    GetClientRect(hwnd, &r);
    int32_t x = PointParamX(lParam), y = PointParamY(lParam);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void DrawBox(Hdc hdc, const Rect& box, bool radio, uint32_t check, bool enabled) {
    ColorRef frame = enabled ? GetSysColor(kColorWindowText) : GetSysColor(kColorGrayText);
    if (radio) {
        HBrush fill = CreateSolidBrush(GetSysColor(kColorWindow));
        HPen pen = CreatePen(kPsSolid, 1, frame);
        HBrush oldBrush = SelectObject(hdc, fill);
        HPen oldPen = SelectObject(hdc, pen);
        Ellipse(hdc, box.left, box.top, box.right, box.bottom);
        if (check == BST_CHECKED) {
            HBrush dot = CreateSolidBrush(frame);
            SelectObject(hdc, dot);
            int32_t inset = (box.right - box.left) / 4 + 1;
            Ellipse(hdc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
            SelectObject(hdc, fill);
            DeleteObject(dot);
        }
        SelectObject(hdc, oldBrush);
        SelectObject(hdc, oldPen);
        DeleteObject(fill);
        DeleteObject(pen);
        return;
    }
    ctl::FillSolid(hdc, box, check == BST_INDETERMINATE ? GetSysColor(kColorBtnFace) : GetSysColor(kColorWindow));
    ctl::FrameSolid(hdc, box, frame);
    if (check == BST_CHECKED || check == BST_INDETERMINATE) {
        // A tick: down from the left third, up to the top right.
        HPen pen = CreatePen(kPsSolid, std::max(1, (box.right - box.left) / 7), frame);
        HPen old = SelectObject(hdc, pen);
        int32_t w = box.right - box.left, h = box.bottom - box.top;
        Point tick[3] = {{box.left + w / 5, box.top + h / 2},
                         {box.left + w * 2 / 5, box.top + h * 3 / 4},
                         {box.left + w * 4 / 5, box.top + h / 4}};
        Polyline(hdc, tick, 3);
        SelectObject(hdc, old);
        DeleteObject(pen);
    }
}

void Paint(Hwnd hwnd, ButtonRecord& b) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    uint32_t kind = Kind(hwnd);
    bool enabled = ctl::IsEnabled(hwnd);
    bool focused = ctl::HasFocus(hwnd);
    std::u16string text = GetWindowText(hwnd);
    ColorRef textColor = enabled ? GetSysColor(kColorBtnText) : GetSysColor(kColorGrayText);
    if (kind == BS_OWNERDRAW) {
        DrawItemStruct dis;
        dis.ctlType = ODT_BUTTON;
        dis.ctlId = ctl::ControlId(hwnd);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (b.pushed ? ODS_SELECTED : 0) | (focused ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
        dis.hwndItem = hwnd;
        dis.hdc = hdc;
        dis.rcItem = client;
        Hwnd parent = GetParent(hwnd);
        if (parent) SendMessage(parent, WM_DRAWITEM, dis.ctlId, reinterpret_cast<LParam>(&dis));
    } else if (IsPushKind(kind)) {
        ctl::FillSolid(hdc, client, b.pushed ? GetSysColor(kColorBtnShadow) : GetSysColor(kColorBtnFace));
        ctl::FrameSolid(hdc, client, GetSysColor(kColorWindowFrame));
        if (kind == BS_DEFPUSHBUTTON)
            ctl::FrameSolid(hdc, Rect{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1},
                            GetSysColor(kColorWindowFrame));
        Rect label = client;
        if (b.pushed) {
            label.left += 1;
            label.top += 1;
        }
        ctl::DrawLabel(hdc, b.font, text, label, kDtCenter | kDtVCenter | kDtSingleLine,
                       b.pushed ? GetSysColor(kColorHighlightText) : textColor);
        if (focused) ctl::DrawFocusFrame(hdc, Rect{client.left + 3, client.top + 3, client.right - 3, client.bottom - 3});
    } else if (kind == BS_GROUPBOX) {
        ctl::FillSolid(hdc, client, GetSysColor(kColorWindow));
        int32_t half = ctl::LineHeight(b.font) / 2;
        ctl::FrameSolid(hdc, Rect{client.left, client.top + half, client.right, client.bottom},
                        GetSysColor(kColorBtnShadow));
        int32_t width = ctl::TextWidth(b.font, text);
        Rect label{client.left + ctl::ScaleX(6), client.top, client.left + ctl::ScaleX(10) + width, client.top + 2 * half};
        if (!text.empty()) ctl::FillSolid(hdc, label, GetSysColor(kColorWindow));
        label.left += ctl::ScaleX(2);
        ctl::DrawLabel(hdc, b.font, text, label, kDtLeft | kDtSingleLine | kDtVCenter, textColor);
    } else {
        ctl::FillSolid(hdc, client, GetSysColor(kColorWindow));
        int32_t size = std::min<int32_t>(ctl::ScaleY(13), client.bottom - client.top);
        bool left = ctl::Has(hwnd, BS_LEFTTEXT);
        int32_t top = client.top + (client.bottom - client.top - size) / 2;
        Rect box = left ? Rect{client.right - size, top, client.right, top + size}
                        : Rect{client.left, top, client.left + size, top + size};
        DrawBox(hdc, box, IsRadioKind(kind), b.check, enabled);
        int32_t gap = ctl::ScaleX(4);
        Rect label = left ? Rect{client.left, client.top, box.left - gap, client.bottom}
                          : Rect{box.right + gap, client.top, client.right, client.bottom};
        ctl::DrawLabel(hdc, b.font, text, label, kDtLeft | kDtVCenter | kDtSingleLine | kDtEndEllipsis, textColor);
        if (focused && !text.empty()) {
            int32_t width = std::min(ctl::TextWidth(b.font, text), label.right - label.left);
            int32_t height = ctl::LineHeight(b.font);
            int32_t y = label.top + (label.bottom - label.top - height) / 2;
            ctl::DrawFocusFrame(hdc, Rect{label.left - 1, y - 1, label.left + width + 1, y + height + 1});
        }
    }
    EndPaint(hwnd, &ps);
}

}  // namespace

LResult ButtonProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        Table().Make(hwnd);
        return 0;
    }
    std::shared_ptr<ButtonRecord> b = Table().Get(hwnd);
    if (!b) return DefWindowProc(hwnd, message, wParam, lParam);
    LResult result = 0;
    if (ctl::HandleFontMessage(hwnd, message, wParam, lParam, &b->font, &result)) return result;
    uint32_t kind = Kind(hwnd);
    switch (message) {
    case WM_DESTROY:
        if (GetCapture() == hwnd) ReleaseCapture();
        Table().Drop(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, *b);
        return 0;
    case WM_SETTEXT:
        SetWindowText(hwnd, lParam ? reinterpret_cast<const char16_t*>(lParam) : u"");
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    case WM_GETDLGCODE: {
        if (kind == BS_GROUPBOX) return DLGC_STATIC;
        LResult code = DLGC_BUTTON;
        if (kind == BS_DEFPUSHBUTTON) code |= DLGC_DEFPUSHBUTTON;
        else if (kind == BS_PUSHBUTTON) code |= DLGC_UNDEFPUSHBUTTON;
        else if (IsRadioKind(kind)) code |= DLGC_RADIOBUTTON;
        return code;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, true);
        if (message == WM_KILLFOCUS && b->pushed && !b->tracking) b->pushed = false;
        if (ctl::Has(hwnd, BS_NOTIFY)) ctl::CommandParent(hwnd, message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (kind == BS_GROUPBOX || !ctl::IsEnabled(hwnd)) return 0;
        SetFocus(hwnd);
        SetCapture(hwnd);
        b->tracking = true;
        b->pushed = true;
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_MOUSEMOVE:
        if (b->tracking && b->pushed != Inside(hwnd, lParam)) {
            b->pushed = !b->pushed;
            InvalidateRect(hwnd, nullptr, true);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!b->tracking) return 0;
        b->tracking = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        bool clicked = Inside(hwnd, lParam);
        b->pushed = false;
        InvalidateRect(hwnd, nullptr, true);
        if (clicked) Click(hwnd, *b);
        return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (b->tracking) {
            b->tracking = false;
            b->pushed = false;
            InvalidateRect(hwnd, nullptr, true);
        }
        return 0;
    case WM_KEYDOWN:
        if (!ctl::IsEnabled(hwnd) || kind == BS_GROUPBOX) return 0;
        if (wParam == VK_SPACE) {
            b->pushed = true;
            InvalidateRect(hwnd, nullptr, true);
        } else if (wParam == VK_RETURN) {
            Click(hwnd, *b);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && b->pushed) {
            b->pushed = false;
            InvalidateRect(hwnd, nullptr, true);
            Click(hwnd, *b);
        }
        return 0;
    case BM_GETCHECK:
        return (IsCheckKind(kind) || IsRadioKind(kind)) ? b->check : BST_UNCHECKED;
    case BM_SETCHECK: {
        uint32_t check = static_cast<uint32_t>(wParam);
        if (check > BST_INDETERMINATE || (check == BST_INDETERMINATE && kind != BS_3STATE && kind != BS_AUTO3STATE))
            check = check ? BST_CHECKED : BST_UNCHECKED;
        if (IsCheckKind(kind) || IsRadioKind(kind)) SetCheck(hwnd, *b, check);
        return 0;
    }
    case BM_GETSTATE:
        return b->check | (b->pushed ? BST_PUSHED : 0) | (ctl::HasFocus(hwnd) ? BST_FOCUS : 0);
    case BM_SETSTATE:
        if (b->pushed != (wParam != 0)) {
            b->pushed = wParam != 0;
            InvalidateRect(hwnd, nullptr, true);
        }
        return 0;
    case BM_SETSTYLE: {
        uint32_t style = (ctl::StyleOf(hwnd) & ~BS_TYPEMASK) | (static_cast<uint32_t>(wParam) & BS_TYPEMASK);
        SetWindowLong(hwnd, GWL_STYLE, style);
        if (lParam) InvalidateRect(hwnd, nullptr, true);
        return 0;
    }
    case BM_CLICK:
        if (ctl::IsEnabled(hwnd) && kind != BS_GROUPBOX) Click(hwnd, *b);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace plat
