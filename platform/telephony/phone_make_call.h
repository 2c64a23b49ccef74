// "Phone.dll" `PhoneMakeCall`: dials a number for a program, optionally
// asking the user first. A device model that carries "Phone.dll" offers the
// entry by name; a program loads the library, resolves "PhoneMakeCall" and
// calls it through PhoneMakeCallFn.
//
// The simulated phone records the request in the device journal as
// "phone make call NUMBER" (with " prompt" when the user is asked first)
// and connects the call: the line shows an active call until it is hung up
// (`tlwsim hw call=none`). A request while the phone radio is off or a call
// is already connected dials nothing and fails.
#pragma once

#include <cstdint>

namespace plat {

// Flags of the request.
enum : uint32_t {
    kPmcfDefault = 0x1,             // dial at once
    kPmcfPromptBeforeCalling = 0x2, // ask the user before dialling
};

// Results.
enum : int32_t {
    kPhoneMakeCallOk = 0,
    kPhoneMakeCallInvalidParameter = 87,  // a bad record size, flag or number
    kPhoneMakeCallNotReady = 21,          // the phone radio is off
    kPhoneMakeCallBusy = 170,             // a call is connected already
};

// The request (24 bytes on the phone, whose pointers are 32 bits wide).
struct PhoneMakeCallInfo {
    uint32_t cbSize = sizeof(PhoneMakeCallInfo);  // size of this record
    uint32_t dwFlags = 0;                          // kPmcf... flags
    const char16_t* pszDestAddress = nullptr;      // the number to dial
    const char16_t* pszAppName = nullptr;          // unused, null
    const char16_t* pszCalledParty = nullptr;      // name shown for the number, may be null
    const char16_t* pszComment = nullptr;          // unused, null
};

// The entry's type, for GetProcAddress(module, "PhoneMakeCall").
using PhoneMakeCallFn = int32_t (*)(PhoneMakeCallInfo* info);

// The entry itself. The number may hold digits, "+", "*", "#", "p", "w",
// blanks, dashes and parentheses, 1 ... 64 characters.
int32_t PhoneMakeCall(PhoneMakeCallInfo* info);

}  // namespace plat
