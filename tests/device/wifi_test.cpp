// The Wi-Fi radio across models (following the switch at once, late or not
// at all; OEMUtil, AximSDK, the TOSHIBA tool, the device-power request) and
// the wireless adapter: binding search, scan records, link speed and the
// associated access point.
#include "common/device/wifi.h"

#include <filesystem>
#include <string>

#include "common/device/radio_states.h"
#include "operation_fixture.h"
#include "platform/hardware/hardware.h"
#include "platform/radio/access_point.h"
#include "platform/radio/ndis_uio.h"
#include "platform/storage/registry.h"

namespace {

using namespace tlw;

constexpr char kNeverFollows[] =
    "libraries=ossvcs.dll,OEMUtil.dll\nradios=wifi,phone\nwifi_follows_switch=no\n";

class WifiTest : public DeviceOperationTest {
protected:
    static uint32_t Wifi() {
        plat::HardwareState hw;
        plat::ReadHardwareState(&hw);
        return hw.wifiState;
    }
    static void SetWifi(uint32_t state) {
        ASSERT_TRUE(plat::ChangeHardwareState([state](plat::HardwareState& s) { s.wifiState = state; }));
    }
    static void AddAccessPoint(const std::string& text) {
        plat::AccessPoint ap;
        std::string error;
        ASSERT_TRUE(plat::ParseAccessPoint(text, &ap, &error)) << error;
        ASSERT_TRUE(plat::ChangeHardwareState([&ap](plat::HardwareState& s) { s.accessPoints.push_back(ap); }));
    }
    void TearDown() override { CloseWirelessAdapter(); }
};

TEST_F(WifiTest, ARadioThatFollowsTheSwitchLoadsNoOemLibrary) {
    UseModel("libraries=ossvcs.dll,OEMUtil.dll\nradios=wifi\nwifi_follows_switch=yes\n");
    SetWifiRadio(true);
    EXPECT_EQ(Wifi(), 1u);
    EXPECT_TRUE(TakeSleeps().empty());
    SetWifiRadio(false);
    EXPECT_EQ(Wifi(), 0u);
    EXPECT_FALSE(JournalMentions("OEMUtil"));
}

TEST_F(WifiTest, ARadioThatFollowsWithinASecondIsPolledAndNeedsNoFallback) {
    UseModel("libraries=ossvcs.dll,OEMUtil.dll\nradios=wifi\nwifi_follows_switch=late\n");
    WaitForReal();
    SetWifiRadio(true);
    EXPECT_EQ(Wifi(), 1u);
    std::vector<uint32_t> sleeps = TakeSleeps();
    ASSERT_FALSE(sleeps.empty());
    EXPECT_LE(sleeps.size(), 20u);
    for (uint32_t ms : sleeps) EXPECT_EQ(ms, 200u);
    EXPECT_FALSE(JournalMentions("OEMUtil"));
}

TEST_F(WifiTest, OemUtilGetsOneToSwitchOffAndZeroToSwitchOn) {
    UseModel(kNeverFollows);
    SetWifiRadio(true);
    EXPECT_EQ(Wifi(), 1u);
    EXPECT_TRUE(Journalled("OEMUtil SetWLANRadio 0: Wi-Fi on"));
    std::vector<uint32_t> sleeps = TakeSleeps();
    ASSERT_EQ(sleeps.size(), 21u);  // 20 polls of 200 ms, then 2000 ms for the library
    EXPECT_EQ(sleeps.back(), 2000u);
    SetWifiRadio(false);
    EXPECT_EQ(Wifi(), 0u);
    EXPECT_TRUE(Journalled("OEMUtil SetWLANRadio 1: Wi-Fi off"));
    EXPECT_FALSE(JournalMentions("device power"));
}

TEST_F(WifiTest, AximSdkGetsOneToSwitchOnAndNoSettlingWait) {
    UseModel("libraries=ossvcs.dll,AximSDK.dll\nradios=wifi\nwifi_follows_switch=no\n");
    SetWifiRadio(true);
    EXPECT_EQ(Wifi(), 1u);
    EXPECT_TRUE(Journalled("AximSDK SetWLANPowerStateEx 1: Wi-Fi on"));
    EXPECT_EQ(TakeSleeps().size(), 20u);
    SetWifiRadio(false);
    EXPECT_TRUE(Journalled("AximSDK SetWLANPowerStateEx 0: Wi-Fi off"));
}

TEST_F(WifiTest, TheToshibaToolTogglesTheRadioAndIsPolled) {
    UseModel("oem_info=TOSHIBA\nlibraries=ossvcs.dll\nradios=wifi\nwifi_follows_switch=no\n");
    std::filesystem::create_directories(device_.Root() / "Windows");
    std::filesystem::create_symlink(std::filesystem::path(TLW_BIN_DIR) / "tlwprog",
                                    device_.Root() / "Windows" / "tfwifi.exe");
    WaitForReal();
    SetWifiRadio(true);
    EXPECT_EQ(Wifi(), 1u);
    EXPECT_TRUE(JournalMentions("start \\Windows\\tfwifi.exe"));
    EXPECT_FALSE(JournalMentions("device power"));
}

TEST_F(WifiTest, WithoutAFallbackTheAdapterGetsAnUnspecifiedPowerRequest) {
    UseModel("oem_info=Other\nlibraries=ossvcs.dll\nradios=wifi\nwifi_follows_switch=no\ndrivers=UIO1:\n");
    SetWifi(1);
    SetWifiRadio(false);
    EXPECT_TRUE(Journalled("device power {98C5250D-C29A-4985-AE5F-AFE5367E5006}\\WLAN1 unspecified"));
    EXPECT_EQ(Wifi(), 1u);  // the power manager keeps the radio as it is
    // The handle was closed again: a query finds no adapter.
    uint8_t mac[6];
    EXPECT_NE(GetConnectedAccessPoint(mac), 0u);
}

TEST_F(WifiTest, TheAdapterIsTheFirstBindingThatAcceptsAScan) {
    UseModel("drivers=UIO1:\nradios=wifi\n");
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Cradled", 1));
    EXPECT_FALSE(OpenWirelessAdapter());  // radio off: only the USB adapter, which cannot scan
    SetWifi(1);
    EXPECT_TRUE(OpenWirelessAdapter());  // the open handle searches again
    EXPECT_TRUE(Journalled("UIO1: scan WLAN1"));
    CloseWirelessAdapter();
    UseModel("drivers=BKL1:\nradios=wifi\n");
    EXPECT_FALSE(OpenWirelessAdapter());
}

TEST_F(WifiTest, AScanFillsAtMost32RecordsAsTheDriverReportsThem) {
    UseModel("drivers=UIO1:\nradios=wifi\n");
    SetWifi(1);
    AddAccessPoint("00:1A:2B:3C:4D:01,HomeNetwork5GH,-40,2437000,privacy");
    AddAccessPoint("00:1A:2B:3C:4D:02,Cafe,-70,11,adhoc");
    AddAccessPoint("00:1A:2B:3C:4D:03,Office,-60,24370");
    for (int i = 3; i < 40; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "00:1A:2B:3C:5E:%02X,Net%d,-80,1", i, i);
        AddAccessPoint(text);
    }
    ASSERT_TRUE(OpenWirelessAdapter());
    AccessPointInfo records[kMaxAccessPoints];
    TakeSleeps();
    ASSERT_EQ(ScanAccessPoints(records), 32u);
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{700});
    EXPECT_EQ(records[0].channel, 6);
    EXPECT_STREQ(records[0].name, "HomeNetwor");  // an SSID of 14 keeps its first 10
    EXPECT_EQ(records[0].privacy, 16);
    EXPECT_EQ(records[0].signal, -40);
    EXPECT_EQ(records[0].infrastructure, 1);
    EXPECT_EQ(std::u16string(records[0].macText), u"00:1A:2B:3C:4D:01");
    EXPECT_EQ(records[1].channel, 11);
    EXPECT_EQ(records[1].infrastructure, 0);
    EXPECT_EQ(records[1].privacy, 0);
    EXPECT_EQ(records[2].channel, 6);
    EXPECT_EQ(records[31].channel, 1);
}

