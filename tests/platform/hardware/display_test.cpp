// Display settings: the orientation changes the profile's rotation makes.
#include "platform/hardware/display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/window/system_info.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

int32_t Turn(uint32_t orientation) {
    DisplayMode mode;
    mode.fields = kDmDisplayOrientation;
    mode.displayOrientation = orientation;
    return ChangeDisplaySettingsEx(&mode, 0);
}

uint32_t AngleValue() {
    uint32_t angle = 12345;
    RegReadDword(kHkeyLocalMachine, u"System\\GDI\\Rotation", u"Angle", &angle);
    return angle;
}

TEST(DisplayTest, RotationCodesTurnTheScreenAndAreJournalled) {
    TempDevice device;
    ASSERT_TRUE(UseVirtualClock(SystemTime{2010, 3, 0, 1, 9, 30, 0, 0}));
    EXPECT_EQ(GetDisplayOrientation(), kDmdo0);
    EXPECT_EQ(Turn(kDmdo90), kDispChangeSuccessful);
    EXPECT_EQ(GetDisplayOrientation(), kDmdo90);
    EXPECT_EQ(AngleValue(), 90u);
    EXPECT_EQ(Turn(kDmdo270), kDispChangeSuccessful);
    EXPECT_EQ(AngleValue(), 270u);
    EXPECT_EQ(Turn(kDmdo0), kDispChangeSuccessful);
    EXPECT_EQ(AngleValue(), 0u);
    std::vector<std::string> lines = JournalRead();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find(" display orientation 90"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(" display orientation 270"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" display orientation 0"), std::string::npos) << lines[2];
    UseDeviceClock();
}

TEST(DisplayTest, TestFlagReadsWithoutChanging) {
    TempDevice device;
    ASSERT_EQ(Turn(kDmdo180), kDispChangeSuccessful);
    DisplayMode mode;
    mode.fields = kDmDisplayOrientation;
    mode.displayOrientation = kDmdo90;
    EXPECT_EQ(ChangeDisplaySettingsEx(&mode, kCdsTest), kDispChangeSuccessful);
    EXPECT_EQ(mode.displayOrientation, kDmdo180);
    mode.fields = kDmDisplayQueryOrientation;
    EXPECT_EQ(ChangeDisplaySettingsEx(&mode, kCdsTest), kDispChangeSuccessful);
    EXPECT_EQ(mode.displayOrientation, kDmdo90 | kDmdo180 | kDmdo270);
    EXPECT_EQ(GetDisplayOrientation(), kDmdo180);
    EXPECT_EQ(JournalRead().size(), 1u);
}

TEST(DisplayTest, BadRequestsChangeNothing) {
    TempDevice device;
    DisplayMode mode;
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, 0), kDispChangeBadParam);
    EXPECT_EQ(ChangeDisplaySettingsEx(&mode, 0), kDispChangeBadParam);  // no field given
    EXPECT_EQ(Turn(3), kDispChangeBadMode);
    EXPECT_EQ(Turn(8), kDispChangeBadMode);
    mode.fields = kDmDisplayOrientation | 0x00080000;  // the resolution too
    mode.displayOrientation = kDmdo90;
    EXPECT_EQ(ChangeDisplaySettingsEx(&mode, 0), kDispChangeBadMode);
    mode.fields = kDmDisplayOrientation;
    EXPECT_EQ(ChangeDisplaySettingsEx(&mode, 0x1), kDispChangeBadFlags);
    mode.fields = kDmDisplayQueryOrientation;
    EXPECT_EQ(ChangeDisplaySettingsEx(&mode, 0), kDispChangeBadParam);  // a query needs kCdsTest
    EXPECT_EQ(GetDisplayOrientation(), kDmdo0);
    EXPECT_TRUE(JournalRead().empty());
}

}  // namespace

namespace {

using namespace plat;

TEST(DisplayTest, TurnedScreenSwapsTheScreenSize) {
    TempDevice device;
    plat::Size size = plat::GetScreenSize();
    plat::SetScreenSize(240, 320);
    for (uint32_t o : {kDmdo90, kDmdo270}) {
        ASSERT_EQ(Turn(o), kDispChangeSuccessful);
        EXPECT_EQ(GetSystemMetrics(kSmCxScreen), 320);
        EXPECT_EQ(GetSystemMetrics(kSmCyScreen), 240);
    }
    for (uint32_t o : {kDmdo180, kDmdo0}) {
        ASSERT_EQ(Turn(o), kDispChangeSuccessful);
        EXPECT_EQ(GetSystemMetrics(kSmCxScreen), 240);
        EXPECT_EQ(GetSystemMetrics(kSmCyScreen), 320);
    }
    plat::SetScreenSize(size.cx, size.cy);
}

}  // namespace
