// The options, Today, popup and profile list pages in-process: what their
// rows change in the working configuration, and what accept and back keep,
// save and discard.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/text.h"
#include "common/config/config_file.h"
#include "common/config/registry_state.h"
#include "common/device/sim_pin.h"
#include "common/graphics/screen_scale.h"
#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "config_app/row_list.h"
#include "platform/audio/sound_player.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/cursor.h"
#include "sim/install_language.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

class PageFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetScreenSize(240, 320);
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
        std::string error;
        ASSERT_TRUE(sim::InstallLanguageFile(&error)) << error;
        ConfigAppState& app = ResetApp();
        LoadStartConfiguration(app);
        plat::WndClass c;
        c.className = kConfigClass;
        c.proc = MainWindowProc;
        plat::RegisterClass(c);
        app.mainWindow = plat::CreateWindow(kConfigClass, kConfigTitle, plat::WS_VISIBLE, 0, 26, 240, 2000, {});
        ASSERT_TRUE(app.mainWindow);
        ASSERT_TRUE(CreateRowList(app));
        ShowPage(app, kPageMainMenu);
    }
    void TearDown() override {
        plat::DestroyWindow(App().mainWindow);
        plat::PumpMessagesUntilIdle();
        plat::UnregisterClass(kConfigClass);
        ResetApp();
    }
    ConfigAppState& app() { return App(); }
    void Tap(int32_t row, int32_t x = 40) {
        plat::Rect r = RowRect(app(), row);
        int32_t y = (r.top + r.bottom) / 2;
        plat::SendMessage(app().rowList, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(x, y));
        plat::SendMessage(app().rowList, plat::WM_LBUTTONUP, 0, plat::MakePointParam(x, y));
    }
    void Key(uint32_t vk) { plat::SendMessage(app().rowList, plat::WM_KEYDOWN, vk, 1); }
    void Command(uint32_t command) { plat::SendMessage(app().mainWindow, plat::WM_COMMAND, command, 0); }
    // The configuration as saved.
    std::unique_ptr<ConfigModel> Saved() {
        auto model = std::make_unique<ConfigModel>();
        ReadConfiguration(false, *model, app().language);
        return model;
    }
    bool FileSaved() { return Saved()->options.voicemail.View() == u"777"; }

    TempDevice device_;
};

TEST_F(PageFlowTest, TodayLayoutPresetAndSlotMovesAreSavedByAcceptOnly) {
    ShowPage(app(), kPageToday);
    Options& o = app().model.options;
    ASSERT_EQ(o.layout, 0);
    SelectRow(app(), 0);
    Key(plat::VK_RIGHT);
    Key(plat::VK_RIGHT);  // custom layout: nothing rewritten, the thumb menu can be changed
    EXPECT_EQ(o.layout, 2);
    EXPECT_FALSE(app().rows[1].readOnly);
    app().model.todayItems[0].type = 11;
    Key(plat::VK_LEFT);  // compact preset
    EXPECT_EQ(o.layout, 1);
    EXPECT_FALSE(o.thumb_menu);
    EXPECT_TRUE(app().rows[1].readOnly);
    EXPECT_EQ(app().model.todayItems[0].type, 0) << "the preset replaced the custom arrangement";

    // The down zone of the first slot row swaps slots 0 and 1 and selects the moved slot.
    plat::Rect r = RowRect(app(), 3);
    Tap(3, r.right - 3);
    EXPECT_EQ(app().model.todayItems[0].type, 1);
    EXPECT_EQ(app().model.todayItems[1].type, 0);
    EXPECT_EQ(app().list.selected, 4);
    EXPECT_EQ(app().page, kPageTodayReturn);
    Tap(3 + 9, r.right - 3);  // the last editable slot does not move below
    EXPECT_EQ(app().model.todayItems[10].type, 10);

    Command(kCmdBack);  // nothing saved: the file still has the defaults
    EXPECT_EQ(app().page, kPageMainMenu);
    EXPECT_EQ(app().model.todayItems[0].type, 0) << "back read the file again";
    EXPECT_EQ(o.layout, 0);

    ShowPage(app(), kPageToday);
    SelectRow(app(), 0);
    Key(plat::VK_RIGHT);
    Tap(3, 10);  // the first slot's box
    EXPECT_FALSE(app().model.todayItems[0].enabled);
    WriteFlags2(0);
    size_t before = JournalEffects().size();
    Command(kCmdAccept);
    EXPECT_EQ(app().page, kPageMainMenu);
    // The save is made under the wait cursor, which is gone afterwards.
    std::vector<std::string> effects = JournalEffects();
    std::vector<std::string> since(effects.begin() + static_cast<std::ptrdiff_t>(before), effects.end());
    EXPECT_EQ(since, (std::vector<std::string>{"wait cursor shown", "wait cursor hidden"}));
    EXPECT_FALSE(plat::WaitCursorShown());
    auto saved = Saved();
    EXPECT_EQ(saved->options.layout, 1);
    EXPECT_FALSE(saved->todayItems[0].enabled);
    EXPECT_FALSE(app().savedTodayItems[0].enabled) << "the last saved copy follows";
    EXPECT_EQ(ReadFlags2(), 1u);
}