TEST_F(WifiTest, WithoutAnAdapterAScanYieldsNothingAndNoRecordHasASignal) {
    UseModel("drivers=UIO1:\nradios=wifi\n");
    AccessPointInfo records[kMaxAccessPoints];
    records[5].signal = -30;
    EXPECT_EQ(ScanAccessPoints(records), 0u);
    EXPECT_EQ(records[5].signal, kNoSignal);
}

TEST_F(WifiTest, LinkSpeedAndAssociatedAccessPointFollowTheStrongestInfrastructureNetwork) {
    UseModel("drivers=UIO1:\nradios=wifi\n");
    SetWifi(1);
    ASSERT_TRUE(OpenWirelessAdapter());
    uint8_t mac[6];
    EXPECT_EQ(GetConnectedAccessPoint(mac), plat::kErrorDeviceNotConnected);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(mac), 6), "      ");
    EXPECT_EQ(GetLinkSpeed(), 0u);
    AddAccessPoint("00:1A:2B:3C:4D:01,Home,-70,6");
    AddAccessPoint("00:1A:2B:3C:4D:02,Party,-30,6,adhoc");
    AddAccessPoint("00:1A:2B:3C:4D:03,Office,-50,2437000");
    EXPECT_EQ(GetConnectedAccessPoint(mac), 0u);
    EXPECT_EQ(mac[5], 0x03);
    EXPECT_EQ(GetLinkSpeed(), 540u);
}

TEST(WifiChannel, FromEachFormAdaptersReport) {
    EXPECT_EQ(ChannelFromFrequency(2437000), 6);
    EXPECT_EQ(ChannelFromFrequency(2412000), 1);
    EXPECT_EQ(ChannelFromFrequency(11), 11);
    EXPECT_EQ(ChannelFromFrequency(24370), 6);
    EXPECT_EQ(ChannelFromFrequency(24840), 15);
}

}  // namespace
