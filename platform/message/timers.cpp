// Window and thread timers on device time, made into WM_TIMER on demand,
// and the wake-up of message loops when the device clock moves.
#include "platform/message/timers.h"

#include <dirent.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/message/ipc_channel.h"
#include "platform/message/ipc_protocol.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"
#include "platform/window/window.h"
#include "platform/window/window_state.h"

namespace plat {

using win::ProcessState;
using win::State;
using win::ThreadQueue;
using win::TimerRecord;

namespace {

// How long a process may take to take note of a clock change.
constexpr int64_t kClockNoticeTimeoutMs = 5000;

TimerRecord* FindTimer(ThreadQueue& q, Hwnd hwnd, uint32_t id) {
    for (TimerRecord& t : q.timers)
        if (t.hwnd == hwnd && t.id == id) return &t;
    return nullptr;
}

}  // namespace

uint32_t SetTimer(Hwnd hwnd, uint32_t id, uint32_t intervalMs) {
    uint32_t interval = std::max(intervalMs, kMinimumTimerMs);
    int64_t now = win::DeviceMs();
    std::shared_ptr<ThreadQueue> q;
    if (!hwnd) {
        q = win::CurrentQueue();
        if (!q) {
            SetLastError(kErrorNotEnoughMemory);
            return 0;
        }
    }
    ProcessState& s = State();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (hwnd) {
            std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
            if (!w || w->destroying) {
                SetLastError(win::OwnerPid(hwnd) != s.pid ? kErrorAccessDenied : kErrorInvalidWindowHandle);
                return 0;
            }
            q = w->queue;
        } else if (id == 0 || !FindTimer(*q, Hwnd{}, id)) {
            // A thread timer gets a new identifier unless id names one of
            // the thread's timers.
            do {
                id = q->nextTimerId++;
            } while (id == 0 || FindTimer(*q, Hwnd{}, id));
        }
        if (TimerRecord* t = FindTimer(*q, hwnd, id)) {
            t->intervalMs = interval;
            t->dueMs = now + interval;
        } else {
            q->timers.push_back({hwnd, id, interval, now + interval});
        }
    }
    // Its loop may sleep until an older, later deadline.
    win::Wake(*q);
    return hwnd && id == 0 ? 1 : id;
}

bool KillTimer(Hwnd hwnd, uint32_t id) {
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<ThreadQueue> q;
    if (hwnd) {
        std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
        if (!w) {
            SetLastError(win::OwnerPid(hwnd) != s.pid ? kErrorAccessDenied : kErrorInvalidWindowHandle);
            return false;
        }
        q = w->queue;
    } else {
        q = win::QueueLocked(s, win::ThisThreadId(), false);
    }
    if (q) {
        for (auto it = q->timers.begin(); it != q->timers.end(); ++it) {
            if (it->hwnd == hwnd && it->id == id) {
                q->timers.erase(it);
                return true;
            }
        }
    }
    SetLastError(kErrorInvalidParameter);
    return false;
}

void WakeMessageLoops() {
    ProcessState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (const auto& [tid, q] : s.queues) win::Wake(*q);
}

void BroadcastClockChanged() {
    WakeMessageLoops();
    std::string dir = ipc::SocketDir().string();
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    std::vector<int32_t> pids;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name.size() <= 5 || name.compare(name.size() - 5, 5, ".sock") != 0) continue;
        char* end = nullptr;
        long pid = std::strtol(name.c_str(), &end, 10);
        if (end != name.c_str() + name.size() - 5 || pid <= 0 || pid > INT32_MAX) continue;
        pids.push_back(static_cast<int32_t>(pid));
    }
    ::closedir(d);
    int32_t self = State().pid;
    for (int32_t pid : pids) {
        if (pid == self) continue;
        ipc::Request request;
        request.kind = static_cast<uint16_t>(ipc::RequestKind::kClockChanged);
        request.senderPid = self;
        request.senderThreadId = win::ThisThreadId();
        ipc::Reply reply;
        bool timedOut = false;
        uint32_t saved = GetLastError();
        if (!win::Exchange(pid, request, kClockNoticeTimeoutMs, &reply, &timedOut) && !timedOut &&
            ProcessStartTime(pid) == 0) {
            // Left behind by a process that ended without removing it.
            std::error_code ignored;
            std::filesystem::remove(ipc::SocketPath(pid), ignored);
        }
        SetLastError(saved);
    }
}

namespace win {

int64_t NextTimerDueLocked(const ThreadQueue& queue) {
    int64_t next = INT64_MAX;
    for (const TimerRecord& t : queue.timers) next = std::min(next, t.dueMs);
    return next;
}

bool TakeDueTimerLocked(ThreadQueue& queue, Hwnd filter, uint32_t, uint32_t, bool remove, int64_t nowMs, Msg* msg) {
    TimerRecord* due = nullptr;
    for (TimerRecord& t : queue.timers) {
        // A clock set back must not hold a timer longer than its period.
        if (t.dueMs - nowMs > static_cast<int64_t>(t.intervalMs)) t.dueMs = nowMs + t.intervalMs;
        if (t.dueMs > nowMs) continue;
        if (filter && !(t.hwnd == filter)) continue;
        if (!due || t.dueMs < due->dueMs) due = &t;
    }
    if (!due) return false;
    *msg = Msg{};
    msg->hwnd = due->hwnd;
    msg->message = WM_TIMER;
    msg->wParam = due->id;
    msg->time = static_cast<uint32_t>(nowMs);
    // However long it was due, it gives one message and starts a new period.
    if (remove) due->dueMs = nowMs + due->intervalMs;
    return true;
}

}  // namespace win
}  // namespace plat
