// The older configuration layout. Sections of this file:
//   1. the window on the file and the forward search
//   2. value decoders (flags, digits, quoted text)
//   3. one profile's fields, in the order the older program wrote them
//   4. the option fields after the last profile
//   5. the whole read, and the configuration program's read of either layout
#include "common/config/legacy_config.h"

#include <algorithm>

#include "base/text.h"
#include "common/config/config_file.h"
#include "common/config/config_paths.h"
#include "common/config/defaults.h"
#include "common/config/language_file.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"

namespace tlw {
namespace {

// ---- 1. The window and the forward search ---------------------------------

constexpr int kLegacyNetworkLength = 38;  // "{8-4-4-4-12}": a braced GUID
constexpr int kDefaultHeadphones = 2;
constexpr int kDefaultRotate = 3;
constexpr int kDefaultPdaPower = 3;
constexpr int kPowerTimeoutUnchanged = 9;
constexpr int kLastSwitchDefaultType = 9;  // the fifth popup switch's type when reset

// A window of the file, converted, and the search position in it. Each
// profile's fields are looked for only before the next profile's marker:
// a field the profile lacks is then missing, instead of being taken from
// the profile after it.
struct Cursor {
    std::u16string text;   // the window's text
    std::size_t bytes = 0; // how many bytes of the file it holds
    std::size_t pos = 0;   // where the next search starts
    std::size_t end = 0;   // where searches stop (the next marker, or the window's end)

