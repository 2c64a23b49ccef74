// "Phone.dll" PhoneMakeCall as a program reaches it: through the library,
// journalled with the number, connecting the call; refused requests dial
// nothing.
#include <gtest/gtest.h>

#include "platform/hardware/hardware.h"
#include "platform/hardware/library.h"
#include "platform/telephony/phone_make_call.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

class PhoneMakeCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibrary(u"Phone.dll");  // the default model carries it
        ASSERT_NE(module_, 0u);
        call_ = reinterpret_cast<PhoneMakeCallFn>(GetProcAddress(module_, "PhoneMakeCall"));
        ASSERT_NE(call_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }
    int32_t Dial(const char16_t* number, uint32_t flags) {
        PhoneMakeCallInfo info;
        info.dwFlags = flags;
        info.pszDestAddress = number;
        return call_(&info);
    }
    std::vector<std::string> Dialled() {
        std::vector<std::string> out;
        for (const std::string& e : JournalEffects())
            if (e.rfind("phone make call", 0) == 0) out.push_back(e);
        return out;
    }
    TempDevice device_;
    HModule module_ = 0;
    PhoneMakeCallFn call_ = nullptr;
};

TEST_F(PhoneMakeCallTest, DialsTheNumberAndConnectsTheCall) {
    EXPECT_EQ(Dial(u"+49 171 555-0100", kPmcfPromptBeforeCalling), kPhoneMakeCallOk);
    HardwareState state;
    ASSERT_TRUE(ReadHardwareState(&state));
    EXPECT_EQ(state.call, CallState::kActive);
    EXPECT_EQ(Dial(u"222", kPmcfDefault), kPhoneMakeCallBusy);  // one call at a time
    ASSERT_TRUE(SetCallHardware(CallState::kNone));
    EXPECT_EQ(Dial(u"*100#", kPmcfDefault), kPhoneMakeCallOk);
    EXPECT_EQ(Dialled(), (std::vector<std::string>{"phone make call +49 171 555-0100 prompt", "phone make call *100#"}));
}

TEST_F(PhoneMakeCallTest, RefusesBadRequestsAndARadioThatIsOff) {
    EXPECT_EQ(Dial(u"", kPmcfDefault), kPhoneMakeCallInvalidParameter);
    EXPECT_EQ(Dial(u"call me", kPmcfDefault), kPhoneMakeCallInvalidParameter);
    EXPECT_EQ(Dial(u"+-()", kPmcfDefault), kPhoneMakeCallInvalidParameter);  // no digit
    EXPECT_EQ(Dial(u"123", 0x10), kPhoneMakeCallInvalidParameter);
    PhoneMakeCallInfo small;
    small.cbSize = 8;
    small.pszDestAddress = u"123";
    EXPECT_EQ(call_(&small), kPhoneMakeCallInvalidParameter);
    EXPECT_EQ(call_(nullptr), kPhoneMakeCallInvalidParameter);
    ASSERT_TRUE(SetPhoneRadioHardware(false));
    EXPECT_EQ(Dial(u"123", kPmcfDefault), kPhoneMakeCallNotReady);
    EXPECT_TRUE(Dialled().empty());
    HardwareState state;
    ASSERT_TRUE(ReadHardwareState(&state));
    EXPECT_EQ(state.call, CallState::kNone);
}

}  // namespace
