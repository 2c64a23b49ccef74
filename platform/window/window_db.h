// The window layer's tables of the device store (device_store.h): the window
// table (every window of every process of the device) and the registry-change
// watches.
//
// Internal to the window layer and the registry-change notification.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/storage/device_store.h"
#include "platform/message/messages.h"

namespace plat::windb {

// One row of the window table.
struct WindowRow {
    Hwnd hwnd;                 // the window
    int32_t pid = 0;           // owner process
    uint64_t startTime = 0;    // owner's start time (see process_liveness.h)
    uint32_t threadId = 0;     // owner thread
    Hwnd parent;               // parent or owner window; none for a top-level window
    bool topLevel = true;      // not a child window (WS_CHILD clear)
    std::u16string className;  // class name as registered
    std::u16string title;      // window title
    uint32_t style = 0;        // window style
    Rect rect;                 // position on the screen
    bool visible = false;      // shown
    int64_t z = 0;             // stacking order: higher is nearer the viewer
    uint32_t shellFlags = 0;   // kShell* bits (platform/window/window_order.h)
};

// Device-wide input state: which window is in front and which gets keys
// and stylus moves. No window is 0.
struct ScreenState {
    Hwnd foreground;  // the active top-level window as last set
    Hwnd focus;       // the window that receives keys
    Hwnd capture;     // the window that receives the stylus while captured
};

// Runs body in one write transaction of the device store (statements through
// the store's cache, see device_store.h). False with the last error set when
// the store cannot be used or body fails.
bool Write(const std::function<uint32_t(store::Transaction&)>& body);
// Runs body in one read transaction; false without running it (and without
// an error) when the device has no store yet, so that a read never makes one.
bool ReadExisting(const std::function<uint32_t(store::Transaction&)>& body);
// Write, but only on a store that exists (removing rows from none is done).
bool WriteExisting(const std::function<uint32_t(store::Transaction&)>& body);

// Names compared without regard to case are stored folded as well.
std::u16string Folded(std::u16string_view text);

// The window table. Each call is one transaction; false (last error set)
// when the database fails.
bool InsertWindow(const WindowRow& row);
bool RemoveWindow(Hwnd hwnd);
bool RemoveWindowsOfProcess(int32_t pid);
bool UpdateTitle(Hwnd hwnd, std::u16string_view title);
bool UpdateRect(Hwnd hwnd, const Rect& rect);
bool UpdateVisible(Hwnd hwnd, bool visible);
bool UpdateStyle(Hwnd hwnd, uint32_t style, bool topLevel);
// Stacking: above every other window, or below them.
bool RaiseWindow(Hwnd hwnd);
bool LowerWindow(Hwnd hwnd);
// Sets and clears shell flag bits of a window.
bool UpdateShellFlags(Hwnd hwnd, uint32_t set, uint32_t clear);

// The input state (all none when the device has no window table yet).
ScreenState ReadScreenState();
// Which part of the input state.
enum class ScreenField { kForeground = 0, kFocus = 1, kCapture = 2 };
// Sets one part in one transaction; returns what it was.
Hwnd ExchangeScreenState(ScreenField field, Hwnd value);

// Every window (top-level and child) of live processes, bottom to top.
std::vector<WindowRow> AllRows();

// The row of a window whose process is alive.
std::optional<WindowRow> FindRow(Hwnd hwnd);
// Top-level windows of live processes, newest first, filtered by class and
// title when not null (compared without regard to case). Rows of ended
// processes are removed on the way (with their watches).
std::vector<WindowRow> TopLevelRows(const char16_t* className, const char16_t* title);

// Removes the rows (windows and watches) of processes that have ended.
void RemoveEndedProcesses();

}  // namespace plat::windb
