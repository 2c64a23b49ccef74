// The phone's common controls: what every control shares (the notification
// header, the focus, font and dialog-code messages, the word helpers of
// WM_COMMAND) and the initialisation that registers the control classes in
// the calling process.
//
// Each control is a window class of its own (button.h, static_control.h,
// edit.h, trackbar.h, date_time_picker.h, list_view.h) and the dialog
// manager (dialog.h) builds dialogs from them. A control tells its parent
// what happened with WM_COMMAND (wParam: control id in the low word, code in
// the high word; lParam: the control's window handle value) or WM_NOTIFY
// (wParam: control id; lParam: a pointer to an NmHdr, or to a larger record
// that starts with one). Notifications carry pointers, so a control and its
// parent live in one process.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"
#include "platform/window/owner_draw.h"

namespace plat {

// ---------------------------------------------------------------------------
// Initialisation.

// Groups of classes InitCommonControlsEx registers.
constexpr uint32_t ICC_LISTVIEW_CLASSES = 0x0001;  // list view
constexpr uint32_t ICC_BAR_CLASSES = 0x0004;       // trackbar
constexpr uint32_t ICC_DATE_CLASSES = 0x0100;      // date and time picker
constexpr uint32_t ICC_WIN95_CLASSES = 0x00FF;     // every group above but dates

struct InitCommonControlsExInfo {
    uint32_t size = sizeof(InitCommonControlsExInfo);  // of this record
    uint32_t classes = 0;                              // ICC_* bits
};

// Registers the classes of the asked groups in this process (the button,
// static and edit classes always). Registering again is harmless. False
// (kErrorInvalidParameter) for a null record or a wrong size.
bool InitCommonControlsEx(const InitCommonControlsExInfo* info);
// Registers every control class.
void InitCommonControls();

// ---------------------------------------------------------------------------
// Messages every control answers.

constexpr uint32_t WM_NEXTDLGCTL = 0x0028;  // dialogs: wParam next (0) / previous (1), or a control with lParam 1
constexpr uint32_t WM_SETFONT = 0x0030;     // wParam: HFont value (0: the system font); lParam: redraw
constexpr uint32_t WM_GETFONT = 0x0031;     // answers the HFont value (0: the system font)
constexpr uint32_t WM_GETDLGCODE = 0x0087;  // answers DLGC_* bits: which keys the control wants in a dialog
constexpr uint32_t WM_CTLCOLOREDIT = 0x0133;
constexpr uint32_t WM_CTLCOLORBTN = 0x0135;

constexpr LResult DLGC_WANTARROWS = 0x0001;      // up and down go to the control, not to the dialog
constexpr LResult DLGC_WANTTAB = 0x0002;
constexpr LResult DLGC_WANTALLKEYS = 0x0004;     // every key goes to the control
constexpr LResult DLGC_HASSETSEL = 0x0008;       // an edit: its text is selected when it gets the focus by key
constexpr LResult DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LResult DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LResult DLGC_RADIOBUTTON = 0x0040;
constexpr LResult DLGC_WANTCHARS = 0x0080;
constexpr LResult DLGC_STATIC = 0x0100;           // never takes the focus
constexpr LResult DLGC_BUTTON = 0x2000;

// ---------------------------------------------------------------------------
// Notifications.

// The head of every WM_NOTIFY record.
struct NmHdr {
    Hwnd hwndFrom;        // the control
    uint64_t idFrom = 0;  // its id (GWL_ID)
    uint32_t code = 0;    // what happened (NM_*, LVN_*, DTN_*, ...)
};

// Codes every control may send (negative numbers as the phone's 32 bits).
constexpr uint32_t NM_FIRST = 0u;
constexpr uint32_t NM_CLICK = NM_FIRST - 2u;      // a tap released on the control
constexpr uint32_t NM_DBLCLK = NM_FIRST - 3u;
constexpr uint32_t NM_RETURN = NM_FIRST - 4u;     // the action key
constexpr uint32_t NM_SETFOCUS = NM_FIRST - 7u;
constexpr uint32_t NM_KILLFOCUS = NM_FIRST - 8u;

// Owner-drawn controls hand their parent the records of owner_draw.h
// (WM_MEASUREITEM, WM_DRAWITEM; wParam: the control's id), with ctlType
// ODT_BUTTON or ODT_LISTVIEW.

// WM_COMMAND's word helpers.
constexpr WParam MakeWParam(uint32_t low, uint32_t high) {
    return static_cast<WParam>((high & 0xFFFFu) << 16 | (low & 0xFFFFu));
}
constexpr uint32_t LowWord(uint64_t value) { return static_cast<uint32_t>(value & 0xFFFFu); }
constexpr uint32_t HighWord(uint64_t value) { return static_cast<uint32_t>((value >> 16) & 0xFFFFu); }
constexpr LParam MakeLParam(uint32_t low, uint32_t high) {
    return static_cast<LParam>(static_cast<uint32_t>((high & 0xFFFFu) << 16 | (low & 0xFFFFu)));
}

// ---------------------------------------------------------------------------
// Enabling (a disabled window shows greyed and ignores the stylus and keys).

// Sets or clears WS_DISABLED on a window of this process, sends it
// WM_ENABLE (wParam: enabled) and repaints it; a control losing the focus
// by it hands the focus to its parent. Returns whether it was disabled
// before.
bool EnableWindow(Hwnd hwnd, bool enable);
bool IsWindowEnabled(Hwnd hwnd);

}  // namespace plat
