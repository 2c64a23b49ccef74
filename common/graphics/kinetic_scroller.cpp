// The kinetic scroller: pointer tracking, momentum with friction, the
// rubber-band bounce and the delayed press highlight.
#include "common/graphics/kinetic_scroller.h"

#include <cmath>
#include <cstdlib>

#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/clock.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

void FreeBitmap(KineticScroller* s) {
    if (s->contentDc) {
        plat::SelectObject(s->contentDc, s->previousBitmap);
        plat::DeleteDC(s->contentDc);
    }
    if (s->contentBitmap) plat::DeleteObject(s->contentBitmap);
    s->contentDc = {};
    s->contentBitmap = {};
    s->previousBitmap = {};
}

bool MakeBitmap(KineticScroller* s) {
    FreeBitmap(s);
    s->contentDc = plat::CreateCompatibleDC(plat::Hdc{});
    if (!s->contentDc) return false;
    s->contentBitmap = plat::CreateCompatibleBitmap(plat::Hdc{}, s->width > 0 ? s->width : 1,
                                                    s->height > 0 ? s->height : 1);
    if (!s->contentBitmap) {
        FreeBitmap(s);
        return false;
    }
    s->previousBitmap = plat::SelectObject(s->contentDc, s->contentBitmap);
    return true;
}

int32_t ContentY(const KineticScroller& s, int32_t relativeY) { return relativeY - s.offset; }

int Truncated(double v) { return static_cast<int>(v); }

// Milliseconds of device time (low 32 bits): the clock of the scroller's
// timers, so samples and ticks agree (and a test's virtual clock moves both).
uint32_t DeviceTicks() {
    plat::FileTime ft = 0;
    if (!plat::SystemTimeToFileTime(plat::GetLocalTime(), &ft)) return 0;
    return static_cast<uint32_t>(ft / 10000);
}

uint32_t Now(const KineticScroller& s) { return s.clock ? s.clock() : DeviceTicks(); }

}  // namespace

bool KineticCreate(KineticScroller* s, int64_t user, plat::Hwnd window, const KineticScrollerCallback* callback,
                   int32_t x, int32_t y, int32_t width, int32_t height) {
    *s = KineticScroller{};
    s->user = user;
    s->window = window;
    s->callback = callback;
    s->x = x;
    s->y = y;
    s->width = width;
    s->height = height;
    if (!MakeBitmap(s)) return false;
    KineticRedraw(s);
    return true;
}

void KineticDestroy(KineticScroller* s) {
    plat::KillTimer(s->window, kScrollPressTimer);
    plat::KillTimer(s->window, kScrollMomentumTimer);
    plat::KillTimer(s->window, kScrollBounceTimer);
    if (s->pressed && plat::GetCapture() == s->window) plat::ReleaseCapture();
    s->pressed = false;
    FreeBitmap(s);
}

void KineticSetSize(KineticScroller* s, int32_t width, int32_t height) {
    if (width == s->width && height == s->height) return;
    s->width = width;
    s->height = height;
    if (MakeBitmap(s)) KineticRedraw(s);
}

void KineticSetPosition(KineticScroller* s, int32_t x, int32_t y) {
    s->x = x;
    s->y = y;
}

void KineticSetRect(KineticScroller* s, int32_t x, int32_t y, int32_t width, int32_t height) {
    KineticSetPosition(s, x, y);
    KineticSetSize(s, width, height);
}

void KineticSetOffset(KineticScroller* s, int32_t offset, bool redraw) {
    if (offset == s->offset) return;
    s->offset = offset;
    if (redraw) KineticRedraw(s);
}

void KineticRedraw(KineticScroller* s) {
    if (s->callback && s->callback->drawContent && s->contentDc)
        s->contentHeight = s->callback->drawContent(s->user, s->contentDc, s->tag, s->offset, s->width, s->height);
    if (!s->window) return;
    plat::Rect area{s->x, s->y, s->x + s->width, s->y + s->height};
    plat::InvalidateRect(s->window, &area, false);
    plat::UpdateWindow(s->window);
}

bool KineticPointerDown(KineticScroller* s, int32_t x, int32_t y) {
    if (x < s->x || y < s->y || x > s->x + s->width || y > s->y + s->height) {
        s->pressed = false;
        return false;
    }
    s->pressed = true;
    plat::KillTimer(s->window, kScrollMomentumTimer);
    plat::SetCapture(s->window);
    s->downX = x;
    s->lastY = y - s->y;
    s->downY = s->lastY;
    uint32_t now = Now(*s);
    for (ScrollSample& sample : s->history) sample = {now, s->lastY};
    if (s->scrolling) {
        // A touch on a moving list only stops it: settle any overscroll now.
        plat::KillTimer(s->window, kScrollBounceTimer);
        KineticOverscrollCheck(s, false);
        s->velocity = 0;
        s->scrolling = false;
        s->stopTap = true;
    } else {
        plat::SetTimer(s->window, kScrollPressTimer, kScrollPressDelayMs);
    }
    return true;
}

