// The receiver of a process socket: only the owner reaches the sockets, and a
// record whose size, header, kind, message or target does not check out is
// refused with its reason and queues nothing.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/kernel/threads.h"
#include "platform/storage/device.h"
#include "platform/message/ipc_channel.h"
#include "platform/message/ipc_protocol.h"
#include "platform/window/window_test_support.h"

namespace {

using plat::ipc::ReplyStatus;
using plat::ipc::Request;
using plat::ipc::RequestKind;

class IpcReceiverTest : public wintest::WindowTest {
protected:
    // Feeds bytes to the receiver as one record received on a connection,
    // handles what it queued, and returns the one reply it wrote.
    ReplyStatus Receive(const void* bytes, size_t size) {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        if (!plat::win::ReceiveRecord(bytes, size, fds[1])) ::close(fds[1]);
        plat::PumpMessagesUntilIdle();
        plat::ipc::Reply reply;
        ssize_t got = ::recv(fds[0], &reply, sizeof reply, MSG_DONTWAIT);
        ::close(fds[0]);
        EXPECT_EQ(got, static_cast<ssize_t>(sizeof reply));
        EXPECT_EQ(reply.magic, plat::ipc::kMagic);
        return static_cast<ReplyStatus>(reply.status);
    }
    ReplyStatus Receive(const Request& request) { return Receive(&request, sizeof request); }

    Request PostTo(plat::Hwnd hwnd, uint32_t message) {
        Request r;
        r.kind = static_cast<uint16_t>(RequestKind::kPost);
        r.hwnd = hwnd.value;
        r.message = message;
        r.wParam = 77;
        r.senderPid = 1;
        return r;
    }
};

TEST_F(IpcReceiverTest, SocketsAndTheStateFolderAreTheOwnersAlone) {
    MakeWindow();
    struct stat st {};
    ASSERT_EQ(::stat(plat::ipc::SocketPath(::getpid()).c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(plat::ipc::SocketDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    ASSERT_EQ(::stat(device_.StateDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A state folder others could enter (an older device) is closed when the
    // device is chosen.
    ::chmod(device_.StateDir().c_str(), 0755);
    ASSERT_TRUE(plat::SetDevice(device_.Root()));
    ASSERT_EQ(::stat(device_.StateDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(IpcReceiverTest, AWellFormedPostArrives) {
    plat::Hwnd hwnd = MakeWindow();
    EXPECT_EQ(Receive(PostTo(hwnd, plat::WM_USER + 5)), ReplyStatus::kOk);
    EXPECT_EQ(wintest::Recorder::Instance().Take(), (std::vector<wintest::Seen>{{plat::WM_USER + 5, 77}}));
}

TEST_F(IpcReceiverTest, RecordsThatDoNotCheckOutAreRefusedAndQueueNothing) {
    plat::Hwnd hwnd = MakeWindow();
    Request good = PostTo(hwnd, plat::WM_USER);

    unsigned char longer[sizeof(Request) + 8] = {};
    std::memcpy(longer, &good, sizeof good);
    EXPECT_EQ(Receive(&good, sizeof good - 1), ReplyStatus::kBadRequest);
    EXPECT_EQ(Receive(longer, sizeof longer), ReplyStatus::kBadRequest);
    EXPECT_EQ(Receive(&good, 0), ReplyStatus::kBadRequest);

    Request r = good;
    r.magic ^= 1;
    EXPECT_EQ(Receive(r), ReplyStatus::kBadRequest);
    r = good;
    r.version = plat::ipc::kVersion + 1;
    EXPECT_EQ(Receive(r), ReplyStatus::kBadRequest);
    r = good;
    r.kind = 99;
    EXPECT_EQ(Receive(r), ReplyStatus::kBadRequest);

    // A handle of another process, of no window of this one, a thread that
    // is not here.
    r = good;
    r.hwnd = hwnd.value ^ (uint64_t{1} << 40);
    EXPECT_EQ(Receive(r), ReplyStatus::kBadHandle);
    r = good;
    r.hwnd = hwnd.value + 1000;
    EXPECT_EQ(Receive(r), ReplyStatus::kBadHandle);
    r = good;
    r.kind = static_cast<uint16_t>(RequestKind::kPostThread);
    r.threadId = plat::GetCurrentThreadId() + 12345;
    EXPECT_EQ(Receive(r), ReplyStatus::kBadHandle);

    // A message whose parameter is a pointer in the sender, and the quit.
    EXPECT_EQ(Receive(PostTo(hwnd, plat::WM_SETTEXT)), ReplyStatus::kRefused);
    EXPECT_EQ(Receive(PostTo(hwnd, plat::WM_QUIT)), ReplyStatus::kRefused);

    EXPECT_TRUE(wintest::Recorder::Instance().Take().empty());
}

}  // namespace
