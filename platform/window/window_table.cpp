// The attributes of windows and the device's window table: finding and
// listing windows, titles and classes, owner, position and visibility,
// window data.
#include <algorithm>
#include <cstring>

#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_db.h"
#include "platform/window/window_order.h"
#include "platform/window/window_state.h"

namespace plat {

using win::ProcessState;
using win::State;
using win::WindowRecord;

namespace {

// A copy of what the device knows of a window: from this process's own
// table for its windows, else from the device's window table.
bool Describe(Hwnd hwnd, windb::WindowRow* row) {
    if (!hwnd) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    ProcessState& s = State();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (win::OwnerPid(hwnd) == s.pid) {
            std::shared_ptr<WindowRecord> w = win::FindLocked(s, hwnd);
            if (!w) {
                SetLastError(kErrorInvalidWindowHandle);
                return false;
            }
            row->hwnd = hwnd;
            row->pid = s.pid;
            row->startTime = s.startTime;
            row->threadId = w->threadId;
            row->parent = w->parent;
            row->topLevel = (w->style & WS_CHILD) == 0;
            row->className = w->className;
            row->title = w->title;
            row->style = w->style;
            row->rect = w->rect;
            row->visible = w->visible;
            return true;
        }
    }
    std::optional<windb::WindowRow> found = windb::FindRow(hwnd);
    if (!found) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    *row = std::move(*found);
    return true;
}

// The record of a window of this process for a change, or null with the
// last error set (kErrorAccessDenied for a window of another process).
std::shared_ptr<WindowRecord> OwnLocked(ProcessState& s, Hwnd hwnd, bool* foreign) {
    std::shared_ptr<WindowRecord> w = win::FindLocked(s, hwnd);
    *foreign = !w && hwnd && win::OwnerPid(hwnd) != s.pid;
    if (!w) SetLastError(kErrorInvalidWindowHandle);
    return w;
}

void RefuseForeign(Hwnd hwnd, bool foreign) {
    if (foreign && windb::FindRow(hwnd)) SetLastError(kErrorAccessDenied);
}

int32_t CopyOut(const std::u16string& text, char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return 0;
    int32_t n = std::min<int32_t>(static_cast<int32_t>(text.size()), capacity - 1);
    std::memcpy(buffer, text.data(), static_cast<size_t>(n) * sizeof(char16_t));
    buffer[n] = u'\0';
    return n;
}

}  // namespace

bool IsWindow(Hwnd hwnd) {
    windb::WindowRow row;
    uint32_t saved = GetLastError();
    bool exists = Describe(hwnd, &row);
    SetLastError(saved);
    return exists;
}

Hwnd FindWindow(const char16_t* className, const char16_t* title) {
    std::vector<windb::WindowRow> rows = windb::TopLevelRows(className, title);
    if (rows.empty()) {
        SetLastError(kErrorFileNotFound);
        return Hwnd{};
    }
    return rows.front().hwnd;
}

std::vector<Hwnd> ListTopLevelWindows() {
    std::vector<windb::WindowRow> rows = windb::TopLevelRows(nullptr, nullptr);
    std::vector<Hwnd> list;
    list.reserve(rows.size());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) list.push_back(it->hwnd);
    return list;
}

bool EnumWindows(EnumWindowsProc fn, void* context) {
    if (!fn) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    for (Hwnd hwnd : ListTopLevelWindows())
        if (!fn(hwnd, context)) return false;
    return true;
}

std::u16string GetWindowText(Hwnd hwnd) {
    windb::WindowRow row;
    return Describe(hwnd, &row) ? row.title : std::u16string();
}

std::u16string GetClassName(Hwnd hwnd) {
    windb::WindowRow row;
    return Describe(hwnd, &row) ? row.className : std::u16string();
}

int32_t GetWindowText(Hwnd hwnd, char16_t* buffer, int32_t capacity) {
    windb::WindowRow row;
    if (!Describe(hwnd, &row)) {
        CopyOut(u"", buffer, capacity);
        return 0;
    }
    return CopyOut(row.title, buffer, capacity);
}

int32_t GetClassName(Hwnd hwnd, char16_t* buffer, int32_t capacity) {
    windb::WindowRow row;
    if (!Describe(hwnd, &row)) {
        CopyOut(u"", buffer, capacity);
        return 0;
    }
    return CopyOut(row.className, buffer, capacity);
}

bool SetWindowText(Hwnd hwnd, std::u16string_view title) {
    ProcessState& s = State();
    bool foreign = false;
    std::shared_ptr<WindowRecord> w;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        w = OwnLocked(s, hwnd, &foreign);
        if (w) w->title = std::u16string(title);
    }
    if (!w) {
        RefuseForeign(hwnd, foreign);
        return false;
    }
    return windb::UpdateTitle(hwnd, title);
}

uint32_t GetWindowThreadProcessId(Hwnd hwnd, uint32_t* processId) {
    windb::WindowRow row;
    if (!Describe(hwnd, &row)) {
        if (processId) *processId = 0;
        return 0;
    }
    if (processId) *processId = static_cast<uint32_t>(row.pid);
    return row.threadId;
}

Hwnd GetParent(Hwnd hwnd) {
    windb::WindowRow row;
    if (!Describe(hwnd, &row) || row.topLevel) return Hwnd{};
    return row.parent;
}

std::vector<Hwnd> ListChildWindows(Hwnd parent) {
    std::vector<Hwnd> children;
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (const auto& [hwnd, w] : s.windows)
        if ((w->style & WS_CHILD) && w->parent == parent && !w->destroying) children.push_back(hwnd);
    // Local numbers grow with each new window: creation order.
    std::sort(children.begin(), children.end(),
              [](Hwnd a, Hwnd b) { return (a.value & 0xFFFFFFFFu) < (b.value & 0xFFFFFFFFu); });
    return children;
}

