#include "config_app/pages.h"

#include <map>

#include "base/text.h"
#include "common/config/config_file.h"
#include "common/config/legacy_config.h"
#include "common/config/registry_state.h"
#include "config_app/config_app.h"
#include "config_app/row_list.h"
#include "platform/storage/file.h"
#include "platform/controls/message_box.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

// Soft-key labels.
constexpr int32_t kTextOk = 7;
constexpr int32_t kTextCancel = 10;
// The message when the configuration file cannot be written.
constexpr char16_t kSaveFailed[] = u"The settings could not be saved. Your changes are kept; try again.";

// Engine window message: the configuration was saved, read it again.
constexpr uint32_t kEngineReloadMessage = 2262;

std::map<int32_t, PageHandler>& Pages() {
    static std::map<int32_t, PageHandler> pages;
    return pages;
}

// The first row that can be selected (-1 for none).
int32_t FirstSelectable(const ConfigAppState& app) {
    for (size_t i = 0; i < app.rows.size(); ++i) {
        if (app.rows[i].kind != RowKind::kHeading) return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace

int64_t PackRowEvent(const RowEvent& event) {
    switch (event.code) {
    case kRowValueChanged:
        return static_cast<int64_t>((static_cast<uint32_t>(static_cast<uint16_t>(event.value)) << 16) |
                                    static_cast<uint16_t>(event.row));
    case kRowActivated:
    case kRowSlotMove:
    case kRowTabSide:
        return event.row + (event.flag ? 65536 : 0);
    default:
        return event.row;
    }
}

RowEvent UnpackRowEvent(uint64_t wParam, int64_t lParam) {
    RowEvent e;
    e.code = static_cast<int32_t>(static_cast<uint32_t>(wParam));
    switch (e.code) {
    case kRowValueChanged:
        e.row = static_cast<int32_t>(lParam & 0xFFFF);
        e.value = static_cast<int16_t>(static_cast<uint16_t>((lParam >> 16) & 0xFFFF));
        break;
    case kRowActivated:
    case kRowSlotMove:
    case kRowTabSide:
        e.row = static_cast<int32_t>(lParam & 0xFFFF);
        e.flag = (lParam >> 16) & 1;
        break;
    default:
        e.row = static_cast<int32_t>(lParam);
        break;
    }
    return e;
}

void RegisterPage(const PageHandler& handler) { Pages()[handler.page] = handler; }

const PageHandler* FindPage(int32_t page) {
    if (page == kPageTodayReturn) page = kPageToday;
    auto it = Pages().find(page);
    return it == Pages().end() ? nullptr : &it->second;
}

void UpdateSoftKeys(ConfigAppState& app) {
    if (!app.mainWindow) return;
    const PageHandler* handler = FindPage(app.page);
    plat::MenuBarInfo keys;
    if (handler && handler->softKeys) {
        handler->softKeys(app, keys);
    } else {
        keys.left = {Text(app, kTextOk), kCmdAccept, {}};
        keys.right = {Text(app, kTextCancel), kCmdBack, {}};
    }
    plat::SHCreateMenuBar(app.mainWindow, keys);
}

void ShowPage(ConfigAppState& app, int32_t page, int32_t selectRow) {
    const PageHandler* handler = FindPage(page);
    if (!handler) return;
    if (app.list.editing >= 0) EndRowEdit(app, false);
    bool entering = FindPage(app.page) != handler || app.rows.empty();
    app.previousPage = app.page;
    app.page = page;
    app.list = RowListState{};
    if (entering && handler->open) handler->open(app);
    app.rows.clear();
    handler->build(app, app.rows);
    if (app.rows.size() > kMaxRows) app.rows.resize(kMaxRows);
    if (handler->title) app.pageTitle = handler->title(app);
    else app.pageTitle = handler->titleId ? Format(u"Tlw %s", {Text(app, handler->titleId)}) : Text(app, 1);
    SelectRow(app, selectRow >= 0 ? selectRow : FirstSelectable(app));
    UpdateSoftKeys(app);
    RedrawRowList(app);
}

void RebuildPage(ConfigAppState& app, int32_t selectRow) {
    const PageHandler* handler = FindPage(app.page);
    if (!handler) return;
    int32_t selected = selectRow >= 0 ? selectRow : app.list.selected;
    int32_t scroll = app.list.scrollTop;
    app.list = RowListState{};
    app.list.scrollTop = scroll;
    app.rows.clear();
    handler->build(app, app.rows);
    if (app.rows.size() > kMaxRows) app.rows.resize(kMaxRows);
    if (selected >= static_cast<int32_t>(app.rows.size())) selected = static_cast<int32_t>(app.rows.size()) - 1;
    SelectRow(app, selected);
    UpdateSoftKeys(app);
    RedrawRowList(app);
}

void AcceptPage(ConfigAppState& app) {
    if (app.list.editing >= 0) EndRowEdit(app, true);
    app.list.choiceOpen = -1;
    const PageHandler* handler = FindPage(app.page);
    if (handler && handler->accept) handler->accept(app);
    else ShowPage(app, kPageMainMenu);
}

void BackPage(ConfigAppState& app) {
    if (app.list.editing >= 0) EndRowEdit(app, false);
    app.list.choiceOpen = -1;
    const PageHandler* handler = FindPage(app.page);
    if (handler && handler->back) handler->back(app);
    else ShowPage(app, kPageMainMenu);
}

bool WriteWorkingConfiguration(ConfigAppState& app) {
    // A phone without the folder yet (the first save) gets it, one level at a time.
    std::u16string_view folder = app.paths.configFolder.View();
    for (size_t at = folder.find(u'\\', 1); !folder.empty(); at = folder.find(u'\\', at + 1)) {
        std::u16string part(folder.substr(0, at == std::u16string_view::npos ? folder.size() : at));
        if (!plat::DirectoryExists(part)) plat::CreateDirectory(part);
        if (at == std::u16string_view::npos) break;
    }
    return WriteConfiguration(false, {}, app.model, app.language);
}

void ShowSaveFailed(ConfigAppState& app) {
    plat::MessageBox(kSaveFailed, Text(app, 1), plat::kMbOk | plat::kMbIconHand);
}

bool SaveConfiguration(ConfigAppState& app) {
    if (WriteWorkingConfiguration(app)) return true;
    ShowSaveFailed(app);
    return false;
}

void ReloadConfiguration(ConfigAppState& app) {
    ReadAnyConfigurationAndLanguage(app.model, app.language);
    UpdateEditableTodaySlots(app);
    RememberSavedAddOns(app);
}

void NotifyConfigurationSaved() {
    WriteFlags2(kFlags2ConfigChanged);
    if (plat::Hwnd engine = FindEngineWindow()) plat::SendNotifyMessage(engine, kEngineReloadMessage, 0, 0);
}

void ClearManualProfile() { WriteManualProfile(kNoProfile); }

void UpdateEditableTodaySlots(ConfigAppState& app) {
    app.editableTodaySlots = kStandardTodaySlots;
    for (int32_t i = 0; i < app.model.profiles.count; ++i) {
        if (app.model.profiles.profiles[i].name == std::u16string_view(kMoonquillName)) {
            app.editableTodaySlots = kTodayItemCount;
        }
    }
}

void RememberSavedAddOns(ConfigAppState& app) {
    for (int i = 0; i < kTodayItemCount; ++i) app.savedTodayItems[i] = app.model.todayItems[i];
    for (int i = 0; i < kPopupSwitchCount; ++i) app.savedPopupSwitches[i] = app.model.popupSwitches[i];
    for (int i = 0; i < kPopupCounterCount; ++i) app.savedPopupCounters[i] = app.model.popupCounters[i];
}

}  // namespace tlw

namespace tlw {
namespace {
ChooserFunction& ChooserSlot() {
    static ChooserFunction chooser = nullptr;
    return chooser;
}
}  // namespace

void RegisterChooser(ChooserFunction chooser) { ChooserSlot() = chooser; }
ChooserFunction Chooser() { return ChooserSlot(); }

}  // namespace tlw