bool KineticPointerMove(KineticScroller* s, int32_t, int32_t y) {
    if (!s->pressed) return false;
    int32_t r = y - s->y;
    if (!s->scrolling) {
        if (std::abs(r - s->downY) < ScaleY(kScrollDragThreshold)) return true;
        s->scrolling = true;
        plat::KillTimer(s->window, kScrollPressTimer);
        if (s->callback && s->callback->cancelPress) s->callback->cancelPress(s->user);
        s->pressShown = false;
    }
    s->history[2] = s->history[1];
    s->history[1] = s->history[0];
    s->history[0] = {Now(*s), r};
    s->offset += r - s->lastY;
    s->lastY = r;
    KineticRedraw(s);
    return true;
}

bool KineticPointerUp(KineticScroller* s, int32_t x, int32_t y) {
    if (plat::GetCapture() == s->window) plat::ReleaseCapture();
    if (!s->pressed) return false;
    s->pressed = false;
    int32_t r = y - s->y;
    if (s->scrolling) {
        const ScrollSample& oldest = s->history[2];
        uint32_t elapsed = s->history[0].tick - oldest.tick;
        // Samples without elapsed time carry no speed: no momentum then.
        if (std::abs(r - oldest.y) > kScrollFlingMinimum && elapsed > 0) {
            s->velocity = Truncated(45.0 * (r - oldest.y) / static_cast<double>(elapsed));
            plat::SetTimer(s->window, kScrollMomentumTimer, kScrollMomentumMs);
        } else if (!KineticOverscrollCheck(s, true)) {
            s->scrolling = false;
        }
    } else if (!s->stopTap) {
        plat::KillTimer(s->window, kScrollPressTimer);
        int32_t contentY = ContentY(*s, s->downY);
        if (!s->pressShown) {
            // A quick tap: show the highlight for a moment before the click.
            if (s->callback && s->callback->press) s->callback->press(s->user, s->downX, contentY, x);
            KineticRedraw(s);
            plat::Sleep(kScrollQuickTapMs);
        }
        if (s->callback && s->callback->click) s->callback->click(s->user, s->downX, contentY);
        s->pressShown = false;
    }
    s->stopTap = false;
    return true;
}

bool KineticOverscrollCheck(KineticScroller* s, bool animate) {
    int32_t o = s->offset, H = s->contentHeight, h = s->height;
    bool overscrolled = o > 0 || o + H < h;
    if (!overscrolled) return false;
    if (animate) {
        s->bounceCounter = 3;
        plat::SetTimer(s->window, kScrollBounceTimer, kScrollBounceMs);
    } else {
        KineticBounceStep(s, 0);
    }
    return true;
}

void KineticBounceStep(KineticScroller* s, int kind) {
    static constexpr double kBottomFactor[4] = {0, 0.02, 0.2, 0.5};
    static constexpr double kTopFactor[4] = {0, 0.2, 0.4, 0.5};
    if (kind < 0 || kind > 3) kind = 0;
    if (kind == 0) s->scrolling = false;
    int32_t o = s->offset, H = s->contentHeight, h = s->height;
    if (h < H && o + H < h) {
        if (kind == 0) s->offset = h - H;
        else s->offset = o + Truncated((h - o - H) * kBottomFactor[kind]);
    } else if (o < 1 && o + H >= h) {
        return;
    } else {
        if (kind == 0) s->offset = 0;
        else s->offset = Truncated(o * kTopFactor[kind]);
    }
    KineticRedraw(s);
}

bool KineticTimer(KineticScroller* s, uint32_t id) {
    switch (id) {
    case kScrollPressTimer: {
        plat::KillTimer(s->window, kScrollPressTimer);
        int32_t redraw = 0;
        if (s->callback && s->callback->press) redraw = s->callback->press(s->user, s->downX, ContentY(*s, s->downY), 0);
        s->pressShown = true;
        if (redraw) KineticRedraw(s);
        return true;
    }
    case kScrollMomentumTimer: {
        int speed = std::abs(Truncated(s->velocity));
        if (speed >= 201) s->velocity *= 0.7;
        else if (speed >= 101) s->velocity *= 0.8;
        else if (speed >= 41) s->velocity *= 0.9;
        else s->velocity *= 0.94;
        s->offset += static_cast<int32_t>(std::floor(s->velocity));
        KineticRedraw(s);
        bool overscrolled = KineticOverscrollCheck(s, true);
        int remaining = std::abs(Truncated(s->velocity));
        if (!overscrolled && remaining >= 2) return true;
        plat::KillTimer(s->window, kScrollMomentumTimer);
        if (remaining < 2) s->scrolling = false;
        s->velocity = 0;
        return true;
    }
    case kScrollBounceTimer:
        KineticBounceStep(s, s->bounceCounter);
        if (s->bounceCounter > 0) --s->bounceCounter;
        else plat::KillTimer(s->window, kScrollBounceTimer);
        return true;
    default:
        return false;
    }
}

void KineticPaint(const KineticScroller& s, plat::Hdc hdc) { KineticPaintShifted(s, hdc, 0); }

void KineticPaintShifted(const KineticScroller& s, plat::Hdc hdc, int32_t dy) {
    if (!s.contentDc) return;
    plat::BitBlt(hdc, s.x, s.y + dy, s.width, s.height, s.contentDc, 0, 0, plat::kSrcCopy);
}

}  // namespace tlw
