// Point-to-point queues and the power manager's notifications into them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/storage/device.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/kernel_errors.h"
#include "platform/kernel/msg_queue.h"
#include "platform/power/power_notify.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "support/temp_device.h"

namespace {

using plat::Handle;

plat::MsgQueueOptions Options(uint32_t maxMessages, uint32_t maxSize, bool read, uint32_t flags = 0) {
    plat::MsgQueueOptions options;
    options.flags = flags;
    options.maxMessages = maxMessages;
    options.maxMessageSize = maxSize;
    options.readAccess = read ? 1 : 0;
    return options;
}

// A queue's read and write handles.
struct QueuePair {
    Handle read;   // reading end
    Handle write;  // writing end
    QueuePair(uint32_t maxMessages, uint32_t maxSize, uint32_t flags = 0) {
        plat::MsgQueueOptions options = Options(maxMessages, maxSize, true, flags);
        read = plat::CreateMsgQueue({}, &options);
        options.readAccess = 0;
        write = plat::OpenMsgQueue(plat::GetCurrentProcessId(), read, &options);
    }
    ~QueuePair() {
        if (write) plat::CloseMsgQueue(write);
        if (read) plat::CloseMsgQueue(read);
    }
};

TEST(MsgQueueTest, MessagesArriveInOrderWithTheirLengths) {
    QueuePair q(4, 16);
    ASSERT_TRUE(q.read && q.write);
    ASSERT_TRUE(plat::WriteMsgQueue(q.write, "one", 3, 0, 0));
    ASSERT_TRUE(plat::WriteMsgQueue(q.write, "second", 6, 0, 0));
    char buffer[16];
    uint32_t got = 0, flags = 99;
    ASSERT_TRUE(plat::ReadMsgQueue(q.read, buffer, sizeof buffer, &got, 0, &flags));
    EXPECT_EQ(std::string(buffer, got), "one");
    EXPECT_EQ(flags, 0u);
    ASSERT_TRUE(plat::ReadMsgQueue(q.read, buffer, sizeof buffer, &got, 0, &flags));
    EXPECT_EQ(std::string(buffer, got), "second");
    EXPECT_FALSE(plat::ReadMsgQueue(q.read, buffer, sizeof buffer, &got, 0, &flags));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorTimeout);
}

TEST(MsgQueueTest, AlertIsReadBeforeOrdinaryMessages) {
    QueuePair q(4, 16);
    plat::WriteMsgQueue(q.write, "a", 1, 0, 0);
    plat::WriteMsgQueue(q.write, "!", 1, 0, plat::kMsgQueueMsgAlert);
    char c;
    uint32_t got = 0, flags = 0;
    ASSERT_TRUE(plat::ReadMsgQueue(q.read, &c, 1, &got, 0, &flags));
    EXPECT_EQ(c, '!');
    EXPECT_EQ(flags, plat::kMsgQueueMsgAlert);
}

TEST(MsgQueueTest, SizeLimitsAreKept) {
    QueuePair q(2, 4);
    EXPECT_FALSE(plat::WriteMsgQueue(q.write, "12345", 5, 0, 0));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInsufficientBuffer);
    ASSERT_TRUE(plat::WriteMsgQueue(q.write, "1234", 4, 0, 0));
    ASSERT_TRUE(plat::WriteMsgQueue(q.write, "ab", 2, 0, 0));
    EXPECT_FALSE(plat::WriteMsgQueue(q.write, "x", 1, 30, 0));  // full: waits its time, then gives up
    EXPECT_EQ(plat::GetLastError(), plat::kErrorTimeout);
    // A buffer too small keeps the message for a larger one.
    char small[2];
    uint32_t got = 0;
    EXPECT_FALSE(plat::ReadMsgQueue(q.read, small, sizeof small, &got, 0, nullptr));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInsufficientBuffer);
    EXPECT_EQ(got, 4u);
    char big[8];
    ASSERT_TRUE(plat::ReadMsgQueue(q.read, big, sizeof big, &got, 0, nullptr));
    EXPECT_EQ(std::string(big, got), "1234");
    // Wrong ends are refused.
    EXPECT_FALSE(plat::WriteMsgQueue(q.read, "x", 1, 0, 0));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_FALSE(plat::ReadMsgQueue(q.write, big, sizeof big, &got, 0, nullptr));
}

TEST(MsgQueueTest, BadOptionsAreRefused) {
    plat::MsgQueueOptions options = Options(4, 0, true);
    EXPECT_FALSE(plat::CreateMsgQueue({}, &options));
    options = Options(4, 16, true);
    options.size = 12;
    EXPECT_FALSE(plat::CreateMsgQueue({}, &options));
    EXPECT_FALSE(plat::CreateMsgQueue({}, nullptr));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidParameter);
}

