// The main menu (page 0) and the information page (6).
#include "base/text.h"
#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

// Main menu commands of the right soft key.
constexpr uint32_t kCmdExport = 1501;
constexpr uint32_t kCmdImport = 1502;

// Language texts.
constexpr int32_t kTextExit = 3;
constexpr int32_t kTextMenu = 4;
constexpr int32_t kTextExport = 5;
constexpr int32_t kTextImport = 6;
constexpr int32_t kTextBack = 8;
constexpr int32_t kTextOptions = 20;
constexpr int32_t kTextProfiles = 21;
constexpr int32_t kTextToday = 22;
constexpr int32_t kTextPopup = 23;
constexpr int32_t kTextAbout = 24;
constexpr int32_t kTextSlogan = 25;

void ExitProgram(ConfigAppState& app) {
    if (app.mainWindow) plat::PostMessage(app.mainWindow, plat::WM_CLOSE, 0, 0);
}

void BuildMainMenu(ConfigAppState& app, std::vector<Row>& rows) {
    rows.push_back(EntryRow(Text(app, kTextOptions), kPageOptions));
    rows.push_back(EntryRow(Text(app, kTextProfiles), kPageProfiles));
    rows.push_back(EntryRow(Text(app, kTextToday), kPageToday));
    rows.push_back(EntryRow(Text(app, kTextPopup), kPagePopup));
    rows.push_back(EntryRow(Text(app, kTextAbout), kPageAbout));
}

void MainMenuRowEvent(ConfigAppState& app, const RowEvent& event) {
    if (event.code != kRowActivated) return;
    int32_t page = app.rows[event.row].tag;
    // The profile list opens on the profile selected when it was left.
    int32_t select = page == kPageProfiles && app.selectedProfile < app.model.profiles.count ? app.selectedProfile : -1;
    if (FindPage(page)) ShowPage(app, page, select);
}

void MainMenuSoftKeys(ConfigAppState& app, plat::MenuBarInfo& keys) {
    keys.left = {Text(app, kTextExit), kCmdAccept, {}};
    keys.right.label = Text(app, kTextMenu);
    keys.right.command = kCmdMenuPopup;
    // Export and import appear once their pages exist.
    if (FindPage(kPageExport)) keys.right.popup.push_back({Text(app, kTextExport), kCmdExport});
    if (FindPage(kPageImport)) keys.right.popup.push_back({Text(app, kTextImport), kCmdImport});
    if (!keys.right.popup.empty()) keys.right.popup.push_back({u"", 0, true});
    keys.right.popup.push_back({Text(app, kTextBack), kCmdMenuBack});
}

bool MainMenuCommand(ConfigAppState& app, uint32_t command) {
    int32_t page = command == kCmdExport ? kPageExport : command == kCmdImport ? kPageImport : -1;
    if (page < 0 || !FindPage(page)) return false;
    ShowPage(app, page);
    return true;
}

PageHandler MakeMainMenuPage() {
    PageHandler h;
    h.page = kPageMainMenu;
    h.titleId = 0;
    h.build = BuildMainMenu;
    h.rowEvent = MainMenuRowEvent;
    h.accept = ExitProgram;
    h.back = ExitProgram;
    h.softKeys = MainMenuSoftKeys;
    h.command = MainMenuCommand;
    return h;
}

void BuildAbout(ConfigAppState& app, std::vector<Row>& rows) {
    rows.push_back(HeadingRow(kProductVersion));
    Row slogan = EntryRow(Text(app, kTextSlogan), 0);
    slogan.readOnly = true;
    rows.push_back(slogan);
}

void AboutSoftKeys(ConfigAppState& app, plat::MenuBarInfo& keys) {
    keys.left = {Text(app, 7), kCmdAccept, {}};
    keys.right = {Text(app, kTextBack), kCmdBack, {}};
}

PageHandler MakeAboutPage() {
    PageHandler h;
    h.page = kPageAbout;
    h.titleId = kTextAbout;
    h.build = BuildAbout;
    h.softKeys = AboutSoftKeys;
    return h;
}

}  // namespace

TLW_CONFIG_PAGE(MakeMainMenuPage);
TLW_CONFIG_PAGE(MakeAboutPage);

}  // namespace tlw
