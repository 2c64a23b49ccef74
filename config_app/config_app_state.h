// The state of the configuration program: one record for the process,
// reached through App(). Every page works on the working configuration held
// here and on the copies it takes when it opens.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/config/config_model.h"
#include "common/config/config_paths.h"
#include "common/config/language_table.h"
#include "config_app/profile_editor_page.h"
#include "config_app/rows.h"
#include "platform/message/messages.h"

namespace tlw {

// Page numbers.
enum Page : int32_t {
    kPageMainMenu = 0,
    kPageOptions = 1,
    kPageProfiles = 2,
    kPageToday = 3,
    kPagePopup = 4,
    kPageImport = 5,
    kPageAbout = 6,
    kPageInformation = 7,
    kPageExport = 10,
    kPageProfileEditor = 21,
    kPageTodayReturn = 31,  // the Today page, entered again from one of its slot rows
};

// Editable [Today] add-on slots: normally 10, all 15 while a profile is
// named kMoonquillName.
constexpr int32_t kStandardTodaySlots = 10;
inline constexpr char16_t kMoonquillName[] = u"Moonquill";

// The row list window's own state: selection, scrolling and the editor of
// the row being edited.
struct RowListState {
    int32_t selected = -1;       // selected row, -1 for none
    int32_t scrollTop = 0;       // first pixel row shown (scrolled away above)
    int32_t editing = -1;        // row whose text is being typed, -1 for none
    std::u16string editBuffer;   // the text typed so far
    std::u16string editOriginal; // the row's text when editing started (restored on escape)
    bool editFresh = false;      // the whole text is selected: the first character typed replaces it
    int32_t choiceOpen = -1;     // choice row whose entries are shown, -1 for none
    int32_t choiceHot = -1;      // the highlighted entry of the open choice
    bool penDown = false;        // the stylus is down on the list
    int32_t penStartY = 0;       // where it went down (client y)
    int32_t penLastY = 0;        // where it was last seen
    bool dragged = false;        // the stylus moved far enough to scroll
};

struct ChooserDialog;  // the chooser's dialog while it is open (chooser_dialog.cpp)

// The configuration program's record.
struct ConfigAppState {
    ConfigModel model;           // the working configuration
    LanguageTable language;      // texts of the selected language
    ConfigPaths paths;           // file and folder paths of the device

    // The add-on slots as last saved, to tell what the Today and popup pages changed.
    TodayItem savedTodayItems[kTodayItemCount];
    PopupSwitch savedPopupSwitches[kPopupSwitchCount];
    PopupCounter savedPopupCounters[kPopupCounterCount];

    // Taken when the profile list opens, to undo its changes.
    ProfileTable listProfiles;
    LocationTable listLocations;
    // For each profile of the table, its index in listProfiles (-1 for one
    // made since), so that back gives each profile its own old name even
    // after moves.
    std::vector<int32_t> listOrigin;
    // Taken when the profile editor opens, restored by its back.
    ProfileTable editorProfiles;
    LocationTable editorLocations;

    int32_t editableTodaySlots = kStandardTodaySlots;  // 10, or 15 with a "Moonquill" profile
    bool profileDeleted = false;   // the profile list's structural-change flag
    bool profileChanged = false;   // a profile was changed in the profile editor

    int32_t page = kPageMainMenu;  // the page shown
    int32_t previousPage = kPageMainMenu;  // the page shown before it
    int32_t selectedProfile = -1;  // the profile list's selection, -1 for none
    int32_t editorTab = 0;         // the profile editor's tab, 0 to 4
    int32_t editorSoundEvent = 0;  // the profile editor's sound event, 0 to 5
    ProfileEditorPage editorPage;  // the profile editor's session, rows and working values

    // Working values of the options page that are not in the model.
    FixedString<16> simPin;        // the SIM PIN field (four blanks: none)

    plat::Hwnd mainWindow;         // the main window "Tlwconfig"
    plat::Hwnd rowList;            // the page's row list, a child of it
    std::vector<Row> rows;         // the rows of the page shown
    std::u16string pageTitle;      // "Tlw " and the page's name, shown above the rows
    RowListState list;             // the row list's selection and editor

    // The file and folder chooser: the folder it shows next (ending in "\",
    // empty: the root), kept between uses, and its dialog while one is open
    // (one at a time).
    std::u16string chooserFolder;
    ChooserDialog* openChooser = nullptr;

    bool highResolution = false;   // one 96-dpi unit is more than one pixel
    bool wideScreen = false;       // more than 130 dpi across and more than 400 pixels wide
    bool engineRestarted = false;  // the engine was started again (45 s timer)
};

// The record of this process.
ConfigAppState& App();
// Replaces it with a fresh one (in-process tests).
ConfigAppState& ResetApp();

// Language text of an identifier ("" when missing).
std::u16string Text(const ConfigAppState& app, int32_t id);

}  // namespace tlw
