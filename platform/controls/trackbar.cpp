// The trackbar control.
#include "platform/controls/trackbar.h"

#include <algorithm>

#include "platform/controls/common_controls.h"
#include "platform/controls/control_support.h"
#include "platform/controls/edit.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

struct TrackbarRecord {
    int32_t min = 0;        // the range
    int32_t max = 100;
    int32_t pos = 0;        // the thumb's position, min..max
    int32_t page = 20;      // a page step (TBM_SETPAGESIZE; the default is a fifth of the range)
    bool pageSet = false;   // the page size was set and no longer follows the range
    int32_t line = 1;       // a line step
    bool dragging = false;  // the pen holds the thumb
};

ctl::ControlTable<TrackbarRecord>& Table() {
    static ctl::ControlTable<TrackbarRecord> table;
    return table;
}

bool Vertical(Hwnd hwnd) { return ctl::Has(hwnd, TBS_VERT); }

// The channel's length in pixels and its start; the thumb's size.
struct Geometry {
    int32_t start = 0;   // first pixel of the channel along the axis
    int32_t length = 1;  // pixels the thumb's centre can travel
    int32_t thumb = 1;   // thumb length along the axis
    int32_t cross = 0;   // the channel's centre across the axis
    int32_t depth = 1;   // thumb size across the axis
};

Geometry Measure(Hwnd hwnd) {
    Rect client;
    GetClientRect(hwnd, &client);
    bool vertical = Vertical(hwnd);
    int32_t along = vertical ? client.bottom - client.top : client.right - client.left;
    int32_t across = vertical ? client.right - client.left : client.bottom - client.top;
    Geometry g;
    g.thumb = std::max(4, ctl::ScaleX(11));
    g.depth = std::max(6, std::min(across - 4, ctl::ScaleY(20)));
    g.start = g.thumb / 2 + 2;
    g.length = std::max(1, along - g.thumb - 4);
    g.cross = across / 2;
    return g;
}

int32_t PixelOf(const TrackbarRecord& t, const Geometry& g, int32_t pos) {
    if (t.max <= t.min) return g.start;
    return g.start + static_cast<int32_t>(static_cast<int64_t>(pos - t.min) * g.length / (t.max - t.min));
}

int32_t PositionAt(const TrackbarRecord& t, const Geometry& g, int32_t pixel) {
    if (t.max <= t.min) return t.min;
    int64_t span = t.max - t.min;
    int64_t offset = std::clamp(pixel - g.start, 0, g.length);
    return t.min + static_cast<int32_t>((offset * span + g.length / 2) / g.length);
}

