// Detecting the FlexMail client.
#include <gtest/gtest.h>

#include "common/device/flexmail.h"
#include "platform/storage/registry.h"
#include "support/temp_device.h"

namespace {

TEST(FlexMail, InstalledWhenItsServicesKeyExists) {
    TempDevice device;
    tlw::PathString program;
    EXPECT_FALSE(tlw::FindFlexMail(&program));
    plat::RegWriteString(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2", u"InstallDir", u"\\Program Files\\FlexMail");
    EXPECT_FALSE(tlw::FindFlexMail(&program));  // the folder alone is not an installation
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2\\Services", &key), 0u);
    plat::RegCloseKey(key);
    ASSERT_TRUE(tlw::FindFlexMail(&program));
    EXPECT_EQ(program, u"\\Program Files\\FlexMail\\flexmail.exe");
}

}  // namespace

namespace {

void SetStorage(const char16_t* name, uint32_t unread) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, std::u16string(u"Software\\WebIS\\Mail2\\Storages\\") + name,
                                    u"TotalUnreadMessages", unread));
}

TEST(FlexMail, UnreadMailIsSummedOverStoragesAndNamesTheLastWithMail) {
    TempDevice device;
    tlw::FlexMailStorageName storage;
    storage = u"(none)";
    EXPECT_EQ(tlw::FlexMailUnread(&storage), 0);  // no storages key
    EXPECT_EQ(storage, u"(none)");
    SetStorage(u"Home", 2);
    SetStorage(u"Work", 0);
    EXPECT_EQ(tlw::FlexMailUnread(&storage), 2);
    EXPECT_EQ(storage, u"Home");
    SetStorage(u"Club", 3);
    plat::HKey key = 0;  // a storage without the value counts nothing
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, u"Software\\WebIS\\Mail2\\Storages\\Empty", &key), 0u);
    plat::RegCloseKey(key);
    EXPECT_EQ(tlw::FlexMailUnread(&storage), 5);
    EXPECT_TRUE(storage == u"Home" || storage == u"Club");
}

TEST(FlexMail, SmsRuleAndInboxProgram) {
    TempDevice device;
    EXPECT_FALSE(tlw::FlexMailHandlesSms());
    EXPECT_FALSE(tlw::InboxIsNotTmail());  // unknown inbox
    const char16_t* rules = u"Software\\Microsoft\\Inbox\\Svc\\SMS\\Rules";
    const char16_t* rule = u"{A6A3B2C6-3F82-467a-9F23-825E7131EC81}";
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, rules, rule, 2));
    EXPECT_FALSE(tlw::FlexMailHandlesSms());
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, rules, rule, 1));
    EXPECT_TRUE(tlw::FlexMailHandlesSms());
    const char16_t* rai = u"Software\\Microsoft\\Shell\\Rai\\:MSINBOX";
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyLocalMachine, rai, u"0", u"TMAIL"));
    EXPECT_FALSE(tlw::InboxIsNotTmail());
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyLocalMachine, rai, u"0", u"FLEXMAIL"));
    EXPECT_TRUE(tlw::InboxIsNotTmail());
}

TEST(FlexMail, StartFailsWithoutTheProgram) {
    TempDevice device;
    EXPECT_FALSE(tlw::StartFlexMail(tlw::PathString()));
    tlw::PathString program;
    program = u"\\Program Files\\FlexMail\\flexmail.exe";
    EXPECT_FALSE(tlw::StartFlexMail(program));
}

}  // namespace
