// The messaging account switch refuses names it cannot hand on and fails
// without the messaging program (the switch itself is shown by the
// console's process tests).
#include <gtest/gtest.h>

#include <string>

#include "platform/messaging/mail_accounts.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

TEST(MailAccountsTest, FailsWithoutTheMessagingProgramAndRefusesBadNames) {
    TempDevice device;  // no programs installed
    EXPECT_EQ(MailSwitchToAccount(u"MMS", 0), kMailSwitchFail);
    EXPECT_EQ(MailSwitchToAccount(u"", 0), kMailSwitchInvalidArg);
    EXPECT_EQ(MailSwitchToAccount(std::u16string(256, u'a'), 0), kMailSwitchInvalidArg);
    for (const std::string& effect : JournalEffects()) EXPECT_EQ(effect.find("mail switch"), std::string::npos);
}

}  // namespace