    // Finds key + "=" (+ a quote for a quoted value) at or after pos; on
    // success pos moves to the value and true is returned.
    bool Find(std::u16string_view key, bool quoted) {
        std::u16string needle(key);
        needle += u'=';
        if (quoted) needle += u'"';
        std::size_t at = text.find(needle, pos);
        if (at == std::u16string::npos || at + needle.size() > end) return false;
        pos = at + needle.size();
        return true;
    }
    // The character at pos + k, 0 past the end.
    char16_t At(std::size_t k) const { return pos + k < end ? text[pos + k] : u'\0'; }
    // The value up to the next quote (or the end), without it.
    std::u16string_view Quoted() const {
        std::size_t close = text.find(u'"', pos);
        if (close == std::u16string::npos || close > end) close = end;
        return std::u16string_view(text).substr(pos, close - pos);
    }
    // The value up to the end of its line, without its last character (the
    // closing quote).
    std::u16string_view ToLineEnd() const {
        std::size_t stop = text.find_first_of(u"\r\n", pos);
        if (stop == std::u16string::npos || stop > end) stop = end;
        if (stop > pos) --stop;
        return std::u16string_view(text).substr(pos, stop - pos);
    }
};

std::u16string ProfileMarker(int index) { return Format(u"profile=%d", {index}); }

// ---- 2. Value decoders ------------------------------------------------------

// "-" is off, anything else on.
bool DashFlag(char16_t c) { return c != u'-'; }
// Only "X" is on.
bool XFlag(char16_t c) { return c == u'X'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// One digit into *out; anything else leaves it.
bool Digit(char16_t c, int32_t* out) {
    if (!IsDigit(c)) return false;
    *out = c - u'0';
    return true;
}

// A number of at most width characters (its leading digits); nothing
// numeric leaves *out.
bool Number(std::u16string_view value, std::size_t width, int32_t* out) {
    value = value.substr(0, std::min(width, value.size()));
    int32_t n = 0;
    std::size_t digits = 0;
    while (digits < value.size() && IsDigit(value[digits])) n = n * 10 + (value[digits++] - u'0');
    if (digits == 0) return false;
    *out = n;
    return true;
}

// The radio and push codes: "-" off, "X" on, "O" unchanged, then the
// phone's further modes.
bool RadioCode(char16_t c, int32_t* out) {
    switch (c) {
    case u'-': *out = 0; return true;
    case u'X': *out = 1; return true;
    case u'O': *out = 2; return true;
    case u'D': *out = 3; return true;
    case u'A': *out = 4; return true;
    default: return false;
    }
}

int32_t HexDigit(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A time "HH:MM" at the start of value; false when it does not stand there.
bool TimeText(std::u16string_view value, std::u16string* out) {
    if (value.size() < 5 || !IsDigit(value[0]) || !IsDigit(value[1]) || value[2] != u':' || !IsDigit(value[3]) ||
        !IsDigit(value[4]))
        return false;
    out->assign(value.substr(0, 5));
    return true;
}

// ---- 3. One profile ---------------------------------------------------------

void ResetSoundSlot(Profile& p, int s) {
    p.event_enabled[s] = false;
    p.event_type[s] = 0;
    p.sound_control[s] = false;
    p.ringtone[s].Clear();
    p.flash[s] = false;
    p.flash_time[s] = 0;
    p.repeat[s] = false;
}

void ReadTrigger(Cursor& c, Profile& p, const LanguageTable& language) {
    switch (p.eventType) {
    case kEventTime:
        for (int d = 0; d < kScheduleSlots; ++d) {
            if (!c.Find(Format(u"schedule%d", {d}), true)) continue;
            std::u16string_view v = c.Quoted();
            for (int day = 0; day < kWeekDays && day < static_cast<int>(v.size()); ++day)
                p.schedule[day][d] = DashFlag(v[static_cast<std::size_t>(day)]);
            std::u16string time;
            if (v.size() > kWeekDays && TimeText(v.substr(kWeekDays), &time)) p.time[d] = time;
        }
        break;
    case kEventOutlook: {
        if (c.Find(u"outlook", true)) {
            std::u16string_view v = c.Quoted();
            for (int k = 0; k < kCalendarStates && k < static_cast<int>(v.size()); ++k)
                p.state[k] = XFlag(v[static_cast<std::size_t>(k)]);
        }
        p.category = language.text[kTextAnyCategory];
        if (c.Find(u"category", true)) {
            std::u16string_view v = c.Quoted();
            if (!v.empty() && v != u"-") p.category = v;
        }
        p.sensitivity = 0;
        if (c.Find(u"sensitivity", false)) Digit(c.At(0), &p.sensitivity);
        break;
    }
    case kEventPower:
        if (c.Find(u"aspower", true)) {
            std::u16string_view v = c.Quoted();
            for (int k = 0; k < kPowerConditions && k < static_cast<int>(v.size()); ++k)
                p.aspower[k] = DashFlag(v[static_cast<std::size_t>(k)]);
        }
        p.headphones = kDefaultHeadphones;
        if (c.Find(u"headphones", false)) Digit(c.At(0), &p.headphones);
        break;
    case kEventManual: {
        p.timeoutSet = false;
        p.timeout = u"00:01";
        if (c.Find(u"timed", true)) {
            std::u16string_view v = c.Quoted();
            std::u16string time;
            if (!v.empty()) p.timeoutSet = DashFlag(v[0]);
            if (v.size() > 1 && TimeText(v.substr(1), &time)) p.timeout = time;
        }
        break;
    }
    default:
        break;
    }
}

void ReadSounds(Cursor& c, Profile& p) {
    if (c.Find(u"volMaster", false)) Digit(c.At(0), &p.volMaster);
    if (c.Find(u"sndopt", true)) {
        std::u16string_view v = c.Quoted();
        int slots = v.size() < 2 * kSoundSlots ? static_cast<int>(v.size() / 2) : kSoundSlots;
        for (int s = 0; s < slots; ++s) {
            p.event_enabled[s] = DashFlag(v[static_cast<std::size_t>(2 * s)]);
            Digit(v[static_cast<std::size_t>(2 * s + 1)], &p.event_type[s]);
        }
        for (int s = slots; s < kSoundSlots; ++s) ResetSoundSlot(p, s);
    }
    for (int s = 0; s < kSoundSlots; ++s) {
        if (!c.Find(Format(u"ringtone%d", {s}), true)) continue;
        std::u16string_view v = c.Quoted();
        if (v.empty()) continue;
        p.sound_control[s] = DashFlag(v[0]);
        p.ringtone[s] = v.substr(1);
    }
    if (c.Find(u"sndopt2", true)) {
        std::u16string_view v = c.Quoted();
        for (int s = 0; s < kSoundSlots && static_cast<std::size_t>(3 * s + 2) < v.size(); ++s) {
            std::size_t at = static_cast<std::size_t>(3 * s);
            p.flash[s] = DashFlag(v[at]);
            p.repeat[s] = DashFlag(v[at + 1]);
            Digit(v[at + 2], &p.flash_time[s]);
        }
    }
    if (c.Find(u"volume", true)) {
        std::u16string_view v = c.Quoted();
        for (int k = 0; k < kVolumeCount && static_cast<std::size_t>(2 * k) < v.size(); ++k) {
            std::size_t at = static_cast<std::size_t>(2 * k);
            p.volume_enabled[k] = DashFlag(v[at]);
            if (p.volume_enabled[k] && at + 1 < v.size()) Digit(v[at + 1], &p.volume[k]);
        }
    }
}

void ReadDevices(Cursor& c, Profile& p) {
    if (c.Find(u"radio", true)) {
        std::u16string_view v = c.Quoted();
        for (int k = 0; k < kRadioCount && k < static_cast<int>(v.size()); ++k)
            RadioCode(v[static_cast<std::size_t>(k)], &p.radio[k]);
    }
    p.rotate = kDefaultRotate;
    if (c.Find(u"rotate", false)) Digit(c.At(0), &p.rotate);
    p.pda_power = kDefaultPdaPower;
    if (c.Find(u"reset", false)) Digit(c.At(0), &p.pda_power);
    if (c.Find(u"bright", true)) {
        std::u16string_view v = c.Quoted();
        if (!v.empty()) p.backlight_enabled = DashFlag(v[0]);
        if (p.backlight_enabled) Number(v.substr(std::min<std::size_t>(1, v.size())), 2, &p.backlight);
    }
    if (c.Find(u"timeout", true)) {
        std::u16string_view v = c.Quoted();
        if (!v.empty() && (v[0] == u'-' || v[0] == u'X')) {
            for (int k = 0; k < kPowerTimeouts && static_cast<std::size_t>(2 * k + 1) < v.size(); ++k) {
                std::size_t at = static_cast<std::size_t>(2 * k);
                if (v[at] == u'-') p.power_timeouts[k] = kPowerTimeoutUnchanged;
                else Digit(v[at + 1], &p.power_timeouts[k]);
            }
        } else {
            for (int k = 0; k < kPowerTimeouts && k < static_cast<int>(v.size()); ++k)
                Digit(v[static_cast<std::size_t>(k)], &p.power_timeouts[k]);
        }
    }
    if (c.Find(u"push", true)) {
        char16_t code = c.At(0);
        if (code == u'-' || code == u'X' || code == u'O') RadioCode(code, &p.push_email);
    }
    if (c.Find(u"internet", true)) {
        std::u16string_view v = c.Quoted();
        if (v.size() == kLegacyNetworkLength) p.network_GUID = v;
        else p.network_GUID.Clear();
    }
    p.data_call = 0;
    if (c.Find(u"dropdatacall", false)) Digit(c.At(0), &p.data_call);
}

void ReadProgramAndIcon(Cursor& c, Profile& p) {
    if (c.Find(u"runprogram", true)) p.run_program = DashFlag(c.At(0));
    if (c.Find(u"program", true)) p.program = c.Quoted();
    if (c.Find(u"parameter", true)) p.program_params = c.ToLineEnd();
    if (c.Find(u"profileicon", true)) p.icon_enabled = DashFlag(c.At(0));
    if (c.Find(u"icon", true)) p.profile_icon = c.Quoted();
}

void ReadProfile(Cursor& c, Profile& p, int index, const LanguageTable& language) {
    if (c.Find(u"name", true)) {
        std::u16string_view name = c.Quoted();
        if (!name.empty() && name[0] == u'-') {
            int slot = kTextDefaultProfileName + index;
            if (slot < kLanguageSlots) p.name = language.text[slot];
            else p.name.Clear();
        } else {
            p.name = name;
        }
    }
    // `enabled`, `show` and `override` hold a quote, then the flag.
    if (c.Find(u"enabled", false) && c.At(0) == u'"') p.enabled = DashFlag(c.At(1));
    if (c.Find(u"eventType", false)) Digit(c.At(0), &p.eventType);
    ReadTrigger(c, p, language);
    p.show = true;
    if (p.eventType != kEventManual && c.Find(u"show", false) && c.At(0) == u'"') p.show = DashFlag(c.At(1));
    if (c.Find(u"override", false) && c.At(0) == u'"') p.override = DashFlag(c.At(1));
    ReadSounds(c, p);
    ReadDevices(c, p);
    ReadProgramAndIcon(c, p);
}

// ---- 4. The options -------------------------------------------------------

void ReadOptions(Cursor& c, ConfigModel& model) {
    Options& o = model.options;
    if (c.Find(u"Language", false)) Number(std::u16string_view(c.text).substr(c.pos), 2, &o.language);
    if (c.Find(u"bklLevels", false)) Number(std::u16string_view(c.text).substr(c.pos), 2, &o.bklLevels);
    if (c.Find(u"blmin", false)) Digit(c.At(0), &o.bklmin);
    if (c.Find(u"popupadd", true)) {
        std::u16string_view v = c.Quoted().substr(0, 2 * kPopupSwitchCount);
        int pairs = static_cast<int>(v.size() / 2);
        for (int k = 0; k < pairs; ++k) {
            model.popupSwitches[k].enabled = DashFlag(v[static_cast<std::size_t>(2 * k)]);
            Digit(v[static_cast<std::size_t>(2 * k + 1)], &model.popupSwitches[k].type);
        }
        for (int k = pairs; k < kPopupSwitchCount; ++k) {
            model.popupSwitches[k].enabled = false;
            model.popupSwitches[k].type = k < kPopupSwitchCount - 1 ? k : kLastSwitchDefaultType;
        }
    }
    if (c.Find(u"popupcounters", true)) {
        std::u16string_view v = c.Quoted();
        for (int k = 0; k < kPopupCounterCount && static_cast<std::size_t>(2 * k + 1) < v.size(); ++k) {
            model.popupCounters[k].enabled = DashFlag(v[static_cast<std::size_t>(2 * k)]);
            Digit(v[static_cast<std::size_t>(2 * k + 1)], &model.popupCounters[k].type);
        }
    }
    if (c.Find(u"tdypluginadd", true)) {
        std::u16string_view v = c.Quoted().substr(0, 4 * kTodayItemCount);
        for (int k = 0; k < kTodayItemCount && static_cast<std::size_t>(4 * k + 3) < v.size(); ++k) {
            std::size_t at = static_cast<std::size_t>(4 * k);
            TodayItem& item = model.todayItems[k];
            item.enabled = DashFlag(v[at]);
            item.height = DashFlag(v[at + 1]);
            item.width = DashFlag(v[at + 2]);
            if (int32_t type = HexDigit(v[at + 3]); type >= 0) item.type = type;
        }
    }
    if (c.Find(u"layout", false)) Digit(c.At(0), &o.layout);
    if (c.Find(u"traybar", false)) {
        if (c.At(0) == u'X') o.bar_icon = 1;
        else Digit(c.At(0), &o.bar_icon);
    }
    if (c.Find(u"taskbariconpos", false)) Number(std::u16string_view(c.text).substr(c.pos), 3, &o.taskbar_icon_pos);
    if (c.Find(u"popmnutype", false)) Digit(c.At(0), &o.menu_type);
    if (c.Find(u"thumbmenu", true)) o.thumb_menu = XFlag(c.At(0));
    if (c.Find(u"skinned", true)) o.skin_enabled = XFlag(c.At(0));
    if (c.Find(u"skin", true)) o.skin = c.Quoted();
    if (c.Find(u"tdysound", true)) o.tdy_sound = XFlag(c.At(0));
    if (c.Find(u"voicemail", true)) o.voicemail = c.Quoted();
}

// Moves the cursor's window to start at a file offset.
void LoadWindow(const LegacyWindowReader& window, uint64_t offset, Cursor* c) {
    std::string bytes = window(offset);
    c->bytes = bytes.size();
    c->text = plat::AnsiToWide(bytes);
    c->pos = 0;
    c->end = c->text.size();
}

// Finds the marker of a profile at or after the search position. When the
// window ends before the file does, it slides on: a profile longer than a
// window then does not hide the ones after it. Offsets count characters as
// bytes, as in the device's single-byte code pages.
std::size_t FindMarker(const LegacyWindowReader& window, uint64_t* offset, Cursor* c, int index) {
    std::u16string marker = ProfileMarker(index);
    for (;;) {
        std::size_t at = c->text.find(marker, c->pos);
        if (at != std::u16string::npos) return at;
        if (c->bytes < kLegacyWindowBytes || c->text.size() <= marker.size()) return std::u16string::npos;
        // The next window overlaps this one by a marker's length, so that a
        // marker cut at the window's end is found whole.
        std::size_t keep = std::max(c->pos, c->text.size() - marker.size());
        *offset += keep;
        LoadWindow(window, *offset, c);
    }
}

}  // namespace

// ---- 5. The whole read --------------------------------------------------------

void ParseLegacyConfiguration(const LegacyWindowReader& window, ConfigModel& model, const LanguageTable& language) {
    Cursor c;
    uint64_t offset = 0;
    LoadWindow(window, offset, &c);
    ProfileTable& t = model.profiles;
    int count = 0;
    std::size_t marker = FindMarker(window, &offset, &c, 0);
    while (marker != std::u16string::npos && count < kMaxProfiles) {
        // The profile is read from a window that starts at its marker, as
        // far as the next profile's marker.
        if (marker > 0) {
            offset += marker;
            LoadWindow(window, offset, &c);
        }
        c.pos = ProfileMarker(count).size();
        std::size_t next = c.text.find(ProfileMarker(count + 1), c.pos);
        c.end = next == std::u16string::npos ? c.text.size() : next;
        ReadProfile(c, t.profiles[count], count, language);
        ++count;
        c.end = c.text.size();
        if (count >= kMaxProfiles) break;
        // The options follow the last profile: when no further marker is
        // found they are looked for in this profile's window.
        Cursor last = c;
        uint64_t lastOffset = offset;
        marker = FindMarker(window, &offset, &c, count);
        if (marker == std::u16string::npos) {
            c = std::move(last);
            offset = lastOffset;
        }
    }
    // A file without a single profile keeps the default ones rather than
    // leaving the phone with none.
    if (count > 0) {
        for (int i = count; i < t.count && i < kMaxProfiles; ++i) t.profiles[i] = Profile{};
        t.count = count;
    }
    ReadOptions(c, model);
}

void ReadLegacyConfiguration(bool import, ConfigModel& model, const LanguageTable& language,
                             std::u16string_view importPath) {
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
    ApplyDefaults(model, language, open || import);
    if (!open) return;  // the defaults, with their five profiles
    LegacyWindowReader window = [&file](uint64_t at) {
        std::string bytes(kLegacyWindowBytes, '\0');
        uint32_t got = 0;
        if (file.Seek(static_cast<int64_t>(at), plat::kFileBegin) < 0 ||
            !file.Read(bytes.data(), kLegacyWindowBytes, &got))
            got = 0;
        bytes.resize(got);
        return bytes;
    };
    ParseLegacyConfiguration(window, model, language);
}

bool ReadAnyConfigurationAndLanguage(ConfigModel& model, LanguageTable& language, bool import,
                                     std::u16string_view importPath) {
    bool hadTexts = language.languageCount > 0;
    if (ReadConfiguration(import, model, language, importPath)) {
        LoadLanguage(model.profiles, language, model.options);
        if (!hadTexts && language.languageCount > 0) {
            // Defaults that come from texts ("-" names, the "any" category) need them.
            ReadConfiguration(import, model, language, importPath);
            LoadLanguage(model.profiles, language, model.options);
        }
        return true;
    }
    if (!hadTexts) LoadLanguage(model.profiles, language, model.options);
    int32_t loaded = model.options.language;
    ReadLegacyConfiguration(import, model, language, importPath);
    LoadLanguage(model.profiles, language, model.options);
    if (model.options.language != loaded) {
        // The file selects another language: its default names come from it.
        ReadLegacyConfiguration(import, model, language, importPath);
        LoadLanguage(model.profiles, language, model.options);
    }
    return false;
}

}  // namespace tlw
