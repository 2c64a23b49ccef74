// The shell's state, its windows' life and the look it refreshes.
#include "sim/shell.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace sim {
namespace {

bool SameRect(const plat::Rect& a, const plat::Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SameLayout(const plat::ScreenLayout& a, const plat::ScreenLayout& b) {
    return a.screen.cx == b.screen.cx && a.screen.cy == b.screen.cy && SameRect(a.taskBar, b.taskBar) &&
           SameRect(a.menuBar, b.menuBar);
}

void Place(plat::Hwnd hwnd, const plat::Rect& r) {
    if (hwnd) plat::MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, true);
}

bool SameKey(const plat::SoftKey& a, const plat::SoftKey& b) {
    if (a.label != b.label || a.command != b.command || a.popup.size() != b.popup.size()) return false;
    for (size_t i = 0; i < a.popup.size(); ++i) {
        const plat::MenuBarEntry& x = a.popup[i];
        const plat::MenuBarEntry& y = b.popup[i];
        if (x.text != y.text || x.command != y.command || x.separator != y.separator || x.grayed != y.grayed ||
            x.checked != y.checked)
            return false;
    }
    return true;
}

}  // namespace

ShellState& Shell() {
    static ShellState state;
    return state;
}

int32_t Scale(int32_t units) {
    int32_t dpi = plat::GetScreenDpiY();
    return (units * dpi + 48) / 96;
}

plat::HFont ShellFont(bool bold) {
    static plat::HFont fonts[2];
    static int32_t madeFor = 0;
    int32_t dpi = plat::GetScreenDpiY();
    if (madeFor != dpi) {
        for (plat::HFont& f : fonts)
            if (f) plat::DeleteObject(f);
        for (int i = 0; i < 2; ++i) {
            plat::LogFont lf;
            lf.height = -Scale(12);
            lf.weight = i ? plat::kFwBold : plat::kFwNormal;
            fonts[i] = plat::CreateFontIndirect(lf);
        }
        madeFor = dpi;
    }
    return fonts[bold ? 1 : 0];
}

void RegisterShellClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    struct Entry {
        const char16_t* name;
        plat::WndProc proc;
    };
    for (const Entry& e : {Entry{kTaskBarClass, &TaskBarProc}, Entry{kMenuBarClass, &MenuBarProc},
                           Entry{kMenuPopupClass, &MenuPopupProc}, Entry{kDesktopClass, &DesktopProc}}) {
        plat::WndClass wc;
        wc.className = e.name;
        wc.proc = e.proc;
        plat::RegisterClass(wc);
    }
}

bool StartShell() {
    ShellState& s = Shell();
    RegisterShellClasses();
    s.ending = false;
    s.layout = plat::CurrentScreenLayout();
    const plat::ScreenLayout& l = s.layout;
    // The desktop first, so that a program's window started later lies over it.
    s.desktop = plat::CreateWindow(kDesktopClass, kDesktopTitle, 0, l.work.left, l.work.top,
                                   l.work.right - l.work.left, l.work.bottom - l.work.top, plat::Hwnd{});
    if (!s.desktop) return false;
    plat::SetShellFlags(s.desktop, plat::kShellDesktop, 0);
    s.taskBar = plat::CreateWindow(kTaskBarClass, u"", 0, l.taskBar.left, l.taskBar.top,
                                   l.taskBar.right - l.taskBar.left, l.taskBar.bottom - l.taskBar.top, plat::Hwnd{});
    s.menuBar = plat::CreateWindow(kMenuBarClass, u"", 0, l.menuBar.left, l.menuBar.top,
                                   l.menuBar.right - l.menuBar.left, l.menuBar.bottom - l.menuBar.top, plat::Hwnd{});
    if (!s.taskBar || !s.menuBar) return false;
    plat::SetShellFlags(s.taskBar, plat::kShellBar, 0);
    plat::SetShellFlags(s.menuBar, plat::kShellBar, 0);
    plat::ShowWindow(s.desktop, plat::SW_SHOW);
    plat::ShowWindow(s.taskBar, plat::SW_SHOWNA);
    plat::ShowWindow(s.menuBar, plat::SW_SHOWNA);
    LoadTodayItems();
    RefreshShell();
    return true;
}

void StopShell() {
    ShellState& s = Shell();
    s.ending = true;
    CloseSoftKeyPopup();
    UnloadTodayItems();
    for (plat::Hwnd* h : {&s.menuBar, &s.taskBar, &s.desktop}) {
        if (*h && plat::IsWindow(*h)) plat::DestroyWindow(*h);
        *h = plat::Hwnd{};
    }
}

void RefreshShell() {
    ShellState& s = Shell();
    if (s.ending || !s.taskBar) return;
    // The screen turned: the bars and the desktop follow its new sides.
    plat::ScreenLayout layout = plat::CurrentScreenLayout();
    if (!SameLayout(layout, s.layout)) {
        s.layout = layout;
        CloseSoftKeyPopup();
        Place(s.taskBar, layout.taskBar);
        Place(s.menuBar, layout.menuBar);
        Place(s.desktop, layout.work);
        LayoutTodayItems();
    }
    TaskBarLook look = CurrentTaskBarLook();
    if (!(look == s.taskBarLook)) {
        s.taskBarLook = look;
        plat::InvalidateRect(s.taskBar, nullptr, true);
    }
    // The soft keys of the window in front.
    plat::Hwnd front = plat::GetForegroundWindow();
    plat::MenuBarInfo keys;
    if (front) plat::ReadMenuBar(front, &keys);
    if (!(front == s.menuBarFor) || !SameKey(keys.left, s.menuBarShown.left) ||
        !SameKey(keys.right, s.menuBarShown.right)) {
        if (!(front == s.menuBarFor)) CloseSoftKeyPopup();
        s.menuBarFor = front;
        s.menuBarShown = keys;
        plat::InvalidateRect(s.menuBar, nullptr, true);
    }
    RefreshTodayItems();
}

}  // namespace sim
