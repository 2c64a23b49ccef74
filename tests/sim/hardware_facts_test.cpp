// Hardware facts changed in-process: power changes reach the programs as the
// power manager's notification; other facts and refused changes do not.
#include "sim/hardware_facts.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel/msg_queue.h"
#include "platform/power/power_notify.h"
#include "sim/install_model.h"
#include "support/temp_device.h"

namespace {

class HardwareFactsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::InstallDeviceModel("generic-qvga", &error)) << error;
        plat::MsgQueueOptions options;
        options.maxMessages = 8;
        options.maxMessageSize = 536;
        options.readAccess = 1;
        queue_ = plat::CreateMsgQueue({}, &options);
        ASSERT_TRUE(queue_);
        request_ = plat::RequestPowerNotifications(queue_, plat::kPowerNotifyAll);
        ASSERT_TRUE(request_);
    }
    void TearDown() override {
        plat::StopPowerNotifications(request_);
        plat::CloseMsgQueue(queue_);
    }
    // Power notification records that arrive within timeoutMs of each other.
    int Records(uint32_t timeoutMs) {
        int count = 0;
        std::vector<uint8_t> buffer(536);
        uint32_t read = 0;
        while (plat::ReadMsgQueue(queue_, buffer.data(), static_cast<uint32_t>(buffer.size()), &read, timeoutMs, nullptr))
            ++count;
        return count;
    }
    bool Apply(std::vector<sim::FactChange> changes) {
        std::string error;
        return sim::ApplyHardwareFacts(changes, &error);
    }

    TempDevice device_;
    plat::Handle queue_;    // this process's power notification queue
    plat::Handle request_;  // its registration
};

TEST_F(HardwareFactsTest, PowerChangesNotifyOtherFactsDoNot) {
    ASSERT_TRUE(Apply({{"ac", "on"}, {"charging", "on"}}));
    EXPECT_GE(Records(1000), 1);
    ASSERT_TRUE(Apply({{"cradle", "on"}, {"headset", "on"}}));
    EXPECT_EQ(Records(200), 0);
    ASSERT_TRUE(Apply({{"ac", "on"}}));  // no change: no notification
    EXPECT_EQ(Records(200), 0);
    EXPECT_FALSE(Apply({{"battery", "20"}, {"colour", "red"}}));
    EXPECT_EQ(Records(200), 0);
}

}  // namespace
