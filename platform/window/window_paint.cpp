// Painting: the invalid area of a window, WM_PAINT made on demand, and the
// window's drawing surface.
#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_surface.h"
#include "platform/window/window_state.h"

namespace plat {

using win::ProcessState;
using win::State;
using win::WindowRecord;

namespace {

Rect Union(const Rect& a, const Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

Rect ClientOf(const WindowRecord& w) { return {0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top}; }

// The window's surface DC, made (or made anew at the window's present size)
// when needed; with the lock held. The old DC to delete goes to *stale.
Hdc SurfaceLocked(WindowRecord& w, Hdc* stale) {
    Size size{w.rect.right - w.rect.left, w.rect.bottom - w.rect.top};
    if (w.surface && (w.surfaceSize.cx != size.cx || w.surfaceSize.cy != size.cy)) {
        *stale = w.surface;
        w.surface = Hdc{};
    }
    if (!w.surface) {
        // A window without area still gets a DC to draw into (1 x 1).
        w.surface = CreateOffscreenDC(std::max(size.cx, 1), std::max(size.cy, 1));
        w.surfaceSize = size;
    }
    return w.surface;
}

std::shared_ptr<WindowRecord> OwnWindow(ProcessState& s, Hwnd hwnd) {
    std::shared_ptr<WindowRecord> w = win::FindLocked(s, hwnd);
    if (!w) SetLastError(hwnd && win::OwnerPid(hwnd) != s.pid ? kErrorAccessDenied : kErrorInvalidWindowHandle);
    return w;
}

}  // namespace

bool InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase) {
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<WindowRecord> w = OwnWindow(s, hwnd);
    if (!w) return false;
    Rect client = ClientOf(*w);
    Rect area = rect ? Rect{std::max(rect->left, 0), std::max(rect->top, 0), std::min(rect->right, client.right),
                            std::min(rect->bottom, client.bottom)}
                     : client;
    if (area.right <= area.left || area.bottom <= area.top) {
        // Nothing of the window: a window without area still gets painted
        // once when asked for as a whole.
        if (rect) return true;
        area = client;
    }
    w->invalid = w->needsPaint ? Union(w->invalid, area) : area;
    w->needsPaint = true;
    w->erase = w->erase || erase;
    win::Wake(*w->queue);
    return true;
}

bool ValidateRect(Hwnd hwnd, const Rect* rect) {
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<WindowRecord> w = OwnWindow(s, hwnd);
    if (!w) return false;
    // A rectangle that leaves part of the invalid area keeps the window
    // invalid: the invalid area is one rectangle.
    if (!rect || (rect->left <= w->invalid.left && rect->top <= w->invalid.top && rect->right >= w->invalid.right &&
                  rect->bottom >= w->invalid.bottom)) {
        w->needsPaint = false;
        w->erase = false;
    }
    return true;
}

bool UpdateWindow(Hwnd hwnd) {
    bool due = false;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = OwnWindow(s, hwnd);
        if (!w) return false;
        due = w->needsPaint && w->visible;
    }
    if (due) SendMessage(hwnd, WM_PAINT, 0, 0);
    return true;
}

Hdc BeginPaint(Hwnd hwnd, PaintStruct* paint) {
    if (!paint) {
        SetLastError(kErrorInvalidParameter);
        return Hdc{};
    }
    Hdc hdc;
    Hdc stale;
    bool erase = false;
    Rect area;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = OwnWindow(s, hwnd);
        if (!w) return Hdc{};
        hdc = SurfaceLocked(*w, &stale);
        area = w->needsPaint ? w->invalid : Rect{};
        erase = w->needsPaint && w->erase;
        w->needsPaint = false;
        w->erase = false;
    }
    if (stale) DeleteDC(stale);
    if (!hdc) return Hdc{};
    SaveDC(hdc);
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    paint->hdc = hdc;
    paint->paint = area;
    // The window erases its background itself or leaves it to the default
    // procedure (the class brush); an answer of 0 leaves it to the painter.
    paint->erase = erase && SendMessage(hwnd, WM_ERASEBKGND, static_cast<WParam>(hdc.value), 0) == 0;
    return hdc;
}

bool EndPaint(Hwnd hwnd, const PaintStruct* paint) {
    if (!paint || !paint->hdc) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = OwnWindow(s, hwnd);
        if (!w) return false;
        if (!(w->surface == paint->hdc)) {
            SetLastError(kErrorInvalidParameter);
            return false;
        }
    }
    bool restored = RestoreDC(paint->hdc, -1);
    // What the window now shows goes to the screen.
    PublishSurface(hwnd, paint->hdc);
    return restored;
}

Hdc GetWindowSurface(Hwnd hwnd) {
    Hdc hdc;
    Hdc stale;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = OwnWindow(s, hwnd);
        if (!w) return Hdc{};
        hdc = SurfaceLocked(*w, &stale);
    }
    if (stale) DeleteDC(stale);
    return hdc;
}

namespace win {

bool TakePaintLocked(ProcessState& s, const ThreadQueue& queue, Hwnd filter, Msg* msg) {
    // The oldest window first, so that the order does not depend on hashing.
    std::shared_ptr<WindowRecord> chosen;
    for (const auto& [hwnd, w] : s.windows) {
        if (w->threadId != queue.threadId || !w->needsPaint || !w->visible || w->destroying) continue;
        if (filter && !(hwnd == filter)) continue;
        if (!chosen || hwnd < chosen->hwnd) chosen = w;
    }
    if (!chosen) return false;
    *msg = Msg{};
    msg->hwnd = chosen->hwnd;
    msg->message = WM_PAINT;
    return true;
}

}  // namespace win
}  // namespace plat