bool GetWindowRect(Hwnd hwnd, Rect* rect) {
    windb::WindowRow row;
    if (!rect) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (!Describe(hwnd, &row)) return false;
    *rect = row.rect;
    // A child's rectangle is kept in its parent's client coordinates; the
    // depth limit guards against a parent chain that loops.
    windb::WindowRow parent = row;
    for (int depth = 0; depth < 32 && !parent.topLevel && parent.parent; ++depth) {
        windb::WindowRow above;
        if (!Describe(parent.parent, &above)) break;
        rect->left += above.rect.left;
        rect->right += above.rect.left;
        rect->top += above.rect.top;
        rect->bottom += above.rect.top;
        parent = std::move(above);
    }
    return true;
}

bool GetClientRect(Hwnd hwnd, Rect* rect) {
    Rect r;
    if (!GetWindowRect(hwnd, &r)) return false;
    *rect = {0, 0, r.right - r.left, r.bottom - r.top};
    return true;
}

bool MoveWindow(Hwnd hwnd, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    ProcessState& s = State();
    bool foreign = false;
    bool moved = false;
    bool resized = false;
    Rect rect{x, y, x + width, y + height};
    std::shared_ptr<WindowRecord> w;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        w = OwnLocked(s, hwnd, &foreign);
        if (w) {
            moved = w->rect.left != rect.left || w->rect.top != rect.top;
            resized = w->rect.right - w->rect.left != width || w->rect.bottom - w->rect.top != height;
            w->rect = rect;
        }
    }
    if (!w) {
        RefuseForeign(hwnd, foreign);
        return false;
    }
    if (!windb::UpdateRect(hwnd, rect)) return false;
    if (moved) SendMessage(hwnd, WM_MOVE, 0, static_cast<LParam>((uint32_t(uint16_t(y)) << 16) | uint16_t(x)));
    if (resized)
        SendMessage(hwnd, WM_SIZE, 0, static_cast<LParam>((uint32_t(uint16_t(height)) << 16) | uint16_t(width)));
    if (repaint) InvalidateRect(hwnd, nullptr, true);
    return true;
}

bool ShowWindow(Hwnd hwnd, int32_t command) {
    ProcessState& s = State();
    bool foreign = false;
    bool wasVisible = false;
    bool show = command != SW_HIDE;
    std::shared_ptr<WindowRecord> w;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        w = OwnLocked(s, hwnd, &foreign);
        if (w) {
            wasVisible = w->visible;
            w->visible = show;
        }
    }
    if (!w) {
        RefuseForeign(hwnd, foreign);
        return false;
    }
    if (wasVisible != show) {
        windb::UpdateVisible(hwnd, show);
        SendMessage(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
        if (show) InvalidateRect(hwnd, nullptr, true);
    }
    bool topLevel = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        topLevel = (w->style & WS_CHILD) == 0;
    }
    if (show && topLevel && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE &&
        (GetShellFlags(hwnd) & kShellBar) == 0)
        SetForegroundWindow(hwnd);
    return wasVisible;
}

bool IsWindowVisible(Hwnd hwnd) {
    windb::WindowRow row;
    return Describe(hwnd, &row) && row.visible;
}

int64_t GetWindowLong(Hwnd hwnd, int32_t index) {
    ProcessState& s = State();
    bool foreign = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = OwnLocked(s, hwnd, &foreign);
        if (w) {
            switch (index) {
            case GWL_WNDPROC: return static_cast<int64_t>(reinterpret_cast<intptr_t>(w->proc));
            case GWL_ID: return w->id;
            case GWL_STYLE: return (w->style | (w->visible ? WS_VISIBLE : 0));
            case GWL_EXSTYLE: return w->exStyle;
            case GWL_USERDATA: return w->userData;
            default: SetLastError(kErrorInvalidParameter); return 0;
            }
        }
    }
    RefuseForeign(hwnd, foreign);
    return 0;
}

int64_t SetWindowLong(Hwnd hwnd, int32_t index, int64_t value) {
    ProcessState& s = State();
    bool foreign = false;
    int64_t previous = 0;
    bool styleChanged = false;
    uint32_t style = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = OwnLocked(s, hwnd, &foreign);
        if (!w) {
            RefuseForeign(hwnd, foreign);
            return 0;
        }
        switch (index) {
        case GWL_WNDPROC:
            if (value == 0) {
                SetLastError(kErrorInvalidParameter);
                return 0;
            }
            previous = static_cast<int64_t>(reinterpret_cast<intptr_t>(w->proc));
            w->proc = reinterpret_cast<WndProc>(static_cast<intptr_t>(value));
            break;
        case GWL_ID: previous = w->id; w->id = value; break;
        case GWL_STYLE:
            previous = w->style | (w->visible ? WS_VISIBLE : 0);
            // Visibility changes through ShowWindow only.
            w->style = static_cast<uint32_t>(value) & ~WS_VISIBLE;
            style = w->style;
            styleChanged = true;
            break;
        case GWL_EXSTYLE: previous = w->exStyle; w->exStyle = static_cast<uint32_t>(value); break;
        case GWL_USERDATA: previous = w->userData; w->userData = value; break;
        default: SetLastError(kErrorInvalidParameter); return 0;
        }
    }
    if (styleChanged) windb::UpdateStyle(hwnd, style, (style & WS_CHILD) == 0);
    return previous;
}

}  // namespace plat
