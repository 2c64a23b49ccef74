#include "platform/messaging/mail_account_switch.h"

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

// Where the simulated inbox keeps the account it shows.
constexpr char16_t kInboxKey[] = u"Software\\Microsoft\\Inbox\\Settings";
constexpr char16_t kInboxAccountValue[] = u"LastAccount";

}  // namespace

bool MailSwitchToAccount(std::u16string_view account, uint32_t) {
    if (account.empty()) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    RegWriteString(kHkeyCurrentUser, kInboxKey, kInboxAccountValue, account);
    JournalAppend("inbox shows account " + tlw::Utf16ToUtf8(account));
    return true;
}

std::u16string InboxAccount() {
    std::u16string account;
    RegReadString(kHkeyCurrentUser, kInboxKey, kInboxAccountValue, &account);
    return account;
}

}  // namespace plat
