// A kinetic scroller: turns stylus or finger input on one rectangle of a
// window into a scroll offset with momentum, friction, a rubber-band bounce
// at the ends, a delayed press highlight and a click.
//
// The scroller owns an off-screen bitmap of the area's size. The owner draws
// the list content into it through the callback's draw operation and copies
// it to the window when painting (KineticPaint). The owner window forwards
// its stylus messages and its timers to the scroller; the scroller uses the
// window's timers 1030 (momentum, every 70 ms), 1031 (press highlight, once,
// 100 ms after the pointer went down) and 1032 (bounce, every 50 ms).
//
// Offsets: 0 shows the top of the content; scrolling down towards the end of
// the content makes the offset negative. A content y is the pointer's y
// relative to the area's top minus the offset.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace tlw {

// Timers of the owner window the scroller uses.
constexpr uint32_t kScrollMomentumTimer = 1030;
constexpr uint32_t kScrollPressTimer = 1031;
constexpr uint32_t kScrollBounceTimer = 1032;
constexpr uint32_t kScrollMomentumMs = 70;
constexpr uint32_t kScrollPressDelayMs = 100;
constexpr uint32_t kScrollBounceMs = 50;
// A pointer that moves less than this (96-dpi units, scaled vertically) is a tap.
constexpr int32_t kScrollDragThreshold = 12;
// A release whose last moves cover this many pixels or fewer starts no momentum.
constexpr int32_t kScrollFlingMinimum = 6;
// The pause between showing the press highlight of a quick tap and the click.
constexpr uint32_t kScrollQuickTapMs = 50;

// The owner's content operations; user is the value given at creation.
struct KineticScrollerCallback {
    // Draws the content at the offset into hdc (width x height) and returns
    // the content's height in pixels.
    int32_t (*drawContent)(int64_t user, plat::Hdc hdc, int32_t tag, int32_t offset, int32_t width,
                           int32_t height) = nullptr;
    // The pointer is pressed at (x, contentY); extra is 0 for the delayed
    // highlight and the release x for a quick tap. Non-zero when the area
    // must be redrawn (a highlight is shown).
    int32_t (*press)(int64_t user, int32_t x, int32_t contentY, int32_t extra) = nullptr;
    // The press turned into a drag: remove the highlight.
    void (*cancelPress)(int64_t user) = nullptr;
    // A tap at (x, contentY).
    void (*click)(int64_t user, int32_t x, int32_t contentY) = nullptr;
};

// One pointer sample.
struct ScrollSample {
    uint32_t tick = 0;  // tick count when taken
    int32_t y = 0;      // pointer y relative to the area top
};

struct KineticScroller {
    plat::Hwnd window;                 // owner window; receives the timers
    int32_t x = 0, y = 0;              // the scroll area in window coordinates
    int32_t width = 0, height = 0;
    plat::Hdc contentDc;               // memory DC holding the content bitmap
    plat::HBitmap contentBitmap;       // bitmap of the area's size
    plat::HBitmap previousBitmap;      // what the DC held before
    const KineticScrollerCallback* callback = nullptr;  // the owner's operations
    int64_t user = 0;                  // passed back to the operations
    int32_t tag = 0;                   // passed to the draw operation
    int32_t offset = 0;                // scroll offset in pixels
    int32_t contentHeight = 0;         // returned by the last draw
    double velocity = 0;               // momentum in pixels per momentum tick
    bool pressed = false;              // the pointer went down inside and has not come up
    bool scrolling = false;            // dragging or moving by momentum
    bool pressShown = false;           // the press highlight has been shown
    bool stopTap = false;              // the current tap only stopped a moving list
    int32_t downX = 0;                 // x of the pointer-down
    int32_t downY = 0;                 // y of the pointer-down, relative to the area top
    int32_t lastY = 0;                 // latest pointer y, relative to the area top
    ScrollSample history[3];           // newest, previous, oldest
    int32_t bounceCounter = 0;         // remaining bounce steps
    // Where the pointer samples' times come from: device milliseconds when null.
    // A window that forwards its stylus messages sets plat::GetMessageTime,
    // so a busy thread still sees how fast the finger moved.
    uint32_t (*clock)() = nullptr;
};

// Sets the scroller up on the window's area: clears the flags and the
// offset, makes the content bitmap and draws once. False when the bitmap
// cannot be made.
bool KineticCreate(KineticScroller* s, int64_t user, plat::Hwnd window, const KineticScrollerCallback* callback,
                   int32_t x, int32_t y, int32_t width, int32_t height);
// Stops the timers and frees the bitmap.
void KineticDestroy(KineticScroller* s);

// Each stores what changed; a new size makes a new bitmap and draws.
void KineticSetSize(KineticScroller* s, int32_t width, int32_t height);
void KineticSetPosition(KineticScroller* s, int32_t x, int32_t y);
void KineticSetRect(KineticScroller* s, int32_t x, int32_t y, int32_t width, int32_t height);
// Stores a new offset, redrawing when asked.
void KineticSetOffset(KineticScroller* s, int32_t offset, bool redraw);
// Draws the content again and shows it at once.
void KineticRedraw(KineticScroller* s);

// Pointer events in window coordinates; true when the scroller handled them.
bool KineticPointerDown(KineticScroller* s, int32_t x, int32_t y);
bool KineticPointerMove(KineticScroller* s, int32_t x, int32_t y);
bool KineticPointerUp(KineticScroller* s, int32_t x, int32_t y);
// Handles the scroller's timers (true); false for any other id.
bool KineticTimer(KineticScroller* s, uint32_t id);

// Copies the content to the area of hdc; the variant shifts it down by dy.
void KineticPaint(const KineticScroller& s, plat::Hdc hdc);
void KineticPaintShifted(const KineticScroller& s, plat::Hdc hdc, int32_t dy);

// One settle step of the rubber band: kind 0 lands on the end at once,
// kinds 3, 2 and 1 move part of the way.
void KineticBounceStep(KineticScroller* s, int kind);
// Whether the content is pulled past an end. With animate the bounce timer
// starts (four steps); without, one settle step of kind 0 is done at once.
bool KineticOverscrollCheck(KineticScroller* s, bool animate);

}  // namespace tlw
