// Shared helpers of the control classes.
#include "platform/controls/control_support.h"

#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat::ctl {

uint32_t ControlId(Hwnd hwnd) { return static_cast<uint32_t>(GetWindowLong(hwnd, GWL_ID)); }

void CommandParent(Hwnd hwnd, uint32_t code) {
    Hwnd parent = GetParent(hwnd);
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MakeWParam(ControlId(hwnd), code), static_cast<LParam>(hwnd.value));
}

LResult NotifyParent(Hwnd hwnd, NmHdr* header, uint32_t code) {
    Hwnd parent = GetParent(hwnd);
    if (!parent) return 0;
    header->hwndFrom = hwnd;
    header->idFrom = static_cast<uint64_t>(GetWindowLong(hwnd, GWL_ID));
    header->code = code;
    return SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LParam>(header));
}

HFont ControlFont(HFont chosen) { return chosen ? chosen : GetStockFont(kSystemFont); }

int32_t ScaleX(int32_t units) { return (units * GetScreenDpiX() + 48) / 96; }
int32_t ScaleY(int32_t units) { return (units * GetScreenDpiY() + 48) / 96; }

uint32_t StyleOf(Hwnd hwnd) { return static_cast<uint32_t>(GetWindowLong(hwnd, GWL_STYLE)); }
bool Has(Hwnd hwnd, uint32_t styleBits) { return (StyleOf(hwnd) & styleBits) == styleBits; }
bool IsEnabled(Hwnd hwnd) { return (StyleOf(hwnd) & WS_DISABLED) == 0; }
bool HasFocus(Hwnd hwnd) { return GetFocus() == hwnd; }

void FillSolid(Hdc hdc, const Rect& rect, ColorRef color) {
    HBrush brush = CreateSolidBrush(color);
    FillRect(hdc, rect, brush);
    DeleteObject(brush);
}

void FrameSolid(Hdc hdc, const Rect& rect, ColorRef color) {
    HBrush brush = CreateSolidBrush(color);
    FrameRect(hdc, rect, brush);
    DeleteObject(brush);
}

void DrawFocusFrame(Hdc hdc, const Rect& rect) {
    ColorRef color = GetSysColor(kColorWindowText);
    for (int32_t x = rect.left; x < rect.right; x += 2) {
        SetPixel(hdc, x, rect.top, color);
        SetPixel(hdc, x, rect.bottom - 1, color);
    }
    for (int32_t y = rect.top; y < rect.bottom; y += 2) {
        SetPixel(hdc, rect.left, y, color);
        SetPixel(hdc, rect.right - 1, y, color);
    }
}

void DrawLabel(Hdc hdc, HFont font, std::u16string_view text, Rect rect, uint32_t format, ColorRef color) {
    HFont old = SelectObject(hdc, ControlFont(font));
    SetBkMode(hdc, kTransparent);
    SetTextColor(hdc, color);
    DrawText(hdc, text, &rect, format);
    SelectObject(hdc, old);
}

namespace {
// A screen-compatible DC to measure text in.
Hdc MeasureDc() {
    thread_local Hdc dc = CreateCompatibleDC(Hdc{});
    return dc;
}
}  // namespace

int32_t TextWidth(HFont font, std::u16string_view text) {
    Hdc dc = MeasureDc();
    HFont old = SelectObject(dc, ControlFont(font));
    Size size;
    GetTextExtentPoint(dc, text, &size);
    SelectObject(dc, old);
    return size.cx;
}

int32_t LineHeight(HFont font) {
    Hdc dc = MeasureDc();
    HFont old = SelectObject(dc, ControlFont(font));
    TextMetrics tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    return tm.height;
}

bool HandleFontMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam, HFont* font, LResult* result) {
    if (message == WM_SETFONT) {
        font->value = static_cast<uint32_t>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, true);
        *result = 0;
        return true;
    }
    if (message == WM_GETFONT) {
        *result = font->value;
        return true;
    }
    return false;
}

void RegisterControlClass(const char16_t* name, WndProc proc) {
    WndClass wc;
    wc.className = name;
    wc.proc = proc;
    wc.style = CS_DBLCLKS;
    RegisterClass(wc);  // false when this process has it already: nothing to do
}

}  // namespace plat::ctl
