// The engine's taskbar icon and popup menus on a booted phone, driven with
// tlwsim tap, drag, key and shot as a person would: a tap on the icon opens
// the menu, a tap on the third profile runs parameter 102, the lock item
// locks, and a quick drag flings the skinned list to its end. The screens of
// both menus for the default profiles (running, chosen by hand, locked) are
// compared with the reference pictures in data/ at QVGA and VGA; set
// TLW_UPDATE_PICTURES=1 to write them anew after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/imaging.h"
#include "support/background_program.h"
#include "support/message_box_answer.h"
#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int CentreX() const { return (left + right) / 2; }
    int CentreY() const { return (top + bottom) / 2; }
};

// Scaled lengths of a screen: 96 dpi (QVGA) or 192 dpi (VGA).
int Scale(const std::string& screen, int v) { return screen == "vga" ? v * 2 : v; }

class MenuProcessTest : public ::testing::TestWithParam<std::string> {
protected:
    void Boot(bool frozen) {
        std::vector<std::string> init = {"--screen", GetParam(), "--time", "2010-01-04T10:42:00"};
        if (frozen) init.push_back("--frozen");
        device_ = std::make_unique<SimDevice>(init);
        ASSERT_TRUE(device_->Ready());
        dir_ = device_->Dir();
        ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "LogMode", "dword:5"}).exitCode, 0);
        host_ = std::make_unique<BackgroundProgram>("tlwsim", std::vector<std::string>{"boot", dir_});
        ASSERT_TRUE(WaitUntil([&] { return Find("TlwIcon", &icon_); }, 30000)) << Windows();
        ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);
    }
    void TearDown() override {
        if (device_ && device_->Ready()) TlwsimCommand("halt", dir_);
        host_.reset();
        device_.reset();
    }

    std::string Windows() { return TlwsimCommand("windows", dir_).output; }
    // The screen rectangle of the first visible window of that class or
    // title; false when none.
    bool Find(const std::string& className, Box* box) {
        std::istringstream in(Windows());
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::istringstream parts(line);
            std::string field;
            while (std::getline(parts, field, '\t')) fields.push_back(field);
            if (fields.size() < 6 || (fields[1] != className && fields[2] != className) || fields[5] != "visible") continue;
            if (box && std::sscanf(fields[4].c_str(), "%d,%d,%d,%d", &box->left, &box->top, &box->right, &box->bottom) != 4)
                return false;
            return true;
        }
        return false;
    }
    void Tap(int x, int y) {
        ProgramResult r = TlwsimCommand("tap", dir_, {std::to_string(x), std::to_string(y)});
        ASSERT_EQ(r.exitCode, 0) << r.output;
    }
    bool Journalled(const std::string& text) { return TlwsimCommand("journal", dir_).output.find(text) != std::string::npos; }
    std::string Log() {
        std::ifstream in(std::filesystem::path(dir_) / "Tallowd.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Locked() {
        return TlwsimCommand("reg", dir_, {"get", "HKCU\\Software\\Korvel\\Tallowin", "Locked"}).output;
    }
    std::string ManualTimeOut() {
        return TlwsimCommand("reg", dir_, {"get", "HKCU\\Software\\Korvel\\Tallowin", "ManualTimeOut"}).output;
    }
    // The screen as a PNG file's pixels.
    std::vector<uint8_t> Shot(const std::string& name) {
        std::string path = (device_->Base() / (name + ".png")).string();
        EXPECT_EQ(TlwsimCommand("shot", dir_, {path}).exitCode, 0);
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // Waits until two screens in a row are the same (painting and any
    // scrolling finished) and returns that screen.
    std::vector<uint8_t> SettledShot(const std::string& name) {
        std::vector<uint8_t> last = Shot(name), now;
        EXPECT_TRUE(WaitUntil([&] {
            now = Shot(name);
            bool same = now == last;
            last = now;
            return same;
        }, 30000));
        return last;
    }
    // Compares a screen with the reference picture of that name; fewer than
    // 1 pixel in 500 may differ by more than a trace of anti-aliasing.
    // Only the region counts when one is given (the plain menu: what lies
    // behind it, the Today screen's meters, changes by itself).
    void ExpectLooksLike(const std::string& name, Box region = Box{}) {
        std::vector<uint8_t> png = SettledShot(name);
        std::filesystem::path reference = std::filesystem::path(TLW_TEST_DATA) / (name + ".png");
        if (std::getenv("TLW_UPDATE_PICTURES")) {
            std::ofstream(reference, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                            static_cast<std::streamsize>(png.size()));
            return;
        }
        std::ifstream in(reference, std::ios::binary);
        std::vector<uint8_t> expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        plat::ArgbImage got, want;
        ASSERT_EQ(plat::DecodePngAlways(png, &got), plat::ImagingResult::kOk);
        ASSERT_EQ(plat::DecodePngAlways(expected, &want), plat::ImagingResult::kOk) << reference;
        ASSERT_EQ(got.width, want.width);
        ASSERT_EQ(got.height, want.height);
        if (region.right <= region.left) region = Box{0, 0, int(got.width), int(got.height)};
        size_t differing = 0;
        for (int y = region.top; y < region.bottom && y < int(got.height); ++y)
            for (int x = region.left; x < region.right && x < int(got.width); ++x) {
                size_t i = (size_t(y) * got.width + size_t(x)) * 4;
                for (size_t c = 0; c < 3; ++c)
                    if (std::abs(int(got.pixels[i + c]) - int(want.pixels[i + c])) > 24) {
                        ++differing;
                        break;
                    }
            }
        EXPECT_LT(differing, size_t(region.right - region.left) * size_t(region.bottom - region.top) / 500 + 1)
            << name << ": the screen (" << (device_->Base() / (name + ".png")).string() << ") differs from " << reference;
    }

    void OpenMenu(const std::string& windowClass) {
        Tap(icon_.CentreX(), icon_.CentreY());
        ASSERT_TRUE(WaitUntil([&] { return Find(windowClass, nullptr); }, 30000)) << Windows();
    }
    void WaitClosed(const std::string& windowClass) {
        ASSERT_TRUE(WaitUntil([&] { return !Find(windowClass, nullptr); }, 30000)) << Windows();
        ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);
    }

    // Rewrites the configuration with menu_type 0 (the plain menu) and has
    // the engine reload it.
    void UsePlainMenu() {
        std::string config = TlwsimCommand("config", dir_, {"read"}).output;
        size_t at = config.find("menu_type=1");
        ASSERT_NE(at, std::string::npos) << config;
        config.replace(at, 11, "menu_type=0");
        std::string crlf;
        for (char c : config) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        std::filesystem::create_directories(std::filesystem::path(dir_) / "My Documents" / "Korvel");
        std::ofstream(std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary) << crlf;
        ASSERT_EQ(Tlwsim({"run", dir_, "\\Windows\\Tallowd.exe", "2262"}).exitCode, 0);
        ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);
        ASSERT_TRUE(WaitUntil([&] { return Find("TlwIcon", &icon_); }, 30000));
        EXPECT_EQ(Log().find("Exiting program."), std::string::npos) << "the icon window went with the reload, not the engine";
    }

    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<BackgroundProgram> host_;
    std::string dir_;
    Box icon_;  // the engine's icon window in the taskbar
};