TEST(MsgQueueTest, ReadWaitsForAWriterOnAnotherThread) {
    QueuePair q(1, 8);
    Handle writer = plat::CreateThread(
        [&q]() {
            plat::Sleep(50);
            return plat::WriteMsgQueue(q.write, "late", 4, 1000, 0) ? 0u : 1u;
        },
        nullptr);
    EXPECT_EQ(plat::WaitForSingleObject(q.read, 10000), plat::kWaitObject0);
    char buffer[8];
    uint32_t got = 0;
    EXPECT_TRUE(plat::ReadMsgQueue(q.read, buffer, sizeof buffer, &got, 10000, nullptr));
    EXPECT_EQ(std::string(buffer, got), "late");
    plat::WaitForSingleObject(writer, plat::kInfinite);
    plat::CloseHandle(writer);
}

TEST(MsgQueueTest, QueueWithoutTheOtherEndIsBroken) {
    plat::MsgQueueOptions options = Options(4, 8, true);
    Handle read = plat::CreateMsgQueue({}, &options);
    char buffer[8];
    uint32_t got = 0;
    EXPECT_FALSE(plat::ReadMsgQueue(read, buffer, sizeof buffer, &got, 1000, nullptr));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorPipeNotConnected);
    options.readAccess = 0;
    Handle write = plat::OpenMsgQueue(0, read, &options);
    plat::CloseMsgQueue(read);
    EXPECT_FALSE(plat::WriteMsgQueue(write, "x", 1, 0, 0));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorPipeNotConnected);
    plat::CloseMsgQueue(write);
    // Allowed broken: the write is kept.
    options = Options(4, 8, false, plat::kMsgQueueAllowBroken);
    write = plat::CreateMsgQueue({}, &options);
    EXPECT_TRUE(plat::WriteMsgQueue(write, "x", 1, 0, 0));
    plat::CloseMsgQueue(write);
}

TEST(MsgQueueTest, NamedQueueIsSharedInTheProcess) {
    plat::MsgQueueOptions options = Options(4, 8, true);
    Handle read = plat::CreateMsgQueue(u"TlwTestQueue", &options);
    options.readAccess = 0;
    Handle write = plat::CreateMsgQueue(u"TlwTestQueue", &options);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAlreadyExists);
    ASSERT_TRUE(plat::WriteMsgQueue(write, "hi", 2, 0, 0));
    char buffer[8];
    uint32_t got = 0;
    EXPECT_TRUE(plat::ReadMsgQueue(read, buffer, sizeof buffer, &got, 0, nullptr));
    plat::CloseMsgQueue(write);
    plat::CloseMsgQueue(read);
}

class PowerNotifyTest : public ::testing::Test {
protected:
    // Reads one record from the queue, waiting at most timeoutMs.
    static bool ReadRecord(Handle queue, std::vector<uint8_t>* record, uint32_t timeoutMs) {
        uint8_t buffer[536];
        uint32_t got = 0;
        if (!plat::ReadMsgQueue(queue, buffer, sizeof buffer, &got, timeoutMs, nullptr)) return false;
        record->assign(buffer, buffer + got);
        return true;
    }
    // Raises a power change from another process; the number it reached.
    static int RaiseInChild() {
        pid_t pid = fork();
        if (pid == 0) _exit(plat::RaisePowerStatusChange());
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }
    TempDevice device_;
};

TEST_F(PowerNotifyTest, ChangeRaisedInAnotherProcessReachesEachQueueByKind) {
    plat::MsgQueueOptions options = Options(4, 536, true, plat::kMsgQueueNoPrecommit);
    Handle statusQueue = plat::CreateMsgQueue({}, &options);
    Handle infoQueue = plat::CreateMsgQueue({}, &options);
    Handle statusRequest = plat::RequestPowerNotifications(statusQueue, plat::kPbtPowerStatusChange);
    Handle infoRequest = plat::RequestPowerNotifications(infoQueue, plat::kPbtPowerInfoChange);
    ASSERT_TRUE(statusRequest && infoRequest);
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) {
        s.acLineStatus = 1;
        s.batteryPercent = 64;
    }));

    EXPECT_EQ(RaiseInChild(), 1);  // one listening process: this one

    std::vector<uint8_t> record;
    ASSERT_EQ(plat::WaitForSingleObject(statusQueue, 10000), plat::kWaitObject0);
    ASSERT_TRUE(ReadRecord(statusQueue, &record, 0));
    ASSERT_EQ(record.size(), sizeof(plat::PowerBroadcast));
    plat::PowerBroadcast status;
    std::memcpy(&status, record.data(), sizeof status);
    EXPECT_EQ(status.message, plat::kPbtPowerStatusChange);
    EXPECT_EQ(status.length, 0u);
    EXPECT_FALSE(ReadRecord(statusQueue, &record, 100));  // the info record went elsewhere

    ASSERT_TRUE(ReadRecord(infoQueue, &record, 10000));
    ASSERT_EQ(record.size(), plat::kPowerBroadcastDataOffset + sizeof(plat::PowerBroadcastPowerInfo));
    plat::PowerBroadcast head;
    plat::PowerBroadcastPowerInfo info;
    std::memcpy(&head, record.data(), plat::kPowerBroadcastDataOffset);
    std::memcpy(&info, record.data() + plat::kPowerBroadcastDataOffset, sizeof info);
    EXPECT_EQ(head.message, plat::kPbtPowerInfoChange);
    EXPECT_EQ(head.length, sizeof info);
    EXPECT_EQ(info.acLineStatus, 1);
    EXPECT_EQ(info.batteryLifePercent, 64);

    EXPECT_TRUE(plat::StopPowerNotifications(statusRequest));
    EXPECT_TRUE(plat::StopPowerNotifications(infoRequest));
    EXPECT_FALSE(plat::StopPowerNotifications(infoRequest));
    EXPECT_EQ(RaiseInChild(), 0);  // nobody listens any more
    EXPECT_FALSE(ReadRecord(statusQueue, &record, 0));
    plat::CloseMsgQueue(statusQueue);
    plat::CloseMsgQueue(infoQueue);
}

