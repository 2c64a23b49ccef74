// Reading the configuration file. Every read fills the whole model: the
// defaults first, then the values the file holds; a missing key leaves the
// field as it was.
#include <string>

#include "common/config/config_file.h"
#include "common/config/config_line_reader.h"
#include "common/config/config_paths.h"
#include "common/config/defaults.h"
#include "common/graphics/screen_scale.h"
#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"

namespace tlw {
namespace {

constexpr uint32_t kVersionWindow = 1020;  // bytes searched for the version marker

// The value decoders: each fills what the value holds and leaves the rest.
void DecodeBools(std::u16string_view value, bool* out, int count) {
    for (int k = 0; k < count; ++k) {
        std::size_t at = static_cast<std::size_t>(k) * 2;
        if (at >= value.size()) break;
        out[k] = value[at] == u'1';
    }
}

void DecodeInts(std::u16string_view value, int32_t* out, int count) {
    int k = 0;
    std::size_t start = 0;
    while (k < count && start <= value.size()) {
        std::size_t comma = value.find(u',', start);
        std::u16string_view piece = value.substr(start, comma == std::u16string_view::npos ? value.size() - start : comma - start);
        out[k++] = ParseInt(piece);
        if (comma == std::u16string_view::npos) break;
        start = comma + 1;
    }
}

// Key lookups that decode into a field; each returns whether the key was found.
struct KeyReader {
    ConfigLineReader& lines;  // the file's reader
    std::u16string value;     // the value of the last key found

