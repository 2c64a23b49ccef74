// The window layer's process state, the thread queues and what happens to
// them when a thread ends or the process forks.
#include "platform/window/window_state.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "platform/kernel/clock.h"
#include "platform/process/process_liveness.h"

namespace plat::win {
namespace {

ProcessState* NewState() {
    ProcessState* s = new ProcessState;
    s->pid = ::getpid();
    s->startTime = OwnStartTime();
    return s;
}

ProcessState*& StatePointer() {
    // Never destroyed: the listener thread and late thread exits may use it
    // while the process ends.
    static ProcessState* state = [] {
        // A forked child starts empty: the parent's windows, queues and
        // socket are not its own, and the parent's lock may be held by a
        // thread that does not exist in the child. The old record is left
        // as it is.
        pthread_atfork(nullptr, nullptr, [] { StatePointer() = NewState(); });
        return NewState();
    }();
    return state;
}

// Ends the queue of a thread other than the main one when the thread ends:
// its windows are destroyed (as the phone does when a thread exits), and
// messages still waiting for an answer get none.
struct QueueOwner {
    uint32_t threadId = 0;  // thread whose queue this is; 0 before it has one
    ~QueueOwner() {
        if (threadId == 0 || static_cast<pid_t>(threadId) == ::getpid()) return;
        if (threadId != ThisThreadId()) return;  // copied into a forked child
        ProcessState& s = State();
        std::vector<Hwnd> own;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            for (const auto& [hwnd, w] : s.windows)
                if (w->threadId == threadId && !w->destroying) own.push_back(hwnd);
        }
        for (Hwnd hwnd : own) DestroyOwnWindow(hwnd);
        std::deque<SentMessage> left;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            auto it = s.queues.find(threadId);
            if (it == s.queues.end()) return;
            std::shared_ptr<ThreadQueue> q = it->second;
            q->alive = false;
            left.swap(q->sent);
            s.queues.erase(it);
        }
        for (SentMessage& m : left) FailSent(std::move(m));
    }
};

thread_local QueueOwner t_queueOwner;

}  // namespace

ThreadQueue::~ThreadQueue() {
    if (wakeFd >= 0) ::close(wakeFd);
}

ProcessState& State() { return *StatePointer(); }

uint32_t ThisThreadId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

std::shared_ptr<WindowRecord> FindLocked(ProcessState& s, Hwnd hwnd) {
    auto it = s.windows.find(hwnd);
    if (it == s.windows.end()) return nullptr;
    return it->second;
}

std::shared_ptr<ThreadQueue> QueueLocked(ProcessState& s, uint32_t threadId, bool make) {
    auto it = s.queues.find(threadId);
    if (it != s.queues.end()) return it->second;
    if (!make) return nullptr;
    auto q = std::make_shared<ThreadQueue>();
    q->threadId = threadId;
    q->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (q->wakeFd < 0) return nullptr;
    s.queues[threadId] = q;
    return q;
}

void Wake(const ThreadQueue& queue) {
    if (queue.wakeFd < 0) return;
    uint64_t one = 1;
    ssize_t n;
    do {
        n = ::write(queue.wakeFd, &one, sizeof one);
    } while (n < 0 && errno == EINTR);
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    uint32_t tid = ThisThreadId();
    std::shared_ptr<ThreadQueue> q;
    {
        ProcessState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        q = QueueLocked(s, tid, true);
    }
    if (q) {
        t_queueOwner.threadId = tid;
        EnsureListening();
    }
    return q;
}

int64_t DeviceMs() {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(GetLocalTime(), &ft)) return 0;
    return static_cast<int64_t>(ft / 10000);
}

}  // namespace plat::win
