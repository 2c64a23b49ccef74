// The message and mail counters of the popup menu and the Today item:
// unread text and multimedia messages, unread e-mail (with the FlexMail
// client's unread mail), missed calls and unread voice mail, read from the
// phone's state registry, and the messaging accounts to open when a counter
// is tapped.
#pragma once

#include <cstdint>

#include "base/fixed_string.h"

namespace tlw {

// The counters, in this order.
enum CounterIndex : int { kCounterMessages = 0, kCounterEmail, kCounterMissedCalls, kCounterVoiceMail, kCounterCount };

// A counter as shown: the number formatted with "%2d".
using CounterText = FixedString<6>;
// An account name handed to the messaging program.
using MailAccountName = FixedString<130>;

inline constexpr char16_t kDefaultSmsAccount[] = u"SMS";
inline constexpr char16_t kDefaultMailAccount[] = u"ActiveSync";

// Refreshes the four counters and their texts. *flexMailUnread is set (and
// never cleared) when FlexMail is installed and holds unread mail. Returns
// true when any counter differs from the value passed in.
bool ReadCounters(CounterText texts[kCounterCount], int32_t counters[kCounterCount], bool* flexMailUnread);

// As ReadCounters, after setting the accounts to "SMS" and "ActiveSync" and
// clearing *flexMailUnread; then applies the other-e-mail text: the last
// account named there other than "MMS" becomes the e-mail account, and an
// "MMS" entry becomes the text-message account with its count moved from
// the e-mail counter to the message counter. Returns ReadCounters' result.
bool ReadCountersWithAccounts(CounterText texts[kCounterCount], int32_t counters[kCounterCount],
                              MailAccountName* smsAccount, MailAccountName* mailAccount, bool* flexMailUnread);

}  // namespace tlw
