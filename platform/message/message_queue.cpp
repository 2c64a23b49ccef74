// The thread message queue and the loop: which message comes next (sent,
// posted, quit, paint, timer), waiting without CPU, dispatching, and the
// handling of messages sent from other threads and processes.
#include <algorithm>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>

#include "platform/kernel/clock.h"
#include "platform/gdi/gdi.h"
#include "platform/message/ipc_channel.h"
#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_state.h"
#include "platform/storage/device_store.h"

namespace plat {

using win::ProcessState;
using win::SentMessage;
using win::State;
using win::ThreadQueue;

namespace {

// How long a loop on a virtual clock waits before it looks at its timers
// again (nothing else tells it that the test moved the clock).
constexpr int kVirtualClockLookMs = 20;
// PumpMessagesUntilIdle stops after this many messages (a procedure that
// posts to itself for ever would else never let it return).
constexpr size_t kPumpLimit = 100000;

// Depth of sent messages being handled on this thread (InSendMessage).
thread_local int t_sendDepth = 0;
// Device time (ms) of the message GetMessage or PeekMessage last took.
thread_local uint32_t t_messageTime = 0;

void NoteMessageTime(const Msg& msg) {
    t_messageTime = msg.time != 0 ? msg.time : static_cast<uint32_t>(win::DeviceMs());
}

// What TakeNext found.
enum class Taken { kNone, kSentHandled, kMessage, kQuit };

bool InRange(uint32_t message, uint32_t first, uint32_t last) {
    if (first == 0 && last == 0) return true;
    return message >= first && message <= last;
}

// The next message of the queue for the filter. A sent message is handled
// here (and reported as kSentHandled); the others are copied into msg and,
// with remove, taken out.
Taken TakeNext(ThreadQueue& q, Hwnd filter, uint32_t first, uint32_t last, bool remove, Msg* msg) {
    int64_t now = win::DeviceMs();
    ProcessState& s = State();
    std::unique_lock<std::mutex> lock(s.lock);
    if (!q.sent.empty()) {
        SentMessage sent = std::move(q.sent.front());
        q.sent.pop_front();
        lock.unlock();
        win::HandleSent(std::move(sent));
        return Taken::kSentHandled;
    }
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (filter && !(it->hwnd == filter)) continue;
        if (!InRange(it->message, first, last)) continue;
        *msg = *it;
        if (remove) q.posted.erase(it);
        return Taken::kMessage;
    }
    if (q.quit) {
        *msg = Msg{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WParam>(static_cast<int64_t>(q.quitCode));
        if (remove) q.quit = false;
        return Taken::kQuit;
    }
    if (InRange(WM_PAINT, first, last) && win::TakePaintLocked(s, q, filter, msg)) return Taken::kMessage;
    if (InRange(WM_TIMER, first, last) && win::TakeDueTimerLocked(q, filter, first, last, remove, now, msg))
        return Taken::kMessage;
    return Taken::kNone;
}

// How long the loop may sleep: until the next timer by the device clock;
// without limit when there is none or the clock is frozen (a move of the
// clock wakes the loop).
int WaitLimitMs(ThreadQueue& q) {
    int64_t next = 0;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        next = win::NextTimerDueLocked(q);
    }
    if (next == INT64_MAX) return -1;
    int64_t now = win::DeviceMs();
    if (next <= now) return 0;
    if (UsingVirtualClock()) return kVirtualClockLookMs;
    if (ClockIsFrozen()) return -1;
    return static_cast<int>(std::min<int64_t>(next - now, INT_MAX));
}

// Sleeps until the queue is woken, extraFd is readable, or timeoutMs passed
// (< 0: no limit). Returns true when extraFd is readable.
bool Sleep(const ThreadQueue& q, int extraFd, int timeoutMs) {
    pollfd fds[2] = {{q.wakeFd, POLLIN, 0}, {extraFd, POLLIN, 0}};
    int count = extraFd >= 0 ? 2 : 1;
    int rc = ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
    if (rc > 0 && (fds[0].revents & POLLIN)) {
        uint64_t value = 0;
        while (::read(q.wakeFd, &value, sizeof value) < 0 && errno == EINTR) {
        }
    }
    return rc > 0 && count == 2 && fds[1].revents != 0;
}

bool FilterIsOwn(Hwnd filter) {
    if (!filter) return true;
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, filter);
    return w && w->threadId == win::ThisThreadId();
}

void Complete(SentMessage&& sent, bool failed, LResult result) {
    if (sent.reply) {
        std::shared_ptr<ThreadQueue> waiter;
        {
            ProcessState& s = State();
            std::lock_guard<std::mutex> guard(s.lock);
            sent.reply->done = true;
            sent.reply->failed = failed;
            sent.reply->result = result;
            waiter = sent.reply->waiter;
        }
        if (waiter) win::Wake(*waiter);
    }
    if (sent.replyFd >= 0) {
        win::AnswerRemote(sent.replyFd, failed ? ipc::ReplyStatus::kWindowGone : ipc::ReplyStatus::kOk, result);
        sent.replyFd = -1;
    }
}

}  // namespace

