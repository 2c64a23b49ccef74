#include "common/device/counters.h"

#include <string>

#include "base/text.h"
#include "common/device/flexmail.h"
#include "platform/storage/registry.h"

namespace tlw {
namespace {

constexpr char16_t kSmsKey[] = u"System\\State\\Messages\\SMS\\Unread";          // all under HKCU
constexpr char16_t kMmsKey[] = u"System\\State\\Messages\\MMS\\Unread";
constexpr char16_t kEmailKey[] = u"System\\State\\Messages\\TotalEmail\\Unread";
constexpr char16_t kPhoneKey[] = u"System\\State\\Phone";
constexpr char16_t kVoiceMailKey[] = u"System\\State\\Messages\\VMail\\Total\\Unread";
constexpr char16_t kOtherEmailKey[] = u"System\\State\\Messages\\OtherEmail\\Unread";
constexpr char16_t kMmsAccount[] = u"MMS";
// The other-e-mail text is read into 260 bytes: 129 characters and the
// terminator. A longer text does not fit and counts as unreadable.
constexpr size_t kOtherEmailMaxChars = 129;

// A DWORD of the state registry; a missing value counts 0.
int32_t StateCount(std::u16string_view key, std::u16string_view name) {
    uint32_t v = 0;
    plat::RegReadDword(plat::kHkeyCurrentUser, key, name, &v);
    return static_cast<int32_t>(v);
}

// The number at the start of text (digits only, saturating); 0 when there
// is none.
int32_t LeadingNumber(std::u16string_view text) {
    int64_t v = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        v = v * 10 + (text[i] - u'0');
        if (v > INT32_MAX) return INT32_MAX;
    }
    return static_cast<int32_t>(v);
}

}  // namespace

bool ReadCounters(CounterText texts[kCounterCount], int32_t counters[kCounterCount], bool* flexMailUnread) {
    int32_t before[kCounterCount];
    for (int i = 0; i < kCounterCount; ++i) {
        before[i] = counters[i];
        counters[i] = 0;
    }
    counters[kCounterMessages] = StateCount(kSmsKey, u"Count") + StateCount(kSmsKey, u"UnreadCount") +
                                 StateCount(kMmsKey, u"Count") + StateCount(kMmsKey, u"UnreadCount");
    counters[kCounterEmail] = StateCount(kEmailKey, u"Count");
    if (FlexMailInstalled()) {
        FlexMailStorageName storage;
        int32_t unread = FlexMailUnread(&storage);
        counters[kCounterEmail] += unread;
        if (unread > 0) *flexMailUnread = true;
    }
    counters[kCounterMissedCalls] = StateCount(kPhoneKey, u"Missed Call Count");
    counters[kCounterVoiceMail] = StateCount(kVoiceMailKey, u"Count");
    bool changed = false;
    for (int i = 0; i < kCounterCount; ++i) {
        texts[i] = Format(u"%2d", {counters[i]});
        if (counters[i] != before[i]) changed = true;
    }
    return changed;
}

bool ReadCountersWithAccounts(CounterText texts[kCounterCount], int32_t counters[kCounterCount],
                              MailAccountName* smsAccount, MailAccountName* mailAccount, bool* flexMailUnread) {
    *smsAccount = kDefaultSmsAccount;
    *mailAccount = kDefaultMailAccount;
    *flexMailUnread = false;
    bool changed = ReadCounters(texts, counters, flexMailUnread);

    std::u16string other;
    if (!plat::RegReadString(plat::kHkeyCurrentUser, kOtherEmailKey, u"Text", &other) ||
        other.size() > kOtherEmailMaxChars)
        return changed;
    // Entries follow one another as "NAME (COUNT)" and one separating
    // character: "MMS (1);Work (3)".
    std::u16string_view text(other);
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find(u'(', at);
        if (open == std::u16string_view::npos) break;
        std::u16string_view name = text.substr(at, open - at);
        if (!name.empty() && name.back() == u' ') name.remove_suffix(1);  // the blank before "("
        size_t close = text.find(u')', open);
        if (name == kMmsAccount) {
            *smsAccount = name;
            int32_t mms = LeadingNumber(text.substr(open + 1, close == std::u16string_view::npos ? std::u16string_view::npos
                                                                                                : close - open - 1));
            counters[kCounterMessages] += mms;
            counters[kCounterEmail] -= mms;
        } else if (!name.empty()) {
            *mailAccount = name;
        }
        if (close == std::u16string_view::npos) break;
        at = close + 2;
    }
    // The texts show the counters as they now stand.
    for (int i = 0; i < kCounterCount; ++i) texts[i] = Format(u"%2d", {counters[i]});
    return changed;
}

}  // namespace tlw
