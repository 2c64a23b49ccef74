// Tlwconfig on a booted phone, driven with taps, keys and typed text: the
// engine is stopped while it runs and started again, the profile list's
// commands and the options page end up in the configuration file, and the
// engine reloads after a save.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/device/sim_pin.h"
#include "config_app_fixture.h"
#include "platform/storage/paths.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace {

// Profile list commands.
constexpr uint32_t kCmdDelete = 1509;
constexpr uint32_t kCmdRename = 1507;
constexpr uint32_t kCmdNew = 1508;
constexpr uint32_t kCmdCopy = 1513;
constexpr uint32_t kCmdMoveUp = 1511;
constexpr uint32_t kCmdEnable = 1506;

// Main menu rows.
constexpr int kRowOptions = 0;
constexpr int kRowProfiles = 1;

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::vector<std::string> Names(const std::string& config) {
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i) {
        std::vector<std::string> lines = ConfigSection(config, "profile" + std::to_string(i));
        if (lines.empty()) break;
        auto it = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("name=", 0) == 0; });
        names.push_back(it == lines.end() ? "" : it->substr(5));
    }
    return names;
}

std::string Value(const std::vector<std::string>& lines, const std::string& key) {
    for (const std::string& l : lines) {
        if (l.rfind(key + "=", 0) == 0) return l.substr(key.size() + 1);
    }
    return "<missing>";
}

TEST_F(ConfigAppProcessTest, EngineIsStoppedWhileEditingAndStartedAgainAfter45Seconds) {
    StartConfig();
    // The phone's screen is QVGA: the program removed the other screen's skin and icons.
    std::filesystem::path tallowin = std::filesystem::path(dir_) / "Application Data" / "Korvel" / "Tallowin";
    EXPECT_FALSE(std::filesystem::exists(tallowin / "Skins" / "Default_VGA"));
    EXPECT_FALSE(std::filesystem::exists(tallowin / "Icon_store" / "VGA"));
    EXPECT_TRUE(std::filesystem::exists(tallowin / "Skins" / "Default_QVGA" / "tskbar.png"));
    EXPECT_TRUE(std::filesystem::exists(tallowin / "Icon_store" / "QVGA" / "day.png"));
    ASSERT_EQ(TlwsimCommand("time", dir_, {"advance", "44s"}).exitCode, 0);
    ASSERT_EQ(TlwsimCommand("sync", dir_, {"Tlwconfig"}).exitCode, 0);
    EXPECT_FALSE(EngineWindow()) << "the engine stays stopped for 45 s";
    ASSERT_EQ(TlwsimCommand("time", dir_, {"advance", "1s"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([this] { return bool(EngineWindow()); })) << "the 45-second timer starts the engine";

    Key("softkey1");  // Exit on the main menu
    ASSERT_TRUE(WaitUntil([this] { return !ConfigWindow(); }));
    ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);
    EXPECT_EQ(CountWindows(u"Tallowd"), 1) << "a running engine is not started twice";
    EXPECT_EQ(Count(Journal(), "Tlwconfig start \\Windows\\Tallowd.exe"), 1u) << Journal();
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir_) / "Windows" / "StartUp" / "Tallowd.lnk"));
}

TEST_F(ConfigAppProcessTest, ClosingBefore45SecondsStartsTheEngineAgainAndASecondStartFindsTheFirst) {
    StartConfig();
    plat::Hwnd first = ConfigWindow();
    ASSERT_EQ(TlwsimCommand("run", dir_, {"Tlwconfig"}).exitCode, 0);
    EXPECT_EQ(CountWindows(u"Tlwconfig"), 1) << "a second start leaves the first alone";
    EXPECT_TRUE(ConfigWindow() == first);

    Key("softkey1");
    ASSERT_TRUE(WaitUntil([this] { return !ConfigWindow(); }));
    ASSERT_TRUE(WaitUntil([this] { return bool(EngineWindow()); })) << "closing starts the engine";
    EXPECT_EQ(CountWindows(u"Tallowd"), 1);
    // The wait for the old engine and the start of the new one happen under
    // the wait cursor.
    ASSERT_TRUE(WaitUntil([this] { return Journal().find("Tlwconfig wait cursor hidden") != std::string::npos; }));
    std::string journal = Journal();
    size_t shown = journal.find("Tlwconfig wait cursor shown");
    size_t start = journal.find("Tlwconfig start \\Windows\\Tallowd.exe");
    size_t hidden = journal.find("Tlwconfig wait cursor hidden");
    EXPECT_LT(shown, start) << journal;
    EXPECT_LT(start, hidden) << journal;
}

