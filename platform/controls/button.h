// The button control (class "BUTTON"): push buttons, check boxes and radio
// buttons.
//
// A tap (pen down and up on the button) or the space or action key clicks
// it: an automatic check box toggles, an automatic radio button checks
// itself and clears the other radio buttons of its group (the siblings
// from the last WS_GROUP control up to the next one), and the parent gets
// WM_COMMAND with BN_CLICKED. The text is the window's title; BM_SETCHECK,
// WM_SETTEXT and WM_ENABLE repaint. A button shows the focus with a dotted
// frame.
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kButtonClass[] = u"BUTTON";

// Styles (the low four bits are the kind).
constexpr uint32_t BS_PUSHBUTTON = 0x0000;
constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;   // drawn with a heavier frame: the dialog's default
constexpr uint32_t BS_CHECKBOX = 0x0002;        // the parent sets the check
constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;    // toggles itself when clicked
constexpr uint32_t BS_RADIOBUTTON = 0x0004;
constexpr uint32_t BS_3STATE = 0x0005;
constexpr uint32_t BS_AUTO3STATE = 0x0006;
constexpr uint32_t BS_GROUPBOX = 0x0007;        // a frame with a caption; takes no input
constexpr uint32_t BS_AUTORADIOBUTTON = 0x0009; // checks itself, clears its group
constexpr uint32_t BS_OWNERDRAW = 0x000B;       // the parent draws it (WM_DRAWITEM)
constexpr uint32_t BS_TYPEMASK = 0x000F;
constexpr uint32_t BS_LEFTTEXT = 0x0020;        // the text left of the box
constexpr uint32_t BS_NOTIFY = 0x4000;          // also BN_SETFOCUS / BN_KILLFOCUS

// Messages.
constexpr uint32_t BM_GETCHECK = 0x00F0;  // answers BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
constexpr uint32_t BM_SETCHECK = 0x00F1;  // wParam: the check state
constexpr uint32_t BM_GETSTATE = 0x00F2;  // the check state plus BST_PUSHED and BST_FOCUS
constexpr uint32_t BM_SETSTATE = 0x00F3;  // wParam: pushed (nonzero) or not
constexpr uint32_t BM_SETSTYLE = 0x00F4;  // wParam: the new kind bits; lParam: redraw
constexpr uint32_t BM_CLICK = 0x00F5;     // clicks it as a tap would

constexpr uint32_t BST_UNCHECKED = 0x0000;
constexpr uint32_t BST_CHECKED = 0x0001;
constexpr uint32_t BST_INDETERMINATE = 0x0002;
constexpr uint32_t BST_PUSHED = 0x0004;
constexpr uint32_t BST_FOCUS = 0x0008;

// Notification codes (WM_COMMAND's high word).
constexpr uint32_t BN_CLICKED = 0;
constexpr uint32_t BN_SETFOCUS = 6;
constexpr uint32_t BN_KILLFOCUS = 7;

// The button class's procedure (registered by InitCommonControls).
LResult ButtonProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

}  // namespace plat