namespace win {

void HandleSent(SentMessage&& sent) {
    if (sent.kind == SentKind::kDestroy) {
        bool destroyed = DestroyOwnWindow(sent.hwnd);
        Complete(std::move(sent), false, destroyed ? 1 : 0);
        return;
    }
    WndProc proc = nullptr;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<WindowRecord> w = FindLocked(s, sent.hwnd);
        if (w) proc = w->proc;
    }
    if (!proc) {
        FailSent(std::move(sent));
        return;
    }
    ++t_sendDepth;
    LResult result = proc(sent.hwnd, sent.message, sent.wParam, sent.lParam);
    --t_sendDepth;
    Complete(std::move(sent), false, result);
}

void FailSent(SentMessage&& sent) { Complete(std::move(sent), true, 0); }

std::vector<SentMessage> ForgetWindowLocked(ProcessState&, WindowRecord& window) {
    std::vector<SentMessage> unanswered;
    window.needsPaint = false;
    ThreadQueue& q = *window.queue;
    for (auto it = q.posted.begin(); it != q.posted.end();) {
        if (it->hwnd == window.hwnd) it = q.posted.erase(it);
        else ++it;
    }
    for (auto it = q.sent.begin(); it != q.sent.end();) {
        if (it->hwnd == window.hwnd) {
            unanswered.push_back(std::move(*it));
            it = q.sent.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = q.timers.begin(); it != q.timers.end();) {
        if (it->hwnd == window.hwnd) it = q.timers.erase(it);
        else ++it;
    }
    return unanswered;
}

bool SendToThreadAndWait(const std::shared_ptr<ThreadQueue>& target, SentMessage&& message, int64_t timeoutMs,
                         LResult* result, bool* timedOut) {
    store::EndBatch();  // the other thread may need the store
    *timedOut = false;
    std::shared_ptr<ThreadQueue> own = CurrentQueue();
    if (!own) {
        SetLastError(kErrorNotEnoughMemory);
        return false;
    }
    auto reply = std::make_shared<SendReply>();
    reply->waiter = own;
    message.reply = reply;
    ProcessState& s = State();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (!target->alive) {
            SetLastError(kErrorInvalidWindowHandle);
            return false;
        }
        target->sent.push_back(std::move(message));
    }
    Wake(*target);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        std::unique_lock<std::mutex> lock(s.lock);
        if (reply->done) {
            *result = reply->result;
            if (reply->failed) SetLastError(kErrorInvalidWindowHandle);
            return !reply->failed;
        }
        if (!own->sent.empty()) {
            SentMessage incoming = std::move(own->sent.front());
            own->sent.pop_front();
            lock.unlock();
            HandleSent(std::move(incoming));
            continue;
        }
        lock.unlock();
        int wait = -1;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                lock.lock();
                if (reply->done) continue;
                reply->waiter = nullptr;  // the answer, if it still comes, goes nowhere
                *timedOut = true;
                SetLastError(kErrorTimeout);
                return false;
            }
            wait = static_cast<int>(std::min<int64_t>(left.count() + 1, INT_MAX));
        }
        Sleep(*own, -1, wait);
    }
}

// Waits for the reply of another process on fd while handling the messages
// sent to the calling thread. Returns true when fd is readable (or closed);
// false on time-out.
bool WaitForReply(int fd, int64_t timeoutMs) {
    std::shared_ptr<ThreadQueue> own;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        own = QueueLocked(s, ThisThreadId(), false);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int wait = -1;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            wait = static_cast<int>(std::min<int64_t>(left.count() + 1, INT_MAX));
        }
        if (!own) {
            pollfd p{fd, POLLIN, 0};
            int rc = ::poll(&p, 1, wait);
            if (rc > 0) return true;
            if (rc < 0 && errno != EINTR) return true;  // let the read report the failure
            continue;
        }
        std::unique_lock<std::mutex> lock(State().lock);
        if (!own->sent.empty()) {
            SentMessage incoming = std::move(own->sent.front());
            own->sent.pop_front();
            lock.unlock();
            HandleSent(std::move(incoming));
            continue;
        }
        lock.unlock();
        if (Sleep(*own, fd, wait)) return true;
    }
}

}  // namespace win