TEST_F(ConfigAppProcessTest, ProfileCommandsAreSavedAsEdited) {
    StartConfig();
    TapRow(kRowProfiles);
    ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
    ASSERT_TRUE(WaitSelected(0));

    Menu(kCmdNew);  // appended as profile 5, its name open for typing
    ASSERT_TRUE(WaitSelected(5));
    Type("Meeting");
    Key("action");
    Menu(kCmdCopy);  // a copy of "Meeting" as profile 6
    ASSERT_TRUE(WaitSelected(6));
    Type("Gym");
    Key("action");
    Menu(kCmdMoveUp);
    ASSERT_TRUE(WaitSelected(5));
    Menu(kCmdEnable);

    TapRow(1);  // Night
    ASSERT_TRUE(WaitSelected(1));
    Menu(kCmdRename);
    Type("Sleep");
    Key("action");
    TapRow(3);  // Car
    ASSERT_TRUE(WaitSelected(3));
    Menu(kCmdDelete);
    MarkFlags2();
    Key("softkey1");  // Save
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));

    ASSERT_TRUE(WaitConfigContains("name=Meeting"));
    std::string config = ConfigRead();
    EXPECT_EQ(Names(config), (std::vector<std::string>{"-", "Sleep", "-", "Flight mode", "Gym", "Meeting"})) << config;
    std::vector<std::string> gym = ConfigSection(config, "profile4");
    EXPECT_EQ(Value(gym, "enabled"), "1") << "enabled from the menu";
    EXPECT_EQ(Value(gym, "eventType"), "0");
    std::vector<std::string> meeting = ConfigSection(config, "profile5");
    EXPECT_EQ(Value(meeting, "enabled"), "0");
    EXPECT_EQ(Value(meeting, "show"), "1");
    EXPECT_EQ(RegistryValue("ManualProfile"), "700");
    EXPECT_TRUE(Flags2Raised()) << RegistryValue("Flags2");
}

TEST_F(ConfigAppProcessTest, AFileOfTheOlderLayoutIsReadAtStartAndSavedInTheCurrentOne) {
    std::filesystem::path file = std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        << "profile=0 name=\"Quiet\" enabled=\"X eventType=0 timed=\"X01:30\" override=\"X volMaster=0\r\n"
           "profile=1 name=\"Office\" enabled=\"X eventType=1 schedule0=\"XXXXX--08:30\" show=\"X override=\"-\r\n"
           "profile=2 name=\"Evening\" enabled=\"- eventType=0 radio=\"-X-\"\r\n"
           "Language=00 bklLevels=12 voicemail=\"+4930123\"\r\n";
    StartConfig();
    TapRow(kRowProfiles);
    ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
    Key("softkey1");  // Save
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));

    ASSERT_TRUE(WaitConfigContains("name=Evening"));
    std::ifstream in(file, std::ios::binary);
    std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("VERSION 2.0"), std::string::npos) << "saved in the current layout";
    std::string config = ConfigRead();
    EXPECT_EQ(Names(config), (std::vector<std::string>{"Quiet", "Office", "Evening"})) << config;
    std::vector<std::string> quiet = ConfigSection(config, "profile0");
    EXPECT_EQ(Value(quiet, "timeout"), "01:30");
    std::vector<std::string> office = ConfigSection(config, "profile1");
    EXPECT_EQ(Value(office, "time0"), "08:30");
    EXPECT_EQ(Value(office, "schedule0"), "1,1,1,1,1,0,0");
    EXPECT_EQ(Value(ConfigSection(config, "profile2"), "radio"), "0,1,0");
    EXPECT_EQ(Value(ConfigSection(config, "Options"), "bklLevels"), "12");
}

