// The skinned list: a full-window list of large rows (image, a title and a
// detail line) scrolled with the finger through a kinetic scroller, with a
// header that carries the list's title and a close button. Rows of
// profiles carry a time-out editor and a lock switch at the right end of
// their title line (the detail line below runs the whole width);
// tapping the editor turns the list into a list of time-out choices, and a
// choice there returns to the rows.
//
// RunSkinnedList makes the list a child window filling its parent and runs
// a nested message loop until a row is chosen or the list is left (the
// close button, Escape, the parent going away). Every tap on a row, a
// switch or a choice calls the look's tap hook (the click sound).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/graphics/rgba_image.h"
#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace tlw {

// The class of the list window.
inline constexpr char16_t kSkinnedListClass[] = u"TlwSkinnedList";

// Time-out choices of the editor, in minutes.
inline constexpr int32_t kTimeoutChoices[] = {15, 30, 45, 60, 90, 120, 180, 240, 360, 480, 720};
// "No time-out".
constexpr int32_t kNoTimeout = -1;

struct SkinnedListItem {
    int32_t command = 0;          // returned when the row is chosen
    RgbaImage image;              // drawn at the row's left, scaled to the image size
    std::u16string title;         // first line
    std::u16string detail;        // second line, smaller
    bool bold = false;            // the title in the bold font (what is in force)
    bool profileControls = false; // the row carries the lock switch and the time-out editor
    bool lockOn = false;          // the lock switch
    bool lockIsChoice = false;    // toggling the lock switch ends the list at once
    int32_t timeoutMinutes = kNoTimeout;  // the editor's time-out
};

// What the list looks like and what it calls.
struct SkinnedListLook {
    std::u16string title;               // the header text
    std::u16string noTimeoutText;       // the editor's first choice ("no time-out")
    std::u16string timeoutTitle;        // the header text while choosing a time-out
    plat::HFont font;                   // titles
    plat::HFont boldFont;               // bold titles
    plat::HFont smallFont;              // detail lines
    const RgbaImage* background = nullptr;  // tiled behind the rows; may be empty
    const RgbaImage* lockedImage = nullptr;   // the lock switch on
    const RgbaImage* unlockedImage = nullptr; // the lock switch off
    void (*onTap)(void* context) = nullptr;   // every tap on a row, switch or choice
    void* tapContext = nullptr;
};

// How the list ended.
struct SkinnedListResult {
    int32_t index = -1;       // the chosen row; -1 when left without a choice
    bool lockOnly = false;    // the row's lock switch was toggled (lockIsChoice)
};

// Shows the list over the whole of parent (a window of the calling thread)
// and runs until it ends. items keep the switch and editor states the user
// set. Returns the chosen row's command, 0 when none.
int32_t RunSkinnedList(plat::Hwnd parent, std::vector<SkinnedListItem>* items, const SkinnedListLook& look,
                       SkinnedListResult* result);

// Row geometry, for tests and owners: the height of a row and where the
// lock switch and time-out editor lie in a row (x from the list's left, y
// from the row's top) on a list of that width. All scaled to the screen.
int32_t SkinnedListHeaderHeight();
int32_t SkinnedListRowHeight();
int32_t SkinnedListChoiceHeight();
plat::Rect SkinnedListLockZone(int32_t listWidth, int32_t rowHeight);
plat::Rect SkinnedListTimeoutZone(int32_t listWidth, int32_t rowHeight);

// "HH:MM" of minutes, "--:--" for kNoTimeout.
std::u16string FormatTimeoutMinutes(int32_t minutes);

}  // namespace tlw
