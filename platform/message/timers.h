// Window timers on device time.
//
// A timer belongs to a window (or, with no window, to the calling thread)
// and an identifier. It falls due interval milliseconds of DEVICE time after
// it was set or last fired (platform/kernel/clock.h): while the device clock runs
// that is real time; a frozen clock moves only when the console sets or
// advances it, and an in-process virtual clock only when the test moves it.
// A due timer gives one WM_TIMER (wParam: identifier, lParam: 0) when its
// thread's queue holds nothing more urgent (platform/message/message_loop.h); a timer
// that was due several times over gives one message. After firing it falls
// due again interval milliseconds later, until killed.
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

// Shortest interval; smaller ones are raised to it.
constexpr uint32_t kMinimumTimerMs = 10;

// Sets (or, when that window and identifier have one, restarts with the new
// interval) a timer of a window of the calling process. Returns the
// identifier (for no window: a new identifier, unless id names one of the
// thread's own timers), 0 on failure (kErrorInvalidWindowHandle, or
// kErrorAccessDenied for a window of another process). A timer of a window
// of another thread of this process is handed to that thread.
uint32_t SetTimer(Hwnd hwnd, uint32_t id, uint32_t intervalMs);
// Stops it: no WM_TIMER of it is handed out after this returns, even one
// that was due. False when there was no such timer.
bool KillTimer(Hwnd hwnd, uint32_t id);

// Wakes every message loop of this process so that it looks at its timers
// again: for in-process tests that move a virtual clock while another
// thread waits in GetMessage (a loop on a virtual clock also looks again by
// itself at short intervals while it has timers).
void WakeMessageLoops();

// Tells every process of the device (this one included) that the device
// clock moved, so that their loops look at their timers again. The console
// calls it after setting or advancing the clock. Processes that have ended
// are skipped (and their sockets removed).
void BroadcastClockChanged();

}  // namespace plat
