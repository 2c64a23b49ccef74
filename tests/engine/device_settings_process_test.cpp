// Process tests of a profile's device settings applied by the running
// engine: sound mode, volumes, ring tone and notification options,
// backlight, time-outs and rotation leave their registry values and the
// phone's journal lines in activation order; a brightness chosen while the
// phone sleeps is applied when it wakes.
#include <gtest/gtest.h>

#include <map>

#include "engine_process_fixture.h"

namespace {

class DeviceSettingsProcessTest : public EngineProcessTest {
protected:
    // Rewrites keys of profile `index` in the configuration and reloads it.
    void SetKeys(int index, const std::map<std::string, std::string>& keys) {
        std::string text = Tlwsim({"config", dir_, "read"}).output;
        size_t section = text.find("[profile" + std::to_string(index) + "]\n");
        ASSERT_NE(section, std::string::npos);
        for (const auto& [key, value] : keys) {
            size_t at = text.find("\n" + key + "=", section);
            ASSERT_NE(at, std::string::npos) << key;
            size_t end = text.find('\n', at + 1);
            text.replace(at + 1, end - at - 1, key + "=" + value);
        }
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        std::filesystem::create_directories(std::filesystem::path(dir_) / "My Documents" / "Korvel");
        std::ofstream(std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary) << crlf;
        SecondStart({"2262"});
    }
    std::string Reg(const std::string& key, const std::string& value) {
        ProgramResult r = Tlwsim({"reg", dir_, "get", key, value});
        return r.exitCode == 0 ? r.output.substr(0, r.output.size() - 1) : "(missing)";
    }
    std::string Fact(const std::string& key) {
        std::string facts = "\n" + Tlwsim({"hw", dir_}).output;
        size_t at = facts.find("\n" + key + "=");
        if (at == std::string::npos) return "(none)";
        size_t start = at + key.size() + 2;
        return facts.substr(start, facts.find('\n', start) - start);
    }
    // The journal's effects (without time and program) from line `from` on.
    std::vector<std::string> Effects(size_t from) {
        std::vector<std::string> effects;
        std::istringstream in(Journal());
        std::string line;
        for (size_t n = 0; std::getline(in, line); ++n) {
            if (n < from) continue;
            size_t first = line.find(' ');
            size_t second = line.find(' ', first + 1);
            effects.push_back(line.substr(second + 1));
        }
        return effects;
    }
    size_t JournalLines() {
        std::string j = Journal();
        return static_cast<size_t>(std::count(j.begin(), j.end(), '\n'));
    }
    // Where each wanted line occurs, in order; npos for one missing or out of order.
    static size_t InOrder(const std::vector<std::string>& effects, const std::vector<std::string>& wanted) {
        size_t at = 0;
        for (const std::string& w : wanted) {
            while (at < effects.size() && effects[at] != w) ++at;
            if (at == effects.size()) {
                ADD_FAILURE() << "missing or out of order: " << w;
                return std::string::npos;
            }
            ++at;
        }
        return at;
    }
};

TEST_F(DeviceSettingsProcessTest, ProfileSettingsReachThePhoneInActivationOrder) {
    SetKeys(3, {{"volMaster", "2"},
                {"event_enabled", "1,0,1,0,0,1"},
                {"sound_control", "1,0,1,0,0,0"},
                {"ringtone0", "Ring-Melody.wav"},
                {"ringtone2", "Alarm2.wav"},
                {"event_type", "1,0,3,0,0,0"},
                {"flash", "0,0,1,0,0,0"},
                {"flash_time", "0,0,5,0,0,0"},
                {"repeat", "0,0,0,0,0,1"},
                {"volume_enabled", "1,1,1"},
                {"volume", "4,2,3"},
                {"backlight_enabled", "1"},
                {"backlight", "1"},
                {"power_timeouts", "1,9,6,0"},
                {"rotate", "1"},
                {"pda_power", "3"}});
    size_t from = JournalLines();
    SecondStart({"103"});
    ASSERT_EQ(Registry("RunningProfile"), "3\n");

    // Ring tone and notifications.
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Sounds\\RingTone0", "Sound"), "\\Windows\\Rings\\Ring-Melody.wav");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Sounds\\RingTone0", "Script"), "c50apw3c150r");
    const std::string event2 = "HKCU\\ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}";
    EXPECT_EQ(Reg(event2, "Wave"), "\\Windows\\Alarm2.wav");
    EXPECT_EQ(Reg(event2, "Options"), "7");
    EXPECT_EQ(Reg(event2, "Duration"), "45");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Notifications\\{15F11F90-8A5F-454c-89FC-BA9B7AAB0CAD}", "Options"),
              std::to_string(0x40000011u));
    // Volumes.
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Volume", "Volume"), std::to_string(0xCCCCCCCCu));
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Notifications\\ShellOverrides", "SavedVolume"), std::to_string(0xCCCCCCCCu));
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Notifications\\ShellOverrides", "Mode"), "0");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Volume", "Ringer"), std::to_string(0x66666666u));
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\SoundCategories\\Ring", "InitVol"), "2");
    // Backlight and time-outs (code 9 leaves the external backlight time-out).
    EXPECT_EQ(Registry("BrightNess"), "1\n");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Backlight", "BatteryBrightness"), "1");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\BackLight", "BatteryTimeout"), "10");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\BackLight", "ACTimeout"), "60");
    EXPECT_EQ(Reg("HKLM\\System\\CurrentControlSet\\Control\\Power\\Timeouts", "BattSuspendTimeout"), "300");
    EXPECT_EQ(Reg("HKLM\\System\\CurrentControlSet\\Control\\Power\\Timeouts", "ACSuspendTimeout"), "0");
    EXPECT_EQ(Reg("HKLM\\System\\GDI\\Rotation", "Angle"), "90");

    // What the phone was asked, in the order of the activation.
    std::vector<std::string> effects = Effects(from);
    InOrder(effects, {"sound profile on", "wave-out 0 volume 0xCCCCCCCC", "phone 0 volume handset 39321",
                      "phone 0 volume headset 39321", "phone 0 volume speaker 39321", "event BackLightChangeEvent set",
                      "event BackLightLevelChangeEvent set", "BKL1: control 0x00000002 input 1",
                      "BKL1: control 0xA201A004 input 1", "event PowerManager/ReloadActivityTimeouts set",
                      "event PowerManager/ReloadActivityTimeouts set", "display orientation 90"});

    // The console sees the same phone.
    EXPECT_EQ(Fact("sound"), "on");
    EXPECT_EQ(Fact("volume"), "4");
    EXPECT_EQ(Fact("ringer"), "2");
    EXPECT_EQ(Fact("callvolume"), "3");
    EXPECT_EQ(Fact("brightness"), "1");
    EXPECT_EQ(Fact("orientation"), "90");
}

