// The device model: parsing model files, picking up the device's model file,
// applying it to the process, and the OEM information query.
#include "platform/hardware/device_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/storage/code_page.h"
#include "platform/gdi/gdi.h"
#include "platform/storage/registry.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

void WriteModelFile(const TempDevice& device, const std::string& text) {
    std::ofstream out(device.StateDir() / "model", std::ios::binary | std::ios::trunc);
    out << text;
}

TEST(DeviceModelParse, ReadsEveryKey) {
    const char* text =
        "# a comment\r\n"
        "name=test-phone\r\n"
        "oem_info=Palm Treo 800w\r\n"
        "os_version=5.2.19209\n"
        "screen=320x320\n"
        "dpi=128\n"
        "code_page=1250\n"
        "locale=de-DE\n"
        "libraries=ossvcs.dll, Phone.dll\n"
        "drivers=BKL1:\n"
        "radios=wifi,phone\n"
        "bluetooth=microsoft\n"
        "wifi_follows_switch=no\n"
        "reg=HKCU\\ControlPanel\\Backlight|Brightness|dword:129\n"
        "reg=HKLM\\Software\\Test|Name|sz:a|b\n"
        "state.battery=55\n"
        "state.ac=on\n";
    DeviceModel m;
    std::string error;
    ASSERT_TRUE(ParseDeviceModel(text, "file-name", &m, &error)) << error;
    EXPECT_EQ(m.name, "test-phone");
    EXPECT_EQ(m.oemInfo, u"Palm Treo 800w");
    EXPECT_EQ(m.osBuild, 19209u);
    EXPECT_EQ(m.screenWidth, 320);
    EXPECT_EQ(m.dpiX, 128);
    EXPECT_EQ(m.dpiY, 128);
    EXPECT_EQ(m.codePage, 1250u);
    EXPECT_EQ(m.locale, "de-DE");
    ASSERT_EQ(m.libraries.size(), 2u);
    EXPECT_EQ(m.libraries[1], u"Phone.dll");
    EXPECT_TRUE(m.hasWifi);
    EXPECT_TRUE(m.hasPhone);
    EXPECT_FALSE(m.hasBluetoothNode);
    EXPECT_FALSE(m.wifiFollowsSwitch);
    EXPECT_TRUE(m.phoneFollowsSwitch);
    ASSERT_EQ(m.registry.size(), 2u);
    EXPECT_EQ(m.registry[0].dword, 129u);
    EXPECT_EQ(m.registry[1].type, static_cast<uint32_t>(kRegSz));
    EXPECT_EQ(m.registry[1].text, u"a|b");  // only the first two bars separate
    ASSERT_EQ(m.initialState.size(), 2u);
    EXPECT_EQ(m.initialState[0], (std::pair<std::string, std::string>("battery", "55")));
}

TEST(DeviceModelParse, RefusesBadLinesWithTheirNumber) {
    const char* bad[] = {
        "colour=red",                 // unknown key
        "screen=240",                 // no height
        "dpi=0",                      // no density
        "code_page=437",              // a code page the platform cannot convert
        "radios=wifi,gps",            // unknown radio
        "bluetooth=bluez",            // unknown stack
        "wifi_follows_switch=maybe",  // not yes/no
        "reg=HKXX\\Key|Name|dword:1", // unknown root
        "reg=HKCU\\Key|Name|qword:1", // unknown type
        "os_version=5.2",             // no build
        "just text",                  // no '='
    };
    for (const char* line : bad) {
        DeviceModel m;
        m.name = "unchanged";
        std::string error;
        EXPECT_FALSE(ParseDeviceModel(std::string("name=x\n") + line + "\n", "n", &m, &error)) << line;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
        EXPECT_EQ(m.name, "unchanged");
    }
}

