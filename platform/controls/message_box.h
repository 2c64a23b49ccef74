// Message boxes: a short text with a caption, an icon and one or two
// buttons, shown as a modal box on the device's screen.
//
// MessageBox shows a top-level window of class "MessageBox" titled with the
// caption, centred in the work area: the caption strip, the icon at the
// left (question, exclamation, information or stop, from the system icons),
// the text wrapped to the box's width, and the buttons in a row at the
// bottom (OK; OK and Cancel; Yes and No). The default button (the first,
// or the second with kMbDefButton2) has the focus. While the box is up its
// owner is disabled (a tap on it brings the box back to the front) and the
// calling thread runs a nested message loop, so the thread's other windows
// keep being served. The box ends when the user taps a button, presses the
// action key (the focused button, at first the default one; the arrow keys
// and Tab move the focus between the buttons), or presses Escape or Back
// (Cancel, or No; OK for a box with OK alone). A WM_QUIT, the owner going
// away or the box being closed end it the same way as Escape (the quit is
// posted again for the caller's loop).
//
// A box is journalled when shown, "message box [caption] text (icon)", and
// when answered, "message box [caption] answered OK".
//
// A device whose shell does not run (never booted, or halted) has no screen
// to show a box on, and no one can answer it: then the box is only
// journalled and answered with its default button at once, the answer line
// saying "(no screen)". In-process tests and programs run on a device that
// is not booted get that behaviour.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message/messages.h"

namespace plat {

enum MessageBoxFlags : uint32_t {
    kMbOk = 0x0,                // one OK button
    kMbOkCancel = 0x1,          // OK and Cancel
    kMbYesNo = 0x4,             // Yes and No
    kMbButtonMask = 0xF,
    kMbIconHand = 0x10,         // the stop icon (an error)
    kMbIconQuestion = 0x20,     // the question icon
    kMbIconExclamation = 0x30,  // the exclamation icon (a warning)
    kMbIconAsterisk = 0x40,     // the information icon
    kMbIconMask = 0xF0,
    kMbDefButton2 = 0x100,      // the second button is the default one
};
enum MessageBoxResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

inline constexpr char16_t kMessageBoxClass[] = u"MessageBox";

// Shows the box owned by `owner` (none: no owner) and returns the answer:
// kIdOk, kIdCancel, kIdYes or kIdNo. An owner that is not a window of the
// calling thread is not disabled.
int MessageBox(Hwnd owner, std::u16string_view text, std::u16string_view caption, uint32_t flags);
// The same owned by the calling thread's window in front (the foreground
// window when it belongs to the calling thread), if any.
int MessageBox(std::u16string_view text, std::u16string_view caption, uint32_t flags);

}  // namespace plat
