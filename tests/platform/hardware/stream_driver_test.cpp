// Stream drivers: "BKL1:" opening by the device model, its control codes
// setting the brightness, and the codes and handles it refuses.
#include "platform/hardware/stream_driver.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/hardware/backlight.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

uint32_t Brightness() {
    HardwareState h;
    ReadHardwareState(&h);
    return h.brightness;
}

TEST(StreamDriverTest, BacklightDriverTakesEveryMakersCode) {
    TempDevice device;
    DriverHandle bkl = CreateDriverFile(u"bkl1:", kGenericReadAccess | kGenericWriteAccess);
    ASSERT_NE(bkl, 0u);
    uint32_t level = 2;
    EXPECT_TRUE(DeviceIoControl(bkl, 0x86662198, &level, sizeof level, nullptr, 0, nullptr));
    EXPECT_EQ(Brightness(), 2u);
    level = 100;
    EXPECT_TRUE(DeviceIoControl(bkl, kBacklightSetScaledCode, &level, sizeof level, nullptr, 0, nullptr));
    EXPECT_EQ(Brightness(), 4u);
    // An unknown code and a short input change nothing; both are journalled.
    EXPECT_FALSE(DeviceIoControl(bkl, 0x1234, &level, sizeof level, nullptr, 0, nullptr));
    EXPECT_EQ(GetLastError(), kErrorNotSupported);
    EXPECT_FALSE(DeviceIoControl(bkl, 2, &level, 2, nullptr, 0, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_EQ(Brightness(), 4u);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"BKL1: control 0x86662198 input 2",
                                                          "BKL1: control 0x24321101 input 100",
                                                          "BKL1: control 0x00001234 input 100",
                                                          "BKL1: control 0x00000002"}));
    EXPECT_TRUE(CloseDriverFile(bkl));
    EXPECT_FALSE(DeviceIoControl(bkl, 2, &level, sizeof level, nullptr, 0, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_FALSE(CloseDriverFile(bkl));
}

TEST(StreamDriverTest, OnlyTheModelsDriversOpen) {
    TempDevice device;
    std::ofstream(device.StateDir() / "model", std::ios::binary) << "drivers=UIO1:\n";
    EXPECT_EQ(CreateDriverFile(u"BKL1:", kGenericReadAccess), 0u);
    EXPECT_EQ(GetLastError(), kErrorDevNotExist);
    // A driver without simulated codes opens but refuses them.
    DriverHandle uio = CreateDriverFile(u"UIO1:", kGenericReadAccess);
    ASSERT_NE(uio, 0u);
    uint32_t v = 1;
    EXPECT_FALSE(DeviceIoControl(uio, 2, &v, sizeof v, nullptr, 0, nullptr));
    EXPECT_EQ(GetLastError(), kErrorNotSupported);
    CloseDriverFile(uio);
}

}  // namespace
