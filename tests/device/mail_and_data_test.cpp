// Push mail, the data connection and the proxy: the documents sent (and not
// sent) to the configuration manager, the synchronisation program, hanging
// up every connection with and without packet data, opening the Internet
// connection, and the proxy entries of the connection manager's networks.
#include "common/device/mail_and_data.h"

#include <filesystem>
#include <string>

#include "base/text.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "operation_fixture.h"
#include "platform/connectivity/cellular_data.h"
#include "platform/connectivity/config_manager.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/registry.h"

namespace {

using namespace tlw;

constexpr char16_t kProviders[] = u"Comm\\ConnMgr\\Providers\\{EF097F4C-DC4B-4c98-8FF6-AEF805DC0E8E}\\";
constexpr char16_t kCorp[] = u"{11111111-2222-3333-4455-66778899AABB}";
constexpr char16_t kIsp[] = u"{22222222-2222-3333-4455-66778899AABB}";

class MailAndDataTest : public DeviceOperationTest {
protected:
    void SetUp() override { UseModel("libraries=ossvcs.dll\nradios=wifi,phone\n"); }
    static void SetPeak(int32_t minutes) {
        ASSERT_TRUE(plat::ChangeHardwareState([minutes](plat::HardwareState& s) { s.peakFrequency = minutes; }));
    }
    static int32_t Peak() {
        plat::HardwareState hw;
        plat::ReadHardwareState(&hw);
        return hw.peakFrequency;
    }
    // The documents processed, as journalled (tabs read as blanks there).
    static std::vector<std::string> Documents() {
        std::vector<std::string> docs;
        for (const std::string& e : JournalEffects())
            if (e.rfind("provisioning ", 0) == 0) docs.push_back(e.substr(13));
        return docs;
    }
    static std::string AsJournalled(const std::u16string& document) {
        std::string text = Utf16ToUtf8(document);
        for (char& c : text)
            if (c == '\t') c = ' ';
        return text;
    }
    static uint32_t Dword(std::u16string_view key, std::u16string_view name, uint32_t missing = 999) {
        uint32_t v = missing;
        plat::RegReadDword(plat::kHkeyLocalMachine, key, name, &v);
        return v;
    }
    static void AddNetwork(std::u16string_view name, std::u16string_view guid) {
        ASSERT_TRUE(plat::RegWriteString(plat::kHkeyLocalMachine, u"Comm\\ConnMgr\\Destinations\\" + std::u16string(name),
                                         u"DestId", guid));
    }
    static void AddProvider(std::u16string_view kind, std::u16string_view guid, uint32_t enable) {
        ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, kProviders + (std::u16string(kind) + std::u16string(guid)), u"Enable",
                                        enable));
    }
};

TEST_F(MailAndDataTest, AnUnchangedFrequencySendsNoDocument) {
    SetPeak(15);
    SetPushMail(15);
    EXPECT_EQ(Documents(), std::vector<std::string>{AsJournalled(kPeakFrequencyQueryDocument)});
    EXPECT_EQ(Peak(), 15);
}

TEST_F(MailAndDataTest, ManualAfterPushSendsTheFixedDocumentAndClearsKeepAlive) {
    SetPeak(-1);
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, u"SOFTWARE\\Microsoft\\ActiveSync", u"KeepAlive", 1));
    SetPushMail(0);
    EXPECT_EQ(Documents(), (std::vector<std::string>{AsJournalled(kPeakFrequencyQueryDocument),
                                                     AsJournalled(FixedFrequencyDocument(0))}));
    EXPECT_EQ(Peak(), 0);
    EXPECT_FALSE(IsPushMailOn());
    SetPushMail(30);
    EXPECT_EQ(Peak(), 30);
}

TEST_F(MailAndDataTest, PushStartsASynchronisationFirst) {
    std::filesystem::create_directories(device_.Root() / "Windows");
    std::filesystem::create_symlink(std::filesystem::path(TLW_BIN_DIR) / "tlwprog",
                                    device_.Root() / "Windows" / "repllog.exe");
    SetPushMail(1);
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{1000});
    EXPECT_TRUE(JournalMentions("start \\Windows\\repllog.exe"));
    EXPECT_EQ(Documents().back(), AsJournalled(kPushDocument));
    EXPECT_EQ(Peak(), -1);
    EXPECT_TRUE(IsPushMailOn());
}

TEST_F(MailAndDataTest, EveryConnectionIsHungUpAndWithPacketDataTheAddressReleased) {
    ASSERT_TRUE(plat::SetCellularConnectionCount(2));
    EXPECT_TRUE(IsDataConnected());
    HangUpDataCalls();
    EXPECT_FALSE(IsDataConnected());
    std::vector<std::string> effects = JournalEffects();
    EXPECT_EQ(std::count(effects.begin(), effects.end(), "RAS hang up Cellular Line"), 2);
    EXPECT_FALSE(JournalMentions("release IP address"));  // Packet is absent

    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"Comm\\Cellular\\RIL", u"Packet", 1));
    ASSERT_TRUE(plat::SetCellularConnectionCount(1));
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) { s.wifiState = 1; }));  // two adapters
    HangUpDataCalls();
    EXPECT_TRUE(Journalled("release IP address of CELLULAR1"));
}