INSTANTIATE_TEST_SUITE_P(Screens, MenuProcessTest, ::testing::Values("qvga", "vga"));

// The default configuration: an icon window in the taskbar and the skinned menu.
TEST_P(MenuProcessTest, SkinnedMenuChoosesLocksAndShowsEachState) {
    ASSERT_NO_FATAL_FAILURE(Boot(true));
    const std::string s = GetParam();
    EXPECT_EQ(icon_.left, Scale(s, 60)) << "the icon window stands at taskbar_icon_pos";
    EXPECT_EQ(icon_.right - icon_.left, Scale(s, 18));

    ASSERT_NO_FATAL_FAILURE(OpenMenu("TlwSkinnedList"));
    EXPECT_TRUE(Find("TallowinPopup", nullptr));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("skinned_running_" + s));
    // Rows: automatic, the five profiles, settings, switches, counters.
    int header = Scale(s, 26), row = Scale(s, 44);
    Tap(Scale(s, 60), header + 3 * row + row / 2);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("TallowinPopup"));
    EXPECT_NE(Log().find("Param:102"), std::string::npos) << Log();

    // The editor and the lock switch sit on the title line: a tap below
    // them, on the detail line, chooses the row.
    ASSERT_NO_FATAL_FAILURE(OpenMenu("TlwSkinnedList"));
    Box list;
    ASSERT_TRUE(Find("TlwSkinnedList", &list));
    size_t chosenBefore = Log().rfind("Param:102");
    Tap(list.right - Scale(s, 52), header + 3 * row + row * 7 / 8);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("TallowinPopup"));
    EXPECT_NE(Log().rfind("Param:102"), chosenBefore) << Log();

    // The time-out editor of the same row: 01:00 from its choices, then the
    // row itself chooses the profile again, now with that time-out.
    ASSERT_NO_FATAL_FAILURE(OpenMenu("TlwSkinnedList"));
    EXPECT_EQ(ManualTimeOut(), "0\n");
    Tap(list.right - Scale(s, 52), header + 3 * row + row / 2);
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("skinned_timeouts_" + s));
    Tap(Scale(s, 60), header + 4 * Scale(s, 30) + Scale(s, 15));
    Tap(Scale(s, 60), header + 3 * row + row / 2);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("TallowinPopup"));
    EXPECT_NE(ManualTimeOut(), "0\n") << "the manual choice now ends after an hour";

    ASSERT_NO_FATAL_FAILURE(OpenMenu("TlwSkinnedList"));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("skinned_manual_" + s));
    // The lock switch at the right of the displayed profile's row.
    Tap(list.right - Scale(s, 14), header + 3 * row + row / 2);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("TallowinPopup"));
    EXPECT_EQ(Locked(), "1\n");

    ASSERT_NO_FATAL_FAILURE(OpenMenu("TlwSkinnedList"));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("skinned_locked_" + s));
    // The close button leaves the list without a choice.
    Tap(list.right - header / 2, header / 2);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("TallowinPopup"));
    EXPECT_EQ(Locked(), "1\n");
}

