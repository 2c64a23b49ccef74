// Settings backups: the offered name and the extension rule, and on a
// booted phone the export (the working configuration written to the chosen
// file, the live one untouched) and the import (a backup becomes the live
// configuration, the manual profile is cleared and the reload flag raised;
// another file or one that cannot be opened changes nothing).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "common/config/registry_state.h"
#include "config_app/chooser_dialog.h"
#include "config_app/chooser_listing.h"
#include "config_app/file_chooser.h"
#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "config_app/row_list.h"
#include "config_app/settings_backup.h"
#include "config_app_fixture.h"
#include "platform/message/message_loop.h"
#include "platform/storage/file.h"
#include "platform/window/window.h"
#include "sim/install_language.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

constexpr uint32_t kCmdExport = 1501;
constexpr uint32_t kCmdImport = 1502;

TEST(SettingsBackupNamesTest, TheOfferedNameCarriesTheDateAndOnlyATlwEndingIsABackup) {
    TempDevice device;
    plat::SystemTime day;
    day.year = 2010;
    day.month = 9;
    day.day = 16;
    EXPECT_EQ(tlw::Utf16ToUtf8(tlw::BackupFileName(day)), "Tlw_Backup_2010_09_16");

    EXPECT_TRUE(tlw::IsBackupPath(u"\\My Documents\\BACKUP.TLW"));
    EXPECT_TRUE(tlw::IsBackupPath(u"\\a.Tlw"));
    EXPECT_TRUE(tlw::IsBackupPath(u".tlw"));
    EXPECT_FALSE(tlw::IsBackupPath(u"\\backup.tlw.txt"));
    EXPECT_FALSE(tlw::IsBackupPath(u"\\backup_tlw"));
    EXPECT_FALSE(tlw::IsBackupPath(u"\\backup.tl"));
    EXPECT_FALSE(tlw::IsBackupPath(u"tlw"));
    EXPECT_FALSE(tlw::IsBackupPath(u""));
}

// In process, with a chooser that hands back a path chosen by the test.
class SettingsImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::InstallLanguageFile(&error)) << error;
        tlw::ConfigAppState& app = tlw::ResetApp();
        tlw::LoadStartConfiguration(app);
        plat::WndClass c;
        c.className = tlw::kConfigClass;
        c.proc = tlw::MainWindowProc;
        plat::RegisterClass(c);
        app.mainWindow = plat::CreateWindow(tlw::kConfigClass, tlw::kConfigTitle, plat::WS_VISIBLE, 0, 26, 240, 294, {});
        ASSERT_TRUE(app.mainWindow);
        ASSERT_TRUE(tlw::CreateRowList(app));
        tlw::ShowPage(app, tlw::kPageMainMenu);
        program_ = tlw::Chooser();
        tlw::RegisterChooser(Pick);
    }
    void TearDown() override {
        tlw::RegisterChooser(program_);
        plat::DestroyWindow(tlw::App().mainWindow);
        plat::PumpMessagesUntilIdle();
        plat::UnregisterClass(tlw::kConfigClass);
        tlw::ResetApp();
    }
    static bool Pick(tlw::ConfigAppState&, const tlw::ChooserRequest&, std::u16string* chosen) {
        *chosen = picked_;
        return true;
    }
    static inline std::u16string picked_;
    tlw::ChooserFunction program_ = nullptr;
    TempDevice device_;
};

TEST_F(SettingsImportTest, ABackupThatCannotBeOpenedChangesNothing) {
    tlw::ConfigAppState& app = tlw::App();
    app.model.profiles.profiles[1].name = u"Kept";
    tlw::WriteManualProfile(2);
    picked_ = u"\\My Documents\\gone.tlw";
    tlw::ImportSettings(app);
    EXPECT_EQ(tlw::Utf16ToUtf8(app.model.profiles.profiles[1].name.View()), "Kept");
    EXPECT_FALSE(plat::FileExists(app.paths.configFile.View())) << "nothing was written";
    EXPECT_EQ(tlw::ReadManualProfile(), 2);
    std::string journal;
    for (const std::string& e : JournalEffects()) journal += e + "\n";
    EXPECT_NE(journal.find("The backup file could not be opened. Nothing was changed."), std::string::npos) << journal;
    EXPECT_EQ(app.page, tlw::kPageMainMenu);
}

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string OptionValue(const std::string& config, const std::string& key) {
    for (const std::string& l : ConfigSection(config, "Options"))
        if (l.rfind(key + "=", 0) == 0) return l.substr(key.size() + 1);
    return "<missing>";
}

