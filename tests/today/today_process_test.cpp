// The plug-in on a booted phone: tlwsim init installs and lists it, the
// Today screen loads it, its height follows the rows of its layout, and
// taps on the lock and on a switch reach the running engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/config/config_file.h"
#include "common/config/defaults.h"
#include "common/config/registry_state.h"
#include "platform/gdi/imaging.h"
#include "platform/kernel/clock.h"
#include "support/background_program.h"
#include "support/message_box_answer.h"
#include "support/run_program.h"
#include "support/sim_device.h"
#include "today/today_layout.h"

namespace {

using namespace today;

constexpr char kTallowin[] = "HKCU\\Software\\Korvel\\Tallowin";

// Writes the configuration file of the device with the default profiles
// and these add-ons (type, tall, wide). thumb: a tap on the name asks the
// engine for its menu instead of the item's own.
void WriteConfig(const SimDevice& device, const std::vector<tlw::TodayItem>& addons, bool thumb = false,
                 void (*edit)(tlw::ConfigModel&) = nullptr) {
    tlw::ConfigModel model;
    tlw::LanguageTable language;
    tlw::ApplyDefaults(model, language, false);
    model.options.thumb_menu = thumb;
    if (edit) edit(model);
    for (tlw::TodayItem& item : model.todayItems) item = {};
    for (size_t i = 0; i < addons.size(); ++i) model.todayItems[i] = addons[i];
    std::filesystem::path folder = std::filesystem::path(device.Dir()) / "My Documents" / "Korvel";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Tallowd.ini", std::ios::binary) << tlw::FormatConfiguration(model, language);
}

// The item window's screen rectangle from tlwsim windows; false when it is
// not listed.
bool ItemRect(const SimDevice& device, plat::Rect* rect) {
    std::istringstream lines(TlwsimCommand("windows", device.Dir()).output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("\tTlwToday\tTlwToday\t") == std::string::npos) continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string f; std::getline(split, f, '\t');) fields.push_back(f);
        if (fields.size() < 5) return false;
        return std::sscanf(fields[4].c_str(), "%d,%d,%d,%d", &rect->left, &rect->top, &rect->right, &rect->bottom) == 4;
    }
    return false;
}

bool Journalled(const SimDevice& device, const std::string& text) {
    return TlwsimCommand("journal", device.Dir()).output.find(text) != std::string::npos;
}

std::string Reg(const SimDevice& device, const char* value) {
    return TlwsimCommand("reg", device.Dir(), {"get", kTallowin, value}, ErrorStream::kCaptured).output;
}

class TodayProcessTest : public ::testing::Test {
protected:
    void Boot(const std::vector<tlw::TodayItem>& addons, bool thumb = false,
              void (*edit)(tlw::ConfigModel&) = nullptr) {
        ASSERT_TRUE(device_.Ready());
        WriteConfig(device_, addons, thumb, edit);
        host_ = std::make_unique<BackgroundProgram>("tlwsim", std::vector<std::string>{"boot", device_.Dir()});
        ASSERT_TRUE(WaitUntil([&] { return ItemRect(device_, &item_) && item_.bottom > item_.top; }, 30000))
            << TlwsimCommand("windows", device_.Dir()).output;
        ASSERT_TRUE(WaitUntil([&] { return !TlwsimCommand("sync", device_.Dir()).exitCode; }, 30000));
    }
    void TearDown() override {
        if (host_) TlwsimCommand("halt", device_.Dir());
    }
    void Tap(int32_t x, int32_t y) {
        ASSERT_EQ(TlwsimCommand("tap", device_.Dir(), {std::to_string(x), std::to_string(y)}).exitCode, 0);
    }

    SimDevice device_{{"--screen", "qvga", "--time", "2010-01-04T10:42:00", "--frozen"}};
    std::unique_ptr<BackgroundProgram> host_;
    plat::Rect item_;
};

TEST_F(TodayProcessTest, TheItemsHeightFollowsItsRows) {
    Boot({{true, AddonBluetooth, false, false}});
    EXPECT_EQ(item_.bottom - item_.top, 20) << "one row";
    EXPECT_EQ(item_.right - item_.left, 240);
    // The configuration program saves a layout of three rows and signals it.
    WriteConfig(device_, {{true, AddonBluetooth, true, true}, {true, AddonLineBreak, false, false},
                          {true, AddonWifi, false, false}, {true, AddonPushMail, false, false}});
    ASSERT_EQ(TlwsimCommand("reg", device_.Dir(), {"set", kTallowin, "Flags2", "dword:1"}).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return ItemRect(device_, &item_) && item_.bottom - item_.top == 60; }, 20000))
        << item_.bottom - item_.top;
    EXPECT_EQ(Reg(device_, "Flags2"), "0\n");
}

