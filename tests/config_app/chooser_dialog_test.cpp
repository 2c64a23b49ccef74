// The chooser's dialog in this process, driven from inside its modal loop:
// each mode's select key, the name checks of save mode, the up button and
// entering a folder with a tap.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config_app/chooser_dialog.h"
#include "config_app/chooser_field.h"
#include "config_app/chooser_list.h"
#include "config_app/file_chooser.h"
#include "platform/storage/journal.h"
#include "platform/window/cursor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

// What the owner window does once the dialog's loop runs.
std::function<void(const ChooserWindows&)> gScript;
constexpr uint32_t kRunScript = plat::WM_APP + 1;

plat::LResult OwnerProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == kRunScript) {
        if (gScript) gScript(OpenChooserWindows());
        return 0;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

class ChooserDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(device_.Root().empty());
        for (const char* folder : {"My Documents", "Storage Card/Skins/Blue", "Storage Card/Skins/Green"})
            std::filesystem::create_directories(device_.Root() / folder);
        std::ofstream(device_.Root() / "Storage Card" / "Skins" / "readme.txt") << "x";
        std::ofstream(device_.Root() / "Storage Card" / "notes.txt") << "x";
        static bool registered = false;
        if (!registered) {
            plat::WndClass c;
            c.className = u"ChooserTestOwner";
            c.proc = OwnerProc;
            ASSERT_TRUE(plat::RegisterClass(c));
            registered = true;
        }
        owner_ = plat::CreateWindow(u"ChooserTestOwner", u"Owner", 0, 0, 0, 240, 320, {});
        ASSERT_TRUE(owner_);
        SetChooserFolder(u"");
    }
    void TearDown() override {
        gScript = nullptr;
        plat::DestroyWindow(owner_);
        SetChooserFolder(u"");
    }
    // Opens the chooser; the script runs inside its loop.
    bool Run(FileChooser* chooser, std::function<void(const ChooserWindows&)> script) {
        gScript = std::move(script);
        plat::PostMessage(owner_, kRunScript, 0, 0);
        return OpenFileChooser(owner_, chooser);
    }
    static void Type(plat::Hwnd edit, std::u16string_view text) {
        for (char16_t c : text) plat::SendMessage(edit, plat::WM_CHAR, c, 0);
    }
    static void Command(const ChooserWindows& w, uint32_t command) {
        plat::SendMessage(w.dialog, plat::WM_COMMAND, command, 0);
    }
    static void Tap(plat::Hwnd window, int32_t x, int32_t y) {
        plat::LParam at = (static_cast<plat::LParam>(y) << 16) | static_cast<uint16_t>(x);
        plat::SendMessage(window, plat::WM_LBUTTONDOWN, 1, at);
        plat::SendMessage(window, plat::WM_LBUTTONUP, 0, at);
    }
    static std::u16string Folder(const ChooserWindows& w) { return plat::GetWindowText(w.folderField); }

    TempDevice device_;
    plat::Hwnd owner_;
};

TEST_F(ChooserDialogTest, SaveRefusesBadNamesAndStaysOpenThenGivesFolderNameAndExtension) {
    SetChooserFolder(u"\\My Documents\\");
    FileChooser c;
    c.mode = kChooserSave;
    c.fileName = u"Tlw_Backup_2010_09_16";
    c.extension = u"tlw";
    std::vector<std::u16string> seen;
    bool accepted = Run(&c, [&](const ChooserWindows& w) {
        seen.push_back(ChooserFieldText(w.nameEdit));
        Type(w.nameEdit, u"a?b");  // the offered name is selected: typing replaces it
        Command(w, kChooserCmdSelect);
        seen.push_back(OpenChooserWindows().dialog ? u"open" : u"closed");
        for (int i = 0; i < 3; ++i) plat::SendMessage(w.nameEdit, plat::WM_KEYDOWN, plat::VK_BACK, 0);
        Command(w, kChooserCmdSelect);  // empty
        Type(w.nameEdit, u"a");
        Command(w, kChooserCmdSelect);
    });
    ASSERT_TRUE(accepted);
    EXPECT_EQ(c.result.View(), u"\\My Documents\\a.tlw");
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"Tlw_Backup_2010_09_16", u"open"}));
    std::string journal;
    for (const std::string& e : JournalEffects()) journal += e + "\n";
    EXPECT_NE(journal.find("File name include illegal characters"), std::string::npos) << journal;
    EXPECT_NE(journal.find("File name value is missing"), std::string::npos) << journal;
    EXPECT_NE(journal.find("File Name Error"), std::string::npos) << journal;
}

