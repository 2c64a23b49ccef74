// The Bluetooth radio on both stacks: the WIDCOMM tray's message sequences
// for the versions 1.9.1, 2.0, 1.4.2 and none, and the platform's own stack
// with its bounded wait and the utility library as the last resort.
#include "common/device/bluetooth.h"

#include <string>
#include <vector>

#include "common/device/device_operations.h"
#include "operation_fixture.h"
#include "platform/hardware/bluetooth_utility.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/registry.h"
#include "platform/message/message_loop.h"
#include "platform/message/registered_messages.h"
#include "platform/window/window.h"

namespace {

using namespace tlw;

// One message the tray window received.
struct TrayCall {
    std::u16string name;
    uint64_t wParam;
    int64_t lParam;
    bool operator==(const TrayCall&) const = default;
};

std::vector<TrayCall> g_calls;

std::u16string NameOf(uint32_t message) {
    for (const char16_t* name : {kWidcommSetStackConfig, kWidcommStackUnload, kWidcommStackLoad, kWidcommRadioOn,
                                 kWidcommRadioOff})
        if (plat::RegisterWindowMessage(name) == message) return name;
    return u"";
}

plat::LResult TrayProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message >= plat::kFirstRegisteredMessage) {
        g_calls.push_back({NameOf(message), wParam, lParam});
        return 1;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

class BluetoothTest : public DeviceOperationTest {
protected:
    void SetUp() override { g_calls.clear(); }
    void TearDown() override {
        if (tray_) plat::DestroyWindow(tray_);
        plat::UnregisterClass(kWidcommTrayClass);
    }
    // The tray window of the WIDCOMM stack, in this process, with its version.
    void OpenTray(std::u16string_view version) {
        UseModel("libraries=ossvcs.dll\nradios=wifi,phone\nbluetooth=widcomm\n");
        ASSERT_TRUE(plat::RegWriteString(plat::kHkeyLocalMachine, plat::kWidcommVersionKey, plat::kWidcommVersionValue,
                                         version));
        plat::WndClass c;
        c.className = kWidcommTrayClass;
        c.proc = &TrayProc;
        ASSERT_TRUE(plat::RegisterClass(c));
        tray_ = plat::CreateWindow(kWidcommTrayClass, u"BtTray", 0, 0, 0, 0, 0, plat::Hwnd{});
        ASSERT_TRUE(static_cast<bool>(tray_));
    }
    static uint32_t Mode() {
        plat::HardwareState hw;
        plat::ReadHardwareState(&hw);
        return hw.bluetoothMode;
    }
    plat::Hwnd tray_;
};

TEST_F(BluetoothTest, TheNewStack191IsSentLoadThenTwoConfigurations) {
    OpenTray(u"1.9.1");
    SetBluetoothRadio(true);  // each send returns once the tray handled it
    EXPECT_EQ(g_calls, (std::vector<TrayCall>{{kWidcommStackLoad, 2, 2},
                                             {kWidcommSetStackConfig, 1, 1},
                                             {kWidcommSetStackConfig, 2, 2}}));
    EXPECT_EQ(TakeSleeps(), (std::vector<uint32_t>{200, 200}));
    g_calls.clear();
    SetBluetoothRadio(false);
    EXPECT_EQ(g_calls, (std::vector<TrayCall>{{kWidcommSetStackConfig, 0, 0}, {kWidcommStackUnload, 1, 1}}));
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{200});
}

TEST_F(BluetoothTest, Version20CountsAsNew) {
    OpenTray(u"2.0");
    SetBluetoothRadio(true);
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[0].name, kWidcommStackLoad);
}

TEST_F(BluetoothTest, TheOlderStackAndAnEmptyVersionArePostedOneMessage) {
    for (std::u16string_view version : {u"1.4.2", u""}) {
        OpenTray(version);
        SetBluetoothRadio(true);
        EXPECT_TRUE(g_calls.empty());  // posted: nothing handled yet
        plat::PumpMessagesUntilIdle();
        SetBluetoothRadio(false);
        plat::PumpMessagesUntilIdle();
        EXPECT_EQ(g_calls, (std::vector<TrayCall>{{kWidcommRadioOn, 0, 0}, {kWidcommRadioOff, 0, 0}}));
        EXPECT_TRUE(TakeSleeps().empty());
        TearDown();
        g_calls.clear();
        tray_ = {};
    }
}

TEST_F(BluetoothTest, AMicrosoftRadioThatFollowsNeedsNoUtilityCall) {
    UseModel("libraries=ossvcs.dll,bthutil.dll\nradios=bluetooth\nbluetooth_follows_switch=yes\n");
    SetBluetoothRadio(true);
    EXPECT_EQ(Mode(), plat::kBthConnectable);
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{500});
    EXPECT_FALSE(JournalMentions("bluetooth mode"));
    SetBluetoothVisible(true);
    EXPECT_EQ(Mode(), plat::kBthDiscoverable);
    SetBluetoothVisible(false);
    EXPECT_EQ(Mode(), plat::kBthConnectable);
}

TEST_F(BluetoothTest, AMicrosoftRadioThatDoesNotFollowIsForcedOnceAfterTenReads) {
    UseModel("libraries=ossvcs.dll,bthutil.dll\nradios=bluetooth\nbluetooth_follows_switch=no\n");
    SetBluetoothRadio(true);
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>(10, 500));
    EXPECT_EQ(Mode(), plat::kBthConnectable);
    EXPECT_TRUE(Journalled("bluetooth mode 1"));
    SetBluetoothRadio(false);
    EXPECT_EQ(Mode(), plat::kBthPowerOff);
}

TEST_F(BluetoothTest, VisibleWithTheRadioOffChangesNothing) {
    UseModel("libraries=ossvcs.dll,bthutil.dll\nradios=bluetooth\n");
    SetBluetoothVisible(true);
    EXPECT_EQ(Mode(), plat::kBthPowerOff);
    EXPECT_FALSE(JournalMentions("bluetooth mode"));
}

}  // namespace