TEST_F(TodayProcessTest, TheLockIconLocksAndUnlocks) {
    Boot({{true, AddonBluetooth, false, false}});
    // One add-on in column 12 leaves 7 free columns: the lock is at
    // x = 240 - (12 - 5 - 7 + 2) x 18 = 204.
    Tap(212, item_.top + 10);
    EXPECT_TRUE(WaitUntil([&] { return Reg(device_, "Locked") == "1\n"; }, 20000));
    Tap(212, item_.top + 10);
    EXPECT_TRUE(WaitUntil([&] { return Reg(device_, "Locked") == "0\n"; }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2261 to Tallowd (500, 0)"); }, 20000))
        << "unlocking hands the choice back to the engine";
}

TEST_F(TodayProcessTest, TheBluetoothSwitchOfAPhoneWithBluetoothOnSends921) {
    Boot({{true, AddonBluetooth, false, false}});
    ASSERT_EQ(TlwsimCommand("hw", device_.Dir(), {"bt=1"}).exitCode, 0);
    Tap(230, item_.top + 10);
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2261 to Tallowd (921, 0)"); }, 20000));
}

}  // namespace

namespace {

// A window of the class in tlwsim windows; its screen rectangle.
bool WindowRect(const SimDevice& device, const std::string& className, plat::Rect* rect) {
    std::istringstream lines(TlwsimCommand("windows", device.Dir()).output);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string f; std::getline(split, f, '\t');) fields.push_back(f);
        if (fields.size() < 5 || fields[1] != className || line.find("\tvisible") == std::string::npos) continue;
        return std::sscanf(fields[4].c_str(), "%d,%d,%d,%d", &rect->left, &rect->top, &rect->right, &rect->bottom) == 4;
    }
    return false;
}

// Whether the screen shows text (a dark pixel) in the rectangle.
bool DarkPixelIn(const SimDevice& device, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    std::string shot = (device.Base() / "check.png").string();
    if (TlwsimCommand("shot", device.Dir(), {shot}).exitCode != 0) return false;
    std::ifstream in(shot, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    plat::ArgbImage image;
    if (plat::DecodePngAlways(bytes, &image) != plat::ImagingResult::kOk) return false;
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) {
            const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4];
            if (p[0] < 0x40 && p[1] < 0x40 && p[2] < 0x40) return true;
        }
    return false;
}

TEST_F(TodayProcessTest, TheProfileMenusThirdEntrySends102) {
    Boot({{true, AddonBluetooth, false, false}});
    Tap(40, item_.top + 10);
    plat::Rect menu;
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(device_, "PopupMenu", &menu); }, 20000))
        << TlwsimCommand("windows", device_.Dir()).output;
    // The menu opens at x = 28, 20 below the item's top.
    EXPECT_EQ(menu.left, 28);
    EXPECT_EQ(menu.top, item_.top + 20);
    // Entries of 18 pixels below a 1-pixel border: the third is the third profile.
    Tap(menu.left + 40, menu.top + 1 + 2 * 18 + 9);
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2261 to Tallowd (102, 0)"); }, 20000))
        << TlwsimCommand("journal", device_.Dir()).output;
    EXPECT_TRUE(WaitUntil([&] { return !WindowRect(device_, "PopupMenu", &menu); }, 20000)) << "the menu closed";
    // The engine runs the chosen profile by hand.
    EXPECT_TRUE(WaitUntil([&] { return Reg(device_, "ManualProfile") == "2\n"; }, 20000));
}

TEST_F(TodayProcessTest, WithTheThumbMenuTheNameAsksTheEngineForItsMenu) {
    Boot({{true, AddonBluetooth, false, false}}, true);
    Tap(40, item_.top + 10);
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2268 to Tallowd"); }, 20000))
        << TlwsimCommand("journal", device_.Dir()).output;
    plat::Rect popup;
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(device_, "TallowinPopup", &popup); }, 20000))
        << TlwsimCommand("windows", device_.Dir()).output;
    EXPECT_FALSE(WindowRect(device_, "PopupMenu", &popup)) << "the item shows no menu of its own";
}

// The first profile, a manual one, with a time-out of its own, so that the
// engine keeps the stored end when told of a new one.
void FirstProfileTimesOut(tlw::ConfigModel& model) {
    model.profiles.profiles[0].eventType = tlw::kEventManual;
    model.profiles.profiles[0].timeoutSet = true;
    model.profiles.profiles[0].timeout = u"00:30";
}

