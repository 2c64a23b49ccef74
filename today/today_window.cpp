// The item window's procedure: the Today screen's messages and the
// window's own, each handed to the part that handles it.
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {

plat::LResult TodayWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    TodayState& s = Plugin();
    switch (message) {
    case plat::WM_CREATE:
        InitialisePlugin(hwnd);
        if (s.initialised) RecomputeLayout();
        return 0;
    case plat::WM_DESTROY:
        ShutdownPlugin(hwnd);
        return 0;
    case plat::WM_PAINT:
        PaintWindow(hwnd);
        return 0;
    case plat::WM_ERASEBKGND:
        return 1;  // the paint covers the whole item
    case plat::WM_DRAWITEM:
        return DrawMenuItem(lParam) ? 1 : 0;
    case plat::WM_MEASUREITEM:
        return MeasureMenuItem(lParam) ? 1 : 0;
    case plat::WM_WINDOWPOSCHANGED: {
        plat::Rect client;
        if (s.initialised && s.parent && plat::GetClientRect(s.parent, &client) &&
            client.right - client.left != s.layout.width) {
            RecomputeLayout();
            s.layoutChanged = true;
        }
        plat::InvalidateRect(hwnd, nullptr, false);
        s.cpuOnlyRepaint = false;
        return 0;
    }
    case plat::WM_TIMER:
        if (wParam == kCpuTimerId && s.initialised) OnCpuTimer();
        return 0;
    case plat::WM_HSCROLL:
        OnSliderScroll(wParam);
        return 0;
    case plat::WM_CTLCOLORSTATIC:
        return static_cast<plat::LResult>(s.sliderAdjust && s.highlightBrush ? s.highlightBrush.value
                                                                              : s.patterns[kBrushGrey].value);
    case plat::WM_LBUTTONUP:
        OnTap(plat::PointParamX(lParam), plat::PointParamY(lParam));
        return 0;
    case plat::WM_TODAYCUSTOM_QUERYREFRESHCACHE:
        return RefreshPlugin(reinterpret_cast<plat::TodayListItem*>(lParam)) ? 1 : 0;
    case plat::WM_TODAYCUSTOM_RECEIVEDSELECTION:
        s.selection = kHitProfileName;
        s.hasSelection = true;
        plat::InvalidateRect(hwnd, nullptr, false);
        return 1;
    case plat::WM_TODAYCUSTOM_LOSTSELECTION:
        s.selection = kNoHit;
        s.hasSelection = false;
        plat::InvalidateRect(hwnd, nullptr, false);
        return 1;
    case plat::WM_TODAYCUSTOM_USERNAVIGATION:
        return OnNavigation(static_cast<uint32_t>(wParam)) ? 1 : 0;
    case plat::WM_TODAYCUSTOM_ACTION:
        OnAction();
        return 1;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace today
