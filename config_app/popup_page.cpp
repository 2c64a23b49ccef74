// The popup page (page 4): the taskbar icon and its position, the menu
// style, and which switches and counters the engine's popup shows.
#include "config_app/pages.h"

namespace tlw {
namespace {

// Language texts.
constexpr int32_t kTextBarIcon = 50;
constexpr int32_t kTextIconPosition = 56;
constexpr int32_t kTextMenuStyle = 57;
constexpr int32_t kTextSwitches = 58;
constexpr int32_t kTextCounters = 59;
constexpr int32_t kTextCounterType = 900;  // + type
constexpr int32_t kTextSwitchType = 920;   // + type
constexpr int32_t kTextBarIconValue = 960;  // + bar_icon
constexpr int32_t kTextMenuTypeValue = 966;  // + menu_type

// The taskbar icon mode that places the icon by taskbar_icon_pos.
constexpr int32_t kBarIconPlaced = 2;
constexpr int32_t kMaxIconPosition = 800;

constexpr int32_t kRowBarIcon = 0;

std::vector<ChoiceEntry> Entries(const ConfigAppState& app, int32_t firstText, int32_t count) {
    std::vector<ChoiceEntry> entries;
    for (int32_t i = 0; i < count; ++i) entries.push_back({Text(app, firstText + i), i});
    return entries;
}

void BuildPopup(ConfigAppState& app, std::vector<Row>& rows) {
    Options& o = app.model.options;
    rows.push_back(ChoiceRow(Text(app, kTextBarIcon), &o.bar_icon, Entries(app, kTextBarIconValue, 3)));
    Row position = NumberRow(Text(app, kTextIconPosition), &o.taskbar_icon_pos, 0, kMaxIconPosition);
    position.readOnly = o.bar_icon != kBarIconPlaced;
    rows.push_back(std::move(position));
    rows.push_back(ChoiceRow(Text(app, kTextMenuStyle), &o.menu_type, Entries(app, kTextMenuTypeValue, 2)));
    rows.push_back(HeadingRow(Text(app, kTextSwitches)));
    for (PopupSwitch& s : app.model.popupSwitches) {
        rows.push_back(CheckRow(Text(app, kTextSwitchType + s.type), &s.enabled));
    }
    rows.push_back(HeadingRow(Text(app, kTextCounters)));
    for (PopupCounter& c : app.model.popupCounters) {
        rows.push_back(CheckRow(Text(app, kTextCounterType + c.type), &c.enabled));
    }
}

void PopupRowEvent(ConfigAppState& app, const RowEvent& event) {
    if (event.row == kRowBarIcon && event.code == kRowValueChanged) RebuildPage(app);
}

void AcceptPopup(ConfigAppState& app) {
    for (int i = 0; i < kPopupSwitchCount; ++i) {
        const PopupSwitch& now = app.model.popupSwitches[i];
        PopupSwitch& saved = app.savedPopupSwitches[i];
        if (now.enabled != saved.enabled || now.type != saved.type) saved = now;
    }
    for (int i = 0; i < kPopupCounterCount; ++i) {
        const PopupCounter& now = app.model.popupCounters[i];
        PopupCounter& saved = app.savedPopupCounters[i];
        if (now.enabled != saved.enabled || now.type != saved.type) saved = now;
    }
    if (!SaveConfiguration(app)) return;
    NotifyConfigurationSaved();
    ShowPage(app, kPageMainMenu);
}

void BackPopup(ConfigAppState& app) {
    ReloadConfiguration(app);
    ShowPage(app, kPageMainMenu);
}

PageHandler MakePopupPage() {
    PageHandler h;
    h.page = kPagePopup;
    h.titleId = 23;
    h.build = BuildPopup;
    h.rowEvent = PopupRowEvent;
    h.accept = AcceptPopup;
    h.back = BackPopup;
    return h;
}

}  // namespace

TLW_CONFIG_PAGE(MakePopupPage);

}  // namespace tlw
