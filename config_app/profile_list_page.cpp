// The profile list (page 2): the profiles in table order with their enabled
// and show marks, and the commands of the right soft key's menu.
#include <algorithm>

#include "config_app/profile_commands.h"
#include "config_app/pages.h"
#include "config_app/row_list.h"
#include "platform/controls/message_box.h"

namespace tlw {
namespace {

// Menu commands.
constexpr uint32_t kCmdEnable = 1506;
constexpr uint32_t kCmdRename = 1507;
constexpr uint32_t kCmdNew = 1508;
constexpr uint32_t kCmdDelete = 1509;
constexpr uint32_t kCmdEdit = 1510;
constexpr uint32_t kCmdMoveUp = 1511;
constexpr uint32_t kCmdMoveDown = 1512;
constexpr uint32_t kCmdCopy = 1513;
constexpr uint32_t kCmdShow = 1514;

// Language texts.
constexpr int32_t kTextMenu = 4;
constexpr int32_t kTextBack = 8;
constexpr int32_t kTextSave = 9;
constexpr int32_t kTextEdit = 30;
constexpr int32_t kTextDelete = 32;
constexpr int32_t kTextMoveUp = 33;
constexpr int32_t kTextMoveDown = 34;
constexpr int32_t kTextEnable = 35;  // + enabled
constexpr int32_t kTextShow = 37;    // + show
constexpr int32_t kTextRename = 121;
constexpr int32_t kTextTriggerType = 131;  // + eventType

int32_t Selected(const ConfigAppState& app) {
    int32_t s = app.list.selected;
    return s >= 0 && s < app.model.profiles.count ? s : -1;
}

void OpenProfileList(ConfigAppState& app) {
    // Coming back from the profile editor keeps the copies taken when the list opened.
    if (app.previousPage == kPageProfileEditor) return;
    app.listProfiles = app.model.profiles;
    app.listLocations = app.model.locations;
    app.listOrigin.clear();
    for (int32_t i = 0; i < app.model.profiles.count; ++i) app.listOrigin.push_back(i);
    app.profileDeleted = false;
    app.profileChanged = false;
}

void BuildProfileList(ConfigAppState& app, std::vector<Row>& rows) {
    ProfileTable& t = app.model.profiles;
    for (int32_t i = 0; i < t.count && rows.size() < kMaxRows; ++i) {
        Profile& p = t.profiles[i];
        Row row = EntryRow(p.name.Str(), i);
        row.text = p.name.text;
        row.textCapacity = p.name.kCapacity;
        row.check = &p.enabled;
        row.check2 = &p.show;
        row.hideCheck2 = p.eventType == kEventManual;
        row.second = Text(app, kTextTriggerType + std::clamp(p.eventType, 0, static_cast<int32_t>(kEventLocation)));
        rows.push_back(std::move(row));
    }
    if (app.selectedProfile < 0 && t.count > 0) app.selectedProfile = 0;
}

void Select(ConfigAppState& app, int32_t index) {
    app.selectedProfile = index;
    RebuildPage(app, index);
}

void EditSelected(ConfigAppState& app) {
    int32_t s = Selected(app);
    if (s < 0 || !FindPage(kPageProfileEditor)) return;
    app.selectedProfile = s;
    app.editorTab = 0;
    app.editorSoundEvent = 0;
    ShowPage(app, kPageProfileEditor);
}

void RenameSelected(ConfigAppState& app) {
    int32_t s = Selected(app);
    if (s >= 0) BeginRowEdit(app, s);
}

void ProfileRowEvent(ConfigAppState& app, const RowEvent& event) {
    app.selectedProfile = Selected(app);
    if (event.code == kRowActivated && event.flag) {
        EditSelected(app);
        return;
    }
    if (event.code == kRowValueChanged) {
        // A name typed in place.
        RenameResult r = CompleteRename(app.model, event.row, app.list.editOriginal);
        if (r == RenameResult::kMoonquillLocked) {
            plat::MessageBox(kMoonquillRefusal, kMoonquillCaption, plat::kMbOk | plat::kMbIconExclamation);
        }
        UpdateEditableTodaySlots(app);
        RebuildPage(app, event.row);
    }
}

void Command(ConfigAppState& app, uint32_t command) {
    int32_t s = Selected(app);
    ProfileTable& t = app.model.profiles;
    switch (command) {
    case kCmdEdit:
        EditSelected(app);
        return;
    case kCmdNew:
    case kCmdCopy: {
        int32_t made = command == kCmdNew ? NewProfile(app.model, app.language, s)
                                          : CopyProfile(app.model, app.language, s);
        if (made < 0) return;
        app.listOrigin.resize(static_cast<size_t>(made), -1);
        app.listOrigin.push_back(-1);
        Select(app, made);
        BeginRowEdit(app, made);
        return;
    }
    case kCmdDelete: {
        DeleteResult r = DeleteProfile(app.model, s);
        if (r == DeleteResult::kMoonquillLocked) {
            plat::MessageBox(kMoonquillRefusal, kMoonquillCaption, plat::kMbOk | plat::kMbIconExclamation);
            return;
        }
        if (r != DeleteResult::kDeleted) return;
        if (s < static_cast<int32_t>(app.listOrigin.size())) app.listOrigin.erase(app.listOrigin.begin() + s);
        app.profileDeleted = true;
        UpdateEditableTodaySlots(app);
        Select(app, std::min(s, t.count - 1));
        return;
    }
    case kCmdMoveUp:
    case kCmdMoveDown: {
        int32_t moved = s;
        if (!MoveProfile(app.model, s, command == kCmdMoveUp ? -1 : 1, &moved)) return;
        app.listOrigin.resize(static_cast<size_t>(t.count), -1);
        std::swap(app.listOrigin[static_cast<size_t>(s)], app.listOrigin[static_cast<size_t>(moved)]);
        Select(app, moved);
        return;
    }
    case kCmdEnable:
        if (s >= 0) t.profiles[s].enabled = !t.profiles[s].enabled;
        RebuildPage(app);
        return;
    case kCmdShow:
        if (s >= 0 && t.profiles[s].eventType != kEventManual) t.profiles[s].show = !t.profiles[s].show;
        RebuildPage(app);
        return;
    case kCmdRename:
        RenameSelected(app);
        return;
    default:
        return;
    }
}

bool ProfileCommand(ConfigAppState& app, uint32_t command) {
    if (command < kCmdEnable || command > kCmdShow) return false;
    if (app.list.editing >= 0) EndRowEdit(app, true);
    Command(app, command);
    return true;
}

void ProfileSoftKeys(ConfigAppState& app, plat::MenuBarInfo& keys) {
    keys.left = {Text(app, kTextSave), kCmdAccept, {}};
    keys.right.label = Text(app, kTextMenu);
    keys.right.command = kCmdMenuPopup;
    std::vector<plat::MenuBarEntry>& m = keys.right.popup;
    int32_t s = Selected(app);
    bool room = app.model.profiles.count < kMaxCreatedProfiles;
    if (s >= 0) {
        const Profile& p = app.model.profiles.profiles[s];
        m.push_back({Text(app, kTextEdit), kCmdEdit, false, !FindPage(kPageProfileEditor)});
        m.push_back({u"", 0, true});
        m.push_back({Text(app, kTextNewProfile), kCmdNew, false, !room});
        m.push_back({Text(app, kTextCopiedProfile), kCmdCopy, false, !room});
        m.push_back({Text(app, kTextDelete), kCmdDelete, false, app.model.profiles.count <= 2});
        m.push_back({u"", 0, true});
        m.push_back({Text(app, kTextMoveUp), kCmdMoveUp, false, s == 0});
        m.push_back({Text(app, kTextMoveDown), kCmdMoveDown, false, s + 1 >= app.model.profiles.count});
        m.push_back({u"", 0, true});
        m.push_back({Text(app, kTextEnable + (p.enabled ? 1 : 0)), kCmdEnable});
        if (p.eventType != kEventManual) m.push_back({Text(app, kTextShow + (p.show ? 1 : 0)), kCmdShow});
        m.push_back({Text(app, kTextRename), kCmdRename});
        m.push_back({u"", 0, true});
    } else {
        m.push_back({Text(app, kTextNewProfile), kCmdNew, false, !room});
    }
    m.push_back({Text(app, kTextBack), kCmdMenuBack});
}

// Left soft key: save, clear the manual profile, notify.
void AcceptProfileList(ConfigAppState& app) {
    app.selectedProfile = Selected(app);
    if (!SaveConfiguration(app)) return;
    ClearManualProfile();
    app.profileDeleted = false;
    app.profileChanged = false;
    NotifyConfigurationSaved();
    ShowPage(app, kPageMainMenu);
}

// Right soft key: unless a profile was deleted the names and the enabled
// and show flags return to what they were when the list opened (each
// profile its own, wherever it was moved; a new one keeps its name);
// changes made in the profile editor or a deletion are still saved.
void BackProfileList(ConfigAppState& app) {
    app.selectedProfile = Selected(app);
    ProfileTable& t = app.model.profiles;
    if (!app.profileDeleted) {
        for (int32_t i = 0; i < t.count && i < static_cast<int32_t>(app.listOrigin.size()); ++i) {
            int32_t origin = app.listOrigin[static_cast<size_t>(i)];
            if (origin < 0 || origin >= app.listProfiles.count) continue;
            Profile& p = t.profiles[i];
            const Profile& was = app.listProfiles.profiles[origin];
            if (p.eventType == kEventLocation && p.name.View() != was.name.View()) {
                RenameLocationEntries(app.model.locations, p.name.View(), was.name.View());
            }
            p.name = was.name;
            p.enabled = was.enabled;
            p.show = was.show;
        }
        UpdateEditableTodaySlots(app);
    }
    if (app.profileDeleted || app.profileChanged) {
        if (!SaveConfiguration(app)) return;
        ClearManualProfile();
        NotifyConfigurationSaved();
        app.profileDeleted = false;
        app.profileChanged = false;
    }
    ShowPage(app, kPageMainMenu);
}

PageHandler MakeProfileListPage() {
    PageHandler h;
    h.page = kPageProfiles;
    h.titleId = 21;
    h.open = OpenProfileList;
    h.build = BuildProfileList;
    h.rowEvent = ProfileRowEvent;
    h.accept = AcceptProfileList;
    h.back = BackProfileList;
    h.softKeys = ProfileSoftKeys;
    h.command = ProfileCommand;
    return h;
}

}  // namespace

TLW_CONFIG_PAGE(MakeProfileListPage);

}  // namespace tlw