int32_t GetMessage(Msg* msg, Hwnd hwnd, uint32_t first, uint32_t last) {
    store::EndBatch();  // a message loop waits
    if (!msg || !FilterIsOwn(hwnd)) {
        SetLastError(msg ? kErrorInvalidWindowHandle : kErrorInvalidParameter);
        return -1;
    }
    std::shared_ptr<ThreadQueue> q = win::CurrentQueue();
    if (!q) {
        SetLastError(kErrorNotEnoughMemory);
        return -1;
    }
    for (;;) {
        switch (TakeNext(*q, hwnd, first, last, true, msg)) {
        case Taken::kMessage:
            NoteMessageTime(*msg);
            return 1;
        case Taken::kQuit: return 0;
        case Taken::kSentHandled: continue;
        case Taken::kNone: break;
        }
        Sleep(*q, -1, WaitLimitMs(*q));
    }
}

bool PeekMessage(Msg* msg, Hwnd hwnd, uint32_t first, uint32_t last, uint32_t flags) {
    if (!msg || !FilterIsOwn(hwnd)) {
        SetLastError(msg ? kErrorInvalidWindowHandle : kErrorInvalidParameter);
        return false;
    }
    std::shared_ptr<ThreadQueue> q = win::CurrentQueue();
    if (!q) return false;
    for (;;) {
        switch (TakeNext(*q, hwnd, first, last, (flags & PM_REMOVE) != 0, msg)) {
        case Taken::kMessage:
            if (flags & PM_REMOVE) NoteMessageTime(*msg);
            return true;
        case Taken::kQuit: return true;
        case Taken::kSentHandled: continue;
        case Taken::kNone: return false;
        }
    }
}

uint32_t GetMessageTime() { return t_messageTime; }

bool WaitMessage() {
    store::EndBatch();
    std::shared_ptr<ThreadQueue> q = win::CurrentQueue();
    if (!q) return false;
    Msg msg;
    for (;;) {
        switch (TakeNext(*q, Hwnd{}, 0, 0, false, &msg)) {
        case Taken::kMessage:
        case Taken::kQuit:
        case Taken::kSentHandled: return true;
        case Taken::kNone: break;
        }
        Sleep(*q, -1, WaitLimitMs(*q));
    }
}

LResult DispatchMessage(const Msg* msg) {
    if (!msg || !msg->hwnd) return 0;
    WndProc proc = nullptr;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, msg->hwnd);
        if (!w) {
            SetLastError(kErrorInvalidWindowHandle);
            return 0;
        }
        if (w->threadId != win::ThisThreadId()) {
            SetLastError(kErrorWindowOfOtherThread);
            return 0;
        }
        proc = w->proc;
    }
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

bool TranslateMessage(const Msg*) { return false; }

LResult DefWindowProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        // Painting nothing still counts as painted.
        PaintStruct paint;
        if (BeginPaint(hwnd, &paint)) EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBrush background;
        Rect client;
        {
            ProcessState& s = State();
            std::lock_guard<std::mutex> guard(s.lock);
            std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
            if (!w) return 0;
            background = w->background;
            client = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
        }
        if (!background) return 0;
        Hdc hdc{static_cast<uint32_t>(wParam)};
        return FillRect(hdc, client, background) ? 1 : 0;
    }
    case WM_SYNCPAINT: {
        // Every window of this thread that waits for paint is painted now,
        // so that whoever asks (a screenshot) sees the screen up to date.
        std::vector<Hwnd> due;
        {
            ProcessState& s = State();
            std::lock_guard<std::mutex> guard(s.lock);
            uint32_t self = win::ThisThreadId();
            for (const auto& [handle, w] : s.windows)
                if (w->threadId == self && w->needsPaint && w->visible && !w->destroying) due.push_back(handle);
        }
        std::sort(due.begin(), due.end());
        for (Hwnd window : due) UpdateWindow(window);
        return 0;
    }
    default:
        return 0;
    }
}

void PostQuitMessage(int32_t exitCode) {
    std::shared_ptr<ThreadQueue> q = win::CurrentQueue();
    if (!q) return;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        q->quit = true;
        q->quitCode = exitCode;
    }
    win::Wake(*q);
}

size_t PumpMessagesUntilIdle(bool* quit, int32_t* exitCode) {
    if (quit) *quit = false;
    std::shared_ptr<ThreadQueue> q = win::CurrentQueue();
    if (!q) return 0;
    size_t handled = 0;
    Msg msg;
    while (handled < kPumpLimit) {
        Taken taken = TakeNext(*q, Hwnd{}, 0, 0, true, &msg);
        if (taken == Taken::kNone) break;
        if (taken == Taken::kQuit) {
            if (quit) *quit = true;
            if (exitCode) *exitCode = static_cast<int32_t>(static_cast<int64_t>(msg.wParam));
            break;
        }
        ++handled;
        if (taken == Taken::kMessage) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    return handled;
}

int32_t RunMessageLoop() {
    Msg msg;
    int32_t rc;
    while ((rc = GetMessage(&msg, Hwnd{}, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return rc == 0 ? static_cast<int32_t>(static_cast<int64_t>(msg.wParam)) : -1;
}

bool InSendMessage() { return t_sendDepth > 0; }

}  // namespace plat
