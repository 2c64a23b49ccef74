// Writing the configuration file. The new content goes to a temporary file
// beside the target and replaces it only when complete, so that a crash or
// a full disk never leaves a cut file behind; the previous file becomes the
// backup copy.
#include <mutex>
#include <string>

#include "common/config/config_file.h"
#include "common/config/config_paths.h"
#include "common/config/log_file.h"
#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"
#include "platform/kernel/last_error.h"
#include "platform/controls/message_box.h"

namespace tlw {
namespace {

// The writer's lock: one per process, so two threads never write at once.
std::mutex g_writerLock;

// Appends value in decimal, as "%d" formats it.
void AppendDecimal(std::u16string& out, int32_t value) {
    char16_t digits[12];
    int n = 0;
    int64_t v = value;
    bool negative = v < 0;
    if (negative) v = -v;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (negative) out += u'-';
    while (n > 0) out += digits[--n];
}

// Formats the lines of the file, each converted to the ANSI code page and
// ended with CR LF. Lines are put together in one reused buffer.
class LineWriter {
public:
    LineWriter() { bytes_.reserve(128 * 1024); }
    const std::string& bytes() const { return bytes_; }

    void Line(std::u16string_view text) {
        plat::WideToAnsiAppend(text, &bytes_);
        bytes_ += "\r\n";
    }
    void Text(std::u16string_view key, std::u16string_view value) {
        Start(key);
        line_ += value;
        Line(line_);
    }
    void Int(std::u16string_view key, int32_t value) {
        Start(key);
        AppendDecimal(line_, value);
        Line(line_);
    }
    void Bool(std::u16string_view key, bool value) { Int(key, value ? 1 : 0); }
    template <typename T>
    void List(std::u16string_view key, const T* values, int count) {
        Start(key);
        for (int i = 0; i < count; ++i) {
            AppendDecimal(line_, static_cast<int32_t>(values[i]));
            if (i + 1 < count) line_ += u',';
        }
        Line(line_);
    }

private:
    // Starts a "key=" line.
    void Start(std::u16string_view key) {
        line_.assign(key);
        line_ += u'=';
    }

