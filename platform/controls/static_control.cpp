// The static control: labels, rules and pictures.
#include "platform/controls/static_control.h"

#include "platform/controls/common_controls.h"
#include "platform/controls/control_support.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace plat {
namespace {

struct StaticRecord {
    HFont font;            // WM_SETFONT's font
    uint32_t imageType = IMAGE_BITMAP;  // what image holds
    uint32_t image = 0;    // STM_SETIMAGE's handle value (not owned)
};

ctl::ControlTable<StaticRecord>& Table() {
    static ctl::ControlTable<StaticRecord> table;
    return table;
}

void Paint(Hwnd hwnd, const StaticRecord& s) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    uint32_t style = ctl::StyleOf(hwnd);
    uint32_t type = style & SS_TYPEMASK;
    if (type == SS_BLACKRECT) {
        ctl::FillSolid(hdc, client, GetSysColor(kColorWindowFrame));
    } else {
        ctl::FillSolid(hdc, client, GetSysColor(kColorWindow));
        if (type == SS_ICON && s.image && s.imageType == IMAGE_ICON) {
            DrawIcon(hdc, 0, 0, HIcon{s.image});
        } else if (type == SS_BITMAP && s.image && s.imageType == IMAGE_BITMAP) {
            BitmapDesc desc;
            if (GetBitmapInfo(HBitmap{s.image}, &desc)) {
                Hdc mem = CreateCompatibleDC(hdc);
                HBitmap old = SelectObject(mem, HBitmap{s.image});
                BitBlt(hdc, 0, 0, desc.width, desc.height, mem, 0, 0, kSrcCopy);
                SelectObject(mem, old);
                DeleteDC(mem);
            }
        } else {
            uint32_t format = kDtWordBreak;
            if (type == SS_CENTER) format |= kDtCenter;
            else if (type == SS_RIGHT) format |= kDtRight;
            if (type == SS_LEFTNOWORDWRAP || (style & SS_CENTERIMAGE))
                format = (format & ~kDtWordBreak) | kDtSingleLine | kDtEndEllipsis;
            if (style & SS_CENTERIMAGE) format |= kDtVCenter;
            if (style & SS_NOPREFIX) format |= kDtNoPrefix;
            ctl::DrawLabel(hdc, s.font, GetWindowText(hwnd), client, format,
                           ctl::IsEnabled(hwnd) ? GetSysColor(kColorStaticText) : GetSysColor(kColorGrayText));
        }
    }
    EndPaint(hwnd, &ps);
}

}  // namespace

LResult StaticProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        Table().Make(hwnd);
        return 0;
    }
    std::shared_ptr<StaticRecord> s = Table().Get(hwnd);
    if (!s) return DefWindowProc(hwnd, message, wParam, lParam);
    LResult result = 0;
    if (ctl::HandleFontMessage(hwnd, message, wParam, lParam, &s->font, &result)) return result;
    switch (message) {
    case WM_DESTROY:
        Table().Drop(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_SETTEXT:
        SetWindowText(hwnd, lParam ? reinterpret_cast<const char16_t*>(lParam) : u"");
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case STM_SETIMAGE: {
        uint32_t previous = s->image;
        s->imageType = static_cast<uint32_t>(wParam);
        s->image = static_cast<uint32_t>(lParam);
        InvalidateRect(hwnd, nullptr, true);
        return previous;
    }
    case STM_GETIMAGE:
        return wParam == s->imageType ? s->image : 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: {
        if (ctl::Has(hwnd, SS_NOTIFY)) {
            if (message == WM_LBUTTONUP && ctl::IsEnabled(hwnd)) ctl::CommandParent(hwnd, STN_CLICKED);
            return 0;
        }
        // A plain label is not there for the stylus: the window under it
        // gets the tap, at the same screen point.
        Hwnd parent = GetParent(hwnd);
        Rect mine, theirs;
        if (!parent || !GetWindowRect(hwnd, &mine) || !GetWindowRect(parent, &theirs)) return 0;
        return SendMessage(parent, message, wParam,
                           MakePointParam(PointParamX(lParam) + mine.left - theirs.left,
                                          PointParamY(lParam) + mine.top - theirs.top));
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace plat
