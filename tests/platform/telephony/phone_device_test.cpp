// The telephony phone device: the call sequence that sets the hook-switch
// volumes, and the handles, privileges and devices it refuses.
#include "platform/telephony/phone_device.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/hardware/hardware.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

class PhoneDeviceTest : public ::testing::Test {
protected:
    void Initialise() {
        PhoneInitializeExParams params;
        params.totalSize = sizeof params;
        params.options = kPhoneInitUseEvent;
        uint32_t version = kPhoneApiVersionHighest;
        ASSERT_EQ(PhoneInitializeEx(&app_, &devices_, &version, &params), kPhoneErrNone);
        EXPECT_EQ(version, kPhoneApiVersionHighest);
        EXPECT_EQ(params.usedSize, 24u);
    }
    TempDevice device_;
    HPhoneApp app_ = 0;
    uint32_t devices_ = 0;
};

TEST_F(PhoneDeviceTest, OwnerSetsEveryHookSwitchVolume) {
    Initialise();
    ASSERT_EQ(devices_, 1u);
    uint32_t version = 0;
    ASSERT_EQ(PhoneNegotiateApiVersion(app_, 0, kPhoneApiVersionLowest, kPhoneApiVersionHighest, &version), kPhoneErrNone);
    HPhone phone = 0;
    ASSERT_EQ(PhoneOpen(app_, 0, &phone, version, kPhonePrivilegeOwner), kPhoneErrNone);
    EXPECT_EQ(PhoneSetVolume(phone, kPhoneHookSwitchHandset, 100), kPhoneErrNone);
    EXPECT_EQ(PhoneSetVolume(phone, kPhoneHookSwitchHeadset, 200), kPhoneErrNone);
    EXPECT_EQ(PhoneSetVolume(phone, kPhoneHookSwitchSpeaker, 300), kPhoneErrNone);
    EXPECT_EQ(PhoneSetVolume(phone, 3, 300), kPhoneErrInvalParam);  // not one device
    EXPECT_EQ(PhoneSetVolume(phone, kPhoneHookSwitchSpeaker, 70000), kPhoneErrInvalParam);
    uint32_t volume = 0;
    EXPECT_EQ(PhoneGetVolume(phone, kPhoneHookSwitchHeadset, &volume), kPhoneErrNone);
    EXPECT_EQ(volume, 200u);
    HardwareState h;
    ReadHardwareState(&h);
    EXPECT_EQ(h.handsetVolume, 100u);
    EXPECT_EQ(h.speakerVolume, 300u);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"phone 0 volume handset 100", "phone 0 volume headset 200",
                                                          "phone 0 volume speaker 300"}));
    EXPECT_EQ(PhoneClose(phone), kPhoneErrNone);
    EXPECT_EQ(PhoneSetVolume(phone, kPhoneHookSwitchHandset, 1), kPhoneErrInvalPhoneHandle);
    EXPECT_EQ(PhoneShutdown(app_), kPhoneErrNone);
    EXPECT_EQ(PhoneShutdown(app_), kPhoneErrInvalAppHandle);
}

TEST_F(PhoneDeviceTest, MonitorsAndStrangersAreRefused) {
    Initialise();
    HPhone phone = 0;
    ASSERT_EQ(PhoneOpen(app_, 0, &phone, kPhoneApiVersionHighest, kPhonePrivilegeMonitor), kPhoneErrNone);
    EXPECT_EQ(PhoneSetVolume(phone, kPhoneHookSwitchHandset, 1), kPhoneErrInvalParam);
    EXPECT_EQ(PhoneOpen(app_, 1, &phone, kPhoneApiVersionHighest, kPhonePrivilegeOwner), kPhoneErrBadDeviceId);
    EXPECT_EQ(PhoneOpen(app_ + 999, 0, &phone, kPhoneApiVersionHighest, kPhonePrivilegeOwner), kPhoneErrInvalAppHandle);
    uint32_t version = 0;
    EXPECT_EQ(PhoneNegotiateApiVersion(app_, 0, 0x00010000, 0x00010003, &version), kPhoneErrIncompatibleApiVersion);
    // Shutting down closes the usage's phones.
    EXPECT_EQ(PhoneShutdown(app_), kPhoneErrNone);
    EXPECT_EQ(PhoneClose(phone), kPhoneErrInvalPhoneHandle);
    EXPECT_TRUE(JournalEffects().empty());
}

TEST_F(PhoneDeviceTest, ModelWithoutAPhoneHasNoDevice) {
    std::ofstream(device_.StateDir() / "model", std::ios::binary) << "radios=wifi\n";
    Initialise();
    EXPECT_EQ(devices_, 0u);
    HPhone phone = 0;
    EXPECT_EQ(PhoneOpen(app_, 0, &phone, kPhoneApiVersionHighest, kPhonePrivilegeOwner), kPhoneErrBadDeviceId);
    PhoneShutdown(app_);
}

}  // namespace
