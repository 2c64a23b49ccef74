// The phone radio: the stored SIM PIN in its forms, switching on through the
// line (full function, the PIN when the SIM asks, registration) with a SIM
// that is slow to answer, switching off only without a call, the Talk key.
#include "common/device/phone_radio.h"

#include <fstream>
#include <iterator>
#include <string>

#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "common/device/sim_pin.h"
#include "operation_fixture.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/registry.h"

namespace {

using namespace tlw;

std::u16string Decoded(bool* ok = nullptr) {
    char16_t buffer[kSimPinBufferSize];
    bool result = DecodeSimPin(buffer);
    if (ok) *ok = result;
    return buffer;
}

class SimPinTest : public DeviceOperationTest {};

TEST_F(SimPinTest, PinsOfFourFiveSixAndEightDigitsReadBackUnchanged) {
    for (std::u16string pin : {u"0000", u"1234", u"98765", u"135790", u"90817263"}) {
        ASSERT_TRUE(EncodeSimPin(pin));
        bool ok = false;
        EXPECT_EQ(Decoded(&ok), pin);
        EXPECT_TRUE(ok);
        SimPinValues values;
        ASSERT_TRUE(ReadSimPinValues(&values));
        EXPECT_NE(values.profileFlags, kNoSimPin);
        EXPECT_EQ(values.profileFlags2, pin.size() >= 6 ? 1u : 0u);
        if (pin.size() < 6) {
            EXPECT_EQ(values.profileFlags >> 28, pin.size());
        }
    }
}

TEST_F(SimPinTest, TheEmptyFieldStoresFifteenAndReadsAsNoPin) {
    ASSERT_TRUE(EncodeSimPin(u"1234"));
    ASSERT_TRUE(EncodeSimPin(kNoSimPinText));
    SimPinValues values;
    ASSERT_TRUE(ReadSimPinValues(&values));
    EXPECT_EQ(values.profileFlags, 15u);
    EXPECT_EQ(values.profileFlags2, 0u);
    bool ok = true;
    EXPECT_EQ(Decoded(&ok), u"    ");
    EXPECT_FALSE(ok);
}

TEST_F(SimPinTest, WithoutTheKeyThereIsNoPin) {
    bool ok = true;
    EXPECT_EQ(Decoded(&ok), u"    ");
    EXPECT_FALSE(ok);
}

TEST_F(SimPinTest, AnInvalidPinIsRefusedAndTheStoredOneKept) {
    ASSERT_TRUE(EncodeSimPin(u"4321"));
    for (std::u16string bad : {u"123", u"123456789", u"12a4", u" 123"}) EXPECT_FALSE(EncodeSimPin(bad));
    EXPECT_EQ(Decoded(), u"4321");
}

TEST_F(SimPinTest, LegacyPinsAreReadAndDamagedValuesNeverOffered) {
    auto store = [](uint32_t flags, uint32_t flags2) { ASSERT_TRUE(WriteSimPinValues({flags, flags2})); };
    uint32_t legacy = 0;
    for (int i = 0; i < 4; ++i) legacy |= static_cast<uint32_t>(("2468"[i]) ^ kSimPinLegacyMask) << (8 * i);
    store(legacy, 0);
    EXPECT_EQ(Decoded(), u"2468");
    bool ok = true;
    store(0x000000F2u, 1);  // a nibble beyond the digits
    EXPECT_EQ(Decoded(&ok), u"    ");
    EXPECT_FALSE(ok);
    store(0x40000000u | (0x1Fu ^ kSimPinShortMask) , 0);  // a short-form digit of 31 ^ mask = 10
    EXPECT_EQ(Decoded(&ok), u"    ");
    EXPECT_FALSE(ok);
    store(0x30000000u, 0);  // three digits: not a form
    EXPECT_EQ(Decoded(&ok), u"    ");
    EXPECT_FALSE(ok);
}

class PhoneRadioTest : public DeviceOperationTest {
protected:
    void SetUp() override {
        UseModel("libraries=ossvcs.dll,bthutil.dll\nradios=wifi,phone,bluetooth\n");
        ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) {
            s.wifiState = 1;
            s.bluetoothMode = 1;
        }));
    }
    static plat::HardwareState Hw() {
        plat::HardwareState hw;
        plat::ReadHardwareState(&hw);
        return hw;
    }
    static void LockSim(const std::string& pin) {
        ASSERT_TRUE(plat::ChangeHardwareState([&](plat::HardwareState& s) {
            s.simPin = pin;
            s.simUnlocked = false;
        }));
    }
    std::string Log() {
        std::ifstream in(device_.Root() / "Tallowd.log", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(PhoneRadioTest, OffWithACallOnlyChecksAndSwitchesNothing) {
    ASSERT_TRUE(plat::SetCallHardware(plat::CallState::kActive));
    EXPECT_FALSE(SetPhoneRadio(false, true));
    EXPECT_FALSE(SetPhoneRadio(false, false));
    EXPECT_TRUE(IsPhoneOn());
    EXPECT_FALSE(JournalMentions("radio switch"));
}

TEST_F(PhoneRadioTest, OffWithoutACallSwitchesOnlyThePhone) {
    EXPECT_TRUE(SetPhoneRadio(false, true));
    EXPECT_TRUE(IsPhoneOn());
    EXPECT_TRUE(SetPhoneRadio(false, false));
    EXPECT_FALSE(IsPhoneOn());
    EXPECT_EQ(Hw().wifiState, 1u);
    EXPECT_EQ(Hw().bluetoothMode, 1u);
    EXPECT_TRUE(Journalled("radio switch phone off"));
    EXPECT_FALSE(JournalMentions("radio switch Wi-Fi"));
}

TEST_F(PhoneRadioTest, WithoutTheSwitchLibraryOffDoesNothingAndReportsSuccess) {
    UseModel("libraries=bthutil.dll\nradios=phone\n");
    EXPECT_TRUE(SetPhoneRadio(false, false));
    EXPECT_TRUE(IsPhoneOn());
}

TEST_F(PhoneRadioTest, OnBringsTheLineUpUnlocksTheSimAndRegisters) {
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    LockSim("2580");
    ASSERT_TRUE(EncodeSimPin(u"2580"));
    ASSERT_TRUE(WriteTallowinDword(u"LogMode", 4));
    EXPECT_TRUE(SetPhoneRadio(true, false));
    EXPECT_TRUE(IsPhoneOn());
    EXPECT_TRUE(Hw().simUnlocked);
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{3000});
    std::vector<std::string> effects = JournalEffects();
    std::vector<std::string> expected = {"line 0 open, owner, media 0x10", "line equipment state 5", "SIM unlock: unlocked",
                                         "network registration automatic: registered", "line 0 closed"};
    EXPECT_EQ(std::vector<std::string>(effects.end() - 5, effects.end()), expected);
    EXPECT_NE(Log().find("Phone ON/OFF step 2: err 0"), std::string::npos);
    EXPECT_NE(Log().find("Phone ON/OFF registration result 0"), std::string::npos);
}

TEST_F(PhoneRadioTest, ASlowSimIsAskedAgainEverySecondUpToFiveTimes) {
    UseModel("libraries=ossvcs.dll\nradios=phone\nsim_busy_reads=3\n");
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    LockSim("1111");
    ASSERT_TRUE(EncodeSimPin(u"1111"));
    SetPhoneRadio(true, false);
    EXPECT_EQ(TakeSleeps(), (std::vector<uint32_t>{3000, 1000, 1000, 1000}));
    EXPECT_TRUE(Hw().simUnlocked);

    // A SIM that does not answer within six reads is not offered the PIN;
    // registration is still asked for.
    UseModel("libraries=ossvcs.dll\nradios=phone\nsim_busy_reads=6\n");
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    SetPhoneRadio(true, false);
    EXPECT_EQ(TakeSleeps(), (std::vector<uint32_t>{3000, 1000, 1000, 1000, 1000, 1000}));
    EXPECT_FALSE(Hw().simUnlocked);
    EXPECT_EQ(JournalEffects().end()[-2], "network registration automatic: SIM locked");
}

TEST_F(PhoneRadioTest, ALockedSimWithoutAStoredPinStaysLocked) {
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    LockSim("2580");
    SetPhoneRadio(true, false);
    EXPECT_TRUE(IsPhoneOn());
    EXPECT_FALSE(Hw().simUnlocked);
    EXPECT_FALSE(JournalMentions("SIM unlock"));
    // A wrong PIN is refused by the SIM.
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    ASSERT_TRUE(EncodeSimPin(u"0000"));
    SetPhoneRadio(true, false);
    EXPECT_TRUE(Journalled("SIM unlock: wrong PIN"));
    EXPECT_FALSE(Hw().simUnlocked);
}

TEST_F(PhoneRadioTest, WithoutAPhoneTheLineDoesNotOpen) {
    UseModel("libraries=ossvcs.dll\nradios=wifi\n");
    EXPECT_TRUE(SetPhoneRadio(true, false));
    EXPECT_TRUE(TakeSleeps().empty());
    EXPECT_FALSE(JournalMentions("line 0"));
}

TEST_F(PhoneRadioTest, TheTalkKeyAnswersARingingCallAfterItsWait) {
    ASSERT_TRUE(plat::SetCallHardware(plat::CallState::kOffered));
    PressTalkKey(5);
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{5000});
    std::vector<std::string> effects = JournalEffects();
    EXPECT_EQ(std::vector<std::string>(effects.end() - 3, effects.end()),
              (std::vector<std::string>{"key 0x72 down", "key 0x72 up", "call answered"}));
    EXPECT_EQ(Hw().call, plat::CallState::kActive);
    uint32_t calls = 0;
    plat::RegReadDword(plat::kHkeyLocalMachine, kStatePhoneKey, u"Active Call Count", &calls);
    EXPECT_EQ(calls, 1u);
    CallOssvcs218();
    EXPECT_TRUE(Journalled("ossvcs 218 (1)"));
}

}  // namespace
