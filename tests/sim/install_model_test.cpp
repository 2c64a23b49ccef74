// Installing device models on a fresh device: every shipped model installs
// with its registry and hardware state, and the model is applied.
#include "sim/install_model.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/hardware/device_model.h"
#include "platform/gdi/gdi.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/registry.h"
#include "sim/hardware_facts.h"
#include "support/temp_device.h"

namespace {

class InstallModelTest : public ::testing::Test {
protected:
    void TearDown() override {
        plat::SetAnsiCodePage(1252);
        plat::SetScreenSize(240, 320);
        plat::SetScreenDpi(96, 96);
    }
};

TEST_F(InstallModelTest, EveryShippedModelInstalls) {
    std::vector<std::string> names = sim::DeviceModelNames();
    for (const char* wanted : {"generic-qvga", "generic-vga", "toshiba", "lge", "htc", "ipaq", "treo-800w",
                               "widcomm-191", "widcomm-142"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), wanted), names.end()) << wanted;
    }
    for (const std::string& name : names) {
        TempDevice device;
        std::string error;
        ASSERT_TRUE(sim::InstallDeviceModel(name, &error)) << name << ": " << error;
        plat::DeviceModel model = plat::CurrentDeviceModel();
        EXPECT_EQ(model.name, name);
        EXPECT_EQ(plat::GetScreenDpiX(), model.dpiX) << name;
        for (const plat::RegistrySeed& seed : model.registry) {
            plat::HKey root = 0;
            std::u16string key;
            ASSERT_TRUE(plat::ParseRegistryPath(seed.key, &root, &key));
            if (seed.type == plat::kRegDword) {
                uint32_t value = ~seed.dword;
                EXPECT_TRUE(plat::RegReadDword(root, key, seed.name, &value)) << name;
                EXPECT_EQ(value, seed.dword) << name;
            }
        }
        // Every fact reads, and the phone radio agrees with its registry bit.
        for (const auto& [key, value] : sim::ReadHardwareFacts()) EXPECT_FALSE(value.empty()) << name << " " << key;
        plat::HardwareState hw;
        ASSERT_TRUE(plat::ReadHardwareState(&hw));
        EXPECT_EQ(hw.phoneState, model.hasPhone ? 1u : 0u) << name;
    }
}

TEST_F(InstallModelTest, DefaultModelAndItsOemInformation) {
    TempDevice device;
    std::string error;
    ASSERT_TRUE(sim::InstallDeviceModel("", &error)) << error;
    EXPECT_EQ(plat::CurrentDeviceModel().name, sim::kDefaultModelName);
    char16_t oem[100];
    ASSERT_TRUE(plat::GetOemInfo(oem, 100));
    EXPECT_EQ(std::u16string(oem), u"Generic QVGA Phone");
}

TEST_F(InstallModelTest, FamiliesCarryWhatTheDeviceCodeLooksFor) {
    struct Case {
        const char* model;
        const char16_t* oemInfo;
        const char16_t* library;  // a maker's library the model must carry, or null
    };
    const Case cases[] = {
        {"toshiba", u"TOSHIBA", nullptr},
        {"lge", u"LGE", nullptr},
        {"htc", nullptr, u"htcutil.dll"},
        {"ipaq", nullptr, u"iPAQUtil.dll"},
        {"treo-800w", u"Palm Treo 800w", nullptr},
        {"oemutil", nullptr, u"OEMUtil.dll"},
        {"axim", nullptr, u"AximSDK.dll"},
    };
    for (const Case& c : cases) {
        TempDevice device;
        std::string error;
        ASSERT_TRUE(sim::InstallDeviceModel(c.model, &error)) << error;
        plat::DeviceModel model = plat::CurrentDeviceModel();
        if (c.oemInfo) {
            EXPECT_EQ(model.oemInfo, c.oemInfo) << c.model;
        }
        if (c.library) {
            EXPECT_TRUE(plat::ModelHasLibrary(model, c.library)) << c.model;
        }
    }
}

TEST_F(InstallModelTest, WidcommModelsPublishTheirVersion) {
    for (const auto& [name, version] : {std::pair{"widcomm-191", u"1.9.1"}, std::pair{"widcomm-142", u"1.4.2"}}) {
        TempDevice device;
        std::string error;
        ASSERT_TRUE(sim::InstallDeviceModel(name, &error)) << error;
        std::u16string text;
        ASSERT_TRUE(plat::RegReadString(plat::kHkeyLocalMachine, plat::kWidcommVersionKey, plat::kWidcommVersionValue, &text));
        EXPECT_EQ(text, version);
        uint32_t stackMode = 9;
        ASSERT_TRUE(plat::RegReadDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue,
                                       &stackMode));
        EXPECT_EQ(stackMode, 0u);
    }
}

TEST_F(InstallModelTest, UnknownModelsAreRefusedWithTheKnownNames) {
    TempDevice device;
    std::string error;
    EXPECT_FALSE(sim::InstallDeviceModel("nokia", &error));
    EXPECT_NE(error.find("generic-qvga"), std::string::npos) << error;
    EXPECT_FALSE(sim::InstallDeviceModel("../models/generic-qvga", &error));
    EXPECT_FALSE(std::filesystem::exists(plat::DeviceModelPath()));
}

TEST_F(InstallModelTest, ScreenOverride) {
    TempDevice device;
    std::string error;
    EXPECT_FALSE(sim::SetDeviceScreen("vga", &error));  // no model yet
    ASSERT_TRUE(sim::InstallDeviceModel("generic-qvga", &error)) << error;
    ASSERT_TRUE(sim::SetDeviceScreen("vga", &error)) << error;
    EXPECT_EQ(plat::CurrentDeviceModel().screenWidth, 480);
    EXPECT_EQ(plat::GetScreenDpiY(), 192);
    EXPECT_FALSE(sim::SetDeviceScreen("xga", &error));
    EXPECT_NE(error.find("qvga or vga"), std::string::npos);
}

}  // namespace
