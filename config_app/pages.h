// The page framework: each page registers a handler; the main window shows
// one page at a time in its row list and hands the page its soft keys, its
// menu commands and the notifications of its rows.
#pragma once

#include <cstdint>
#include <vector>

#include "config_app/config_app_state.h"
#include "platform/shell/menu_bar.h"

namespace tlw {

// The message the row list sends to the main window about a row, with a
// code in wParam.
constexpr uint32_t kRowNotifyMessage = 2525;

// The codes of kRowNotifyMessage.
enum RowNotifyCode : int32_t {
    kRowValueChanged = -101,  // lParam: row in the low word, new value in the high word
    kRowToggled = -114,       // lParam: row (a check box or mark was toggled)
    kRowActivated = -115,     // lParam: row, plus 65536 when it was already selected
                              // (an entry tapped twice or the action key; a folder or file row opened)
    kRowSlotMove = 2526,      // lParam: row, plus 65536 for the upward zone
    kRowTabSide = 2529,       // lParam: row, plus 65536 for the next side
};

// One decoded row notification.
struct RowEvent {
    int32_t code = 0;   // RowNotifyCode
    int32_t row = -1;   // the row
    int32_t value = 0;  // kRowValueChanged: the new value (a choice's entry value, number, slider)
    bool flag = false;  // kRowActivated: already selected; kRowSlotMove: up; kRowTabSide: next
};
// Packing and unpacking of the message's parameters.
int64_t PackRowEvent(const RowEvent& event);
RowEvent UnpackRowEvent(uint64_t wParam, int64_t lParam);

// Soft-key commands.
constexpr uint32_t kCmdAccept = 40001;      // left soft key: accept (exit on the main menu)
constexpr uint32_t kCmdAcceptAlt = 40006;   // the same
constexpr uint32_t kCmdBack = 40007;        // right soft key: back without keeping
constexpr uint32_t kCmdMenuPopup = 40003;   // right soft key's popup
constexpr uint32_t kCmdMenuBack = 1504;     // "back" entry of a page's menu

// Timer that restarts the engine 45 s after the start.
constexpr uint32_t kEngineTimerId = 65462;
constexpr uint32_t kEngineTimerMs = 45000;

// What a page does. Every function but build may be null.
struct PageHandler {
    int32_t page = 0;     // its number (Page)
    int32_t titleId = 0;  // language-file name of the page, shown as "Tlw %s"; 0: none
    // The title when it depends on the working values (the profile editor's
    // "Tlw" and the profile's name). Null: from titleId.
    std::u16string (*title)(ConfigAppState& app) = nullptr;
    // Entering the page from another page: take its copies.
    void (*open)(ConfigAppState& app) = nullptr;
    // Its rows, as the working values stand now.
    void (*build)(ConfigAppState& app, std::vector<Row>& rows) = nullptr;
    // A row changed, toggled, was activated, moved or switched tabs.
    void (*rowEvent)(ConfigAppState& app, const RowEvent& event) = nullptr;
    // Left soft key. Null: return to the main menu.
    void (*accept)(ConfigAppState& app) = nullptr;
    // Right soft key (or the menu's back). Null: return to the main menu.
    void (*back)(ConfigAppState& app) = nullptr;
    // Soft keys. Null: left "OK" (7) accepts, right "Cancel" (10) goes back.
    void (*softKeys)(ConfigAppState& app, plat::MenuBarInfo& keys) = nullptr;
    // A command of the soft-key popup; true when handled.
    bool (*command)(ConfigAppState& app, uint32_t command) = nullptr;
};

// Registers a page's handler (once per page number, at program start).
void RegisterPage(const PageHandler& handler);
// The handler of a page; null when none is registered.
const PageHandler* FindPage(int32_t page);

// Registers a page from its file: TLW_CONFIG_PAGE(MakeOptionsPage) with a
// function returning the PageHandler.
struct PageRegistration {
    explicit PageRegistration(const PageHandler& handler) { RegisterPage(handler); }
};
#define TLW_CONFIG_PAGE_JOIN2(a, b) a##b
#define TLW_CONFIG_PAGE_JOIN(a, b) TLW_CONFIG_PAGE_JOIN2(a, b)
#define TLW_CONFIG_PAGE(maker) \
    static const ::tlw::PageRegistration TLW_CONFIG_PAGE_JOIN(kPageRegistration, __LINE__)(maker())

// Shows a page: calls its open (unless it is the page shown), builds its
// rows, sets the soft keys and the title, and paints. selectRow selects a
// row (-1: the first editable row).
void ShowPage(ConfigAppState& app, int32_t page, int32_t selectRow = -1);
// Builds the page's rows again after a change that alters them, keeping the
// selection (or selecting selectRow when it is not -1) and the scrolling.
void RebuildPage(ConfigAppState& app, int32_t selectRow = -1);
// Sets the soft keys of the page shown again (a page whose menu depends on
// its selection calls it when the selection changes).
void UpdateSoftKeys(ConfigAppState& app);
// Left and right soft key, as the main window hands them to the page.
void AcceptPage(ConfigAppState& app);
void BackPage(ConfigAppState& app);

// Saves the working configuration (the configuration writer); on failure
// shows the reason and returns false, keeping every edit.
bool SaveConfiguration(ConfigAppState& app);
// The same in two steps, for a save made under the wait cursor: writing
// (making the folder when the phone has none yet), and the message that
// the settings could not be saved.
bool WriteWorkingConfiguration(ConfigAppState& app);
void ShowSaveFailed(ConfigAppState& app);
// Reads the configuration file again into the working configuration
// (discarding edits) and recomputes the editable Today slot count.
void ReloadConfiguration(ConfigAppState& app);
// Tells the engine and the Today plug-in that the configuration was saved:
// Flags2 = 1, then message 2262 to the engine window when one exists.
void NotifyConfigurationSaved();
// ManualProfile = 700.
void ClearManualProfile();
// Recomputes the editable Today slot count from the profile names.
void UpdateEditableTodaySlots(ConfigAppState& app);
// Copies the add-on slots into the last-saved copies.
void RememberSavedAddOns(ConfigAppState& app);

}  // namespace tlw

namespace tlw {

// The file and folder chooser, run as a modal page of its own. A program
// part that offers one registers it; rows that need it are read-only while
// none is registered.
enum class ChooserMode : int32_t {
    kLoad = 0,    // pick an existing file
    kSave = 1,    // name a file to write
    kFolder = 2,  // pick a folder
};
struct ChooserRequest {
    ChooserMode mode = ChooserMode::kLoad;
    std::u16string startFolder;  // where it opens (empty: its remembered folder)
    bool iconMode = false;       // load mode for a profile icon
    int32_t titleId = 0;         // language-file text of its title
    std::u16string title;        // its title when the language file has none for it (wins over titleId)
    std::u16string fileName;     // save mode: the name offered
    std::u16string extension;    // save mode: appended to the name, without the dot
    std::u16string typeText;     // save mode: what kind of file is written
};
// Runs the chooser; true with *chosen set to the picked path, false when cancelled.
using ChooserFunction = bool (*)(ConfigAppState& app, const ChooserRequest& request, std::u16string* chosen);
void RegisterChooser(ChooserFunction chooser);
// The registered chooser; null when there is none.
ChooserFunction Chooser();

}  // namespace tlw
