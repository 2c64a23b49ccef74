// Opening, accepting and leaving the profile editor.
#include "config_app/profile_editor.h"

#include <cstring>

namespace tlw {

namespace {

// Field by field, since the records hold padding whose bytes say nothing.
bool SameProfile(const Profile& a, const Profile& b) {
    auto sameArray = [](const auto& x, const auto& y) { return std::memcmp(x, y, sizeof x) == 0; };
    if (!(a.name == b.name) || a.eventType != b.eventType || a.enabled != b.enabled || a.show != b.show ||
        a.override != b.override || a.timeoutSet != b.timeoutSet || !(a.timeout == b.timeout) ||
        !sameArray(a.schedule, b.schedule) || !sameArray(a.state, b.state) || !(a.category == b.category) ||
        a.sensitivity != b.sensitivity || !sameArray(a.aspower, b.aspower) || a.headphones != b.headphones ||
        a.volMaster != b.volMaster || !sameArray(a.event_enabled, b.event_enabled) ||
        !sameArray(a.event_type, b.event_type) || !sameArray(a.sound_control, b.sound_control) ||
        !sameArray(a.flash, b.flash) || !sameArray(a.flash_time, b.flash_time) || !sameArray(a.repeat, b.repeat) ||
        !sameArray(a.volume, b.volume) || !sameArray(a.volume_enabled, b.volume_enabled) ||
        !sameArray(a.radio, b.radio) || a.push_email != b.push_email || a.data_call != b.data_call ||
        !(a.network_GUID == b.network_GUID) || a.rotate != b.rotate || a.pda_power != b.pda_power ||
        a.run_program != b.run_program || a.auto_program != b.auto_program || a.close_program != b.close_program ||
        !(a.program == b.program) || !(a.program_params == b.program_params) || a.icon_enabled != b.icon_enabled ||
        !(a.profile_icon == b.profile_icon) || a.backlight_enabled != b.backlight_enabled ||
        a.backlight != b.backlight || !sameArray(a.power_timeouts, b.power_timeouts))
        return false;
    for (int s = 0; s < kSoundSlots; ++s)
        if (!(a.ringtone[s] == b.ringtone[s])) return false;
    for (int s = 0; s < kScheduleSlots; ++s)
        if (!(a.time[s] == b.time[s])) return false;
    return true;
}

bool SameLocations(const LocationTable& a, const LocationTable& b) {
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count && i < kMaxLocations; ++i) {
        const LocationEntry& x = a.entries[i];
        const LocationEntry& y = b.entries[i];
        if (!(x.name == y.name) || x.cell != y.cell || !(x.accessPoint == y.accessPoint)) return false;
    }
    return true;
}

}  // namespace

bool OpenProfileEditor(ProfileEditor* editor, const ConfigModel& model, int32_t profile) {
    if (profile < 0 || profile >= model.profiles.count || profile >= kMaxProfiles) return false;
    if (!editor->savedProfiles) editor->savedProfiles = std::make_unique<ProfileTable>();
    *editor->savedProfiles = model.profiles;
    editor->savedLocations = model.locations;
    editor->profile = profile;
    editor->tab = kTabTrigger;
    editor->soundEvent = 0;
    editor->open = true;
    return true;
}

bool AcceptProfileEditor(ProfileEditor* editor, const ConfigModel& model) {
    if (!editor->open) return false;
    editor->open = false;
    const ProfileTable& saved = *editor->savedProfiles;
    if (saved.count != model.profiles.count || !SameLocations(editor->savedLocations, model.locations))
        return true;
    for (int i = 0; i < saved.count && i < kMaxProfiles; ++i)
        if (!SameProfile(saved.profiles[i], model.profiles.profiles[i])) return true;
    return false;
}

void BackProfileEditor(ProfileEditor* editor, ConfigModel* model) {
    if (!editor->open) return;
    model->profiles = *editor->savedProfiles;
    model->locations = editor->savedLocations;
    editor->open = false;
}

int32_t NeighbourIndex(int32_t current, int step, int32_t count) {
    return ((current + step) % count + count) % count;
}

void StepEditorTab(ProfileEditor* editor, int step) {
    editor->tab = NeighbourIndex(editor->tab, step, kEditorTabCount);
}

void StepSoundEvent(ProfileEditor* editor, int step) {
    editor->soundEvent = NeighbourIndex(editor->soundEvent, step, kSoundSlots);
}

Profile& EditedProfile(const ProfileEditor& editor, ConfigModel* model) {
    return model->profiles.profiles[editor.profile];
}

const Profile& EditedProfile(const ProfileEditor& editor, const ConfigModel& model) {
    return model.profiles.profiles[editor.profile];
}

}  // namespace tlw
