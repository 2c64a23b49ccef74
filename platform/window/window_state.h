// The window layer's state of this process: classes, windows and the
// message queue of each thread, in one record guarded by one lock.
//
// Internal to platform/: window.cpp, window_table.cpp, window_paint.cpp,
// message_queue.cpp, message_send.cpp, timers.cpp, ipc_channel.cpp and
// registry_notify.cpp share it. No window procedure is ever called while the
// lock is held.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat::win {

struct ThreadQueue;

// A registered class.
struct ClassRecord {
    std::u16string name;  // as registered
    WndProc proc = nullptr;  // procedure of its windows
    uint32_t style = 0;   // CS_* bits
    HBrush background;    // background brush, may be none
    int32_t windows = 0;  // windows of the class alive
};

// A window of this process.
struct WindowRecord {
    Hwnd hwnd;                 // its handle
    std::u16string className;  // class name as registered
    std::u16string title;      // title
    WndProc proc = nullptr;    // current procedure (GWL_WNDPROC may replace it)
    uint32_t classStyle = 0;   // the class's CS_* bits
    HBrush background;         // the class's background brush
    uint32_t style = 0;        // WS_* bits
    uint32_t exStyle = 0;      // extended style bits (kept only)
    int64_t id = 0;            // GWL_ID
    int64_t userData = 0;      // GWL_USERDATA
    Hwnd parent;               // parent (WS_CHILD) or owner window
    Rect rect;                 // position on the screen
    bool visible = false;      // shown
    uint32_t threadId = 0;     // owner thread
    std::shared_ptr<ThreadQueue> queue;  // owner thread's queue
    bool destroying = false;   // WM_DESTROY sent, removal under way
    bool needsPaint = false;   // has an invalid area
    bool erase = false;        // the invalid area needs its background erased
    Rect invalid;              // the invalid area (window coordinates) while needsPaint
    Hdc surface;               // the window's drawing surface, made on first use
    Size surfaceSize;          // the surface's size (made anew when the window's differs)
};

// The answer slot of a SendMessage between threads of this process.
struct SendReply {
    bool done = false;        // answered (or failed)
    bool failed = false;      // the window was gone before it handled the message
    LResult result = 0;       // the procedure's answer
    std::shared_ptr<ThreadQueue> waiter;  // the sender's queue, woken on the answer (may be null)
};

// What a sent message asks of the owner thread.
enum class SentKind : uint8_t {
    kMessage,  // call the window procedure
    kDestroy,  // destroy the window (DestroyWindow from another thread)
};

// A message sent to a window of the thread, waiting to be handled.
struct SentMessage {
    SentKind kind = SentKind::kMessage;  // what to do
    Hwnd hwnd;                           // target window
    uint32_t message = 0;                // message number
    WParam wParam = 0;                   // first parameter
    LParam lParam = 0;                   // second parameter
    std::shared_ptr<SendReply> reply;    // answer slot of an in-process SendMessage; null for send-notify
    int replyFd = -1;                    // connection to answer a SendMessage of another process; -1 none
};

// A timer of the thread.
struct TimerRecord {
    Hwnd hwnd;                // window, none for a thread timer
    uint32_t id = 0;          // identifier
    uint32_t intervalMs = 0;  // period in device milliseconds
    int64_t dueMs = 0;        // device time when it falls due
};

// The message queue of one thread.
struct ThreadQueue {
    uint32_t threadId = 0;             // owner thread (host thread id)
    int wakeFd = -1;                   // eventfd written whenever something arrives
    bool alive = true;                 // false once its thread ended
    std::deque<SentMessage> sent;      // sent messages, oldest first
    std::deque<Msg> posted;            // posted messages, oldest first
    bool quit = false;                 // PostQuitMessage called and WM_QUIT not yet taken
    int32_t quitCode = 0;              // its exit code
    std::vector<TimerRecord> timers;   // timers, in the order they were set
    uint32_t nextTimerId = 1;          // next identifier for SetTimer(no window, 0, ...)

    ThreadQueue() = default;
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;
    ~ThreadQueue();  // closes wakeFd (never while someone may still wake it)
};

