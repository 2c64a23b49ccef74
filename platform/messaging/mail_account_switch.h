// The messaging library's account switch: brings the phone's inbox program
// to the front on one messaging account ("SMS", "ActiveSync", an e-mail
// account's name). The simulated inbox journals the switch
// ("inbox shows account NAME") and remembers the account it shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Shows the inbox of the account. False (kErrorInvalidParameter) for an
// empty name.
bool MailSwitchToAccount(std::u16string_view account, uint32_t flags);
// The account the inbox last showed; empty when it never opened.
std::u16string InboxAccount();

}  // namespace plat
