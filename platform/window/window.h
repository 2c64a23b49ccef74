// Windows of the phone: classes, windows, their attributes and the device's
// window table.
//
// A window belongs to the thread that created it; its procedure runs on that
// thread only (messages from other threads and processes are queued to it,
// see platform/message/message_loop.h). Every window of every process of the device
// is listed in the device's window table (in "<root>/.device/device.db") with
// its class, title, owner process and thread, parent, rectangle and
// visibility; FindWindow and EnumWindows read that table, and entries of
// processes that have ended do not count (they are removed when seen).
//
// The calls taking a window of another process (IsWindow, GetWindowText,
// GetClassName, GetWindowThreadProcessId, GetWindowRect, IsWindowVisible,
// GetParent) read the table; the calls that change a window (DestroyWindow,
// SetWindowText, ShowWindow, MoveWindow, SetWindowLong, InvalidateRect,
// BeginPaint) work on windows of the calling process only and fail with
// kErrorAccessDenied otherwise. Failures set the last error
// (platform/kernel/last_error.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat {

// ---------------------------------------------------------------------------
// Classes (of this process).

// What RegisterClass needs.
struct WndClass {
    std::u16string className;  // matched without regard to case; not empty
    WndProc proc = nullptr;    // the window procedure of the class's windows; required
    uint32_t style = 0;        // CS_* bits
    HBrush background;         // brush that erases the background; none leaves it
};

// False when the name is empty, the procedure missing
// (kErrorInvalidParameter) or the class exists in this process
// (kErrorClassAlreadyExists).
bool RegisterClass(const WndClass& windowClass);
// False when the class does not exist or still has windows.
bool UnregisterClass(std::u16string_view className);

// ---------------------------------------------------------------------------
// Windows.

// Creates a window of a class of this process, owned by the calling thread,
// enters it in the device's window table and sends it WM_CREATE (lParam: a
// CreateStruct*). A window whose WM_CREATE answers -1 is destroyed again and
// no window is returned. A parent may be a window of any process of the
// device; with WS_CHILD the window is a child of it (x and y are then in the
// parent's client coordinates), else it is top-level (a parent without
// WS_CHILD only makes it an owned window, which stays top-level).
// WS_VISIBLE shows it at once. Returns no window on failure
// (kErrorClassDoesNotExist, kErrorInvalidWindowHandle for a bad parent).
Hwnd CreateWindow(std::u16string_view className, std::u16string_view title, uint32_t style, int32_t x, int32_t y,
                  int32_t width, int32_t height, Hwnd parent, void* createParam = nullptr);

// Destroys a window of this process: sends WM_DESTROY to its procedure,
// destroys its children and owned windows, removes it from the window table
// and drops its timers, its queued messages and its registry-change
// notifications (a message sent to it and not yet handled gets answer 0). From
// another thread of the process the destruction is handed to the owner
// thread and waited for. False for a window that is not (or no longer) one
// of this process.
bool DestroyWindow(Hwnd hwnd);

// True for a window that exists on the device (its process alive).
bool IsWindow(Hwnd hwnd);

// The newest top-level window of the device whose class and title match
// (null: any; both compared without regard to case). No window when none
// matches; windows of ended processes do not count.
Hwnd FindWindow(const char16_t* className, const char16_t* title);

// Every top-level window of the device (of live processes), oldest first.
std::vector<Hwnd> ListTopLevelWindows();
// Calls fn for each window of ListTopLevelWindows until it returns false.
// Returns false when fn stopped the enumeration.
using EnumWindowsProc = bool (*)(Hwnd hwnd, void* context);
bool EnumWindows(EnumWindowsProc fn, void* context);

// Title and class: the text (empty on failure, with the last error set).
std::u16string GetWindowText(Hwnd hwnd);
std::u16string GetClassName(Hwnd hwnd);
// Copies at most capacity - 1 characters and a terminator into buffer, as
// the phone's calls do; returns the characters copied (0 on failure).
int32_t GetWindowText(Hwnd hwnd, char16_t* buffer, int32_t capacity);
int32_t GetClassName(Hwnd hwnd, char16_t* buffer, int32_t capacity);
bool SetWindowText(Hwnd hwnd, std::u16string_view title);

// The owner thread's id (0 for no window); *processId gets the owner's
// process id when not null. Thread and process ids are the host's (a thread
// id is the host's gettid()).
uint32_t GetWindowThreadProcessId(Hwnd hwnd, uint32_t* processId);

// Parent of a child window; none for a top-level window.
Hwnd GetParent(Hwnd hwnd);
// The child windows of this process whose parent is `parent`, oldest first
// (the order a dialog's controls were made in).
std::vector<Hwnd> ListChildWindows(Hwnd parent);

// ---------------------------------------------------------------------------
// Position and visibility. Windows have no frame: the client area is the
// whole window. GetWindowRect answers in screen pixels; MoveWindow takes a
// child window's position in its parent's client coordinates.

bool GetWindowRect(Hwnd hwnd, Rect* rect);
// (0, 0, width, height).
bool GetClientRect(Hwnd hwnd, Rect* rect);
// Moves and sizes the window; sends WM_SIZE when the size changed (lParam:
// width in the low 16 bits, height in the high 16 bits) and, with repaint,
// invalidates it.
bool MoveWindow(Hwnd hwnd, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);
// Shows (any SW_* but SW_HIDE) or hides the window; returns whether it was
// visible before. Showing invalidates it; showing a top-level window also
// makes it the foreground window (platform/window/window_order.h) unless the
// command is SW_SHOWNA or SW_SHOWNOACTIVATE.
bool ShowWindow(Hwnd hwnd, int32_t command);
bool IsWindowVisible(Hwnd hwnd);

// ---------------------------------------------------------------------------
// Window data (windows of this process).

// GWL_USERDATA, GWL_STYLE, GWL_EXSTYLE, GWL_ID and GWL_WNDPROC (the
// procedure as an integer; setting it subclasses the window). Set returns
// the previous value; both return 0 with kErrorInvalidParameter for another
// index.
int64_t GetWindowLong(Hwnd hwnd, int32_t index);
int64_t SetWindowLong(Hwnd hwnd, int32_t index, int64_t value);

// ---------------------------------------------------------------------------
// Painting. A window that needs painting gets WM_PAINT when its thread's
// queue holds nothing else (see platform/message/message_loop.h).

// What BeginPaint hands out.
struct PaintStruct {
    Hdc hdc;        // device context on the window's surface
    Rect paint;     // the area to paint (the invalid area, window coordinates)
    bool erase = false;  // the background still needs erasing
};

// Marks the area (the whole window for null) as needing paint.
bool InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase);
// Clears the need to paint.
bool ValidateRect(Hwnd hwnd, const Rect* rect);
// Sends WM_PAINT now when the window needs painting.
bool UpdateWindow(Hwnd hwnd);
// Starts painting: the window's surface DC (width x height, kept with the
// window), the invalid area; the window counts as painted from now on.
// No DC for a window of another process.
Hdc BeginPaint(Hwnd hwnd, PaintStruct* paint);
bool EndPaint(Hwnd hwnd, const PaintStruct* paint);
// The window's surface DC (made on first use), for the compositor and
// tests; no DC for a window of another process.
Hdc GetWindowSurface(Hwnd hwnd);

}  // namespace plat