TEST_F(TodayProcessTest, ZeroInTheTimePickerBecomesOneMinute) {
    Boot({{true, AddonBluetooth, false, false}}, false, &FirstProfileTimesOut);
    // The first profile runs by hand with half an hour left: the item shows
    // the time left right of the name, and a tap on it opens the picker.
    plat::SystemTime now;
    ASSERT_TRUE(plat::ParseDeviceTime("2010-01-04T10:42:00", &now));
    uint32_t end = tlw::EncodeManualTimeOut(plat::AddSeconds(now, 1800));
    for (auto [value, data] : {std::pair{"ManualProfile", 0u}, {"ManualTimeOut", end}, {"RunningProfile", 0u}})
        ASSERT_EQ(TlwsimCommand("reg", device_.Dir(), {"set", kTallowin, value, "dword:" + std::to_string(data)}).exitCode, 0);
    // One add-on leaves the name up to x = 156; the time-out follows it once
    // the item has seen it.
    ASSERT_TRUE(WaitUntil([&] { return DarkPixelIn(device_, 156, item_.top + 2, 186, item_.top + 18); }, 20000));
    Tap(170, item_.top + 10);
    plat::Rect dialog;
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(device_, "Dialog", &dialog); }, 20000))
        << TlwsimCommand("windows", device_.Dir()).output;
    // Over the time-out text, 78 by 23.
    EXPECT_EQ(dialog.left, 156);
    EXPECT_EQ(dialog.top, item_.top + 2);
    EXPECT_EQ(dialog.right - dialog.left, 78);
    EXPECT_EQ(dialog.bottom - dialog.top, 23);
    ASSERT_EQ(TlwsimCommand("type", device_.Dir(), {"0000"}).exitCode, 0);
    ASSERT_EQ(TlwsimCommand("key", device_.Dir(), {"enter"}).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2261 to Tallowd (720, 0)"); }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return !WindowRect(device_, "Dialog", &dialog); }, 20000)) << "the dialog closed";
    // One minute after 10:42:00 on 4 January 2010, the frozen device time,
    // kept by the engine.
    ASSERT_TRUE(WaitUntil([&] { return !TlwsimCommand("sync", device_.Dir()).exitCode; }, 20000));
    EXPECT_EQ(Reg(device_, "ManualTimeOut"), std::to_string(tlw::EncodeManualTimeOut(plat::AddSeconds(now, 60))) + "\n")
        << TlwsimCommand("journal", device_.Dir()).output;
}

TEST_F(TodayProcessTest, ThePhoneRadioSwitchAsksFirst) {
    Boot({{true, AddonPhoneRadio, false, false}});
    ASSERT_EQ(TlwsimCommand("hw", device_.Dir(), {"phone=on"}).exitCode, 0);
    auto mute = [&] {
        return TlwsimCommand("reg", device_.Dir(), {"get", "HKCU\\ControlPanel\\Volume", "Mute"}).output;
    };
    ASSERT_EQ(mute(), "5\n") << "a new phone plays its sounds (bit 4)";
    std::string error;
    // The radio is on: the question to turn it off, heard even on a muted
    // phone; Cancel keeps it.
    Tap(230, item_.top + 10);
    ShownMessageBox box = WaitForMessageBox(device_.Dir(), "Tallowin");
    ASSERT_TRUE(box.found) << TlwsimCommand("windows", device_.Dir()).output;
    EXPECT_EQ(mute(), "1\n") << "the sound bit is cleared while the box asks";
    ASSERT_TRUE(AnswerMessageBox(device_.Dir(), "Cancel", &error)) << error;
    EXPECT_TRUE(WaitUntil([&] { return mute() == "5\n"; }, 20000)) << "and restored after the answer";
    EXPECT_FALSE(Journalled(device_, "(922, 0)")) << "Cancel keeps the radio on";
    // OK turns it off.
    Tap(230, item_.top + 10);
    ASSERT_TRUE(AnswerMessageBox(device_.Dir(), "OK", &error)) << error;
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2261 to Tallowd (922, 0)"); }, 20000))
        << TlwsimCommand("journal", device_.Dir()).output;
    // The radio is off: the question to turn it on; OK sends 912.
    ASSERT_TRUE(WaitUntil([&] { return TlwsimCommand("hw", device_.Dir()).output.find("phone=off") != std::string::npos; },
                          20000));
    Tap(230, item_.top + 10);
    ASSERT_TRUE(AnswerMessageBox(device_.Dir(), "OK", &error)) << error;
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "message 2261 to Tallowd (912, 0)"); }, 20000))
        << TlwsimCommand("journal", device_.Dir()).output;
}

TEST_F(TodayProcessTest, TheMissedCallsCounterOpensTheCallLog) {
    Boot({{true, AddonMissedCalls, false, false}});
    Tap(230, item_.top + 10);
    EXPECT_TRUE(WaitUntil([&] { return Journalled(device_, "cprog.exe"); }, 20000))
        << TlwsimCommand("journal", device_.Dir()).output;
    plat::Rect log;
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(device_, "MSClog", &log); }, 20000))
        << TlwsimCommand("windows", device_.Dir()).output;
    // The call log is in front and has the keys.
    EXPECT_TRUE(WaitUntil([&] {
        std::string windows = TlwsimCommand("windows", device_.Dir()).output;
        size_t at = windows.find("\tMSClog\t");
        return at != std::string::npos && windows.find('\n', at) > windows.find("\tfocus", at);
    }, 20000)) << TlwsimCommand("windows", device_.Dir()).output;
}

}  // namespace
