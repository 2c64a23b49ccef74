// Sending and posting window messages, and the message loop.
//
// Each thread that owns a window or reads messages has a queue. GetMessage
// takes, in this order: messages sent to the thread's windows (SendMessage,
// SendNotifyMessage, from other threads and processes, oldest first), then
// posted messages (oldest first), then WM_QUIT once PostQuitMessage was
// called and no posted message is left, then WM_PAINT for a window that
// needs painting, then WM_TIMER for a timer that is due by device time.
// Paint and timer messages are made when asked for, never stored: a window
// needing paint or a due timer gives one message however long it waited.
// Sent messages are handed to the window procedure inside GetMessage and
// PeekMessage (they are never returned).
//
// A message to a window of another process travels over the device's local
// sockets (platform/message/ipc_protocol.h) to its owner's queue; only integer
// parameters cross, and messages that carry a pointer by definition
// (MessageCarriesPointer) are refused. Each such message is written to the
// device journal as "message N to CLASS (wParam, lParam)".
//
// A waiting loop blocks until something arrives (no CPU): a message, a
// clock change that makes a timer due, or the time of the next timer while
// the device clock runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

// ---------------------------------------------------------------------------
// Sending.

// Calls the window's procedure and returns its answer. For a window of the
// calling thread the procedure is called directly; for another thread or
// process the message is queued to the owner and the call waits for the
// answer, handling meanwhile the messages sent to the calling thread (so two
// threads sending to each other do not dead-lock). Returns 0 with the last
// error set for a bad window (kErrorInvalidWindowHandle), a message that
// cannot cross processes (kErrorInvalidParameter), or an owner that ended
// or destroyed the window before answering.
LResult SendMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// Like SendMessage but waits at most timeoutMs (real time) for the answer;
// false (kErrorTimeout) when it did not come; *result gets the answer.
bool SendMessageTimeout(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam, uint32_t timeoutMs,
                        LResult* result);

// Sends without waiting: for a window of the calling thread the procedure
// runs at once; else the message joins the owner's sent messages. False for
// a bad window or message (as SendMessage).
bool SendNotifyMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// ---------------------------------------------------------------------------
// Posting.

// Appends the message to the posted messages of the window's thread. False
// for a bad window or message. Posting WM_QUIT is refused
// (kErrorInvalidParameter): use PostQuitMessage.
bool PostMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);
// Posts a message without a window to a thread (of any process of the
// device) that has a queue; false (kErrorInvalidThreadId) otherwise.
bool PostThreadMessage(uint32_t threadId, uint32_t processId, uint32_t message, WParam wParam, LParam lParam);
// Asks the calling thread's loop to end: GetMessage returns 0 with this
// exit code once the posted messages are handled.
void PostQuitMessage(int32_t exitCode);

// ---------------------------------------------------------------------------
// The loop. hwnd filters to one window (none: all windows and thread
// messages); first/last filter to a range of message numbers (both 0: all).
// WM_QUIT is returned whatever the filter.

// Waits for the next message: >0 for a message, 0 for WM_QUIT (msg->wParam
// holds the exit code), -1 for a bad filter window.
int32_t GetMessage(Msg* msg, Hwnd hwnd, uint32_t first, uint32_t last);
// Takes the next message without waiting: true when one was there. flags
// PM_REMOVE takes it out of the queue, PM_NOREMOVE leaves it.
bool PeekMessage(Msg* msg, Hwnd hwnd, uint32_t first, uint32_t last, uint32_t flags);
// When the message GetMessage (or PeekMessage with PM_REMOVE) last took on
// this thread was queued: device milliseconds (low 32 bits), or when it
// was taken for messages made
// on demand (paint, timers). A stylus event keeps the time the pen got
// there, however late its thread gets to it.
uint32_t GetMessageTime();
// Blocks until the calling thread's queue has something new.
bool WaitMessage();
// Calls the procedure of msg->hwnd (nothing for a thread message); returns
// its answer.
LResult DispatchMessage(const Msg* msg);
// Keyboard translation: nothing to translate on this device; returns false.
bool TranslateMessage(const Msg* msg);

// The platform's default handling: WM_CLOSE destroys the window, everything
// else answers 0.
LResult DefWindowProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// For tests and hosts that drive a thread's loop themselves: handles every
// message that is there now (sent and posted messages, paint, due timers by
// the device clock as it stands) without blocking, until the queue is idle.
// Returns the number of messages handled; *quit (when not null) tells
// whether WM_QUIT was reached (it is taken from the queue and the pumping
// stops there; *exitCode gets its code when not null).
size_t PumpMessagesUntilIdle(bool* quit = nullptr, int32_t* exitCode = nullptr);

// Runs GetMessage/TranslateMessage/DispatchMessage until WM_QUIT; returns
// the quit code (-1 when GetMessage fails).
int32_t RunMessageLoop();

// True when the calling thread is handling a message sent by another thread
// or process (InSendMessage).
bool InSendMessage();

}  // namespace plat
