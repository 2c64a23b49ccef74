// Opening the messaging programs on a device made by tlwsim: the messaging
// account switch starts the messaging program once and then brings it to
// the front; FlexMail starts once its registry says it is installed.
#include <gtest/gtest.h>

#include "common/device/flexmail.h"
#include "platform/messaging/mail_accounts.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

bool JournalHas(const std::string& text) {
    for (const std::string& line : plat::JournalRead())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

int JournalCount(const std::string& text) {
    int n = 0;
    for (const std::string& line : plat::JournalRead())
        if (line.find(text) != std::string::npos) ++n;
    return n;
}

TEST(MessagingProcessTest, AccountSwitchOpensTheMessagingProgramOnce) {
    SimDevice device;
    ASSERT_TRUE(device.Ready());
    ASSERT_TRUE(plat::SetDevice(device.Dir()));
    ASSERT_EQ(plat::MailSwitchToAccount(u"MMS", 0), plat::kMailSwitchOk);
    ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(plat::kMessagingWindowClass, nullptr)); }));
    EXPECT_TRUE(JournalHas("start \\Windows\\tmail.exe -service \"MMS\""));
    ASSERT_EQ(plat::MailSwitchToAccount(u"ActiveSync", 0), plat::kMailSwitchOk);
    EXPECT_EQ(JournalCount("start \\Windows\\tmail.exe"), 1);
    EXPECT_TRUE(JournalHas("mail switch to account MMS"));
    EXPECT_TRUE(JournalHas("mail switch to account ActiveSync"));
}

TEST(MessagingProcessTest, FlexMailStartsOnceInstalled) {
    SimDevice device;
    ASSERT_TRUE(device.Ready());
    ASSERT_TRUE(plat::SetDevice(device.Dir()));
    tlw::PathString program;
    EXPECT_FALSE(tlw::FindFlexMail(&program));  // its program file alone is no installation
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2", u"InstallDir",
                                     u"\\Program Files\\FlexMail"));
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2\\Services", &key), 0u);
    plat::RegCloseKey(key);
    ASSERT_TRUE(tlw::FindFlexMail(&program));
    ASSERT_TRUE(tlw::StartFlexMail(program));
    EXPECT_TRUE(WaitUntil([] { return bool(plat::FindWindow(u"flexmail", nullptr)); }));
    EXPECT_TRUE(JournalHas("start \\Program Files\\FlexMail\\flexmail.exe"));
}

}  // namespace
