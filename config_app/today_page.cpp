// The Today page (page 3): the layout, the thumb menu and the editable
// add-on slots with their enabled marks and move zones.
#include "config_app/pages.h"
#include "config_app/settings_rules.h"
#include "config_app/wait_cursor.h"
#include "platform/kernel/threads.h"

namespace tlw {
namespace {

// Language texts.
constexpr int32_t kTextLayout = 47;
constexpr int32_t kTextThumbMenu = 48;
constexpr int32_t kTextAddOns = 49;
constexpr int32_t kTextAddOnType = 900;  // + type
constexpr int32_t kTextLayoutValue = 940;  // + layout

// Rows before the slots.
constexpr int32_t kRowLayout = 0;
constexpr int32_t kRowThumbMenu = 1;
constexpr int32_t kFirstSlotRow = 3;

// The pause between saving and notifying, so that the file is complete
// when the plug-in reads it.
constexpr uint32_t kSaveSettleMs = 100;

void BuildToday(ConfigAppState& app, std::vector<Row>& rows) {
    Options& o = app.model.options;
    std::vector<ChoiceEntry> layouts;
    for (int32_t i = 0; i < 3; ++i) layouts.push_back({Text(app, kTextLayoutValue + i), i});
    rows.push_back(ChoiceRow(Text(app, kTextLayout), &o.layout, std::move(layouts)));
    Row thumb = CheckRow(Text(app, kTextThumbMenu), &o.thumb_menu);
    thumb.readOnly = o.layout != kLayoutCustom;
    rows.push_back(std::move(thumb));
    rows.push_back(HeadingRow(Text(app, kTextAddOns)));
    for (int32_t i = 0; i < app.editableTodaySlots && i < kTodayItemCount; ++i) {
        TodayItem& item = app.model.todayItems[i];
        Row row;
        row.kind = RowKind::kTodaySlot;
        row.label = Text(app, kTextAddOnType + item.type);
        row.check = &item.enabled;
        row.large = item.height;
        row.tag = i;
        rows.push_back(std::move(row));
    }
}

void TodayRowEvent(ConfigAppState& app, const RowEvent& event) {
    if (event.row == kRowLayout && event.code == kRowValueChanged) {
        ApplyTodayPreset(app.model, app.model.options.layout);
        RebuildPage(app);
    } else if (event.code == kRowSlotMove) {
        int32_t slot = app.rows[event.row].tag;
        int32_t moved = MoveTodaySlot(app.model, slot, event.flag, app.editableTodaySlots);
        if (moved < 0) return;
        app.page = kPageTodayReturn;
        RebuildPage(app, kFirstSlotRow + moved);
    }
}

void AcceptToday(ConfigAppState& app) {
    for (int32_t i = 0; i < app.editableTodaySlots && i < kTodayItemCount; ++i) {
        const TodayItem& now = app.model.todayItems[i];
        TodayItem& saved = app.savedTodayItems[i];
        if (now.enabled != saved.enabled || now.type != saved.type || now.height != saved.height ||
            now.width != saved.width) {
            saved = now;
        }
    }
    bool saved = false;
    {
        WaitCursor wait;
        saved = WriteWorkingConfiguration(app);
        if (saved) {
            plat::Sleep(kSaveSettleMs);
            NotifyConfigurationSaved();
        }
    }
    if (!saved) {
        ShowSaveFailed(app);  // the page stays, with its edits
        return;
    }
    ShowPage(app, kPageMainMenu);
}

void BackToday(ConfigAppState& app) {
    ReloadConfiguration(app);
    ShowPage(app, kPageMainMenu);
}

PageHandler MakeTodayPage() {
    PageHandler h;
    h.page = kPageToday;
    h.titleId = 22;
    h.build = BuildToday;
    h.rowEvent = TodayRowEvent;
    h.accept = AcceptToday;
    h.back = BackToday;
    return h;
}

}  // namespace

TLW_CONFIG_PAGE(MakeTodayPage);

}  // namespace tlw