TEST_F(PowerNotifyTest, FullQueueDropsAndSocketsOfEndedProcessesAreRemoved) {
    plat::MsgQueueOptions options = Options(1, 536, true);
    // A process that registered and died without stopping leaves its socket.
    pid_t pid = fork();
    if (pid == 0) {
        Handle q = plat::CreateMsgQueue({}, &options);
        _exit(plat::RequestPowerNotifications(q, plat::kPowerNotifyAll) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::filesystem::path dead = device_.StateDir() / "power" / std::to_string(pid);
    EXPECT_TRUE(std::filesystem::exists(dead));

    Handle queue = plat::CreateMsgQueue({}, &options);
    Handle request = plat::RequestPowerNotifications(queue, plat::kPowerNotifyAll);
    ASSERT_TRUE(request);
    // A roomy queue beside it: both records reaching it shows that the
    // listener has delivered both, so the full queue's fate is settled.
    plat::MsgQueueOptions roomy = Options(4, 536, true);
    Handle witness = plat::CreateMsgQueue({}, &roomy);
    Handle witnessRequest = plat::RequestPowerNotifications(witness, plat::kPowerNotifyAll);
    ASSERT_TRUE(witnessRequest);
    EXPECT_EQ(plat::RaisePowerStatusChange(), 1);
    EXPECT_FALSE(std::filesystem::exists(dead));
    std::vector<uint8_t> record;
    ASSERT_TRUE(ReadRecord(witness, &record, 10000));
    ASSERT_TRUE(ReadRecord(witness, &record, 10000));
    EXPECT_TRUE(ReadRecord(queue, &record, 0));
    EXPECT_FALSE(ReadRecord(queue, &record, 0));  // the second record found the queue full
    plat::StopPowerNotifications(request);
    plat::StopPowerNotifications(witnessRequest);
    plat::CloseMsgQueue(queue);
    plat::CloseMsgQueue(witness);
}

TEST_F(PowerNotifyTest, ChangeRaisedWhileTheListenerStartsReachesTheQueue) {
    // A raiser that counts this process as reached must have delivered to its
    // queue, even when it raced the request that started the listener.
    plat::MsgQueueOptions options = Options(4, 536, true);
    for (int round = 0; round < 100; ++round) {
        Handle queue = plat::CreateMsgQueue({}, &options);
        std::atomic<bool> reached{false};
        std::thread raiser([&] {
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!reached && std::chrono::steady_clock::now() < end)
                reached = plat::RaisePowerStatusChange() >= 1;
        });
        Handle request = plat::RequestPowerNotifications(queue, plat::kPbtPowerStatusChange);
        raiser.join();
        ASSERT_TRUE(request);
        ASSERT_TRUE(reached);
        std::vector<uint8_t> record;
        ASSERT_TRUE(ReadRecord(queue, &record, 10000)) << "round " << round;
        plat::StopPowerNotifications(request);
        plat::CloseMsgQueue(queue);
    }
}

TEST_F(PowerNotifyTest, RequestNeedsAQueueAndKinds) {
    Handle event = plat::CreateEvent(false, false);
    EXPECT_FALSE(plat::RequestPowerNotifications(event, plat::kPowerNotifyAll));
    plat::MsgQueueOptions options = Options(4, 536, true);
    Handle queue = plat::CreateMsgQueue({}, &options);
    EXPECT_FALSE(plat::RequestPowerNotifications(queue, 0));
    plat::CloseMsgQueue(queue);
    plat::CloseHandle(event);
}

}  // namespace