// Everything of this process, guarded by lock.
struct ProcessState {
    std::mutex lock;                   // guards every field and every record reached from here
    pid_t pid = 0;                     // this process
    uint64_t startTime = 0;            // its start time
    uint32_t nextLocalId = 1;          // local number of the next window
    std::unordered_map<std::u16string, ClassRecord> classes;  // by folded name
    std::unordered_map<Hwnd, std::shared_ptr<WindowRecord>> windows;  // by handle
    std::unordered_map<uint32_t, std::shared_ptr<ThreadQueue>> queues;  // by thread id
};

// The state (made anew in a forked child, which owns no window of its
// parent).
ProcessState& State();

// The calling thread's host id.
uint32_t ThisThreadId();

// Handle parts.
inline int32_t OwnerPid(Hwnd hwnd) { return static_cast<int32_t>(hwnd.value >> 32); }
inline Hwnd MakeHwnd(pid_t pid, uint32_t localId) {
    return Hwnd{(static_cast<uint64_t>(static_cast<uint32_t>(pid)) << 32) | localId};
}

// With the lock held: the window of this process, or null.
std::shared_ptr<WindowRecord> FindLocked(ProcessState& s, Hwnd hwnd);
// With the lock held: the calling thread's queue, made when missing (false
// for make: null when missing).
std::shared_ptr<ThreadQueue> QueueLocked(ProcessState& s, uint32_t threadId, bool make);
// Wakes the queue's waiting thread (any lock may be held).
void Wake(const ThreadQueue& queue);

// The calling thread's queue, made when missing (and the process listening
// on its socket so that other processes can reach it).
std::shared_ptr<ThreadQueue> CurrentQueue();

// Device time in milliseconds (see platform/kernel/clock.h).
int64_t DeviceMs();

// Message loop pieces shared between files.
// Handles one sent message on its window's thread and answers it.
void HandleSent(SentMessage&& sent);
// Answers a sent message that will not be handled (window gone).
void FailSent(SentMessage&& sent);
// Drops the queue entries, timers and paint of a destroyed window; with the
// lock held. Returns the sent messages to fail (outside the lock).
std::vector<SentMessage> ForgetWindowLocked(ProcessState& s, WindowRecord& window);

// Queues a sent message to another thread of this process and waits for its
// answer, handling meanwhile the messages sent to the calling thread.
// timeoutMs < 0 waits without limit. False when the window was gone before
// its thread handled it, or on time-out (*timedOut set).
bool SendToThreadAndWait(const std::shared_ptr<ThreadQueue>& target, SentMessage&& message, int64_t timeoutMs,
                         LResult* result, bool* timedOut);

// Waits for the reply of another process on fd, handling meanwhile the
// messages sent to the calling thread (when it has a queue). True when fd is
// readable or closed, false on time-out (timeoutMs < 0: no limit).
bool WaitForReply(int fd, int64_t timeoutMs);

// Destroys a window of the calling thread (DestroyWindow's work).
bool DestroyOwnWindow(Hwnd hwnd);

// Send-notify that never runs the procedure inside the call: for a window
// of the calling thread the message joins its sent messages too (as a
// platform notification arrives from outside, not from within the caller).
bool NotifyFromPlatform(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// Registry-change watches of a destroyed window are closed
// (registry_notify.cpp).
void CloseWatchesOfWindow(Hwnd hwnd);

// Paint: a visible window of the queue's thread that needs painting and
// matches the filter; with the lock held.
bool TakePaintLocked(ProcessState& s, const ThreadQueue& queue, Hwnd filter, Msg* msg);

// Timers: the earliest due time of the queue's timers (INT64_MAX without
// timers); with the lock held.
int64_t NextTimerDueLocked(const ThreadQueue& queue);
// Takes the earliest due timer matching the filter into msg; with the lock
// held; remove restarts its period.
bool TakeDueTimerLocked(ThreadQueue& queue, Hwnd filter, uint32_t first, uint32_t last, bool remove, int64_t nowMs,
                        Msg* msg);

// The process socket (ipc_channel.cpp): starts listening when not yet.
bool EnsureListening();

}  // namespace plat::win
