// The single-line edit control (class "EDIT").
//
// Typed characters (WM_CHAR, as `tlwsim type` sends them to the focus
// window) replace the selection at the caret; the back key (VK_BACK as a
// key or as the character 8) deletes before the caret, VK_DELETE after it;
// left, right, home and end move the caret. A tap places the caret, a drag
// selects, a double tap selects everything. The parent gets WM_COMMAND with
// EN_CHANGE after every change of the text (typed or set), EN_MAXTEXT when
// typing hits the limit, EN_SETFOCUS and EN_KILLFOCUS.
//
// ES_PASSWORD shows each character as the password character ('*') and
// keeps the text out of the window's title (the title, which every process
// and `tlwsim windows` can read, shows the masked text); ES_NUMBER takes
// digits only; ES_READONLY takes no typing; ES_UPPERCASE and ES_LOWERCASE
// convert what is typed. Read an edit's text with WM_GETTEXT (or
// GetDlgItemText); setting it with WM_SETTEXT, SetDlgItemText or
// SetWindowText all work.
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kEditClass[] = u"EDIT";

constexpr uint32_t ES_LEFT = 0x0000;
constexpr uint32_t ES_CENTER = 0x0001;
constexpr uint32_t ES_RIGHT = 0x0002;
constexpr uint32_t ES_MULTILINE = 0x0004;  // not offered: the edit stays one line
constexpr uint32_t ES_UPPERCASE = 0x0008;
constexpr uint32_t ES_LOWERCASE = 0x0010;
constexpr uint32_t ES_PASSWORD = 0x0020;
constexpr uint32_t ES_AUTOHSCROLL = 0x0080;  // always on: the text scrolls to keep the caret in view
constexpr uint32_t ES_NOHIDESEL = 0x0100;
constexpr uint32_t ES_READONLY = 0x0800;
constexpr uint32_t ES_NUMBER = 0x2000;

constexpr uint32_t EM_GETSEL = 0x00B0;          // answers start | end << 16; wParam, lParam: uint32_t* (may be null)
constexpr uint32_t EM_SETSEL = 0x00B1;          // wParam start, lParam end; start -1 clears, end -1 = the end
constexpr uint32_t EM_GETMODIFY = 0x00B8;
constexpr uint32_t EM_SETMODIFY = 0x00B9;
constexpr uint32_t EM_GETLINECOUNT = 0x00BA;
constexpr uint32_t EM_LINELENGTH = 0x00C1;
constexpr uint32_t EM_REPLACESEL = 0x00C2;      // lParam: const char16_t* (terminated)
constexpr uint32_t EM_LIMITTEXT = 0x00C5;       // wParam: most characters typing may give (0: the largest)
constexpr uint32_t EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr uint32_t EM_SETPASSWORDCHAR = 0x00CC; // wParam: the character (0: shows the text)
constexpr uint32_t EM_SETREADONLY = 0x00CF;     // wParam: read-only or not
constexpr uint32_t EM_GETPASSWORDCHAR = 0x00D2;
constexpr uint32_t EM_GETLIMITTEXT = 0x00D5;
constexpr uint32_t WM_CLEAR = 0x0303;           // deletes the selection

constexpr uint32_t kEditLargestLimit = 0x7FFFFFFE;
constexpr uint32_t kEditDefaultLimit = 30000;

constexpr uint32_t EN_SETFOCUS = 0x0100;
constexpr uint32_t EN_KILLFOCUS = 0x0200;
constexpr uint32_t EN_CHANGE = 0x0300;
constexpr uint32_t EN_UPDATE = 0x0400;
constexpr uint32_t EN_MAXTEXT = 0x0501;

constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_DELETE = 0x2E;

LResult EditProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

}  // namespace plat
