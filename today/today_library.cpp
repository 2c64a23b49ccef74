// The library's attach and detach, and its Today entry: the window class is
// registered while the library is loaded, and the entry makes the item's
// window as a child of the Today screen.
#include "platform/controls/common_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/window/system_info.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {

TodayState& Plugin() {
    static TodayState state;
    return state;
}

void LibraryAttach(plat::HModule instance) {
    TodayState& s = Plugin();
    s.instance = instance;
    s.icon = plat::LoadIcon(kResourceModule, u"101", 16, 16);
    plat::UnregisterClass(kTodayClassName);
    plat::WndClass wc;
    wc.className = kTodayClassName;
    wc.proc = &TodayWindowProc;
    wc.style = 0;
    wc.background = plat::GetStockBrush(plat::kWhiteBrush);
    plat::RegisterClass(wc);
    s.window = {};
}

void LibraryDetach() {
    TodayState& s = Plugin();
    if (s.icon) plat::DestroyIcon(s.icon);
    s.icon = {};
    plat::UnregisterClass(kTodayClassName);
    s.instance = 0;
}

plat::Hwnd InitializeCustomItem(plat::TodayListItem* /*item*/, plat::Hwnd parent) {
    TodayState& s = Plugin();
    // The parent is known before WM_CREATE runs the initialisation.
    s.parent = parent;
    // The slider's and the time-out picker's classes. They are registered
    // before the window is made: WM_CREATE lays the item out, and the layout
    // makes the slider, which would not exist in a host that had not
    // registered the trackbar yet.
    plat::InitCommonControlsExInfo controls;
    controls.classes = plat::ICC_BAR_CLASSES | plat::ICC_DATE_CLASSES;
    plat::InitCommonControlsEx(&controls);
    plat::Hwnd hwnd = plat::CreateWindow(kTodayClassName, kTodayClassName, plat::WS_CHILD | plat::WS_VISIBLE, 0, 0,
                                         plat::GetSystemMetrics(plat::kSmCxScreen), 0, parent);
    if (!hwnd) return {};
    s.window = hwnd;
    plat::ShowWindow(hwnd, plat::SW_SHOW);
    plat::UpdateWindow(hwnd);
    return hwnd;
}

}  // namespace today