TEST_F(PageFlowTest, PopupPositionIsEditableOnlyForThePlacedIcon) {
    ShowPage(app(), kPagePopup);
    Options& o = app().model.options;
    ASSERT_EQ(o.bar_icon, 2);
    EXPECT_FALSE(app().rows[1].readOnly);
    SelectRow(app(), 0);
    Key(plat::VK_LEFT);
    EXPECT_EQ(o.bar_icon, 1);
    EXPECT_TRUE(app().rows[1].readOnly);
    int32_t position = o.taskbar_icon_pos;
    SelectRow(app(), 1);
    Key(plat::VK_RIGHT);
    EXPECT_EQ(o.taskbar_icon_pos, position);
    Tap(4);  // the first switch
    EXPECT_FALSE(app().model.popupSwitches[0].enabled);
    Command(kCmdAccept);
    auto saved = Saved();
    EXPECT_EQ(saved->options.bar_icon, 1);
    EXPECT_FALSE(saved->popupSwitches[0].enabled);
    EXPECT_FALSE(app().savedPopupSwitches[0].enabled);
}

TEST_F(PageFlowTest, OptionsBackDiscardsAndAcceptStoresThePin) {
    ShowPage(app(), kPageOptions);
    app().model.options.voicemail = u"777";
    Command(kCmdBack);
    EXPECT_EQ(app().model.options.voicemail.View(), u"123");

    ShowPage(app(), kPageOptions);
    app().model.options.voicemail = u"777";
    app().simPin = u"12345";
    Command(kCmdAccept);
    EXPECT_TRUE(FileSaved());
    char16_t pin[9] = {};
    ASSERT_TRUE(DecodeSimPin(pin));
    EXPECT_EQ(std::u16string_view(pin), u"12345");

    ShowPage(app(), kPageOptions);
    EXPECT_EQ(app().simPin.View(), u"12345") << "the field opens with the stored PIN";
    app().simPin = u"12a45";
    Command(kCmdAccept);
    SimPinValues values;
    ASSERT_TRUE(ReadSimPinValues(&values));
    EXPECT_EQ(values.profileFlags, kNoSimPin) << "a PIN with a letter is no PIN";
}

TEST_F(PageFlowTest, ProfileListBackRestoresNamesAndFlagsUnlessAProfileWasDeleted) {
    ShowPage(app(), kPageProfiles);
    ProfileTable& t = app().model.profiles;
    t.profiles[1].name = u"Sleep";
    t.profiles[1].enabled = false;
    t.profiles[2].show = false;
    WriteManualProfile(3);
    Command(kCmdBack);
    EXPECT_EQ(t.profiles[1].name.View(), u"Night");
    EXPECT_TRUE(t.profiles[1].enabled);
    EXPECT_TRUE(t.profiles[2].show);
    EXPECT_EQ(ReadManualProfile(), 3) << "nothing was saved";

    ShowPage(app(), kPageProfiles);
    SelectRow(app(), 4);
    t.profiles[1].enabled = false;
    Command(1509);  // delete "Flight mode"
    ASSERT_EQ(t.count, 4);
    Command(kCmdBack);
    EXPECT_FALSE(t.profiles[1].enabled) << "after a deletion back keeps the list as it is";
    EXPECT_EQ(Saved()->profiles.count, 4) << "and saves it";
    EXPECT_EQ(ReadManualProfile(), kNoProfile);
}

