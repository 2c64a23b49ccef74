// The file and folder chooser of Tlwconfig on a booted phone, driven by
// keys and taps: the profile's program in load mode, the profile's icon in
// icon mode (it starts among the icons of the screen) and the skin folder in
// folder mode with the up button; each pick is saved and reads back.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/text.h"
#include "common/config/config_paths.h"
#include "common/graphics/screen_scale.h"
#include "config_app/chooser_dialog.h"
#include "config_app/chooser_listing.h"
#include "config_app/file_chooser.h"
#include "config_app_fixture.h"
#include "platform/hardware/device_model.h"
#include "platform/window/window.h"

namespace {

constexpr uint32_t kCmdEdit = 1510;

std::string Value(const std::vector<std::string>& lines, const std::string& key) {
    for (const std::string& l : lines)
        if (l.rfind(key + "=", 0) == 0) return l.substr(key.size() + 1);
    return "<missing>";
}

class ChooserProcessTest : public ConfigAppProcessTest {
protected:
    plat::Hwnd ChooserWindow() { return plat::FindWindow(tlw::kChooserClass, nullptr); }
    void Sync() { ASSERT_EQ(TlwsimCommand("sync", dir_, {"Tlwconfig"}).exitCode, 0); }
    // Opens the editor of the first profile on its last tab (program and icon).
    void EditProgramTab() {
        TapRow(1);
        ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
        ASSERT_TRUE(WaitSelected(0));
        Menu(kCmdEdit);
        ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
        TapRow(0, 10);  // the header's left side: the tab before the first
        Sync();
    }
    // Moves the listing's selection to the named entry of the folder as the
    // chooser lists it (the test lists the same folder by the same rules).
    void SelectEntry(const std::u16string& folder, const std::u16string& name, int32_t mode, bool iconMode) {
        std::vector<tlw::ChooserEntry> entries = tlw::ListChooserFolder(folder, mode, iconMode);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const tlw::ChooserEntry& e) { return e.name == name; });
        ASSERT_NE(it, entries.end()) << tlw::Utf16ToUtf8(folder + name);
        for (int i = 0; i <= static_cast<int>(it - entries.begin()); ++i) Key("down");
    }
    void AcceptAndSave() {
        Key("softkey1");
        ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
        Key("softkey1");
        ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    }
};

TEST_F(ChooserProcessTest, LoadModePicksTheProfilesProgram) {
    StartConfig();
    EditProgramTab();
    TapRow(1, 200);  // the program's file, beside its check box
    ASSERT_TRUE(WaitUntil([this] { return bool(ChooserWindow()); }));
    EXPECT_EQ(tlw::Utf16ToUtf8(plat::GetWindowText(ChooserWindow())), "Choose a program");
    SelectEntry(u"\\", u"Windows", tlw::kChooserLoad, false);
    Key("action");  // enters the folder
    Sync();
    SelectEntry(u"\\Windows\\", u"cprog.exe", tlw::kChooserLoad, false);
    Key("softkey2");  // Select
    ASSERT_TRUE(WaitUntil([this] { return !ChooserWindow(); }));
    AcceptAndSave();

    ASSERT_TRUE(WaitConfigContains("program=\\Windows\\cprog.exe"));
    std::vector<std::string> silent = ConfigSection(ConfigRead(), "profile0");
    EXPECT_EQ(Value(silent, "run_program"), "1") << "picking a program means starting it";
}

TEST_F(ChooserProcessTest, IconModeStartsAmongTheIconsAndOffersOnlyIcons) {
    StartConfig();
    EditProgramTab();
    TapRow(5, 200);  // the icon's file
    ASSERT_TRUE(WaitUntil([this] { return bool(ChooserWindow()); }));
    tlw::ResetScreenScale();
    tlw::ConfigPaths paths = tlw::BuildConfigPaths();
    std::u16string icons = std::u16string(paths.iconStoreFolder.View()) + u"QVGA\\";
    std::vector<tlw::ChooserEntry> offered = tlw::ListChooserFolder(icons, tlw::kChooserLoad, true);
    ASSERT_FALSE(offered.empty()) << tlw::Utf16ToUtf8(icons);
    for (const tlw::ChooserEntry& e : offered) EXPECT_TRUE(e.folder || !e.icon.alpha.empty());
    SelectEntry(icons, u"night.png", tlw::kChooserLoad, true);
    Key("softkey2");
    ASSERT_TRUE(WaitUntil([this] { return !ChooserWindow(); }));
    AcceptAndSave();

    ASSERT_TRUE(WaitConfigContains("night.png"));
    std::vector<std::string> silent = ConfigSection(ConfigRead(), "profile0");
    EXPECT_EQ(Value(silent, "profile_icon"), tlw::Utf16ToUtf8(icons) + "night.png");
    EXPECT_EQ(Value(silent, "icon_enabled"), "1");
}

TEST_F(ChooserProcessTest, FolderModeGoesUpAndSelectsTheFolderShown) {
    StartConfig();
    std::string skinBefore = Value(ConfigSection(ConfigRead(), "Options"), "skin");
    ASSERT_GT(skinBefore.size(), 2u);
    TapRow(0);  // options
    ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    TapRow(5);  // the skin folder
    ASSERT_TRUE(WaitUntil([this] { return bool(ChooserWindow()); }));
    EXPECT_EQ(tlw::Utf16ToUtf8(plat::GetWindowText(ChooserWindow())), "Choose a skin folder");
    // The up button, as the dialog lays it out on this screen.
    plat::Rect window;
    plat::GetWindowRect(ChooserWindow(), &window);
    plat::ApplyDeviceModel();  // this screen's dpi, for the scale of the units
    tlw::ResetScreenScale();
    tlw::ChooserLayout layout = tlw::LayOutChooser(window.right - window.left, window.bottom - window.top, false);
    int x = window.left + (layout.upButton.left + layout.upButton.right) / 2;
    int y = window.top + (layout.upButton.top + layout.upButton.bottom) / 2;
    ASSERT_EQ(TlwsimCommand("tap", dir_, {std::to_string(x), std::to_string(y)}).exitCode, 0);
    Sync();
    Key("softkey2");
    ASSERT_TRUE(WaitUntil([this] { return !ChooserWindow(); }));
    Key("softkey1");
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));

    // The skin's parent folder: the skin folder without its last level.
    std::string parent = skinBefore.substr(0, skinBefore.size() - 1);
    parent = parent.substr(0, parent.rfind('\\') + 1);
    EXPECT_TRUE(WaitUntil([&] { return Value(ConfigSection(ConfigRead(), "Options"), "skin") == parent; }))
        << ConfigRead();
}

}  // namespace