TEST_F(MailAndDataTest, TheInternetConnectionOpensUnlessCradled) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Cradled", 1));
    OpenDataConnection();
    EXPECT_EQ(TakeSleeps(), std::vector<uint32_t>{1000});
    EXPECT_FALSE(JournalMentions("connection request"));
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Cradled", 0));
    OpenDataConnection();
    EXPECT_TRUE(Journalled("connection request {436EF144-B4FB-4863-A041-8F905A62C572}: connected"));
    EXPECT_TRUE(IsDataConnected());
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    HangUpDataCalls();
    OpenDataConnection();
    EXPECT_TRUE(Journalled("connection request {436EF144-B4FB-4863-A041-8F905A62C572}: not connected (phone radio off)"));
    EXPECT_FALSE(IsDataConnected());
}

TEST_F(MailAndDataTest, TheWantedNetworksHttpProxyIsEnabledAndTheOthersDisabled) {
    AddNetwork(u"The Internet", u"{436EF144-B4FB-4863-A041-8F905A62C572}");
    AddNetwork(u"Corp", kCorp);
    AddNetwork(u"ISP", kIsp);
    AddProvider(u"HTTP-", u"{436EF144-B4FB-4863-A041-8F905A62C572}", 1);
    AddProvider(u"HTTP-", kCorp, 0);
    AddProvider(u"SOCKS-", kCorp, 0);
    AddProvider(u"HTTP-", kIsp, 1);
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, kProviders + std::u16string(u"TlwProxy"), u"Enable", 1));
    SetProxy(kCorp);
    EXPECT_EQ(Dword(kProviders + (u"HTTP-" + std::u16string(kCorp)), u"Enable"), 1u);
    EXPECT_EQ(Dword(kProviders + (u"SOCKS-" + std::u16string(kCorp)), u"Enable"), 1u);
    EXPECT_EQ(Dword(kProviders + (u"HTTP-" + std::u16string(kIsp)), u"Enable"), 0u);
    EXPECT_EQ(Dword(kProviders + std::u16string(u"HTTP-{436EF144-B4FB-4863-A041-8F905A62C572}"), u"Enable"), 1u);
    EXPECT_EQ(Dword(kProviders + std::u16string(u"TlwProxy"), u"Enable"), 999u);  // removed
    EXPECT_EQ(Documents(), std::vector<std::string>{AsJournalled(kRemoveProxyDocument)});
}

TEST_F(MailAndDataTest, WithoutAnHttpProxyTheOwnEntryIsCreated) {
    AddNetwork(u"Corp", kCorp);
    AddNetwork(u"ISP", kIsp);
    AddProvider(u"HTTP-", kCorp, 1);
    SetProxy(kIsp);
    EXPECT_EQ(Dword(kProviders + (u"HTTP-" + std::u16string(kCorp)), u"Enable"), 0u);
    EXPECT_EQ(Documents().back(), AsJournalled(CreateProxyDocument(kIsp)));
    std::u16string source, proxy;
    ASSERT_TRUE(plat::RegReadString(plat::kHkeyLocalMachine, kProviders + std::u16string(u"TlwProxy"), u"SrcId", &source));
    ASSERT_TRUE(plat::RegReadString(plat::kHkeyLocalMachine, kProviders + std::u16string(u"TlwProxy"), u"Proxy", &proxy));
    EXPECT_EQ(source, kIsp);
    EXPECT_EQ(proxy, u"tlwproxy:1159");
    EXPECT_EQ(Dword(kProviders + std::u16string(u"TlwProxy"), u"Enable"), 1u);
}

TEST_F(MailAndDataTest, ABadDocumentChangesNothing) {
    SetPeak(15);
    char16_t* result = reinterpret_cast<char16_t*>(1);
    EXPECT_EQ(plat::DMProcessConfigXML(u"<wap-provisioningdoc><characteristic type=\"Sync\">", plat::kCfgFlagProcess,
                                       &result),
              plat::kConfigErrorBadXml);
    EXPECT_EQ(result, nullptr);
    std::u16string mixed = u"<wap-provisioningdoc><characteristic type=\"Sync\"><characteristic type=\"Settings\">"
                           u"<parm name=\"PeakFrequency\" value=\"5\"/></characteristic></characteristic>"
                           u"<characteristic type=\"Unknown\"/></wap-provisioningdoc>";
    EXPECT_EQ(plat::DMProcessConfigXML(mixed.c_str(), plat::kCfgFlagProcess, &result),
              plat::kConfigErrorUnknownCharacteristic);
    std::u16string bad = FixedFrequencyDocument(0);
    bad.replace(bad.find(u"\"0\""), 3, u"\"x\"");
    EXPECT_EQ(plat::DMProcessConfigXML(bad.c_str(), plat::kCfgFlagProcess, &result), plat::kConfigErrorBadParameter);
    EXPECT_EQ(Peak(), 15);
}

}  // namespace
