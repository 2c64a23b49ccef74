// The messaging library's account switch: opens the phone's messaging
// program ("\Windows\tmail.exe") on one of its accounts ("SMS", "MMS",
// "ActiveSync", an e-mail account's name).
//
// A switch that took place is journalled as "mail switch to account NAME". When the
// messaging program's window (class "tmail") is already open it is brought to
// the front; otherwise the program is started with the command line
// `-service "NAME"`.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

inline constexpr char16_t kMessagingProgram[] = u"\\Windows\\tmail.exe";
inline constexpr char16_t kMessagingWindowClass[] = u"tmail";

// Results (HRESULT values).
enum : uint32_t {
    kMailSwitchOk = 0,
    kMailSwitchInvalidArg = 0x80070057u,  // an empty or over-long account name
    kMailSwitchFail = 0x80004005u,        // the messaging program could not be started
};

// Longest account name accepted, in characters.
inline constexpr size_t kMailAccountNameMax = 255;

// Switches the messaging program to the account (flags are accepted and
// have no further effect on the simulated phone).
uint32_t MailSwitchToAccount(std::u16string_view account, uint32_t flags);

}  // namespace plat