void Notify(Hwnd hwnd, uint32_t code, int32_t pos) {
    Hwnd parent = GetParent(hwnd);
    if (!parent) return;
    WParam wParam = MakeWParam(code, (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? uint32_t(pos) : 0u);
    SendMessage(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, wParam, static_cast<LParam>(hwnd.value));
}

bool MoveTo(Hwnd hwnd, TrackbarRecord& t, int32_t pos) {
    pos = std::clamp(pos, t.min, std::max(t.min, t.max));
    if (pos == t.pos) return false;
    t.pos = pos;
    InvalidateRect(hwnd, nullptr, true);
    return true;
}

// The background behind the channel: the brush the parent answers to
// WM_CTLCOLORSTATIC (wParam: the control's device context, lParam: the
// control), so that a trackbar can sit on a coloured or patterned surface;
// the window colour when the parent answers none or a brush that does not
// fill. A pattern brush starts at the control's top-left corner.
void FillBackground(Hwnd hwnd, Hdc hdc, const Rect& client) {
    Hwnd parent = GetParent(hwnd);
    LResult answer = parent ? SendMessage(parent, WM_CTLCOLORSTATIC, static_cast<WParam>(hdc.value),
                                          static_cast<LParam>(hwnd.value))
                            : 0;
    HBrush brush;
    brush.value = static_cast<uint32_t>(answer);
    if (brush && static_cast<uint64_t>(answer) == brush.value) {
        Point previous;
        SetBrushOrg(hdc, client.left, client.top, &previous);
        bool filled = FillRect(hdc, client, brush);
        SetBrushOrg(hdc, previous.x, previous.y);
        if (filled) return;
    }
    ctl::FillSolid(hdc, client, GetSysColor(kColorWindow));
}

void Paint(Hwnd hwnd, const TrackbarRecord& t) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    FillBackground(hwnd, hdc, client);
    Geometry g = Measure(hwnd);
    bool vertical = Vertical(hwnd);
    bool enabled = ctl::IsEnabled(hwnd);
    auto rect = [&](int32_t a0, int32_t c0, int32_t a1, int32_t c1) {
        return vertical ? Rect{c0, a0, c1, a1} : Rect{a0, c0, a1, c1};
    };
    // The channel: a sunken groove along the axis.
    int32_t half = std::max(2, ctl::ScaleY(2));
    Rect channel = rect(g.start - 2, g.cross - half, g.start + g.length + 2, g.cross + half);
    ctl::FillSolid(hdc, channel, GetSysColor(kColorBtnFace));
    ctl::FrameSolid(hdc, channel, GetSysColor(kColorBtnShadow));
    // Ticks under the channel: at every position with TBS_AUTOTICKS, else at both ends.
    if (!ctl::Has(hwnd, TBS_NOTICKS)) {
        ColorRef tick = GetSysColor(kColorWindowText);
        int32_t tickTop = g.cross + g.depth / 2 + 1, tickBottom = tickTop + std::max(2, ctl::ScaleY(3));
        auto drawTick = [&](int32_t p) {
            int32_t at = PixelOf(t, g, p);
            ctl::FillSolid(hdc, rect(at, tickTop, at + 1, tickBottom), tick);
        };
        if (ctl::Has(hwnd, TBS_AUTOTICKS) && t.max - t.min <= g.length / 2)
            for (int32_t p = t.min; p <= t.max; ++p) drawTick(p);
        else {
            drawTick(t.min);
            drawTick(t.max);
        }
    }
    // The thumb.
    int32_t at = PixelOf(t, g, t.pos);
    Rect thumb = rect(at - g.thumb / 2, g.cross - g.depth / 2, at - g.thumb / 2 + g.thumb, g.cross - g.depth / 2 + g.depth);
    ctl::FillSolid(hdc, thumb, enabled ? (t.dragging ? GetSysColor(kColorHighlight) : GetSysColor(kColorBtnFace))
                                       : GetSysColor(kColorWindow));
    ctl::FrameSolid(hdc, thumb, enabled ? GetSysColor(kColorWindowFrame) : GetSysColor(kColorGrayText));
    if (ctl::HasFocus(hwnd)) ctl::DrawFocusFrame(hdc, client);
    EndPaint(hwnd, &ps);
}

int32_t AlongOf(Hwnd hwnd, LParam lParam) { return Vertical(hwnd) ? PointParamY(lParam) : PointParamX(lParam); }

void Step(Hwnd hwnd, TrackbarRecord& t, int32_t delta, uint32_t code) {
    if (MoveTo(hwnd, t, t.pos + delta)) Notify(hwnd, code, t.pos);
}

}  // namespace

