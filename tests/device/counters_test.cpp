// The message and mail counters: the state registry's sources, FlexMail's
// unread mail, the other-e-mail text and its accounts, the change flag and
// the texts.
#include <gtest/gtest.h>

#include <string>

#include "common/device/counters.h"
#include "platform/storage/registry.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

void SetCount(const char16_t* key, const char16_t* name, uint32_t value) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, key, name, value));
}
void SetOtherEmail(std::u16string_view text) {
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyCurrentUser, u"System\\State\\Messages\\OtherEmail\\Unread", u"Text", text));
}
constexpr char16_t kSms[] = u"System\\State\\Messages\\SMS\\Unread";
constexpr char16_t kMms[] = u"System\\State\\Messages\\MMS\\Unread";
constexpr char16_t kEmail[] = u"System\\State\\Messages\\TotalEmail\\Unread";

class CountersTest : public ::testing::Test {
protected:
    bool Read() { return ReadCountersWithAccounts(texts_, counters_, &sms_, &mail_, &flexMail_); }
    TempDevice device_;
    CounterText texts_[kCounterCount];
    int32_t counters_[kCounterCount] = {};
    MailAccountName sms_, mail_;
    bool flexMail_ = true;
};

TEST_F(CountersTest, EachCounterAddsItsSourcesAndIsShownTwoWide) {
    SetCount(kSms, u"Count", 1);
    SetCount(kSms, u"UnreadCount", 2);
    SetCount(kMms, u"Count", 3);
    SetCount(kMms, u"UnreadCount", 4);
    SetCount(kEmail, u"Count", 7);
    SetCount(u"System\\State\\Phone", u"Missed Call Count", 12);
    SetCount(u"System\\State\\Messages\\VMail\\Total\\Unread", u"Count", 0);
    bool flexMail = false;
    EXPECT_TRUE(ReadCounters(texts_, counters_, &flexMail));
    EXPECT_EQ(counters_[kCounterMessages], 10);
    EXPECT_EQ(counters_[kCounterEmail], 7);
    EXPECT_EQ(counters_[kCounterMissedCalls], 12);
    EXPECT_EQ(counters_[kCounterVoiceMail], 0);
    EXPECT_EQ(texts_[kCounterEmail], u" 7");
    EXPECT_EQ(texts_[kCounterMissedCalls], u"12");
    EXPECT_EQ(texts_[kCounterVoiceMail], u" 0");
    EXPECT_FALSE(flexMail);
    // Nothing changed since: the change flag stays down.
    EXPECT_FALSE(ReadCounters(texts_, counters_, &flexMail));
    SetCount(kEmail, u"Count", 8);
    EXPECT_TRUE(ReadCounters(texts_, counters_, &flexMail));
}

TEST_F(CountersTest, FlexMailUnreadCountsAsEmailOnlyWhenInstalled) {
    SetCount(kEmail, u"Count", 1);
    SetCount(u"Software\\WebIS\\Mail2\\Storages\\Home", u"TotalUnreadMessages", 2);
    SetCount(u"Software\\WebIS\\Mail2\\Storages\\Work", u"TotalUnreadMessages", 0);
    Read();
    EXPECT_EQ(counters_[kCounterEmail], 1);  // not installed
    EXPECT_FALSE(flexMail_);
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2\\Services", &key), 0u);
    plat::RegCloseKey(key);
    EXPECT_TRUE(Read());
    EXPECT_EQ(counters_[kCounterEmail], 3);
    EXPECT_TRUE(flexMail_);
    EXPECT_EQ(texts_[kCounterEmail], u" 3");
}

TEST_F(CountersTest, AnMmsEntryMovesItsCountToMessagesAndBecomesTheTextAccount) {
    SetCount(kSms, u"Count", 2);
    SetCount(kMms, u"Count", 1);
    SetCount(kEmail, u"Count", 5);
    SetOtherEmail(u"MMS (1)");
    Read();
    EXPECT_EQ(counters_[kCounterMessages], 4);
    EXPECT_EQ(counters_[kCounterEmail], 4);
    EXPECT_EQ(texts_[kCounterMessages], u" 4");  // the texts follow the moved count
    EXPECT_EQ(texts_[kCounterEmail], u" 4");
    EXPECT_EQ(sms_, u"MMS");
    EXPECT_EQ(mail_, u"ActiveSync");
}

TEST_F(CountersTest, MailAccountsComeFromTheOtherEmailEntries) {
    SetCount(kEmail, u"Count", 3);
    SetOtherEmail(u"Work Mail (3)");
    Read();
    EXPECT_EQ(mail_, u"Work Mail");
    EXPECT_EQ(sms_, u"SMS");
    EXPECT_EQ(counters_[kCounterEmail], 3);

    // Several entries: the last mail account wins, MMS anywhere moves its count.
    SetOtherEmail(u"Home (1);MMS (2);Work (0)");
    Read();
    EXPECT_EQ(mail_, u"Work");
    EXPECT_EQ(sms_, u"MMS");
    EXPECT_EQ(counters_[kCounterMessages], 2);
    EXPECT_EQ(counters_[kCounterEmail], 1);

    // Without the text, and with one too long for its buffer, the accounts
    // stay the defaults and the counters as read.
    ASSERT_EQ(plat::RegDeleteKey(plat::kHkeyCurrentUser, u"System\\State\\Messages\\OtherEmail"), 0u);
    Read();
    EXPECT_EQ(mail_, u"ActiveSync");
    EXPECT_EQ(sms_, u"SMS");
    SetOtherEmail(std::u16string(140, u'x') + u" (1)");
    Read();
    EXPECT_EQ(mail_, u"ActiveSync");
    EXPECT_EQ(counters_[kCounterEmail], 3);
}

TEST_F(CountersTest, MalformedOtherEmailTextsLoseNothing) {
    SetCount(kEmail, u"Count", 2);
    for (const char16_t* text : {u"", u"no parentheses", u"(5)", u"MMS (", u"MMS (x)", u"Mail (1", u"MMS (1))))"}) {
        SetOtherEmail(text);
        Read();
        EXPECT_FALSE(mail_.View().empty());
        EXPECT_GE(counters_[kCounterEmail], 1);
        EXPECT_EQ(counters_[kCounterMessages] + counters_[kCounterEmail], 2);
    }
}

}  // namespace
