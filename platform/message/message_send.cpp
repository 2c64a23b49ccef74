// Sending and posting messages: to a window of the calling thread, of
// another thread of this process, or of another process of the device
// (over its socket, journalled).
#include <string>

#include "base/text.h"
#include "platform/message/ipc_channel.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/window/window_db.h"
#include "platform/window/window_state.h"
#include "platform/storage/device_store.h"

namespace plat {

using win::ProcessState;
using win::State;
using win::ThreadQueue;

namespace {

// How long a process may take to accept a message that does not wait for
// its handling (its listener answers at once).
constexpr int64_t kAcceptTimeoutMs = 10000;

// Where a window lives, seen from the calling thread.
enum class Route { kNone, kSameThread, kOtherThread, kOtherProcess };

// Finds the window: *proc for the calling thread's window, *queue for
// another thread's. Sets the last error for no window.
Route RouteOf(Hwnd hwnd, WndProc* proc, std::shared_ptr<ThreadQueue>* queue) {
    if (!hwnd) {
        SetLastError(kErrorInvalidWindowHandle);
        return Route::kNone;
    }
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (win::OwnerPid(hwnd) != s.pid) return Route::kOtherProcess;
    std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
    if (!w) {
        SetLastError(kErrorInvalidWindowHandle);
        return Route::kNone;
    }
    if (w->threadId == win::ThisThreadId()) {
        *proc = w->proc;
        return Route::kSameThread;
    }
    *queue = w->queue;
    return Route::kOtherThread;
}

// Hands a message to a window of another process. The window must be in
// the device's window table with a live owner; the message must not carry a
// pointer. Journals each message (but WM_NULL, which does nothing and is
// what a sync sends, and the housekeeping WM_SYNCPAINT and WM_SHELLCHANGED).
bool ToOtherProcess(ipc::RequestKind kind, Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam,
                    int64_t timeoutMs, LResult* result, bool* timedOut) {
    store::EndBatch();  // the receiver reads the changes made before, and may write
    *timedOut = false;
    if (MessageCarriesPointer(message, lParam) || message == WM_QUIT) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::optional<windb::WindowRow> row = windb::FindRow(hwnd);
    if (!row) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    ipc::Request request;
    request.kind = static_cast<uint16_t>(kind);
    request.hwnd = hwnd.value;
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    request.senderPid = State().pid;
    request.senderThreadId = win::ThisThreadId();
    // Journalled before it leaves, so that the line comes before what the
    // receiver journals while handling it.
    // Housekeeping that has no effect of its own is not journalled.
    if (message != WM_NULL && message != WM_SYNCPAINT && message != WM_SHELLCHANGED) {
        JournalAppend("message " + std::to_string(message) + " to " + tlw::Utf16ToUtf8(row->className) + " (" +
                      std::to_string(wParam) + ", " + std::to_string(lParam) + ")");
    }
    ipc::Reply reply;
    if (!win::Exchange(row->pid, request, timeoutMs, &reply, timedOut)) return false;
    switch (static_cast<ipc::ReplyStatus>(reply.status)) {
    case ipc::ReplyStatus::kOk: break;
    case ipc::ReplyStatus::kRefused: SetLastError(kErrorInvalidParameter); return false;
    case ipc::ReplyStatus::kBadRequest: SetLastError(kErrorInvalidParameter); return false;
    default: SetLastError(kErrorInvalidWindowHandle); return false;
    }
    if (result) *result = reply.result;
    return true;
}

bool PostToQueue(const std::shared_ptr<ThreadQueue>& q, Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (!q->alive) {
            SetLastError(kErrorInvalidThreadId);
            return false;
        }
        Msg m;
        m.hwnd = hwnd;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        m.time = static_cast<uint32_t>(win::DeviceMs());
        q->posted.push_back(m);
    }
    win::Wake(*q);
    return true;
}

bool Send(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam, int64_t timeoutMs, LResult* result,
          bool* timedOut) {
    *result = 0;
    *timedOut = false;
    WndProc proc = nullptr;
    std::shared_ptr<ThreadQueue> queue;
    switch (RouteOf(hwnd, &proc, &queue)) {
    case Route::kNone: return false;
    case Route::kSameThread: *result = proc(hwnd, message, wParam, lParam); return true;
    case Route::kOtherThread: {
        win::SentMessage m;
        m.hwnd = hwnd;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        return win::SendToThreadAndWait(queue, std::move(m), timeoutMs, result, timedOut);
    }
    case Route::kOtherProcess:
        return ToOtherProcess(ipc::RequestKind::kSend, hwnd, message, wParam, lParam, timeoutMs, result, timedOut);
    }
    return false;
}

// Queues a send-notify to a window of this process (any thread).
bool QueueNotify(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    std::shared_ptr<ThreadQueue> queue;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
        if (!w || !w->queue->alive) {
            SetLastError(kErrorInvalidWindowHandle);
            return false;
        }
        queue = w->queue;
        win::SentMessage m;
        m.hwnd = hwnd;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        queue->sent.push_back(std::move(m));
    }
    win::Wake(*queue);
    return true;
}

}  // namespace

