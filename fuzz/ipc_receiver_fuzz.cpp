// Fuzz target: the receiver of a process socket, fed arbitrary bytes as one
// record. The target process owns one window; the record's window handle and
// thread id are taken relative to it (their process half and the thread id
// are XORed with this process's id and thread), so that the corpus reaches
// the window on every run while every byte pattern stays possible.
//
// Checks that every record gets exactly one well-formed reply, that a record
// of the wrong size, magic or version is a bad request, that a handle of
// another process is refused, and that the window sees a message only when
// the reply says it was taken, with the parameters the record carried.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/kernel/threads.h"
#include "platform/storage/device.h"
#include "platform/message/ipc_channel.h"
#include "platform/message/ipc_protocol.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace {

struct Seen {
    int count = 0;
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};
Seen g_seen;

plat::LResult Procedure(plat::Hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    // Counts what arrives; closing and destroying are left to the target.
    ++g_seen.count;
    g_seen.message = message;
    g_seen.wParam = wParam;
    g_seen.lParam = lParam;
    return 7;
}

struct FuzzDevice {
    std::filesystem::path root;
    plat::Hwnd window;
    FuzzDevice() {
        std::error_code ec;
        std::string pattern = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm/tlw-fuzz-XXXXXX" : "/tmp/tlw-fuzz-XXXXXX";
        root = mkdtemp(pattern.data());
        std::filesystem::create_directories(root / ".device");
        plat::SetDevice(root);
        plat::WndClass c;
        c.className = u"FuzzTarget";
        c.proc = Procedure;
        if (!plat::RegisterClass(c)) std::abort();
        window = plat::CreateWindow(u"FuzzTarget", u"", 0, 0, 0, 10, 10, plat::Hwnd{});
        if (!window) std::abort();
    }
    ~FuzzDevice() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void Pump() {
    plat::Msg msg;
    while (plat::PeekMessage(&msg, plat::Hwnd{}, 0, 0, plat::PM_REMOVE)) {
        if (!msg.hwnd) {
            // A thread message: no window procedure to run.
            ++g_seen.count;
            g_seen.message = msg.message;
            g_seen.wParam = msg.wParam;
            g_seen.lParam = msg.lParam;
            continue;
        }
        plat::DispatchMessage(&msg);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzDevice device;
    const uint64_t pidHalf = static_cast<uint64_t>(static_cast<uint32_t>(::getpid())) << 32;
    const uint32_t thread = plat::GetCurrentThreadId();

    unsigned char record[sizeof(plat::ipc::Request) + 16] = {};
    size_t length = size < sizeof record ? size : sizeof record;
    if (length > 0) std::memcpy(record, data, length);
    plat::ipc::Request request;
    std::memcpy(&request, record, sizeof request);
    request.hwnd ^= pidHalf;
    request.threadId ^= thread;
    std::memcpy(record, &request, sizeof request);

    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) std::abort();
    g_seen = {};
    if (!plat::win::ReceiveRecord(record, length, fds[1])) ::close(fds[1]);
    Pump();

    plat::ipc::Reply reply;
    ssize_t got = ::recv(fds[0], &reply, sizeof reply, MSG_DONTWAIT);
    unsigned char extra;
    ssize_t more = ::recv(fds[0], &extra, 1, MSG_DONTWAIT);
    ::close(fds[0]);
    if (got != static_cast<ssize_t>(sizeof reply) || more > 0 || reply.magic != plat::ipc::kMagic) std::abort();
    auto status = static_cast<plat::ipc::ReplyStatus>(reply.status);

    bool wellFormed = length == sizeof request && request.magic == plat::ipc::kMagic && request.version == plat::ipc::kVersion;
    if (!wellFormed && status != plat::ipc::ReplyStatus::kBadRequest) std::abort();
    auto kind = static_cast<plat::ipc::RequestKind>(request.kind);
    bool carries = kind == plat::ipc::RequestKind::kSend || kind == plat::ipc::RequestKind::kSendNotify ||
                   kind == plat::ipc::RequestKind::kPost || kind == plat::ipc::RequestKind::kPostThread;
    bool windowKind = carries && kind != plat::ipc::RequestKind::kPostThread;
    if (windowKind && (request.hwnd >> 32) != (pidHalf >> 32) && status == plat::ipc::ReplyStatus::kOk) std::abort();
    if (kind == plat::ipc::RequestKind::kPostThread && request.threadId != thread && status == plat::ipc::ReplyStatus::kOk)
        std::abort();

    if (status == plat::ipc::ReplyStatus::kOk && carries) {
        if (g_seen.count != 1 || g_seen.message != request.message || g_seen.wParam != request.wParam ||
            g_seen.lParam != request.lParam)
            std::abort();
        if (kind == plat::ipc::RequestKind::kSend && reply.result != 7) std::abort();
    } else if (g_seen.count != 0) {
        std::abort();
    }
    return 0;
}
