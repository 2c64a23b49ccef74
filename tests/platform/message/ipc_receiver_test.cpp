// The receiver of a process socket: only the owner reaches the sockets, and a
// record whose size, header, kind, message or target does not check out is
// refused with its reason and queues nothing.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/kernel/clock.h"
#include "platform/kernel/threads.h"
#include "platform/storage/device.h"
#include "platform/message/ipc_channel.h"
#include "platform/message/ipc_protocol.h"
#include "platform/storage/device_store.h"
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

// The listener answers a peer while another thread of the process holds the
// store (a batch of the engine's decision, say): it must not wait for the
// store, or every peer of the process waits, and a holder that then needs the
// window state the listener holds never gets it.
TEST_F(IpcReceiverTest, APeerIsAnsweredWhileAnotherThreadHoldsTheStore) {
    plat::UseDeviceClock();  // the clock of the store, as on the phone
    plat::Hwnd hwnd = MakeWindow();

    std::mutex lock;
    std::condition_variable changed;
    bool holding = false;
    bool release = false;
    std::thread holder([&] {
        plat::store::Batch batch;
        EXPECT_TRUE(batch.Joining());
        std::unique_lock<std::mutex> guard(lock);
        holding = true;
        changed.notify_all();
        changed.wait(guard, [&] { return release; });
    });
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return holding; });
    }

    // A post, then a ping: the listener takes one request after the other,
    // so the ping is answered only if the post left it free.
    plat::ipc::Reply reply;
    bool timedOut = false;
    bool answered = plat::win::Exchange(::getpid(), PostTo(hwnd, plat::WM_USER + 9), 20000, &reply, &timedOut);
    Request ping;
    ping.kind = static_cast<uint16_t>(RequestKind::kPing);
    plat::ipc::Reply pong;
    bool pingTimedOut = false;
    bool pinged = answered && plat::win::Exchange(::getpid(), ping, 20000, &pong, &pingTimedOut);
    {
        std::lock_guard<std::mutex> guard(lock);
        release = true;
        changed.notify_all();
    }
    holder.join();
    ASSERT_TRUE(answered) << (timedOut ? "no answer while the store was held" : "no connection");
    EXPECT_EQ(static_cast<ReplyStatus>(reply.status), ReplyStatus::kOk);
    ASSERT_TRUE(pinged) << (pingTimedOut ? "the listener was held up by the post" : "no connection");
    EXPECT_EQ(static_cast<ReplyStatus>(pong.status), ReplyStatus::kOk);

    // The message arrives once taken, stamped with the device time then.
    plat::Msg msg;
    ASSERT_TRUE(plat::PeekMessage(&msg, hwnd, 0, 0, plat::PM_REMOVE));
    EXPECT_EQ(msg.message, plat::WM_USER + 9);
    EXPECT_NE(msg.time, 0u);
}

}  // namespace
