// The messages between the processes of one device, declared once.
//
// Every process that owns a window or a message queue listens on one local
// socket, "<root>/.device/sockets/<pid>.sock" (SOCK_SEQPACKET, so each
// record arrives whole). A sender connects, writes one Request and reads one
// Reply; the connection then closes. The receiver checks the record (size,
// magic, version, kind) and every handle in it against its own tables, and
// refuses what it does not own. Only integers travel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace plat::ipc {

constexpr uint32_t kMagic = 0x49574C54u;  // "TLWI"
constexpr uint16_t kVersion = 1;

// What a request asks.
enum class RequestKind : uint16_t {
    kSend = 1,          // run the window's procedure and answer with its result
    kSendNotify = 2,    // queue to the window's sent messages; answer at once
    kPost = 3,          // queue to the window's posted messages; answer at once
    kPostThread = 4,    // queue to a thread's posted messages; answer at once
    kClockChanged = 5,  // the device clock moved: look at the timers again
    kPing = 6,          // answer at once (is the process listening?)
};

// One request.
struct Request {
    uint32_t magic = kMagic;      // kMagic
    uint16_t version = kVersion;  // kVersion
    uint16_t kind = 0;            // a RequestKind
    uint64_t hwnd = 0;            // target window (kSend, kSendNotify, kPost)
    uint32_t threadId = 0;        // target thread (kPostThread)
    uint32_t message = 0;         // message number
    uint64_t wParam = 0;          // first parameter (an integer)
    int64_t lParam = 0;           // second parameter (an integer)
    int32_t senderPid = 0;        // sending process, for the receiver's journal and checks
    uint32_t senderThreadId = 0;  // sending thread
};
static_assert(sizeof(Request) == 48, "Request is a fixed 48-byte record");

// How a request ended.
enum class ReplyStatus : uint32_t {
    kOk = 0,            // done; result holds the procedure's answer for kSend
    kBadRequest = 1,    // malformed record, unknown kind or version
    kBadHandle = 2,     // no such window or thread in this process
    kRefused = 3,       // the message cannot cross processes
    kWindowGone = 4,    // the window was destroyed before it handled the message
};

// One reply.
struct Reply {
    uint32_t magic = kMagic;  // kMagic
    uint32_t status = 0;      // a ReplyStatus
    int64_t result = 0;       // the procedure's answer (kSend)
};
static_assert(sizeof(Reply) == 16, "Reply is a fixed 16-byte record");

// The folder of the device's process sockets and one process's socket.
std::filesystem::path SocketDir();
std::filesystem::path SocketPath(int32_t pid);

}  // namespace plat::ipc
