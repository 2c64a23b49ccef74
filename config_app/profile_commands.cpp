#include "config_app/profile_commands.h"

#include <memory>

#include "common/config/defaults.h"
#include "common/config/profile.h"
#include "config_app/config_app_state.h"

namespace tlw {
namespace {

// The Today layout in which the slots are edited freely.
constexpr int32_t kCustomLayout = 2;
// Today slots 11 to 15 (0-based 10 to 14) belong to the "Moonquill" profile.
constexpr int32_t kMoonquillFirstSlot = 10;

bool IsMoonquill(std::u16string_view name) { return name == kMoonquillName; }

void DisableMoonquillSlots(ConfigModel& model) {
    for (int32_t i = kMoonquillFirstSlot; i < kTodayItemCount; ++i) model.todayItems[i].enabled = false;
}

}  // namespace

int32_t NewProfile(ConfigModel& model, const LanguageTable& language, int32_t selected) {
    ProfileTable& t = model.profiles;
    if (t.count >= kMaxCreatedProfiles || t.count <= 0) return -1;
    int32_t source = selected >= 0 && selected < t.count ? selected : 0;
    // The defaults of a profile, taken from a freshly defaulted model.
    auto defaults = std::make_unique<ConfigModel>();
    defaults->options = model.options;
    ApplyDefaults(*defaults, language, true);
    const Profile& d = defaults->profiles.profiles[0];

    Profile p = t.profiles[source];
    p.name = language.text[kTextNewProfile].View();
    p.eventType = kEventManual;
    p.enabled = false;
    p.show = true;
    p.override = true;
    p.icon_enabled = false;
    p.profile_icon.Clear();
    for (bool& s : p.state) s = false;
    for (int slot = 0; slot < kScheduleSlots; ++slot) p.time[slot] = u"00:00";
    for (int day = 0; day < kWeekDays; ++day)
        for (int slot = 0; slot < kScheduleSlots; ++slot) p.schedule[day][slot] = false;
    p.timeoutSet = false;
    p.timeout = u"00:01";
    p.category = d.category;
    p.sensitivity = d.sensitivity;
    for (bool& a : p.aspower) a = false;
    p.headphones = 0;
    for (int s = 0; s < kSoundSlots; ++s) {
        p.event_enabled[s] = d.event_enabled[s];
        p.event_type[s] = d.event_type[s];
        p.sound_control[s] = d.sound_control[s];
        p.ringtone[s] = d.ringtone[s];
        p.repeat[s] = false;
        p.flash[s] = false;
        p.flash_time[s] = 0;
    }
    p.lockOnActivation = false;
    t.profiles[t.count] = p;
    return t.count++;
}

int32_t CopyProfile(ConfigModel& model, const LanguageTable& language, int32_t selected) {
    ProfileTable& t = model.profiles;
    if (t.count >= kMaxCreatedProfiles || selected < 0 || selected >= t.count) return -1;
    Profile p = t.profiles[selected];
    bool wasManual = p.eventType == kEventManual;
    p.name = language.text[kTextCopiedProfile].View();
    p.eventType = kEventManual;
    p.enabled = false;
    p.show = true;
    p.icon_enabled = false;
    p.profile_icon.Clear();
    if (wasManual) p.override = true;
    p.lockOnActivation = false;
    t.profiles[t.count] = p;
    return t.count++;
}

DeleteResult DeleteProfile(ConfigModel& model, int32_t index) {
    ProfileTable& t = model.profiles;
    if (index < 0 || index >= t.count) return DeleteResult::kNoSuchProfile;
    if (t.count <= 2) return DeleteResult::kTooFew;
    Profile& p = t.profiles[index];
    if (IsMoonquill(p.name.View())) {
        if (model.options.layout == kCustomLayout) return DeleteResult::kMoonquillLocked;
        DisableMoonquillSlots(model);
    }
    if (p.eventType == kEventLocation) {
        LocationTable& l = model.locations;
        int32_t kept = 0;
        for (int32_t i = 0; i < l.count; ++i) {
            if (l.entries[i].name.View() == p.name.View()) continue;
            if (kept != i) l.entries[kept] = l.entries[i];
            ++kept;
        }
        for (int32_t i = kept; i < l.count; ++i) l.entries[i] = LocationEntry{};
        l.count = kept;
    }
    for (int32_t i = index; i + 1 < t.count; ++i) t.profiles[i] = t.profiles[i + 1];
    t.profiles[t.count - 1] = Profile{};
    --t.count;
    return DeleteResult::kDeleted;
}

bool MoveProfile(ConfigModel& model, int32_t index, int32_t direction, int32_t* moved) {
    ProfileTable& t = model.profiles;
    int32_t other = index + (direction < 0 ? -1 : 1);
    if (index < 0 || index >= t.count || other < 0 || other >= t.count) return false;
    std::swap(t.profiles[index], t.profiles[other]);
    if (moved) *moved = other;
    return true;
}

void RenameLocationEntries(LocationTable& locations, std::u16string_view from, std::u16string_view to) {
    if (from == to) return;
    for (int32_t i = 0; i < locations.count; ++i) {
        if (locations.entries[i].name.View() == from) locations.entries[i].name = to;
    }
}

RenameResult CompleteRename(ConfigModel& model, int32_t index, std::u16string_view oldName) {
    if (index < 0 || index >= model.profiles.count) return RenameResult::kEmpty;
    Profile& p = model.profiles.profiles[index];
    std::u16string newName(p.name.View());
    bool blank = newName.find_first_not_of(u' ') == std::u16string::npos;
    if (blank) {
        p.name = oldName;
        return RenameResult::kEmpty;
    }
    if (newName == oldName) return RenameResult::kRenamed;
    if (IsMoonquill(oldName)) {
        if (model.options.layout == kCustomLayout) {
            p.name = oldName;
            return RenameResult::kMoonquillLocked;
        }
        DisableMoonquillSlots(model);
    }
    if (p.eventType == kEventLocation) RenameLocationEntries(model.locations, oldName, newName);
    return RenameResult::kRenamed;
}

}  // namespace tlw