TEST_F(ConfigAppProcessTest, DeleteStopsAtTwoProfiles) {
    StartConfig();
    TapRow(kRowProfiles);
    ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
    ASSERT_TRUE(WaitSelected(0));
    for (int i = 0; i < 3; ++i) Menu(kCmdDelete);
    ASSERT_TRUE(WaitUntil([this] {
        // The entry points into the soft keys' record: keep the record alive while reading it.
        const auto keys = SoftKeys();
        const plat::MenuBarEntry* e = MenuEntry(keys, kCmdDelete);
        return e && e->grayed;
    })) << "with two profiles Delete is not offered";
    // A delete command that still arrives does nothing.
    ASSERT_TRUE(plat::PostMessage(ConfigWindow(), plat::WM_COMMAND, kCmdDelete, 0));
    Key("softkey1");
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    ASSERT_TRUE(WaitConfigContains("[profile1]"));
    std::string config = ConfigRead();
    EXPECT_EQ(Names(config), (std::vector<std::string>{"Car", "Flight mode"})) << config;
}

TEST_F(ConfigAppProcessTest, OptionsAreSavedAsEditedAndTheEngineReloads) {
    StartConfig();
    ASSERT_EQ(TlwsimCommand("time", dir_, {"advance", "45s"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([this] { return bool(EngineWindow()); }));
    std::string before = ConfigRead();

    TapRow(kRowOptions);
    ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    TapRow(1);  // SIM PIN: nine digits are refused
    Type("123456789");
    Key("action");
    TapRow(2);  // voice mail
    Type("5550100");
    Key("action");
    TapRow(3);  // backlight levels
    Type("12");
    Key("action");
    TapRow(6);  // click sound
    TapRow(7);  // how places are found: the entries open
    Key("down");
    Key("action");
    Key("softkey1");
    AnswerMessageBox("A SIM PIN has 4 to 8 digits. No PIN is stored.");
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    ASSERT_TRUE(WaitConfigContains("voicemail=5550100"));
    ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);

    std::string after = ConfigRead();
    std::vector<std::string> was = ConfigSection(before, "Options");
    std::vector<std::string> now = ConfigSection(after, "Options");
    ASSERT_EQ(was.size(), now.size()) << after;
    for (size_t i = 0; i < now.size(); ++i) {
        std::string key = now[i].substr(0, now[i].find('='));
        if (key == "voicemail") EXPECT_EQ(now[i], "voicemail=5550100");
        else if (key == "bklLevels") EXPECT_EQ(now[i], "bklLevels=12");
        else if (key == "tdy_sound") EXPECT_NE(now[i], was[i]) << "the click sound was switched";
        else if (key == "location_mode") EXPECT_EQ(now[i], "location_mode=1");
        else EXPECT_EQ(now[i], was[i]) << "only the edited options change";
    }
    EXPECT_EQ(Names(after), Names(before));
    EXPECT_EQ(RegistryValue("ProfileFlags"), "15") << "a PIN of nine digits is no PIN";
    EXPECT_NE(Journal().find("Tlwconfig message 2262 to Tallowd"), std::string::npos) << Journal();
}

TEST_F(ConfigAppProcessTest, AValidPinIsStoredAndANumberOutOfRangeIsRefused) {
    StartConfig();
    TapRow(kRowOptions);
    ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    TapRow(1);
    Type("4711");
    Key("action");
    TapRow(3);
    Type("99");  // above 64: refused, the levels stay
    Key("action");
    AnswerMessageBox("Enter a number from 4 to 64.");
    Key("softkey1");
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    ASSERT_TRUE(WaitUntil([this] { return RegistryValue("ProfileFlags") != "" && RegistryValue("ProfileFlags") != "15"; }));
    char16_t pin[tlw::kSimPinBufferSize] = {};
    ASSERT_TRUE(tlw::DecodeSimPin(pin));
    EXPECT_EQ(std::u16string_view(pin), u"4711");
    ASSERT_TRUE(WaitConfigContains("bklLevels="));
    EXPECT_EQ(Value(ConfigSection(ConfigRead(), "Options"), "bklLevels"), "4");
}

}  // namespace
