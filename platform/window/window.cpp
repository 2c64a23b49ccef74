// Window classes, and making and destroying windows.
#include "platform/window/window.h"

#include <unistd.h>

#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/window/window_db.h"
#include "platform/window/window_surface.h"
#include "platform/window/window_state.h"

namespace plat {

using win::ProcessState;
using win::State;
using win::WindowRecord;

bool RegisterClass(const WndClass& windowClass) {
    if (windowClass.className.empty() || !windowClass.proc) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::u16string key = windb::Folded(windowClass.className);
    if (s.classes.count(key)) {
        SetLastError(kErrorClassAlreadyExists);
        return false;
    }
    win::ClassRecord record;
    record.name = windowClass.className;
    record.proc = windowClass.proc;
    record.style = windowClass.style;
    record.background = windowClass.background;
    s.classes.emplace(std::move(key), std::move(record));
    return true;
}

bool UnregisterClass(std::u16string_view className) {
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.classes.find(windb::Folded(className));
    if (it == s.classes.end()) {
        SetLastError(kErrorClassDoesNotExist);
        return false;
    }
    if (it->second.windows > 0) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    s.classes.erase(it);
    return true;
}

Hwnd CreateWindow(std::u16string_view className, std::u16string_view title, uint32_t style, int32_t x, int32_t y,
                  int32_t width, int32_t height, Hwnd parent, void* createParam) {
    // The creating thread owns the window and needs a queue for it (and the
    // process its socket, so that other processes can reach the window).
    std::shared_ptr<win::ThreadQueue> queue = win::CurrentQueue();
    if (!queue) {
        SetLastError(kErrorNotEnoughMemory);
        return Hwnd{};
    }
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    // A child may live inside a window of another process (an icon inside
    // the shell's taskbar); the parent must exist on the device.
    bool foreignParent = parent && win::OwnerPid(parent) != State().pid;
    if (foreignParent && !IsWindow(parent)) {
        SetLastError(kErrorInvalidWindowHandle);
        return Hwnd{};
    }
    auto w = std::make_shared<WindowRecord>();
    windb::WindowRow row;
    ProcessState& s = State();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        auto cls = s.classes.find(windb::Folded(className));
        if (cls == s.classes.end()) {
            SetLastError(kErrorClassDoesNotExist);
            return Hwnd{};
        }
        if (parent && !foreignParent && !win::FindLocked(s, parent)) {
            SetLastError(kErrorInvalidWindowHandle);
            return Hwnd{};
        }
        if (s.nextLocalId == 0) {  // 2^32 windows made: numbers are never reused
            SetLastError(kErrorNotEnoughMemory);
            return Hwnd{};
        }
        w->hwnd = win::MakeHwnd(s.pid, s.nextLocalId++);
        w->className = cls->second.name;
        w->title = std::u16string(title);
        w->proc = cls->second.proc;
        w->classStyle = cls->second.style;
        w->background = cls->second.background;
        w->style = style & ~WS_VISIBLE;
        w->parent = parent;
        w->rect = {x, y, x + width, y + height};
        w->threadId = queue->threadId;
        w->queue = queue;
        ++cls->second.windows;
        s.windows[w->hwnd] = w;

        row.hwnd = w->hwnd;
        row.pid = s.pid;
        row.startTime = s.startTime;
        row.threadId = w->threadId;
        row.parent = parent;
        row.topLevel = (style & WS_CHILD) == 0;
        row.className = w->className;
        row.title = w->title;
        row.style = w->style;
        row.rect = w->rect;
        row.visible = false;
    }
    if (!windb::InsertWindow(row)) {
        uint32_t error = GetLastError();
        std::lock_guard<std::mutex> guard(s.lock);
        s.windows.erase(w->hwnd);
        auto cls = s.classes.find(windb::Folded(className));
        if (cls != s.classes.end()) --cls->second.windows;
        SetLastError(error);
        return Hwnd{};
    }

    CreateStruct cs;
    cs.createParams = createParam;
    cs.parent = parent;
    cs.x = x;
    cs.y = y;
    cs.width = width;
    cs.height = height;
    cs.style = style;
    cs.title = w->title.c_str();
    cs.className = w->className.c_str();
    if (w->proc(w->hwnd, WM_CREATE, 0, reinterpret_cast<LParam>(&cs)) == -1) {
        DestroyWindow(w->hwnd);
        SetLastError(kErrorInvalidParameter);
        return Hwnd{};
    }
    if (style & WS_VISIBLE) ShowWindow(w->hwnd, SW_SHOW);
    return w->hwnd;
}

bool DestroyWindow(Hwnd hwnd) {
    ProcessState& s = State();
    std::shared_ptr<win::ThreadQueue> owner;
    bool found = false;
    bool foreign = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = win::FindLocked(s, hwnd);
        found = w != nullptr;
        foreign = win::OwnerPid(hwnd) != s.pid;
        if (w && w->threadId != win::ThisThreadId()) owner = w->queue;
    }
    if (!found) {
        SetLastError(foreign && IsWindow(hwnd) ? kErrorAccessDenied : kErrorInvalidWindowHandle);
        return false;
    }
    if (!owner) return win::DestroyOwnWindow(hwnd);
    // Only the owner thread runs the window's procedure: hand it the work.
    win::SentMessage m;
    m.kind = win::SentKind::kDestroy;
    m.hwnd = hwnd;
    LResult result = 0;
    bool timedOut = false;
    if (!win::SendToThreadAndWait(owner, std::move(m), -1, &result, &timedOut)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    return result != 0;
}

namespace win {

bool DestroyOwnWindow(Hwnd hwnd) {
    ProcessState& s = State();
    WndProc proc = nullptr;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = FindLocked(s, hwnd);
        if (!w) {
            SetLastError(kErrorInvalidWindowHandle);
            return false;
        }
        // Asked again while its WM_DESTROY runs: the destruction is under way.
        if (w->destroying) return true;
        w->destroying = true;
        proc = w->proc;
    }
    proc(hwnd, WM_DESTROY, 0, 0);

    // Its children and owned windows go with it.
    std::vector<Hwnd> children;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        for (const auto& [child, w] : s.windows)
            if (w->parent == hwnd && !w->destroying) children.push_back(child);
    }
    for (Hwnd child : children) DestroyWindow(child);

    std::vector<SentMessage> unanswered;
    Hdc surface;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = FindLocked(s, hwnd);
        if (!w) return true;
        unanswered = ForgetWindowLocked(s, *w);
        surface = w->surface;
        w->surface = Hdc{};
        auto cls = s.classes.find(windb::Folded(w->className));
        if (cls != s.classes.end()) --cls->second.windows;
        s.windows.erase(hwnd);
    }
    if (surface) DeleteDC(surface);
    RemoveSurface(hwnd);
    windb::RemoveWindow(hwnd);
    CloseWatchesOfWindow(hwnd);
    for (SentMessage& m : unanswered) FailSent(std::move(m));
    return true;
}

}  // namespace win
}  // namespace plat