// menu_type 0: the plain owner-drawn menu by the taskbar's corner.
TEST_P(MenuProcessTest, PlainMenuChoosesLocksAndShowsEachState) {
    ASSERT_NO_FATAL_FAILURE(Boot(true));
    const std::string s = GetParam();
    ASSERT_NO_FATAL_FAILURE(UsePlainMenu());
    ASSERT_NO_FATAL_FAILURE(OpenMenu("PopupMenu"));
    Box menu;
    ASSERT_TRUE(Find("PopupMenu", &menu));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("plain_running_" + s, menu));
    int item = Scale(s, 18);
    EXPECT_EQ(menu.right, Scale(s, 240)) << "right-aligned at the screen's edge";
    EXPECT_EQ(menu.bottom, Scale(s, 320) - Scale(s, 25)) << "bottom-aligned above the menu bar";
    Tap(menu.CentreX(), menu.top + 1 + 2 * item + item / 2);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("PopupMenu"));
    EXPECT_NE(Log().find("Param:102"), std::string::npos) << Log();

    ASSERT_NO_FATAL_FAILURE(OpenMenu("PopupMenu"));
    ASSERT_TRUE(Find("PopupMenu", &menu));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("plain_manual_" + s, menu));
    ASSERT_TRUE(Find("PopupMenu", &menu));
    // Five profiles, a separator, automatic, then the lock item.
    Tap(menu.CentreX(), menu.top + 1 + 6 * item + Scale(s, 6) + item / 2);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("PopupMenu"));
    EXPECT_EQ(Locked(), "1\n");
    EXPECT_TRUE(Journalled("popup menu chose 510"));

    ASSERT_NO_FATAL_FAILURE(OpenMenu("PopupMenu"));
    ASSERT_TRUE(Find("PopupMenu", &menu));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("plain_locked_" + s, menu));
    ProgramResult r = TlwsimCommand("key", dir_, {"escape"});
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_NO_FATAL_FAILURE(WaitClosed("PopupMenu"));
    EXPECT_TRUE(Journalled("popup menu cancelled"));
}