LResult TrackbarProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        Table().Make(hwnd);
        return 0;
    }
    std::shared_ptr<TrackbarRecord> record = Table().Get(hwnd);
    if (!record) return DefWindowProc(hwnd, message, wParam, lParam);
    TrackbarRecord& t = *record;
    auto setRange = [&](int32_t min, int32_t max, bool redraw) {
        t.min = min;
        t.max = std::max(min, max);
        if (!t.pageSet) t.page = std::max(1, (t.max - t.min) / 5);
        t.pos = std::clamp(t.pos, t.min, t.max);
        if (redraw) InvalidateRect(hwnd, nullptr, true);
    };
    switch (message) {
    case WM_DESTROY:
        if (GetCapture() == hwnd) ReleaseCapture();
        Table().Drop(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, t);
        return 0;
    case WM_GETDLGCODE:
        return 0;  // left and right reach it; up and down move between a dialog's controls
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_LBUTTONDOWN: {
        if (!ctl::IsEnabled(hwnd)) return 0;
        SetFocus(hwnd);
        Geometry g = Measure(hwnd);
        int32_t along = AlongOf(hwnd, lParam);
        int32_t thumbAt = PixelOf(t, g, t.pos);
        bool onThumb = std::abs(along - thumbAt) <= g.thumb / 2 + 1;
        if (!onThumb && ctl::Has(hwnd, TBS_PAGETAP)) {
            if (along < thumbAt) Step(hwnd, t, -t.page, TB_PAGEUP);
            else Step(hwnd, t, t.page, TB_PAGEDOWN);
            Notify(hwnd, TB_ENDTRACK, t.pos);
            return 0;
        }
        t.dragging = true;
        SetCapture(hwnd);
        if (MoveTo(hwnd, t, PositionAt(t, g, along))) Notify(hwnd, TB_THUMBTRACK, t.pos);
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (t.dragging && MoveTo(hwnd, t, PositionAt(t, Measure(hwnd), AlongOf(hwnd, lParam))))
            Notify(hwnd, TB_THUMBTRACK, t.pos);
        return 0;
    case WM_LBUTTONUP:
        if (!t.dragging) return 0;
        MoveTo(hwnd, t, PositionAt(t, Measure(hwnd), AlongOf(hwnd, lParam)));
        t.dragging = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, true);
        Notify(hwnd, TB_THUMBPOSITION, t.pos);
        Notify(hwnd, TB_ENDTRACK, t.pos);
        return 0;
    case WM_CAPTURECHANGED:
        if (t.dragging) {
            t.dragging = false;
            InvalidateRect(hwnd, nullptr, true);
        }
        return 0;
    case WM_KEYDOWN:
        if (!ctl::IsEnabled(hwnd)) return 0;
        switch (wParam) {
        case VK_LEFT:
        case VK_UP: Step(hwnd, t, -t.line, TB_LINEUP); break;
        case VK_RIGHT:
        case VK_DOWN: Step(hwnd, t, t.line, TB_LINEDOWN); break;
        case VK_HOME: Step(hwnd, t, t.min - t.pos, TB_TOP); break;
        case VK_END: Step(hwnd, t, t.max - t.pos, TB_BOTTOM); break;
        default: return 0;
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_HOME ||
            wParam == VK_END)
            Notify(hwnd, TB_ENDTRACK, t.pos);
        return 0;
    case TBM_GETPOS: return t.pos;
    case TBM_GETRANGEMIN: return t.min;
    case TBM_GETRANGEMAX: return t.max;
    case TBM_SETPOS:
        MoveTo(hwnd, t, static_cast<int32_t>(lParam));
        return 0;
    case TBM_SETRANGE:
        setRange(static_cast<int32_t>(LowWord(static_cast<uint64_t>(lParam))),
                 static_cast<int32_t>(HighWord(static_cast<uint64_t>(lParam))), wParam != 0);
        return 0;
    case TBM_SETRANGEMIN: setRange(static_cast<int32_t>(lParam), t.max, wParam != 0); return 0;
    case TBM_SETRANGEMAX: setRange(t.min, static_cast<int32_t>(lParam), wParam != 0); return 0;
    case TBM_SETPAGESIZE: {
        int32_t previous = t.page;
        t.page = std::max<int32_t>(1, static_cast<int32_t>(lParam));
        t.pageSet = true;
        return previous;
    }
    case TBM_GETPAGESIZE: return t.page;
    case TBM_SETLINESIZE: {
        int32_t previous = t.line;
        t.line = std::max<int32_t>(1, static_cast<int32_t>(lParam));
        return previous;
    }
    case TBM_GETLINESIZE: return t.line;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace plat
