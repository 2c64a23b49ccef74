// Small system queries: the OEM string through the system-parameter query,
// the ready checks, the screen metrics and the random number.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/hardware/device_model.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/window/system_info.h"
#include "support/temp_device.h"

namespace {

class SystemInfoTest : public ::testing::Test {
protected:
    TempDevice device_;
};

TEST_F(SystemInfoTest, OemInfoComesFromTheModelCutToTheBuffer) {
    std::ofstream(plat::DeviceModelPath()) << "oem_info=Palm Treo 800w\n";
    char16_t buffer[100];
    ASSERT_TRUE(plat::SystemParametersInfo(plat::kSpiGetOemInfo, sizeof buffer, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"Palm Treo 800w");
    // The size is in bytes: 10 bytes hold four characters and the terminator.
    ASSERT_TRUE(plat::SystemParametersInfo(plat::kSpiGetOemInfo, 10, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"Palm");
    EXPECT_FALSE(plat::SystemParametersInfo(plat::kSpiGetOemInfo, 1, buffer, 0));
    EXPECT_FALSE(plat::SystemParametersInfo(999, sizeof buffer, buffer, 0));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidParameter);
}

TEST_F(SystemInfoTest, SubsystemsAreReadyOnABootedDevice) {
    EXPECT_TRUE(plat::IsApiReady(plat::kShShell));
    EXPECT_TRUE(plat::IsApiReady(plat::kShGdi));
    EXPECT_TRUE(plat::IsApiReady(plat::kShWmgr));
    EXPECT_FALSE(plat::IsApiReady(3));
    std::filesystem::remove_all(device_.StateDir());
    EXPECT_FALSE(plat::IsApiReady(plat::kShShell));
}

TEST(SystemMetricsTest, ScreenAndIconsFollowTheScreenSettings) {
    plat::Size size = plat::GetScreenSize();
    int32_t dpiX = plat::GetScreenDpiX(), dpiY = plat::GetScreenDpiY();
    plat::SetScreenSize(480, 640);
    plat::SetScreenDpi(192, 192);
    EXPECT_EQ(plat::GetSystemMetrics(plat::kSmCxScreen), 480);
    EXPECT_EQ(plat::GetSystemMetrics(plat::kSmCyScreen), 640);
    EXPECT_EQ(plat::GetSystemMetrics(plat::kSmCxSmIcon), 32);
    EXPECT_EQ(plat::GetSystemMetrics(plat::kSmCyIcon), 64);
    EXPECT_EQ(plat::GetSystemMetrics(12345), 0);
    plat::SetScreenSize(size.cx, size.cy);
    plat::SetScreenDpi(dpiX, dpiY);
}

TEST(RandomTest, DrawsVary) {
    std::set<uint32_t> seen;
    for (int i = 0; i < 16; ++i) seen.insert(plat::Random());
    EXPECT_GT(seen.size(), 12u);
}

}  // namespace
