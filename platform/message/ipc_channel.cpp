// The process socket: one listening SOCK_SEQPACKET socket per process under
// "<root>/.device/sockets/", served by one listener thread that checks each
// request and hands it to the target thread's queue, and the sending side.
//
// Sections: addresses · answering · the listener · sending.
#include "platform/message/ipc_channel.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/storage/device.h"
#include "platform/kernel/last_error.h"
#include "platform/message/timers.h"
#include "platform/window/window_state.h"
#include "platform/storage/device_store.h"

namespace plat {
namespace ipc {

std::filesystem::path SocketDir() {
    std::filesystem::path root = DeviceRoot();
    if (root.empty()) return {};
    return root / ".device" / "sockets";
}

std::filesystem::path SocketPath(int32_t pid) {
    std::filesystem::path dir = SocketDir();
    if (dir.empty()) return {};
    return dir / (std::to_string(pid) + ".sock");
}

}  // namespace ipc

namespace win {
namespace {

// epoll data of a listening socket: the descriptor with this bit set.
constexpr uint64_t kListenTag = 1ull << 32;

// ---------------------------------------------------------------------------
// Addresses.

// The address of a socket file. A path too long for a socket address is
// reached through this process's descriptor of its folder
// ("/proc/self/fd/N/name"); *dirFd then holds that descriptor, to be closed
// by the caller after bind or connect.
bool MakeAddress(const std::filesystem::path& path, sockaddr_un* address, socklen_t* length, int* dirFd) {
    *dirFd = -1;
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::string text = path.string();
    if (text.empty()) return false;
    if (text.size() >= sizeof address->sun_path) {
        *dirFd = ::open(path.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (*dirFd < 0) return false;
        text = "/proc/self/fd/" + std::to_string(*dirFd) + "/" + path.filename().string();
        if (text.size() >= sizeof address->sun_path) {
            ::close(*dirFd);
            *dirFd = -1;
            return false;
        }
    }
    std::memcpy(address->sun_path, text.c_str(), text.size() + 1);
    *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + text.size() + 1);
    return true;
}

// ---------------------------------------------------------------------------
// Answering.

void WriteReply(int fd, ipc::ReplyStatus status, LResult result) {
    ipc::Reply reply;
    reply.status = static_cast<uint32_t>(status);
    reply.result = result;
    ssize_t n;
    do {
        // The sender may have gone: no SIGPIPE for that.
        n = ::send(fd, &reply, sizeof reply, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
}

// Checks one request, answers it and queues its message. The answer goes
// out before the message is queued: once queued, the target thread may
// handle it at once, and a WM_CLOSE may end the process before a later
// answer. Returns true when the connection was handed to a queue (a kSend
// answered once handled); else the caller closes it.
bool Handle(const ipc::Request& r, int fd) {
    if (r.magic != ipc::kMagic || r.version != ipc::kVersion) {
        WriteReply(fd, ipc::ReplyStatus::kBadRequest, 0);
        return false;
    }
    auto kind = static_cast<ipc::RequestKind>(r.kind);
    switch (kind) {
    case ipc::RequestKind::kPing: WriteReply(fd, ipc::ReplyStatus::kOk, 0); return false;
    case ipc::RequestKind::kClockChanged:
        WriteReply(fd, ipc::ReplyStatus::kOk, 0);
        WakeMessageLoops();
        return false;
    case ipc::RequestKind::kSend:
    case ipc::RequestKind::kSendNotify:
    case ipc::RequestKind::kPost:
    case ipc::RequestKind::kPostThread: break;
    default: WriteReply(fd, ipc::ReplyStatus::kBadRequest, 0); return false;
    }
    if (MessageCarriesPointer(r.message, r.lParam) || r.message == WM_QUIT) {
        WriteReply(fd, ipc::ReplyStatus::kRefused, 0);
        return false;
    }
    ProcessState& s = State();
    std::shared_ptr<ThreadQueue> q;
    bool handedOver = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        Hwnd hwnd{r.hwnd};
        std::shared_ptr<WindowRecord> w;
        if (kind == ipc::RequestKind::kPostThread) {
            q = QueueLocked(s, r.threadId, false);
        } else {
            w = OwnerPid(hwnd) == s.pid ? FindLocked(s, hwnd) : nullptr;
            if (w && !w->destroying) q = w->queue;
        }
        if (!q || !q->alive) {
            WriteReply(fd, ipc::ReplyStatus::kBadHandle, 0);
            return false;
        }
        if (kind == ipc::RequestKind::kSend) {
            SentMessage m;
            m.hwnd = hwnd;
            m.message = r.message;
            m.wParam = r.wParam;
            m.lParam = r.lParam;
            m.replyFd = fd;
            handedOver = true;
            q->sent.push_back(std::move(m));
        } else {
            WriteReply(fd, ipc::ReplyStatus::kOk, 0);
            if (kind == ipc::RequestKind::kSendNotify) {
                SentMessage m;
                m.hwnd = hwnd;
                m.message = r.message;
                m.wParam = r.wParam;
                m.lParam = r.lParam;
                q->sent.push_back(std::move(m));
            } else {
                Msg m;
                m.hwnd = kind == ipc::RequestKind::kPost ? hwnd : Hwnd{};
                m.message = r.message;
                m.wParam = r.wParam;
                m.lParam = r.lParam;
                m.time = static_cast<uint32_t>(DeviceMs());
                q->posted.push_back(m);
            }
        }
    }
    Wake(*q);
    return handedOver;
}

// ---------------------------------------------------------------------------
// The listener.

// What the listener works with.
struct Listener {
    std::mutex lock;             // guards the fields below
    int epollFd = -1;            // the listener thread's epoll set; -1 before it runs
    std::string boundPath;       // socket file this process listens on
    int listenFd = -1;           // its descriptor
    pid_t pid = 0;               // process that made it (a forked child listens anew)
};

Listener*& ListenerPointer() {
    static Listener* listener = [] {
        pthread_atfork(nullptr, nullptr, [] { ListenerPointer() = new Listener; });
        return new Listener;
    }();
    return listener;
}

void CloseConnection(int epollFd, int fd) {
    ::epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
}

void Serve(int epollFd) {
    epoll_event events[32];
    for (;;) {
        int n = ::epoll_wait(epollFd, events, 32, -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (int i = 0; i < n; ++i) {
            uint64_t data = events[i].data.u64;
            int fd = static_cast<int>(data & 0xFFFFFFFFu);
            if (data & kListenTag) {
                for (;;) {
                    int conn = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                    if (conn < 0) break;
                    epoll_event ev{};
                    ev.events = EPOLLIN | EPOLLRDHUP;
                    ev.data.u64 = static_cast<uint32_t>(conn);
                    if (::epoll_ctl(epollFd, EPOLL_CTL_ADD, conn, &ev) != 0) ::close(conn);
                }
                continue;
            }
            // One record per read: a sequenced-packet socket keeps records
            // whole, and a longer one is cut (and refused by its size).
            unsigned char buffer[sizeof(ipc::Request) + 16];
            ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (got <= 0) {
                CloseConnection(epollFd, fd);
                continue;
            }
            // The connection leaves the set: it carries one request.
            ::epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);
            // The answering thread owns fd once handed over.
            if (!ReceiveRecord(buffer, static_cast<size_t>(got), fd)) ::close(fd);
        }
    }
}

void RemoveSocketAtExit() {
    Listener* l = ListenerPointer();
    if (l->pid == ::getpid() && !l->boundPath.empty()) ::unlink(l->boundPath.c_str());
}

// Binds the socket of this process for the current device; with l->lock
// held. The previous socket (another device) is closed.
bool Bind(Listener* l, const std::filesystem::path& path) {
    // The folder and the socket are the owner's alone: a process of another
    // user of the machine cannot connect.
    std::error_code ignored;
    if (std::filesystem::create_directories(path.parent_path(), ignored))
        std::filesystem::permissions(path.parent_path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, ignored);
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    sockaddr_un address;
    socklen_t length = 0;
    int dirFd = -1;
    if (!MakeAddress(path, &address, &length, &dirFd)) {
        ::close(fd);
        return false;
    }
    // A file of the same name was left by an ended process with this id.
    ::unlink(address.sun_path);
    bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
              ::chmod(address.sun_path, S_IRUSR | S_IWUSR) == 0 && ::listen(fd, 64) == 0;
    if (dirFd >= 0) ::close(dirFd);
    if (!ok) {
        ::close(fd);
        return false;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kListenTag | static_cast<uint32_t>(fd);
    if (::epoll_ctl(l->epollFd, EPOLL_CTL_ADD, fd, &ev) != 0) {
        ::close(fd);
        ::unlink(path.c_str());
        return false;
    }
    if (l->listenFd >= 0) {
        ::epoll_ctl(l->epollFd, EPOLL_CTL_DEL, l->listenFd, nullptr);
        ::close(l->listenFd);
        if (!l->boundPath.empty()) ::unlink(l->boundPath.c_str());
    }
    l->listenFd = fd;
    l->boundPath = path.string();
    return true;
}

}  // namespace

bool EnsureListening() {
    std::filesystem::path path = ipc::SocketPath(::getpid());
    if (path.empty()) return false;
    Listener* l = ListenerPointer();
    std::lock_guard<std::mutex> guard(l->lock);
    if (l->pid == ::getpid() && l->epollFd >= 0 && l->boundPath == path.string()) return true;
    if (l->pid != ::getpid() || l->epollFd < 0) {
        int epollFd = ::epoll_create1(EPOLL_CLOEXEC);
        if (epollFd < 0) return false;
        l->epollFd = epollFd;
        l->pid = ::getpid();
        l->listenFd = -1;
        l->boundPath.clear();
        static bool atExitRegistered = false;
        if (!atExitRegistered) {
            std::atexit(RemoveSocketAtExit);
            atExitRegistered = true;
        }
        std::thread(Serve, epollFd).detach();
    }
    return Bind(l, path);
}

bool ReceiveRecord(const void* record, size_t size, int fd) {
    if (size != sizeof(ipc::Request)) {
        WriteReply(fd, ipc::ReplyStatus::kBadRequest, 0);
        return false;
    }
    ipc::Request request;
    std::memcpy(&request, record, sizeof request);
    return Handle(request, fd);
}

void AnswerRemote(int fd, ipc::ReplyStatus status, LResult result) {
    WriteReply(fd, status, result);
    ::close(fd);
}

// ---------------------------------------------------------------------------
// Sending.

bool Exchange(int32_t pid, const ipc::Request& request, int64_t timeoutMs, ipc::Reply* reply, bool* timedOut) {
    *timedOut = false;
    store::EndBatch();  // the other process reads the changes made before, and may write
    std::filesystem::path path = ipc::SocketPath(pid);
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        SetLastError(kErrorNotEnoughMemory);
        return false;
    }
    sockaddr_un address;
    socklen_t length = 0;
    int dirFd = -1;
    bool ok = MakeAddress(path, &address, &length, &dirFd);
    if (ok) {
        int rc;
        do {
            rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length);
        } while (rc != 0 && errno == EINTR);
        ok = rc == 0;
    }
    if (dirFd >= 0) ::close(dirFd);
    if (ok) {
        ssize_t n;
        do {
            n = ::send(fd, &request, sizeof request, MSG_NOSIGNAL);
        } while (n < 0 && errno == EINTR);
        ok = n == static_cast<ssize_t>(sizeof request);
    }
    if (!ok) {
        ::close(fd);
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    if (!WaitForReply(fd, timeoutMs)) {
        ::close(fd);
        *timedOut = true;
        SetLastError(kErrorTimeout);
        return false;
    }
    ssize_t got;
    do {
        got = ::recv(fd, reply, sizeof *reply, 0);
    } while (got < 0 && errno == EINTR);
    ::close(fd);
    if (got != static_cast<ssize_t>(sizeof *reply) || reply->magic != ipc::kMagic) {
        // The process ended (or its answer is not one): no answer.
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    return true;
}

}  // namespace win
}  // namespace plat