TEST_F(PageFlowTest, ProfileListBackGivesMovedProfilesTheirOwnNamesAndFlags) {
    ShowPage(app(), kPageProfiles);
    ProfileTable& t = app().model.profiles;
    int32_t nightType = t.profiles[1].eventType;
    std::u16string first(t.profiles[0].name.View());
    SelectRow(app(), 1);
    Command(1511);  // move "Night" up: it is now first
    ASSERT_EQ(t.profiles[0].name.View(), u"Night");
    t.profiles[0].name = u"Sleep";
    t.profiles[0].enabled = false;
    Command(1508);  // a new profile keeps its name
    std::u16string made(t.profiles[t.count - 1].name.View());
    Command(kCmdBack);
    ASSERT_EQ(t.profiles[0].eventType, nightType);
    EXPECT_EQ(t.profiles[0].name.View(), u"Night") << "the moved profile gets its own name back";
    EXPECT_TRUE(t.profiles[0].enabled);
    EXPECT_EQ(t.profiles[1].name.View(), first) << "not the name of the profile that stood there";
    EXPECT_EQ(t.profiles[t.count - 1].name.View(), made);
}

TEST_F(PageFlowTest, AChosenSoundIsHeardAndLeavingTheEditorStopsIt) {
    std::filesystem::create_directories(device_.Root() / "Windows" / "Rings");
    for (const char* name : {"Bells.wav", "Chime.wav"})
        std::ofstream(device_.Root() / "Windows" / "Rings" / name) << "RIFF\4\0\0\0WAVE";
    plat::SndStop();  // nothing left playing from before
    Profile& p = app().model.profiles.profiles[0];
    p.volMaster = 2;  // sounds as set here
    p.event_enabled[0] = true;
    app().selectedProfile = 0;
    app().editorTab = 1;  // the sounds tab, on the ring tone
    ShowPage(app(), kPageProfileEditor);
    const ProfileEditorPage& page = app().editorPage;
    int32_t fileRow = -1;
    for (size_t i = 0; i < app().rows.size(); ++i) {
        if (app().rows[i].kind == RowKind::kChoice &&
            page.rows[static_cast<size_t>(app().rows[i].tag)].field == EditorField::kSoundFile)
            fileRow = static_cast<int32_t>(i);
    }
    ASSERT_GE(fileRow, 0);
    size_t before = JournalEffects().size();
    SelectRow(app(), fileRow);
    Key(plat::VK_RIGHT);  // the first file after the phone's own sound
    std::u16string first(p.ringtone[0].View());
    Key(plat::VK_RIGHT);
    std::u16string second(p.ringtone[0].View());
    Command(kCmdBack);
    std::vector<std::string> effects = JournalEffects();
    std::vector<std::string> since(effects.begin() + static_cast<std::ptrdiff_t>(before), effects.end());
    std::string rings = "\\Windows\\Rings\\";
    EXPECT_EQ(since, (std::vector<std::string>{"sound play " + rings + Utf16ToUtf8(first),
                                               "sound stop " + rings + Utf16ToUtf8(first),
                                               "sound play " + rings + Utf16ToUtf8(second),
                                               "sound stop " + rings + Utf16ToUtf8(second)}));
    EXPECT_NE(first, second);
}

TEST_F(PageFlowTest, AMoonquillProfileMakesAllFifteenTodaySlotsEditable) {
    ShowPage(app(), kPageToday);
    EXPECT_EQ(app().rows.size(), 3u + 10u);
    ShowPage(app(), kPageProfiles);
    SelectRow(app(), 3);
    Command(1507);  // rename "Car" in place
    ASSERT_EQ(app().list.editing, 3);
    for (char16_t c : std::u16string_view(u"Moonquill")) plat::SendMessage(app().rowList, plat::WM_CHAR, c, 1);
    Key(plat::VK_RETURN);
    EXPECT_EQ(app().model.profiles.profiles[3].name.View(), u"Moonquill");
    EXPECT_EQ(app().editableTodaySlots, 15);
    Command(kCmdAccept);
    ShowPage(app(), kPageToday);
    EXPECT_EQ(app().rows.size(), 3u + 15u);

    ShowPage(app(), kPageProfiles);
    SelectRow(app(), 3);
    Command(1509);
    EXPECT_EQ(app().model.profiles.count, 4);
    EXPECT_EQ(app().editableTodaySlots, 10);
}

}  // namespace
}  // namespace tlw