// The phone radio's switch asks first, in a message box on the screen over
// the Today screen: Cancel leaves the radio alone, the action key (OK, the
// default) switches it off.
TEST_P(MenuProcessTest, PhoneRadioSwitchAsksInAMessageBox) {
    ASSERT_NO_FATAL_FAILURE(Boot(true));
    const std::string s = GetParam();
    ASSERT_NO_FATAL_FAILURE(UsePlainMenu());
    // Five profiles, a separator, automatic and lock, a separator, then the
    // switches Bluetooth, Wi-Fi and phone.
    int item = Scale(s, 18), separator = Scale(s, 6);
    Box menu;
    auto tapPhoneItem = [&] {
        ASSERT_NO_FATAL_FAILURE(OpenMenu("PopupMenu"));
        ASSERT_TRUE(Find("PopupMenu", &menu));
        Tap(menu.CentreX(), menu.top + 1 + 9 * item + 2 * separator + item / 2);
        ASSERT_NO_FATAL_FAILURE(WaitClosed("PopupMenu"));
    };
    ASSERT_NO_FATAL_FAILURE(tapPhoneItem());
    ShownMessageBox box = WaitForMessageBox(dir_, "Tallowin");
    ASSERT_TRUE(box.found) << Windows();
    EXPECT_TRUE(Journalled("message box [Tallowin]")) << "shown with the language file's question";
    EXPECT_TRUE(Journalled("(question)"));
    ASSERT_NO_FATAL_FAILURE(ExpectLooksLike("message_box_phone_" + s, Box{box.left, box.top, box.right, box.bottom}));
    std::string error;
    ASSERT_TRUE(AnswerMessageBox(dir_, "Cancel", &error)) << error;
    ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);
    EXPECT_TRUE(Journalled("message box [Tallowin] answered Cancel"));
    EXPECT_EQ(Log().find("Param:922"), std::string::npos) << Log();

    ASSERT_NO_FATAL_FAILURE(tapPhoneItem());
    ASSERT_TRUE(AnswerMessageBoxByKey(dir_, "action", &error)) << error;
    ASSERT_EQ(TlwsimCommand("sync", dir_).exitCode, 0);
    EXPECT_TRUE(Journalled("message box [Tallowin] answered OK"));
    EXPECT_TRUE(WaitUntil([&] { return Log().find("Param:922") != std::string::npos; }, 30000)) << Log();
}

// A quick drag flings the list: it runs on past where the finger let go.
// Rows are 44 pixels below a 26-pixel header: automatic, five profiles,
// settings, the switches Bluetooth, Wi-Fi, phone, push mail and data, then
// the counters. Dragged 100 pixels up without momentum the list would show
// the Bluetooth row at the bottom; a tap there after the list settled finds
// a later row, known by what it does.
TEST(MenuFlingProcessTest, AQuickDragScrollsTheSkinnedMenuWithMomentum) {
    SimDevice device({"--time", "2010-01-04T10:42:00"});
    ASSERT_TRUE(device.Ready());
    ASSERT_EQ(Tlwsim({"reg", device.Dir(), "set", "HKCU\\Software\\Korvel\\Tallowin", "LogMode", "dword:5"}).exitCode, 0);
    BackgroundProgram host("tlwsim", {"boot", device.Dir()});
    std::string windows;
    auto visible = [&](const std::string& cls) {
        windows = TlwsimCommand("windows", device.Dir()).output;
        return windows.find("\t" + cls + "\t") != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil([&] { return visible("TlwIcon"); }, 30000)) << windows;
    ASSERT_EQ(TlwsimCommand("sync", device.Dir()).exitCode, 0);
    ASSERT_EQ(TlwsimCommand("tap", device.Dir(), {"69", "13"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return visible("TlwSkinnedList"); }, 30000)) << windows;
    ASSERT_EQ(TlwsimCommand("drag", device.Dir(), {"120", "270", "120", "170", "10"}).exitCode, 0);
    // Settled: three screens in a row alike.
    std::string path = (device.Base() / "fling.png").string();
    std::string last, now;
    int alike = 0;
    ASSERT_TRUE(WaitUntil([&] {
        TlwsimCommand("shot", device.Dir(), {path});
        std::ifstream in(path, std::ios::binary);
        now.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        alike = now == last ? alike + 1 : 0;
        last = now;
        return alike >= 2;
    }, 30000));
    size_t before = TlwsimCommand("journal", device.Dir()).output.size();
    ASSERT_EQ(TlwsimCommand("tap", device.Dir(), {"60", "298"}).exitCode, 0);
    const std::vector<std::string> laterRows = {"radio switch wifi", "message box [Tallowin]", "provisioning", "connection request", "RAS hang up",
                                                "mail switch to account", "cprog.exe", "phone make call 123"};
    std::string effects;
    EXPECT_TRUE(WaitUntil([&] {
        effects = TlwsimCommand("journal", device.Dir()).output.substr(before);
        for (const std::string& marker : laterRows)
            if (effects.find(marker) != std::string::npos) return true;
        return false;
    }, 30000)) << effects;
    EXPECT_EQ(effects.find("bluetooth mode"), std::string::npos) << "the list stopped where the finger left it";
    TlwsimCommand("halt", device.Dir());
}

}  // namespace
