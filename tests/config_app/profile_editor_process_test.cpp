// The profile editor on a booted phone, driven with taps, keys and typed
// text: a schedule edited and saved reads back exactly as edited, back
// forgets every edit, and the location row takes the place where the phone
// is (the serving cell, or the strongest access point in access-point mode).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config_app_fixture.h"

namespace {

constexpr uint32_t kCmdEdit = 1510;
constexpr int kRowProfiles = 1;

// Trigger tab rows of a time-schedule profile.
constexpr int kRowStartTime0 = 3;
constexpr int kRowWednesday0 = 3 + 1 + 2;

std::string Value(const std::vector<std::string>& lines, const std::string& key) {
    for (const std::string& l : lines)
        if (l.rfind(key + "=", 0) == 0) return l.substr(key.size() + 1);
    return "<missing>";
}

class ProfileEditorProcessTest : public ConfigAppProcessTest {
protected:
    // Opens the profile list and the editor on a profile.
    void EditProfile(int profile) {
        TapRow(kRowProfiles);
        ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
        ASSERT_TRUE(WaitSelected(0));
        if (profile != 0) {
            TapRow(profile);
            ASSERT_TRUE(WaitSelected(profile));
        }
        Menu(kCmdEdit);
        ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    }
    // Accepts the editor and saves the profile list.
    void AcceptAndSave() {
        Key("softkey1");
        ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
        Key("softkey1");
        ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    }
};

TEST_F(ProfileEditorProcessTest, EditedScheduleIsSavedAndReadsBackAsEdited) {
    StartConfig();
    std::vector<std::string> before = ConfigSection(ConfigRead(), "profile1");
    EditProfile(1);  // Night: a time schedule from 00:00 every day
    TapRow(kRowStartTime0);
    Type("06:15");
    Key("action");
    TapRow(kRowWednesday0);  // no longer on Wednesdays
    ASSERT_TRUE(WaitSelected(kRowWednesday0));
    MarkFlags2();
    AcceptAndSave();

    ASSERT_TRUE(WaitConfigContains("time0=06:15"));
    std::string config = ConfigRead();
    std::vector<std::string> night = ConfigSection(config, "profile1");
    ASSERT_EQ(night.size(), before.size()) << config;
    for (size_t i = 0; i < night.size(); ++i) {
        std::string key = night[i].substr(0, night[i].find('='));
        if (key == "time0") EXPECT_EQ(night[i], "time0=06:15");
        else if (key == "schedule0") EXPECT_EQ(night[i], "schedule0=1,1,0,1,1,1,1");
        else EXPECT_EQ(night[i], before[i]) << "only the edited values change";
    }
    EXPECT_TRUE(Flags2Raised()) << RegistryValue("Flags2");
}

TEST_F(ProfileEditorProcessTest, BackForgetsEditsOnEveryTab) {
    StartConfig();
    std::string before = ConfigRead();
    EditProfile(2);  // Day
    TapRow(kRowStartTime0);
    Type("09:30");
    Key("action");
    TapRow(0, 230);  // the header's right side: the sounds tab
    TapRow(0, 230);  // radios
    TapRow(1);       // Wi-Fi: its entries open
    Key("down");
    Key("action");
    Key("softkey2");  // back: the edits are forgotten
    ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
    Key("softkey1");
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    ASSERT_TRUE(WaitUntil([this] { return ConfigRead().find("[profile0]") != std::string::npos; }));
    std::string after = ConfigRead();
    EXPECT_EQ(ConfigSection(after, "profile2"), ConfigSection(before, "profile2")) << after;
}

TEST_F(ProfileEditorProcessTest, CalendarCategoryRowOffersThePhonesCategoriesAndSavesTheChosenOne) {
    // A category the user made in the calendar is offered after the
    // calendar's own three.
    ASSERT_EQ(TlwsimCommand("cal", dir_, {"category", "add", "Gym"}).exitCode, 0);
    StartConfig();
    EditProfile(3);  // Car, a manual profile
    TapRow(1);       // the trigger type: its entries open
    Key("down");
    Key("down");
    Key("action");   // calendar
    TapRow(3);       // the category: "Any category", Business, Holiday, Personal, Gym
    for (int i = 0; i < 4; ++i) Key("down");
    Key("action");
    ASSERT_TRUE(WaitSelected(3));
    AcceptAndSave();

    ASSERT_TRUE(WaitConfigContains("category=Gym"));
    std::vector<std::string> car = ConfigSection(ConfigRead(), "profile3");
    EXPECT_EQ(Value(car, "eventType"), "2");
    EXPECT_EQ(Value(car, "category"), "Gym");
}

TEST_F(ProfileEditorProcessTest, LocationRowTakesTheServingCell) {
    ASSERT_EQ(TlwsimCommand("hw", dir_, {"cell=300:12"}).exitCode, 0);
    StartConfig();
    EditProfile(3);  // Car, a manual profile
    TapRow(1);       // the trigger type: its entries open
    for (int i = 0; i < 4; ++i) Key("down");
    Key("action");   // location
    TapRow(3);       // the place row: add the current cell
    ASSERT_TRUE(WaitSelected(3));
    AcceptAndSave();

    ASSERT_TRUE(WaitConfigContains("locationname0=Car"));
    std::string config = ConfigRead();
    std::vector<std::string> places = ConfigSection(config, "Locations");
    EXPECT_EQ(Value(places, "location0"), std::to_string(300 * 65536 + 12)) << config;
    EXPECT_EQ(Value(places, "locationname1"), "<missing>");
    EXPECT_EQ(Value(ConfigSection(config, "profile3"), "eventType"), "4");
}

TEST_F(ProfileEditorProcessTest, LocationRowTakesTheStrongestAccessPointInAccessPointMode) {
    ASSERT_EQ(TlwsimCommand("hw", dir_, {"cell=300:12", "ap+=00:1A:2B:3C:4D:5E,Office,-50,6",
                                         "ap+=00:1A:2B:3C:4D:60,Street,-80,11"}).exitCode, 0);
    // Places are found by access point (the options page's choice, written
    // here straight into the file).
    std::string config = ConfigRead();
    size_t at = config.find("location_mode=0");
    ASSERT_NE(at, std::string::npos) << config;
    config.replace(at, 15, "location_mode=1");
    std::string crlf;
    for (char c : config) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::filesystem::path file = std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << crlf;

    StartConfig();
    EditProfile(3);
    TapRow(1);
    for (int i = 0; i < 4; ++i) Key("down");
    Key("action");
    TapRow(3);
    ASSERT_TRUE(WaitSelected(3));
    AcceptAndSave();

    ASSERT_TRUE(WaitConfigContains("locationap0="));
    std::string saved = ConfigRead();
    std::vector<std::string> places = ConfigSection(saved, "Locations");
    EXPECT_EQ(Value(places, "locationap0"), "00:1A:2B:3C:4D:5E") << saved;
    EXPECT_EQ(Value(places, "location0"), "0") << "no cell in access-point mode";
    EXPECT_EQ(Value(places, "locationname0"), "Car");
}

}  // namespace
