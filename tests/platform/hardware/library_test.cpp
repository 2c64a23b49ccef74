// Optional libraries: loading by the device model, entries by ordinal and by
// name, and the wireless-device switch and Bluetooth utility entries acting
// on the simulated hardware.
#include "platform/hardware/library.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "platform/hardware/bluetooth_utility.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/registry.h"
#include "platform/hardware/wireless_switch.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

class LibraryTest : public ::testing::Test {
protected:
    void UseModel(const std::string& text) {
        std::ofstream out(device_.StateDir() / "model", std::ios::binary | std::ios::trunc);
        out << text;
    }
    // The switch list as (type, state) pairs.
    std::vector<std::pair<uint32_t, uint32_t>> ListRadios() {
        std::vector<std::pair<uint32_t, uint32_t>> radios;
        HModule lib = LoadLibrary(u"ossvcs.dll");
        auto get = reinterpret_cast<OssvcsGetWirelessDevicesFn>(GetProcAddress(lib, kOssvcsGetWirelessDevices));
        auto free = reinterpret_cast<OssvcsFreeDeviceListFn>(GetProcAddress(lib, kOssvcsFreeDeviceList));
        RadioDevice* head = nullptr;
        if (get && free && get(&head, 0) == 0) {
            for (RadioDevice* n = head; n; n = n->next) radios.emplace_back(n->type, n->state);
            free(head);
        }
        FreeLibrary(lib);
        return radios;
    }
    // Switches every node of the type through ordinal 273.
    void Switch(uint32_t type, uint32_t state) {
        HModule lib = LoadLibrary(u"ossvcs.dll");
        auto get = reinterpret_cast<OssvcsGetWirelessDevicesFn>(GetProcAddress(lib, kOssvcsGetWirelessDevices));
        auto change = reinterpret_cast<OssvcsChangeRadioStateFn>(GetProcAddress(lib, kOssvcsChangeRadioState));
        auto free = reinterpret_cast<OssvcsFreeDeviceListFn>(GetProcAddress(lib, kOssvcsFreeDeviceList));
        RadioDevice* head = nullptr;
        ASSERT_EQ(get(&head, 0), 0);
        for (RadioDevice* n = head; n; n = n->next)
            if (n->type == type) {
                EXPECT_EQ(change(n, state, 1), 0);
            }
        free(head);
        FreeLibrary(lib);
    }
    TempDevice device_;
};

TEST_F(LibraryTest, LoadsExactlyTheModelsLibraries) {
    UseModel("libraries=ossvcs.dll,Extras.dll\n");
    HModule a = LoadLibrary(u"OSSVCS.DLL");
    EXPECT_NE(a, 0u);
    EXPECT_EQ(LoadLibrary(u"\\Windows\\ossvcs"), a);  // the loaded one again
    EXPECT_EQ(LoadLibrary(u"htcutil.dll"), 0u);
    EXPECT_EQ(GetLastError(), kErrorModNotFound);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_NE(GetProcAddress(a, kOssvcsGetWirelessDevices), nullptr);  // still loaded once
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_EQ(GetProcAddress(a, kOssvcsGetWirelessDevices), nullptr);
    EXPECT_FALSE(FreeLibrary(a));

    // A library without simulated entries loads and resolves nothing.
    HModule oem = LoadLibrary(u"Extras.dll");
    ASSERT_NE(oem, 0u);
    EXPECT_EQ(GetProcAddress(oem, "ExtrasEntry"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorProcNotFound);
    FreeLibrary(oem);

    std::vector<std::string> journal = JournalRead();
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_NE(journal[0].find("load library ossvcs.dll"), std::string::npos);
    EXPECT_NE(journal[2].find("load library Extras.dll"), std::string::npos);
}

TEST_F(LibraryTest, EntriesByOrdinalAndByName) {
    UseModel("libraries=bthutil.dll\n");
    HModule lib = LoadLibrary(u"bthutil.dll");
    ASSERT_NE(lib, 0u);
    EXPECT_EQ(GetProcAddress(lib, kBthutilGetMode), GetProcAddress(lib, "BthGetMode"));
    EXPECT_EQ(GetProcAddress(lib, "bthgetmode"), nullptr);  // entry names keep their case
    EXPECT_EQ(GetProcAddress(lib, 99u), nullptr);
    FreeLibrary(lib);
}

TEST_F(LibraryTest, SwitchListsTheModelsRadiosInOrder) {
    UseModel("libraries=ossvcs.dll\nradios=bluetooth,phone,wifi\n");
    ChangeHardwareState([](HardwareState& h) {
        h.wifiState = 1;
        h.phoneState = 0;
        h.bluetoothMode = 2;
    });
    std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {kRadioTypeWifi, 1}, {kRadioTypePhone, 0}, {kRadioTypeBluetooth, 1}};
    EXPECT_EQ(ListRadios(), expected);

    UseModel("libraries=ossvcs.dll\nradios=wifi\n");
    expected = {{kRadioTypeWifi, 1}};
    EXPECT_EQ(ListRadios(), expected);
}

TEST_F(LibraryTest, SwitchChangesOnlyRadiosThatFollowIt) {
    UseModel("libraries=ossvcs.dll\nradios=wifi,phone,bluetooth\nwifi_follows_switch=no\n");
    Switch(kRadioTypeWifi, 1);
    Switch(kRadioTypePhone, 0);
    Switch(kRadioTypeBluetooth, 1);
    HardwareState hw;
    ReadHardwareState(&hw);
    EXPECT_EQ(hw.wifiState, 0u);  // this radio needs its maker's utility
    EXPECT_EQ(hw.phoneState, 0u);
    EXPECT_EQ(hw.bluetoothMode, 1u);
    uint32_t status = 0;
    RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, &status);
    EXPECT_EQ(status & kPhoneStatusRadioOff, kPhoneStatusRadioOff);

    // Switching Bluetooth on again keeps it discoverable; off clears it.
    ChangeHardwareState([](HardwareState& h) { h.bluetoothMode = 2; });
    Switch(kRadioTypeBluetooth, 1);
    ReadHardwareState(&hw);
    EXPECT_EQ(hw.bluetoothMode, 2u);
    Switch(kRadioTypeBluetooth, 0);
    ReadHardwareState(&hw);
    EXPECT_EQ(hw.bluetoothMode, 0u);

    bool journalled = false;
    for (const std::string& line : JournalRead()) journalled |= line.find("radio switch Wi-Fi on") != std::string::npos;
    EXPECT_TRUE(journalled);
}

TEST_F(LibraryTest, BluetoothUtilityReadsAndSetsTheMode) {
    uint32_t mode = 9;
    EXPECT_EQ(BthGetMode(&mode), 0);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(BthSetMode(2), 0);
    EXPECT_EQ(BthGetMode(&mode), 0);
    EXPECT_EQ(mode, 2u);
    EXPECT_NE(BthSetMode(3), 0);
    EXPECT_EQ(BthGetMode(&mode), 0);
    EXPECT_EQ(mode, 2u);
}

}  // namespace