namespace win {

bool NotifyFromPlatform(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (OwnerPid(hwnd) == State().pid) return QueueNotify(hwnd, message, wParam, lParam);
    return SendNotifyMessage(hwnd, message, wParam, lParam);
}

}  // namespace win

bool MessageCarriesPointer(uint32_t message) {
    switch (message) {
    case WM_CREATE:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_NOTIFY:
    case WM_HELP:
    case WM_WINDOWPOSCHANGED:
    case WM_SETTINGCHANGE:
    case WM_ERASEBKGND:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

bool MessageCarriesPointer(uint32_t message, LParam lParam) {
    // A setting change names its section through lParam; without one
    // (lParam 0, as the input panel's change is sent) it is integers only.
    if (message == WM_SETTINGCHANGE) return lParam != 0;
    return MessageCarriesPointer(message);
}

LResult SendMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    LResult result = 0;
    bool timedOut = false;
    Send(hwnd, message, wParam, lParam, -1, &result, &timedOut);
    return result;
}

bool SendMessageTimeout(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam, uint32_t timeoutMs,
                        LResult* result) {
    LResult answer = 0;
    bool timedOut = false;
    bool ok = Send(hwnd, message, wParam, lParam, timeoutMs, &answer, &timedOut);
    if (result) *result = answer;
    return ok;
}

bool SendNotifyMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    WndProc proc = nullptr;
    std::shared_ptr<ThreadQueue> queue;
    switch (RouteOf(hwnd, &proc, &queue)) {
    case Route::kNone: return false;
    case Route::kSameThread: proc(hwnd, message, wParam, lParam); return true;
    case Route::kOtherThread: return QueueNotify(hwnd, message, wParam, lParam);
    case Route::kOtherProcess: {
        bool timedOut = false;
        return ToOtherProcess(ipc::RequestKind::kSendNotify, hwnd, message, wParam, lParam, kAcceptTimeoutMs,
                              nullptr, &timedOut);
    }
    }
    return false;
}

bool PostMessage(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_QUIT) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (!hwnd) {
        // No window: a thread message to the calling thread, as on the phone.
        std::shared_ptr<ThreadQueue> own = win::CurrentQueue();
        return own && PostToQueue(own, Hwnd{}, message, wParam, lParam);
    }
    WndProc proc = nullptr;
    std::shared_ptr<ThreadQueue> queue;
    switch (RouteOf(hwnd, &proc, &queue)) {
    case Route::kNone: return false;
    case Route::kSameThread:
    case Route::kOtherThread: {
        if (!queue) {
            ProcessState& s = State();
            std::lock_guard<std::mutex> guard(s.lock);
            std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
            if (w) queue = w->queue;
        }
        if (!queue) {
            SetLastError(kErrorInvalidWindowHandle);
            return false;
        }
        return PostToQueue(queue, hwnd, message, wParam, lParam);
    }
    case Route::kOtherProcess: {
        bool timedOut = false;
        return ToOtherProcess(ipc::RequestKind::kPost, hwnd, message, wParam, lParam, kAcceptTimeoutMs, nullptr,
                              &timedOut);
    }
    }
    return false;
}

bool PostThreadMessage(uint32_t threadId, uint32_t processId, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_QUIT) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    ProcessState& s = State();
    if (processId == 0 || static_cast<int32_t>(processId) == s.pid) {
        std::shared_ptr<ThreadQueue> q;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            q = win::QueueLocked(s, threadId, false);
        }
        if (!q) {
            SetLastError(kErrorInvalidThreadId);
            return false;
        }
        return PostToQueue(q, Hwnd{}, message, wParam, lParam);
    }
    if (MessageCarriesPointer(message, lParam)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    ipc::Request request;
    request.kind = static_cast<uint16_t>(ipc::RequestKind::kPostThread);
    request.threadId = threadId;
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    request.senderPid = s.pid;
    request.senderThreadId = win::ThisThreadId();
    ipc::Reply reply;
    bool timedOut = false;
    if (!win::Exchange(static_cast<int32_t>(processId), request, kAcceptTimeoutMs, &reply, &timedOut)) {
        SetLastError(kErrorInvalidThreadId);
        return false;
    }
    if (reply.status != static_cast<uint32_t>(ipc::ReplyStatus::kOk)) {
        SetLastError(reply.status == static_cast<uint32_t>(ipc::ReplyStatus::kBadHandle) ? kErrorInvalidThreadId
                                                                                          : kErrorInvalidParameter);
        return false;
    }
    JournalAppend("message " + std::to_string(message) + " to thread " + std::to_string(threadId) + " of process " +
                  std::to_string(processId) + " (" + std::to_string(wParam) + ", " + std::to_string(lParam) +
                  ")");
    return true;
}

}  // namespace plat
