// The shared registry state: defaults of missing values, encodings, and the
// order in which the running profile is published.
#include "common/config/registry_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/config/registry_key.h"
#include "platform/storage/registry.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

std::vector<std::u16string> g_written;  // value names in the order the registry reported them
void RecordWrite(plat::HKey, const std::u16string&, const std::u16string& name) { g_written.push_back(name); }

class RegistryStateTest : public ::testing::Test {
protected:
    void TearDown() override { plat::SetRegistryChangeHook(nullptr); }
    TempDevice device_;
};

TEST_F(RegistryStateTest, MissingKeyReadsEveryDefault) {
    EXPECT_EQ(ReadRunningProfile(), 700);
    EXPECT_EQ(ReadManualProfile(), 700);
    EXPECT_EQ(ReadLastManualProfile(), 700);
    EXPECT_EQ(ReadManualTimeOut(), 0u);
    EXPECT_FALSE(ReadLocked());
    EXPECT_EQ(ReadAlreadyReset(), 1u);
    EXPECT_EQ(ReadRunProcess(), 0u);
    EXPECT_FALSE(ReadRotateBeforeRun());
    EXPECT_EQ(ReadBrightNess(), 1u);
    EXPECT_FALSE(ReadNotUseHTCutil());
    EXPECT_EQ(ReadFlags2(), 0u);
    EXPECT_EQ(ReadLogMode(), 0u);
    SimPinValues pin;
    pin.profileFlags = 1234;
    EXPECT_FALSE(ReadSimPinValues(&pin));  // the key does not open
    EXPECT_EQ(pin.profileFlags, 1234u);
}

TEST_F(RegistryStateTest, MissingValuesInAnExistingKeyReadAsDefaults) {
    ASSERT_TRUE(WriteTallowinDword(u"Unrelated", 5));
    EXPECT_EQ(ReadRunningProfile(), 700);
    EXPECT_EQ(ReadManualProfile(), 700);
    EXPECT_EQ(ReadLastManualProfile(), 700);
    EXPECT_EQ(ReadAlreadyReset(), 1u);
    SimPinValues pin;
    EXPECT_TRUE(ReadSimPinValues(&pin));  // the key opens; both values keep their defaults
    EXPECT_EQ(pin.profileFlags, kNoSimPin);
    EXPECT_EQ(pin.profileFlags2, 0u);
}

TEST_F(RegistryStateTest, ValueOfAnotherTypeReadsAsDefault) {
    ASSERT_TRUE(WriteTallowinString(kRunningProfileValue, u"3"));
    EXPECT_EQ(ReadRunningProfile(), 700);
}

TEST_F(RegistryStateTest, ValuesRoundTrip) {
    EXPECT_TRUE(WriteManualProfile(4));
    EXPECT_TRUE(WriteLastManualProfile(2));
    EXPECT_TRUE(WriteManualTimeOut(401795000));
    EXPECT_TRUE(WriteAlreadyReset(0));
    EXPECT_TRUE(WriteRunProcess(0x1234));
    EXPECT_TRUE(WriteBrightNess(0));
    EXPECT_TRUE(WriteFlags2(1));
    EXPECT_TRUE(WriteSimPinValues({0x12345678, 1}));
    EXPECT_EQ(ReadManualProfile(), 4);
    EXPECT_EQ(ReadLastManualProfile(), 2);
    EXPECT_EQ(ReadManualTimeOut(), 401795000u);
    EXPECT_EQ(ReadAlreadyReset(), 0u);
    EXPECT_EQ(ReadRunProcess(), 0x1234u);
    EXPECT_EQ(ReadBrightNess(), 0u);
    EXPECT_EQ(ReadFlags2(), 1u);
    SimPinValues pin;
    ASSERT_TRUE(ReadSimPinValues(&pin));
    EXPECT_EQ(pin.profileFlags, 0x12345678u);
    EXPECT_EQ(pin.profileFlags2, 1u);
}

TEST_F(RegistryStateTest, UserSwitchesReadAsTheyAreMeant) {
    // Locked and RotateBeforeRun count only as 1; NotUseHTCutil as any non-zero.
    WriteTallowinDword(kLockedValue, 2);
    WriteTallowinDword(kRotateBeforeRunValue, 2);
    WriteTallowinDword(kNotUseHTCutilValue, 2);
    EXPECT_FALSE(ReadLocked());
    EXPECT_FALSE(ReadRotateBeforeRun());
    EXPECT_TRUE(ReadNotUseHTCutil());
    EXPECT_TRUE(WriteLocked(true));
    uint32_t raw = 0;
    ASSERT_TRUE(ReadTallowinDword(kLockedValue, &raw));
    EXPECT_EQ(raw, 1u);
    EXPECT_TRUE(ReadLocked());
    WriteTallowinDword(kLogModeValue, 5);
    EXPECT_EQ(ReadLogMode(), 5u);
}

TEST_F(RegistryStateTest, RunningProfileIsPublishedInOrder) {
    g_written.clear();
    plat::SetRegistryChangeHook(&RecordWrite);
    WriteRunningProfile(3, u"Car", u"\\Icons\\car.png", 0);
    plat::SetRegistryChangeHook(nullptr);
    std::vector<std::u16string> expected = {kRunningProfileValue, kRunningProfileTypeValue, kRunningProfileNameValue,
                                            kRunningProfileIconValue};
    EXPECT_EQ(g_written, expected);
    EXPECT_EQ(ReadRunningProfile(), 3);
    std::u16string name, icon;
    ASSERT_TRUE(ReadTallowinString(kRunningProfileNameValue, &name));
    ASSERT_TRUE(ReadTallowinString(kRunningProfileIconValue, &icon));
    EXPECT_EQ(name, u"Car");
    EXPECT_EQ(icon, u"\\Icons\\car.png");

    WriteRunningProfile(700, kNoRunningProfileName, u"", 0);
    EXPECT_EQ(ReadRunningProfile(), 700);
    ASSERT_TRUE(ReadTallowinString(kRunningProfileIconValue, &icon));
    EXPECT_EQ(icon, u"");
}

TEST(ManualTimeOutEncoding, OleDateTimesTenThousand) {
    plat::SystemTime noon{2010, 1, 0, 1, 12, 0, 0, 0};
    EXPECT_EQ(EncodeManualTimeOut(noon), 401795000u);
    plat::SystemTime back;
    ASSERT_TRUE(DecodeManualTimeOut(401795000u, &back));
    EXPECT_EQ(back.year, 2010);
    EXPECT_EQ(back.month, 1);
    EXPECT_EQ(back.day, 1);
    EXPECT_EQ(back.hour, 12);
    EXPECT_EQ(back.minute, 0);
    // One minute is 6.94 units: truncated, not rounded.
    plat::SystemTime later = noon;
    later.minute = 1;
    EXPECT_EQ(EncodeManualTimeOut(later), 401795006u);
    // Times before 1900 or beyond the 32-bit range have no encoding.
    EXPECT_EQ(EncodeManualTimeOut({1899, 12, 0, 29, 0, 0, 0, 0}), 0u);
    EXPECT_EQ(EncodeManualTimeOut({3200, 1, 0, 1, 0, 0, 0, 0}), 0u);
    EXPECT_EQ(EncodeManualTimeOut({2010, 13, 0, 1, 0, 0, 0, 0}), 0u);
    EXPECT_FALSE(DecodeManualTimeOut(0, &back));
}

}  // namespace