    bool Int(std::u16string_view key, int32_t* out) {
        if (!lines.FindKey(key, &value)) return false;
        *out = ParseInt(value);
        return true;
    }
    bool Bool(std::u16string_view key, bool* out) {
        if (!lines.FindKey(key, &value)) return false;
        DecodeBools(value, out, 1);
        return true;
    }
    bool Bools(std::u16string_view key, bool* out, int count) {
        if (!lines.FindKey(key, &value)) return false;
        DecodeBools(value, out, count);
        return true;
    }
    bool Ints(std::u16string_view key, int32_t* out, int count) {
        if (!lines.FindKey(key, &value)) return false;
        DecodeInts(value, out, count);
        return true;
    }
    template <std::size_t N>
    bool Text(std::u16string_view key, FixedString<N>* out) {
        if (!lines.FindKey(key, &value)) return false;
        *out = value;  // cut to the field's capacity
        return true;
    }
};

std::u16string Indexed(const char16_t* key, int index) { return Format(u"%s%d", {key, index}); }

void ReadProfile(KeyReader& keys, Profile& p, int index, const LanguageTable& language) {
    if (keys.Text(u"name", &p.name) && !p.name.Empty() && p.name.text[0] == u'-') {
        int slot = kTextDefaultProfileName + index;
        if (slot < kLanguageSlots) p.name = language.text[slot];
        else p.name.Clear();
    }
    keys.Bool(u"enabled", &p.enabled);
    keys.Int(u"eventType", &p.eventType);
    switch (p.eventType) {
    case kEventManual:
        // The time-out is in force exactly when its key is there; a missing
        // key also clears a mark left by an earlier read of the same slot.
        p.timeoutSet = keys.Text(u"timeout", &p.timeout);
        break;
    case kEventTime:
        for (int d = 0; d < kScheduleSlots; ++d) {
            bool days[kWeekDays];
            for (int day = 0; day < kWeekDays; ++day) days[day] = p.schedule[day][d];
            if (keys.Bools(Indexed(u"schedule", d), days, kWeekDays))
                for (int day = 0; day < kWeekDays; ++day) p.schedule[day][d] = days[day];
            keys.Text(Indexed(u"time", d), &p.time[d]);
        }
        break;
    case kEventOutlook:
        keys.Bools(u"state", p.state, kCalendarStates);
        if (!keys.Text(u"category", &p.category)) p.category = language.text[kTextAnyCategory];
        keys.Int(u"sensitivity", &p.sensitivity);
        break;
    case kEventPower:
        keys.Bools(u"aspower", p.aspower, kPowerConditions);
        keys.Int(u"headphones", &p.headphones);
        break;
    default:
        break;
    }
    keys.Bool(u"show", &p.show);
    keys.Bool(u"override", &p.override);
    keys.Int(u"volMaster", &p.volMaster);
    int32_t ignored = 0;
    keys.Int(u"event_control", &ignored);
    keys.Bools(u"event_enabled", p.event_enabled, kSoundSlots);
    keys.Ints(u"event_type", p.event_type, kSoundSlots);
    keys.Bools(u"sound_control", p.sound_control, kSoundSlots);
    for (int s = 0; s < kSoundSlots; ++s) keys.Text(Indexed(u"ringtone", s), &p.ringtone[s]);
    keys.Bools(u"repeat", p.repeat, kSoundSlots);
    keys.Bools(u"flash", p.flash, kSoundSlots);
    keys.Ints(u"flash_time", p.flash_time, kSoundSlots);
    keys.Bools(u"volume_enabled", p.volume_enabled, kVolumeCount);
    keys.Ints(u"volume", p.volume, kVolumeCount);
    keys.Ints(u"radio", p.radio, kRadioCount);
    keys.Int(u"push_email", &p.push_email);
    keys.Text(u"network_GUID", &p.network_GUID);
    keys.Int(u"data_call", &p.data_call);
    keys.Bool(u"backlight_enabled", &p.backlight_enabled);
    keys.Int(u"backlight", &p.backlight);
    keys.Ints(u"power_timeouts", p.power_timeouts, kPowerTimeouts);
    keys.Int(u"rotate", &p.rotate);
    keys.Int(u"pda_power", &p.pda_power);
    keys.Bool(u"run_program", &p.run_program);
    keys.Text(u"program", &p.program);
    keys.Text(u"program_params", &p.program_params);
    keys.Bool(u"auto_program", &p.auto_program);
    keys.Bool(u"close_program", &p.close_program);
    keys.Bool(u"icon_enabled", &p.icon_enabled);
    keys.Text(u"profile_icon", &p.profile_icon);
}

void ReadOptionSections(ConfigLineReader& lines, KeyReader& keys, ConfigModel& model) {
    Options& o = model.options;
    lines.FindSection(u"[Options]");
    keys.Int(u"language", &o.language);
    keys.Int(u"bklLevels", &o.bklLevels);
    keys.Int(u"bklmin", &o.bklmin);
    keys.Bool(u"skin_enabled", &o.skin_enabled);
    keys.Text(u"skin", &o.skin);
    keys.Bool(u"tdy_sound", &o.tdy_sound);
    keys.Text(u"voicemail", &o.voicemail);
    keys.Int(u"location_mode", &o.locationMode);

    lines.FindSection(u"[Today]");
    keys.Int(u"layout", &o.layout);
    keys.Bool(u"thumb_menu", &o.thumb_menu);
    keys.Bool(u"thumb_menu", &o.thumb_menu);
    bool flags[kTodayItemCount];
    int32_t types[kTodayItemCount];
    auto todayBools = [&](const char16_t* key, bool TodayItem::*field) {
        for (int i = 0; i < kTodayItemCount; ++i) flags[i] = model.todayItems[i].*field;
        if (keys.Bools(key, flags, kTodayItemCount))
            for (int i = 0; i < kTodayItemCount; ++i) model.todayItems[i].*field = flags[i];
    };
    todayBools(u"addon_enabled", &TodayItem::enabled);
    todayBools(u"addon_height", &TodayItem::height);
    todayBools(u"addon_width", &TodayItem::width);
    for (int i = 0; i < kTodayItemCount; ++i) types[i] = model.todayItems[i].type;
    if (keys.Ints(u"addon_type", types, kTodayItemCount))
        for (int i = 0; i < kTodayItemCount; ++i) model.todayItems[i].type = types[i];

    lines.FindSection(u"[Popup]");
    keys.Int(u"bar_icon", &o.bar_icon);
    if (o.bar_icon == 2) keys.Int(u"taskbar_icon_pos", &o.taskbar_icon_pos);
    keys.Int(u"menu_type", &o.menu_type);
    auto items = [&](const char16_t* enabledKey, const char16_t* typeKey, auto* table, int count) {
        for (int i = 0; i < count; ++i) {
            flags[i] = table[i].enabled;
            types[i] = table[i].type;
        }
        if (keys.Bools(enabledKey, flags, count))
            for (int i = 0; i < count; ++i) table[i].enabled = flags[i];
        if (keys.Ints(typeKey, types, count))
            for (int i = 0; i < count; ++i) table[i].type = types[i];
    };
    items(u"led_addon_enabled", u"led_addon_type", model.popupSwitches, kPopupSwitchCount);
    items(u"cnt_addon_enabled", u"cnt_addon_type", model.popupCounters, kPopupCounterCount);
}

void ReadLocations(ConfigLineReader& lines, KeyReader& keys, LocationTable& locations) {
    lines.FindSection(u"[Locations]");
    int d = 0;
    for (; d < kMaxLocations; ++d) {
        LocationEntry& e = locations.entries[d];
        e.accessPoint.Clear();  // written only when an entry has one
        if (!keys.Text(Indexed(u"locationname", d), &e.name)) break;
        keys.Int(Indexed(u"location", d), &e.cell);
        keys.Text(Indexed(u"locationap", d), &e.accessPoint);
    }
    locations.count = d;
}

// Reads the sections once head (the start of the content) holds the
// version marker; false without it.
bool ReadSections(std::string_view head, ConfigLineReader& lines, ConfigModel& model, const LanguageTable& language) {
    if (plat::AnsiToWide(head).find(kConfigVersionMarker) == std::u16string::npos) return false;
    lines.Rewind();
    KeyReader keys{lines, {}};
    int i = 0;
    for (; i < kMaxProfiles; ++i) {
        if (!lines.FindSection(Format(u"[profile%d]", {i}))) break;
        ReadProfile(keys, model.profiles.profiles[i], i, language);
    }
    model.profiles.count = i;
    ReadOptionSections(lines, keys, model);
    ReadLocations(lines, keys, model.locations);
    return true;
}

}  // namespace

void PrepareModel(ConfigModel& model) {
    ConfigPaths paths = BuildConfigPaths();
    Options& o = model.options;
    InitScreenScale(false);
    bool qvga = GetResolutionClass() == ResolutionClass::kQvga;
    o.skin = paths.skinsFolder;
    o.skin.Append(qvga ? u"Default_QVGA\\" : u"Default_VGA\\");
    o.iconStore = paths.iconStoreFolder;
    o.iconStore.Append(qvga ? u"QVGA\\" : u"VGA\\");
    o.skin_enabled = false;
    o.tdy_sound = true;
}

bool ReadConfiguration(bool import, ConfigModel& model, const LanguageTable& language, std::u16string_view importPath) {
    ConfigPaths paths = BuildConfigPaths();
    PrepareModel(model);

    plat::File file;
    bool open;
    if (import) {
        open = file.Open(importPath, plat::kGenericRead, plat::kShareRead, plat::kOpenExisting);
    } else {
        open = file.Open(paths.configFile.View(), plat::kGenericRead, plat::kShareRead, plat::kOpenExisting) ||
               file.Open(paths.backupFile.View(), plat::kGenericRead, plat::kShareRead, plat::kOpenExisting);
    }
    // The default icons belong to a fresh device only, not to a failed import.
    ApplyDefaults(model, language, open || import);
    if (!open) {
        // No file at all is a fresh device; an import file that cannot be
        // opened reads like a file of another layout.
        return !import;
    }

    char head[kVersionWindow];
    uint32_t got = 0;
    if (!file.Read(head, kVersionWindow, &got)) return false;
    ConfigLineReader lines(file);
    return ReadSections(std::string_view(head, got), lines, model, language);
}

bool ReadConfigurationText(std::string_view content, ConfigModel& model, const LanguageTable& language) {
    PrepareModel(model);
    ApplyDefaults(model, language, true);
    ConfigLineReader lines(content);
    return ReadSections(content.substr(0, kVersionWindow), lines, model, language);
}

}  // namespace tlw
