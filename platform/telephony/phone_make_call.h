// "Phone.dll" PhoneMakeCall: asks the phone application to dial a number,
// optionally prompting the user first. The simulated phone journals the
// request ("PhoneMakeCall NUMBER", with " (prompt)" when it asks first).
#pragma once

#include <cstdint>

namespace plat {

// PhoneMakeCallInfo::flags.
constexpr uint32_t kPmcfDefault = 0x1;
constexpr uint32_t kPmcfPromptBeforeCalling = 0x2;
// The size the device's library expects in PhoneMakeCallInfo::size.
constexpr uint32_t kPhoneMakeCallInfoSize = 24;

// The request, as the library takes it.
struct PhoneMakeCallInfo {
    uint32_t size = kPhoneMakeCallInfoSize;  // must be kPhoneMakeCallInfoSize
    uint32_t flags = 0;                      // kPmcf* bits
    const char16_t* destAddress = nullptr;   // the number to dial
    const char16_t* appName = nullptr;       // unused
    const char16_t* calledParty = nullptr;   // name shown while dialling; may be null
    const char16_t* comment = nullptr;       // unused
};

// The library's entry name.
inline constexpr const char* kPhoneMakeCallEntry = "PhoneMakeCall";
using PhoneMakeCallFn = int32_t (*)(PhoneMakeCallInfo* info);

// 0 on success; kErrorInvalidParameter for a missing request or number or a
// wrong size.
int32_t PhoneMakeCall(PhoneMakeCallInfo* info);

}  // namespace plat
