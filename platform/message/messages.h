// Window messages of the phone: the handle and parameter types, the message
// record, the window procedure and the message numbers and flags the
// programs use. The calls are in platform/window/window.h (windows and classes),
// platform/message/message_loop.h (sending, posting, the loop) and platform/message/timers.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/gdi/gdi_types.h"

namespace plat {

// ---------------------------------------------------------------------------
// Handles and parameter types.

// A window handle, valid on the whole device: the owner's process id in the
// high 32 bits and a number local to that process (never reused) in the low
// 32 bits. 0 is "no window".
struct Hwnd {
    uint64_t value = 0;  // (owner pid << 32) | local window number; 0 = none
    explicit operator bool() const { return value != 0; }
    friend bool operator==(Hwnd a, Hwnd b) { return a.value == b.value; }
    friend bool operator!=(Hwnd a, Hwnd b) { return a.value != b.value; }
    friend bool operator<(Hwnd a, Hwnd b) { return a.value < b.value; }
};

// Message parameters. Inside a process they may carry a pointer; between
// processes only integers travel (see platform/message/ipc_protocol.h).
using WParam = uint64_t;
using LParam = int64_t;
using LResult = int64_t;

// A window procedure: handles one message for one window.
using WndProc = LResult (*)(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// One message as GetMessage/PeekMessage hand it out.
struct Msg {
    Hwnd hwnd;            // target window; none for a thread message
    uint32_t message = 0; // message number
    WParam wParam = 0;    // first parameter
    LParam lParam = 0;    // second parameter
    uint32_t time = 0;    // device clock when queued, milliseconds (low 32 bits)
    Point pt;             // stylus position when the message was posted (0, 0 without one)
};

// ---------------------------------------------------------------------------
// Message numbers.

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_ENABLE = 0x000A;
constexpr uint32_t WM_SETTEXT = 0x000C;
constexpr uint32_t WM_GETTEXT = 0x000D;
constexpr uint32_t WM_GETTEXTLENGTH = 0x000E;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ERASEBKGND = 0x0014;
constexpr uint32_t WM_SHOWWINDOW = 0x0018;
constexpr uint32_t WM_SETTINGCHANGE = 0x001A;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_CANCELMODE = 0x001F;
constexpr uint32_t WM_DRAWITEM = 0x002B;
constexpr uint32_t WM_MEASUREITEM = 0x002C;
constexpr uint32_t WM_WINDOWPOSCHANGED = 0x0047;
constexpr uint32_t WM_SYNCPAINT = 0x0088;  // paint now what needs painting (DefWindowProc does it for the thread)
constexpr uint32_t WM_NOTIFY = 0x004E;
constexpr uint32_t WM_HELP = 0x0053;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_HSCROLL = 0x0114;
constexpr uint32_t WM_VSCROLL = 0x0115;
constexpr uint32_t WM_INITMENUPOPUP = 0x0117;
constexpr uint32_t WM_MENUSELECT = 0x011F;
constexpr uint32_t WM_CTLCOLORSTATIC = 0x0138;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;  // 513
constexpr uint32_t WM_LBUTTONUP = 0x0202;    // 514
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_CAPTURECHANGED = 0x0215;
constexpr uint32_t WM_SHELLCHANGED = 0x03FE;  // the shell's bars or icons changed: the shell redraws
constexpr uint32_t WM_HIBERNATE = 0x03FF;
constexpr uint32_t WM_USER = 0x0400;   // 1024: first number of a window class's own messages
constexpr uint32_t WM_APP = 0x8000;    // 32768: first number of an application's own messages

// Virtual keys of the phone's buttons and keyboard (WM_KEYDOWN, WM_KEYUP).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_RETURN = 0x0D;   // the action key (centre of the navigation pad)
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_TSOFT1 = 0x70;   // soft key 1 (left)
constexpr uint32_t VK_TSOFT2 = 0x71;   // soft key 2 (right)
constexpr uint32_t VK_TTALK = 0x72;    // the green phone key
constexpr uint32_t VK_TEND = 0x73;     // the red phone key

// Stylus messages carry the point in lParam: x in the low 16 bits, y in the
// high 16 bits (client coordinates).
constexpr LParam MakePointParam(int32_t x, int32_t y) {
    return static_cast<LParam>((uint32_t(uint16_t(y)) << 16) | uint16_t(x));
}
constexpr int32_t PointParamX(LParam lParam) { return int16_t(uint16_t(lParam & 0xFFFF)); }
constexpr int32_t PointParamY(LParam lParam) { return int16_t(uint16_t((lParam >> 16) & 0xFFFF)); }
constexpr uint32_t MK_LBUTTON = 0x0001;

// Messages whose lParam or wParam is a pointer by definition: they are never
// sent to another process (the call fails with kErrorInvalidParameter).
bool MessageCarriesPointer(uint32_t message);
// The same for one message with its lParam: WM_SETTINGCHANGE without a
// section name (lParam 0) carries none and may cross.
bool MessageCarriesPointer(uint32_t message, LParam lParam);

// ---------------------------------------------------------------------------
// Window styles (the bits the platform acts on; the others are kept).

constexpr uint32_t WS_OVERLAPPED = 0x00000000u;
constexpr uint32_t WS_TABSTOP = 0x00010000u;
constexpr uint32_t WS_GROUP = 0x00020000u;
constexpr uint32_t WS_THICKFRAME = 0x00040000u;
constexpr uint32_t WS_SYSMENU = 0x00080000u;
constexpr uint32_t WS_HSCROLL = 0x00100000u;
constexpr uint32_t WS_VSCROLL = 0x00200000u;
constexpr uint32_t WS_DLGFRAME = 0x00400000u;
constexpr uint32_t WS_BORDER = 0x00800000u;
constexpr uint32_t WS_CAPTION = 0x00C00000u;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000u;
constexpr uint32_t WS_DISABLED = 0x08000000u;
constexpr uint32_t WS_VISIBLE = 0x10000000u;  // shown at creation
constexpr uint32_t WS_CHILD = 0x40000000u;    // a child of its parent (not top-level)
constexpr uint32_t WS_POPUP = 0x80000000u;

// Class styles.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_DBLCLKS = 0x0008;
constexpr uint32_t CS_NOCLOSE = 0x0200;

// ShowWindow commands.
constexpr int32_t SW_HIDE = 0;
constexpr int32_t SW_SHOWNORMAL = 1;
constexpr int32_t SW_SHOWNOACTIVATE = 4;
constexpr int32_t SW_SHOW = 5;
constexpr int32_t SW_MINIMIZE = 6;
constexpr int32_t SW_SHOWNA = 8;
constexpr int32_t SW_RESTORE = 9;

// PeekMessage flags.
constexpr uint32_t PM_NOREMOVE = 0x0000;
constexpr uint32_t PM_REMOVE = 0x0001;

// Indexes of GetWindowLong/SetWindowLong.
constexpr int32_t GWL_WNDPROC = -4;
constexpr int32_t GWL_ID = -12;
constexpr int32_t GWL_STYLE = -16;
constexpr int32_t GWL_EXSTYLE = -20;
constexpr int32_t GWL_USERDATA = -21;

// Error codes of the window calls (with those of platform/kernel/last_error.h).
constexpr uint32_t kErrorInvalidWindowHandle = 1400;
constexpr uint32_t kErrorInvalidThreadId = 1444;
constexpr uint32_t kErrorClassAlreadyExists = 1410;
constexpr uint32_t kErrorClassDoesNotExist = 1411;
constexpr uint32_t kErrorWindowOfOtherThread = 1408;

// What WM_CREATE's lParam points to.
struct CreateStruct {
    void* createParams = nullptr;  // the createParam given to CreateWindow
    Hwnd parent;                   // parent window, none for a top-level window
    int32_t x = 0;                 // left edge
    int32_t y = 0;                 // top edge
    int32_t width = 0;             // width in pixels
    int32_t height = 0;            // height in pixels
    uint32_t style = 0;            // window style
    const char16_t* title = u"";   // window title (terminated)
    const char16_t* className = u"";  // class name (terminated)
};

}  // namespace plat

template <>
struct std::hash<plat::Hwnd> {
    size_t operator()(plat::Hwnd h) const noexcept { return std::hash<uint64_t>()(h.value); }
};
