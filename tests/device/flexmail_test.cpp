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