TEST_F(DeviceSettingsProcessTest, SilentProfileSetsTheSoundProfileOnly) {
    SetKeys(3, {{"volMaster", "0"}, {"event_enabled", "1,1,1,1,1,1"}, {"volume_enabled", "1,1,1"}});
    size_t from = JournalLines();
    std::string saved = Reg("HKCU\\ControlPanel\\Notifications\\ShellOverrides", "SavedVolume");
    SecondStart({"103"});
    EXPECT_EQ(Fact("sound"), "silent");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Volume", "Volume"), "0");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Notifications\\ShellOverrides", "Mode"), "2");
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Notifications\\ShellOverrides", "SavedVolume"), saved);
    std::vector<std::string> effects = Effects(from);
    EXPECT_EQ(std::count_if(effects.begin(), effects.end(),
                            [](const std::string& e) { return e.rfind("phone 0 volume", 0) == 0; }),
              0);
}

TEST_F(DeviceSettingsProcessTest, BrightnessChosenAsleepIsAppliedOnWaking) {
    // Radios left alone: switching Wi-Fi would wake the phone first.
    SetKeys(3, {{"backlight_enabled", "1"}, {"backlight", "2"}, {"radio", "2,2,2"}});
    ASSERT_EQ(Tlwsim({"hw", dir_, "power=suspend"}).exitCode, 0);
    SecondStart({"103"});
    ASSERT_EQ(Registry("RunningProfile"), "3\n");
    EXPECT_EQ(Registry("BrightNess"), "2\n");
    EXPECT_EQ(Fact("brightness"), "3");  // not yet
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Backlight", "BatteryBrightness"), "3");
    // Exactly one wake-up for the engine (beside its midnight reschedule).
    std::string pending = Tlwsim({"notify", dir_, "list"}).output;
    size_t wakeUp = pending.find("event 11 \\Windows\\Tallowd.exe 40\n");
    EXPECT_NE(wakeUp, std::string::npos) << pending;
    EXPECT_EQ(pending.find("event 11", wakeUp + 1), std::string::npos) << pending;

    // The power button: the wake-up starts the engine with 40, which hands
    // it to the running engine.
    ASSERT_EQ(Tlwsim({"hw", dir_, "power=on"}).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return Fact("brightness") == "2"; }, 20000));
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_EQ(Reg("HKCU\\ControlPanel\\Backlight", "BatteryBrightness"), "2");
    EXPECT_EQ(Tlwsim({"notify", dir_, "list"}).output.find("Tallowd.exe 40"), std::string::npos);
    EXPECT_NE(Log().find("Param:40"), std::string::npos);
}

}  // namespace