class SettingsBackupTest : public ConfigAppProcessTest {
protected:
    plat::Hwnd ChooserWindow() { return plat::FindWindow(tlw::kChooserClass, nullptr); }
    std::filesystem::path LiveFile() { return std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini"; }
    void PutRootFile(const std::string& name, const std::string& content) {
        std::ofstream(std::filesystem::path(dir_) / name, std::ios::binary) << content;
    }
    // Opens the chooser from the main menu and checks its title.
    void OpenChooser(uint32_t command, const std::string& title) {
        Menu(command);
        ASSERT_TRUE(WaitUntil([this] { return bool(ChooserWindow()); }));
        EXPECT_EQ(tlw::Utf16ToUtf8(plat::GetWindowText(ChooserWindow())), title);
    }
    // Picks a file of the root folder, where the chooser opens on a fresh start.
    void PickRootFile(const std::u16string& name) {
        std::vector<tlw::ChooserEntry> entries = tlw::ListChooserFolder(u"\\", tlw::kChooserLoad, false);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const tlw::ChooserEntry& e) { return e.name == name; });
        ASSERT_NE(it, entries.end()) << tlw::Utf16ToUtf8(name);
        for (int i = 0; i <= static_cast<int>(it - entries.begin()); ++i) Key("down");
        Key("softkey2");  // Select
        ASSERT_TRUE(WaitUntil([this] { return !ChooserWindow(); }));
    }
};

TEST_F(SettingsBackupTest, ExportWritesTheConfigurationUnderTodaysNameAndLeavesTheLiveFile) {
    StartConfig();
    bool liveBefore = std::filesystem::exists(LiveFile());
    std::string live = liveBefore ? ReadHostFile(LiveFile()) : "";
    std::string working = ConfigRead();

    OpenChooser(kCmdExport, "Export Tlw Settings");
    Key("softkey2");  // Select: the offered name, in the folder the chooser opens in
    AnswerMessageBox("The settings have been saved to the backup file.");

    std::filesystem::path backup = std::filesystem::path(dir_) / "Tlw_Backup_2010_01_04.tlw";
    ASSERT_TRUE(std::filesystem::exists(backup));
    EXPECT_EQ(ReadHostFile(backup).rfind(";Tallowin configuration file\r\n;VERSION 2.0\r\n", 0), 0u);
    // Read back as an import, it is the configuration the program holds.
    EXPECT_EQ(TlwsimCommand("config", dir_, {"read", "\\Tlw_Backup_2010_01_04.tlw"}).output, working);
    EXPECT_EQ(std::filesystem::exists(LiveFile()), liveBefore);
    if (liveBefore) {
        EXPECT_EQ(ReadHostFile(LiveFile()), live) << "the live file is not touched";
    }
    EXPECT_EQ(Journal().find("message 2262"), std::string::npos) << "an export tells nobody to reload";
}

TEST_F(SettingsBackupTest, ImportTakesABackupOnlyAndMakesItTheLiveConfiguration) {
    // A backup made on a phone of the other screen class: its skin is that
    // class's default skin.
    std::string otherSkin = Scale() > 1 ? "Default_QVGA" : "Default_VGA";
    std::string ownSkin = Scale() > 1 ? "Default_VGA" : "Default_QVGA";
    std::string backup =
        ";Tallowin configuration file\r\n;VERSION 2.0\r\n\r\n"
        "[profile0]\r\nname=Imported\r\nenabled=1\r\n\r\n[profile1]\r\nname=Beach\r\n\r\n"
        "[Options]\r\nskin=\\Storage Card\\Skins\\" + otherSkin + "\\\r\n";
    PutRootFile("BACKUP.TLW", backup);
    PutRootFile("backup.tlw.txt", backup);
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "ManualProfile", "dword:1"}).exitCode, 0);
    StartConfig();
    std::string before = ConfigRead();

    // Another extension is refused before anything is read.
    OpenChooser(kCmdImport, "Import Tlw Settings");
    PickRootFile(u"backup.tlw.txt");
    AnswerMessageBox("This file is no Tallowin backup (.tlw).");
    EXPECT_EQ(ConfigRead(), before);
    EXPECT_EQ(RegistryValue("ManualProfile"), "1");

    MarkFlags2();
    OpenChooser(kCmdImport, "Import Tlw Settings");
    PickRootFile(u"BACKUP.TLW");
    AnswerMessageBox("The settings have been imported.");
    ASSERT_TRUE(WaitConfigContains("name=Imported"));
    std::string config = ConfigRead();
    EXPECT_EQ(ConfigSection(config, "profile0")[0], "name=Imported") << config;
    EXPECT_EQ(ConfigSection(config, "profile1")[0], "name=Beach") << config;
    EXPECT_TRUE(ConfigSection(config, "profile2").empty()) << config;
    EXPECT_EQ(RegistryValue("ManualProfile"), "700");
    EXPECT_TRUE(Flags2Raised()) << RegistryValue("Flags2");

    // The skin became this screen's default: the next save writes it.
    TapRow(0);  // options
    ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    Key("softkey1");
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    ASSERT_TRUE(WaitUntil([&] { return OptionValue(ConfigRead(), "skin").find(ownSkin) != std::string::npos; }))
        << ConfigRead();
}

}  // namespace