TEST_F(ChooserDialogTest, FolderModeListsFoldersOnlyAndUpLeavesOneLevel) {
    SetChooserFolder(u"\\Storage Card\\Skins\\");
    FileChooser c;
    c.mode = kChooserFolder;
    std::vector<std::u16string> names;
    bool accepted = Run(&c, [&](const ChooserWindows& w) {
        for (const ChooserEntry& e : ChooserListEntries(w.list)) names.push_back(e.name);
        Tap(w.dialog, (w.upButton.left + w.upButton.right) / 2, (w.upButton.top + w.upButton.bottom) / 2);
        Command(w, kChooserCmdSelect);
    });
    ASSERT_TRUE(accepted);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Blue", u"Green"}));
    EXPECT_EQ(c.result.View(), u"\\Storage Card\\");
    EXPECT_EQ(ChooserFolder(), u"\\Storage Card\\") << "the folder is remembered";
    // Each filling of the listing (at opening, after the up button) shows
    // the wait cursor and takes it away again.
    std::vector<std::string> cursor;
    for (const std::string& e : JournalEffects())
        if (e.rfind("wait cursor", 0) == 0) cursor.push_back(e);
    EXPECT_EQ(cursor, (std::vector<std::string>{"wait cursor shown", "wait cursor hidden", "wait cursor shown",
                                                "wait cursor hidden"}));
    EXPECT_FALSE(plat::WaitCursorShown());
}

TEST_F(ChooserDialogTest, LoadTakesASelectedFileOnlyAndATapOnAFolderEntersIt) {
    SetChooserFolder(u"\\Storage Card\\");
    FileChooser c;
    c.mode = kChooserLoad;
    std::u16string entered;
    bool accepted = Run(&c, [&](const ChooserWindows& w) {
        // Skins (a folder), then notes.txt.
        Command(w, kChooserCmdSelect);  // nothing selected: nothing happens
        plat::SendMessage(w.list, plat::WM_KEYDOWN, plat::VK_DOWN, 0);
        Command(w, kChooserCmdSelect);  // a folder selected: nothing happens
        plat::SendMessage(w.list, plat::WM_KEYDOWN, plat::VK_DOWN, 0);
        Command(w, kChooserCmdSelect);
    });
    ASSERT_TRUE(accepted);
    EXPECT_EQ(c.result.View(), u"\\Storage Card\\notes.txt");

    FileChooser again;
    accepted = Run(&again, [&](const ChooserWindows& w) {
        Tap(w.list, 20, ChooserListEntryHeight() / 2 + 1);  // Skins
        entered = Folder(w);
        Command(w, kChooserCmdCancel);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(entered, u"\\Storage Card\\Skins\\");
    EXPECT_TRUE(again.result.Empty());
}

TEST_F(ChooserDialogTest, OnlyOneChooserAtATime) {
    FileChooser outer, inner;
    bool innerOpened = true;
    Run(&outer, [&](const ChooserWindows& w) {
        innerOpened = OpenFileChooser(owner_, &inner);
        Command(w, kChooserCmdCancel);
    });
    EXPECT_FALSE(innerOpened);
}

}  // namespace
}  // namespace tlw
