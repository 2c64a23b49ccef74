// Stacking, foreground, focus and capture, kept in the device's window
// table so that every process sees the same screen.
#include "platform/window/window_order.h"

#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_db.h"
#include "platform/window/window_state.h"

namespace plat {
namespace {

bool IsOwn(Hwnd hwnd) {
    win::ProcessState& s = win::State();
    std::lock_guard<std::mutex> guard(s.lock);
    return win::FindLocked(s, hwnd) != nullptr;
}

// A live, visible top-level window that may be in front.
bool Activatable(const windb::WindowRow& row) {
    return row.topLevel && row.visible && (row.shellFlags & kShellBar) == 0;
}

// Moves the keyboard focus and tells both windows: WM_KILLFOCUS (wParam:
// the window taking it) to the one losing it, WM_SETFOCUS (wParam: the one
// that had it) to the one getting it. Windows of other threads and
// processes are told without waiting. Returns the previous focus.
Hwnd ChangeFocus(Hwnd hwnd) {
    Hwnd previous = windb::ExchangeScreenState(windb::ScreenField::kFocus, hwnd);
    if (!IsWindow(previous)) previous = Hwnd{};
    if (previous == hwnd) return previous;
    if (previous) SendNotifyMessage(previous, WM_KILLFOCUS, hwnd.value, 0);
    if (hwnd) SendNotifyMessage(hwnd, WM_SETFOCUS, previous.value, 0);
    return previous;
}

}  // namespace

bool SetShellFlags(Hwnd hwnd, uint32_t set, uint32_t clear) {
    if (!IsOwn(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    return windb::UpdateShellFlags(hwnd, set, clear);
}

uint32_t GetShellFlags(Hwnd hwnd) {
    std::optional<windb::WindowRow> row = windb::FindRow(hwnd);
    return row ? row->shellFlags : 0;
}

bool ShellIsRunning() {
    for (Hwnd hwnd : ListTopLevelWindows())
        if (GetShellFlags(hwnd) & kShellDesktop) return true;
    return false;
}

bool SetForegroundWindow(Hwnd hwnd) {
    std::optional<windb::WindowRow> row = windb::FindRow(hwnd);
    if (!row || !row->topLevel || (row->shellFlags & kShellBar)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    if (!(row->shellFlags & kShellDesktop)) windb::RaiseWindow(hwnd);
    windb::ExchangeScreenState(windb::ScreenField::kForeground, hwnd);
    ChangeFocus(hwnd);
    return true;
}

Hwnd GetForegroundWindow() {
    std::vector<windb::WindowRow> rows = windb::AllRows();
    windb::ScreenState state = windb::ReadScreenState();
    for (const windb::WindowRow& row : rows)
        if (row.hwnd == state.foreground && Activatable(row)) return row.hwnd;
    // The topmost one that may be in front; the desktop only when no other is.
    Hwnd desktop;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (!Activatable(*it)) continue;
        if (it->shellFlags & kShellDesktop) {
            if (!desktop) desktop = it->hwnd;
            continue;
        }
        return it->hwnd;
    }
    return desktop;
}

bool BringWindowToTop(Hwnd hwnd) {
    if (!windb::FindRow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    return windb::RaiseWindow(hwnd);
}

bool SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int32_t x, int32_t y, int32_t width, int32_t height,
                  uint32_t flags) {
    if (!IsOwn(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    Rect rect;
    GetWindowRect(hwnd, &rect);
    Hwnd parent = GetParent(hwnd);
    if (parent) {  // a child's position is in its parent's client coordinates
        Rect p;
        if (GetWindowRect(parent, &p)) rect = {rect.left - p.left, rect.top - p.top, rect.right - p.left,
                                               rect.bottom - p.top};
    }
    if (!(flags & SWP_NOMOVE)) {
        rect.right += x - rect.left;
        rect.bottom += y - rect.top;
        rect.left = x;
        rect.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
    }
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) &&
        !MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, true))
        return false;
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == kHwndBottom) windb::LowerWindow(hwnd);
        else windb::RaiseWindow(hwnd);
    }
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return true;
}

Hwnd SetFocus(Hwnd hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return Hwnd{};
    }
    return ChangeFocus(hwnd);
}

Hwnd GetFocus() {
    Hwnd focus = windb::ReadScreenState().focus;
    return IsWindow(focus) ? focus : Hwnd{};
}

Hwnd SetCapture(Hwnd hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return Hwnd{};
    }
    Hwnd previous = windb::ExchangeScreenState(windb::ScreenField::kCapture, hwnd);
    return IsWindow(previous) ? previous : Hwnd{};
}

bool ReleaseCapture() {
    windb::ExchangeScreenState(windb::ScreenField::kCapture, Hwnd{});
    return true;
}

Hwnd GetCapture() {
    Hwnd capture = windb::ReadScreenState().capture;
    return IsWindow(capture) ? capture : Hwnd{};
}

}  // namespace plat