    std::string bytes_;     // the file's content so far
    std::u16string line_;   // the line being put together
};

// A key with its index appended ("time0").
std::u16string Indexed(const char16_t* key, int index) {
    std::u16string out(key);
    AppendDecimal(out, index);
    return out;
}

void WriteProfile(LineWriter& w, const Profile& p, int index, const LanguageTable& language) {
    w.Line(Format(u"[profile%d]", {index}));
    int slot = kTextDefaultProfileName + index;
    bool isDefaultName = slot < kLanguageSlots && p.name == language.text[slot].View();
    w.Text(u"name", isDefaultName ? u"-" : p.name.View());
    w.Bool(u"enabled", p.enabled);
    w.Int(u"eventType", p.eventType);
    switch (p.eventType) {
    case kEventManual:
        if (p.timeoutSet) w.Text(u"timeout", p.timeout.View());
        break;
    case kEventTime:
        for (int d = 0; d < kScheduleSlots; ++d) {
            bool days[kWeekDays];
            for (int day = 0; day < kWeekDays; ++day) days[day] = p.schedule[day][d];
            w.List(Indexed(u"schedule", d), days, kWeekDays);
            w.Text(Indexed(u"time", d), p.time[d].View());
        }
        break;
    case kEventOutlook:
        w.List(u"state", p.state, kCalendarStates);
        if (!(p.category == language.text[kTextAnyCategory].View())) w.Text(u"category", p.category.View());
        w.Int(u"sensitivity", p.sensitivity);
        break;
    case kEventPower:
        w.List(u"aspower", p.aspower, kPowerConditions);
        w.Int(u"headphones", p.headphones);
        break;
    default:
        break;
    }
    w.Bool(u"show", p.show);
    w.Bool(u"override", p.override);
    w.Int(u"volMaster", p.volMaster);
    w.Int(u"event_control", kSoundSlots);
    w.List(u"event_enabled", p.event_enabled, kSoundSlots);
    w.List(u"event_type", p.event_type, kSoundSlots);
    w.List(u"sound_control", p.sound_control, kSoundSlots);
    for (int s = 0; s < kSoundSlots; ++s) w.Text(Indexed(u"ringtone", s), p.ringtone[s].View());
    w.List(u"repeat", p.repeat, kSoundSlots);
    w.List(u"flash", p.flash, kSoundSlots);
    w.List(u"flash_time", p.flash_time, kSoundSlots);
    w.List(u"volume_enabled", p.volume_enabled, kVolumeCount);
    w.List(u"volume", p.volume, kVolumeCount);
    w.List(u"radio", p.radio, kRadioCount);
    w.Int(u"push_email", p.push_email);
    w.Text(u"network_GUID", p.network_GUID.View());
    w.Int(u"data_call", p.data_call);
    w.Bool(u"backlight_enabled", p.backlight_enabled);
    w.Int(u"backlight", p.backlight);
    w.List(u"power_timeouts", p.power_timeouts, kPowerTimeouts);
    w.Int(u"rotate", p.rotate);
    w.Int(u"pda_power", p.pda_power);
    w.Bool(u"run_program", p.run_program);
    w.Text(u"program", p.program.View());
    w.Text(u"program_params", p.program_params.View());
    w.Bool(u"auto_program", p.auto_program);
    w.Bool(u"close_program", p.close_program);
    w.Bool(u"icon_enabled", p.icon_enabled);
    w.Text(u"profile_icon", p.profile_icon.View());
    w.Line(u"");
}

void WriteModel(LineWriter& w, const ConfigModel& model, const LanguageTable& language) {
    w.Line(u";Tallowin configuration file");
    w.Line(u";VERSION 2.0");
    w.Line(u";Do not edit this file manually!!!");
    w.Line(u"");
    int count = model.profiles.count < 0 ? 0 : model.profiles.count > kMaxProfiles ? kMaxProfiles : model.profiles.count;
    for (int i = 0; i < count; ++i) WriteProfile(w, model.profiles.profiles[i], i, language);

    const Options& o = model.options;
    w.Line(u"[Options]");
    w.Int(u"language", o.language);
    w.Int(u"bklLevels", o.bklLevels);
    w.Int(u"bklmin", o.bklmin);
    w.Bool(u"skin_enabled", o.skin_enabled);
    w.Text(u"skin", o.skin.View());
    w.Bool(u"tdy_sound", o.tdy_sound);
    w.Text(u"voicemail", o.voicemail.View());
    w.Int(u"location_mode", o.locationMode);
    w.Line(u"");

    w.Line(u"[Today]");
    w.Int(u"layout", o.layout);
    w.Bool(u"thumb_menu", o.thumb_menu);
    w.Bool(u"thumb_menu", o.thumb_menu);
    w.Int(u"addon_control", kTodayItemCount);
    bool flags[kTodayItemCount];
    int32_t types[kTodayItemCount];
    for (int i = 0; i < kTodayItemCount; ++i) flags[i] = model.todayItems[i].enabled;
    w.List(u"addon_enabled", flags, kTodayItemCount);
    for (int i = 0; i < kTodayItemCount; ++i) flags[i] = model.todayItems[i].height;
    w.List(u"addon_height", flags, kTodayItemCount);
    for (int i = 0; i < kTodayItemCount; ++i) flags[i] = model.todayItems[i].width;
    w.List(u"addon_width", flags, kTodayItemCount);
    for (int i = 0; i < kTodayItemCount; ++i) types[i] = model.todayItems[i].type;
    w.List(u"addon_type", types, kTodayItemCount);
    w.Line(u"");

    w.Line(u"[Popup]");
    w.Int(u"bar_icon", o.bar_icon);
    if (o.bar_icon == 2) w.Int(u"taskbar_icon_pos", o.taskbar_icon_pos);
    w.Int(u"menu_type", o.menu_type);
    w.Int(u"led_addon_control", kPopupSwitchCount);
    for (int i = 0; i < kPopupSwitchCount; ++i) {
        flags[i] = model.popupSwitches[i].enabled;
        types[i] = model.popupSwitches[i].type;
    }
    w.List(u"led_addon_enabled", flags, kPopupSwitchCount);
    w.List(u"led_addon_type", types, kPopupSwitchCount);
    w.Int(u"cnt_addon_control", kPopupCounterCount);
    for (int i = 0; i < kPopupCounterCount; ++i) {
        flags[i] = model.popupCounters[i].enabled;
        types[i] = model.popupCounters[i].type;
    }
    w.List(u"cnt_addon_enabled", flags, kPopupCounterCount);
    w.List(u"cnt_addon_type", types, kPopupCounterCount);
    w.Line(u"");

    w.Line(u"[Locations]");
    int locations = model.locations.count < 0 ? 0 : model.locations.count > kMaxLocations ? kMaxLocations : model.locations.count;
    for (int d = 0; d < locations; ++d) {
        w.Text(Indexed(u"locationname", d), model.locations.entries[d].name.View());
        w.Int(Indexed(u"location", d), model.locations.entries[d].cell);
        if (!model.locations.entries[d].accessPoint.Empty())
            w.Text(Indexed(u"locationap", d), model.locations.entries[d].accessPoint.View());
    }
    w.Line(u"");
}

// Writes the whole model into a temporary file beside target and moves it
// over target. With a backup path, the previous target is moved there just
// before: a reader that finds no target falls back to the backup, which then
// holds that same previous content, so every moment (a crash included) shows
// the old or the new configuration. Returns false (target untouched, no
// temporary left) when the temporary file cannot be created or written.
//
// The file of the backup before last is what the temporary file is written
// into (overwritten in place and cut to size): no file is made and none is
// deleted, and no rename replaces an existing file. On the host's file
// system (ext4) each of those cost more than the whole save: making a file
// searches for a free inode, deleting one frees its blocks, and a rename
// over a file writes out the renamed file's data first.
//
// Crash safety here means a program killed at any step, the crash a phone
// program meets: the whole content is in the temporary file, held by the
// system, before a rename makes it the target. It is not forced to the disk
// (fsync): that guards only against the host itself losing power, and cost
// 2-30 ms a save on the development machine.
bool WriteReplacing(std::u16string_view target, std::u16string_view backup, const ConfigModel& model,
                    const LanguageTable& language, bool* created) {
    std::u16string temp = std::u16string(target) + u".new";
    // A temporary file left by a killed save is simply written over.
    if (!backup.empty() && !plat::FileExists(temp)) plat::MoveFile(backup, temp, false);
    plat::File file;
    *created = file.Open(temp, plat::kGenericWrite, plat::kShareNone, plat::kOpenAlways);
    if (!*created) return false;
    std::string content = FormatConfiguration(model, language);
    bool written = file.Write(content.data(), static_cast<uint32_t>(content.size())) && file.SetEndOfFile();
    uint32_t error = plat::GetLastError();
    file.Close();
    if (written && !backup.empty()) plat::MoveFile(target, backup, true);  // a missing target is no error
    if (!written || !plat::MoveFile(temp, target, true)) {
        if (written) error = plat::GetLastError();
        plat::DeleteFile(temp);
        plat::SetLastError(error);
        return false;
    }
    return true;
}

}  // namespace

std::string FormatConfiguration(const ConfigModel& model, const LanguageTable& language) {
    LineWriter w;
    WriteModel(w, model, language);
    return w.bytes();
}

bool WriteConfiguration(bool exportFile, std::string_view exportPath, const ConfigModel& model,
                        const LanguageTable& language) {
    std::lock_guard<std::mutex> guard(g_writerLock);
    bool created = false;
    if (exportFile) return WriteReplacing(plat::AnsiToWide(exportPath), u"", model, language, &created);

    ConfigPaths paths = BuildConfigPaths();
    if (WriteReplacing(paths.configFile.View(), paths.backupFile.View(), model, language, &created)) return true;
    if (!created) {
        plat::CreateDirectory(paths.configFolder.View());
        if (WriteReplacing(paths.configFile.View(), paths.backupFile.View(), model, language, &created)) return true;
    }
    // Nothing was replaced; the previous content still becomes the backup.
    uint32_t failure = plat::GetLastError();
    plat::CopyFile(paths.configFile.View(), paths.backupFile.View(), false);
    plat::SetLastError(failure);
    uint32_t error = plat::GetLastError();
    plat::MessageBox(u"File creation error.", paths.configFolder.View(), plat::kMbIconExclamation);
    if (QueryLogMode() & kLogEvents) WriteLog(Format(u"   Error creating ini file:%d", {error}), false);
    return false;
}

}  // namespace tlw