TEST(DeviceModelParse, WidcommModelsListNoBluetoothNode) {
    DeviceModel m;
    std::string error;
    ASSERT_TRUE(ParseDeviceModel("bluetooth=widcomm\nwidcomm_version=1.9.1\n", "w", &m, &error));
    EXPECT_EQ(m.bluetoothStack, BluetoothStack::kWidcomm);
    EXPECT_FALSE(m.hasBluetoothNode);
    EXPECT_EQ(m.widcommVersion, "1.9.1");
}

TEST(DeviceModelLibraries, NamesMatchWithoutCaseFolderOrExtension) {
    DeviceModel m;
    m.libraries = {u"ossvcs.dll", u"iPAQUtil.dll"};
    EXPECT_TRUE(ModelHasLibrary(m, u"OSSVCS.DLL"));
    EXPECT_TRUE(ModelHasLibrary(m, u"\\Windows\\ipaqutil.dll"));
    EXPECT_TRUE(ModelHasLibrary(m, u"ossvcs"));
    EXPECT_FALSE(ModelHasLibrary(m, u"htcutil.dll"));
    EXPECT_FALSE(ModelHasLibrary(m, u""));
}

class DeviceModelTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetAnsiCodePage(1252);
        SetScreenSize(240, 320);
        SetScreenDpi(96, 96);
    }
    TempDevice device_;
};

TEST_F(DeviceModelTest, NoModelFileIsTheGenericQvgaPhone) {
    DeviceModel m = CurrentDeviceModel();
    EXPECT_EQ(m.name, "generic-qvga");
    EXPECT_EQ(m.screenWidth, 240);
    EXPECT_EQ(m.dpiX, 96);
    EXPECT_TRUE(ModelHasLibrary(m, u"ossvcs.dll"));
    EXPECT_FALSE(ModelHasLibrary(m, u"htcutil.dll"));
}

TEST_F(DeviceModelTest, ModelFileIsReadAgainWhenItChanges) {
    WriteModelFile(device_, "name=first\noem_info=TOSHIBA\n");
    EXPECT_EQ(CurrentDeviceModel().oemInfo, u"TOSHIBA");
    WriteModelFile(device_, "name=second\noem_info=LGE KS20 phone\n");
    EXPECT_EQ(CurrentDeviceModel().name, "second");
    EXPECT_EQ(CurrentDeviceModel().oemInfo, u"LGE KS20 phone");
}

TEST_F(DeviceModelTest, BrokenModelFileGivesTheDefaults) {
    WriteModelFile(device_, "name=broken\nscreen=wide\n");
    EXPECT_EQ(CurrentDeviceModel().name, "generic-qvga");
    EXPECT_FALSE(ApplyDeviceModel());
}

TEST_F(DeviceModelTest, ApplySetsCodePageAndScreen) {
    WriteModelFile(device_, "name=vga\nscreen=480x640\ndpi=192\ncode_page=1251\n");
    EXPECT_TRUE(ApplyDeviceModel());
    EXPECT_EQ(AnsiCodePage(), 1251u);
    EXPECT_EQ(GetScreenDpiX(), 192);
    EXPECT_EQ(GetScreenDpiY(), 192);
    EXPECT_EQ(GetScreenSize().cx, 480);
    // Once per model file: a change made by the process itself stays.
    SetAnsiCodePage(1252);
    EXPECT_TRUE(ApplyDeviceModel());
    EXPECT_EQ(AnsiCodePage(), 1252u);
}

TEST_F(DeviceModelTest, OemInfoIsCutToTheBuffer) {
    WriteModelFile(device_, "oem_info=Palm Treo 800w\n");
    char16_t buffer[100];
    ASSERT_TRUE(GetOemInfo(buffer, 100));
    EXPECT_EQ(std::u16string(buffer), u"Palm Treo 800w");
    char16_t small[5];
    ASSERT_TRUE(GetOemInfo(small, 5));
    EXPECT_EQ(std::u16string(small), u"Palm");
    EXPECT_FALSE(GetOemInfo(buffer, 0));
    EXPECT_FALSE(GetOemInfo(nullptr, 10));
}

}  // namespace
