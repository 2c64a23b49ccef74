#include "common/config/defaults.h"

#include "common/graphics/screen_scale.h"

namespace tlw {
namespace {

// What differs between the five default profiles.
struct DefaultSlot {
    int32_t eventType;            // trigger kind
    bool slot0EveryDay;           // schedule slot 0 on all seven days
    const char16_t* time0;        // start of schedule slot 0
    int32_t volMaster;            // master volume choice
    bool volumeEnabled[3];        // apply each volume
    int32_t volume[3];            // the volume levels
    int32_t radio[3];             // Wi-Fi, Bluetooth, phone
    const char16_t* icon;         // icon file in the icon store
};

constexpr DefaultSlot kDefaultSlots[5] = {
    {kEventManual, false, u"00:00", 0, {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, u"\\mute.png"},
    {kEventTime, true, u"00:00", 2, {0, 0, 0}, {2, 2, 2}, {2, 2, 2}, u"\\night.png"},
    {kEventTime, true, u"07:00", 2, {1, 1, 1}, {4, 4, 4}, {2, 2, 1}, u"\\day.png"},
    {kEventManual, false, u"00:00", 2, {1, 1, 1}, {5, 5, 5}, {0, 1, 1}, u"\\car.png"},
    {kEventManual, false, u"00:00", 2, {1, 0, 0}, {5, 5, 5}, {0, 0, 0}, u"\\Flight mode.png"},
};

void ApplyProfileDefaults(Profile& p, const DefaultSlot& d, const LanguageTable& language, const Options& options,
                          bool fileOpen) {
    p.enabled = true;
    p.show = true;
    p.override = true;
    for (bool& s : p.state) s = false;
    p.category = language.text[kTextAnyCategory];
    p.sensitivity = 0;
    for (bool& a : p.aspower) a = false;
    p.timeoutSet = false;
    p.timeout = u"00:01";
    for (int s = 0; s < kSoundSlots; ++s) {
        p.event_enabled[s] = false;
        p.event_type[s] = 0;
        p.sound_control[s] = false;
        p.ringtone[s].Clear();
    }
    p.push_email = 2;
    p.data_call = 0;
    p.backlight_enabled = false;
    p.backlight = 1;
    for (int32_t& t : p.power_timeouts) t = 9;
    p.rotate = 3;
    p.pda_power = 3;
    p.run_program = false;
    p.auto_program = false;
    p.close_program = false;
    p.program.Clear();
    p.program_params.Clear();
    p.icon_enabled = false;
    p.profile_icon.Clear();
    p.lockOnActivation = false;

    p.eventType = d.eventType;
    for (int day = 0; day < kWeekDays; ++day)
        for (int slot = 0; slot < kScheduleSlots; ++slot) p.schedule[day][slot] = d.slot0EveryDay && slot == 0;
    p.time[0] = d.time0;
    for (int slot = 1; slot < kScheduleSlots; ++slot) p.time[slot] = u"00:00";
    p.volMaster = d.volMaster;
    for (int v = 0; v < kVolumeCount; ++v) {
        p.volume_enabled[v] = d.volumeEnabled[v];
        p.volume[v] = d.volume[v];
    }
    for (int r = 0; r < kRadioCount; ++r) p.radio[r] = d.radio[r];
    if (!fileOpen) {
        p.icon_enabled = true;
        // The icon-store folder ends in a backslash; the file names start with one.
        std::u16string folder(options.iconStore.View());
        while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
        p.profile_icon = folder + d.icon;
    }
}

}  // namespace

void ApplyDefaults(ConfigModel& model, const LanguageTable& language, bool fileOpen) {
    model.profiles.count = 5;
    for (int i = 0; i < 5; ++i)
        ApplyProfileDefaults(model.profiles.profiles[i], kDefaultSlots[i], language, model.options, fileOpen);

    Options& o = model.options;
    o.language = 0;
    o.bklLevels = 4;
    o.bklmin = 0;
    o.layout = 0;
    o.bar_icon = 2;
    o.taskbar_icon_pos = ScaleX(60, false);
    o.menu_type = 1;
    o.voicemail = u"123";
    o.thumb_menu = true;
    o.locationMode = 0;

    for (int i = 0; i < kTodayItemCount; ++i) {
        TodayItem& t = model.todayItems[i];
        if (i <= 3) t = {true, i, true, true};
        else if (i == 4) t = {true, 8, false, false};
        else if (i <= 8) t = {true, i - 1, false, true};
        else if (i == 9) t = {false, 9, true, true};
        else if (i <= 13) t = {false, i, false, true};
        else t = {false, 8, false, false};
    }
    constexpr int32_t kSwitchTypes[kPopupSwitchCount] = {0, 1, 2, 3, 9};
    for (int i = 0; i < kPopupSwitchCount; ++i) model.popupSwitches[i] = {true, kSwitchTypes[i]};
    for (int i = 0; i < kPopupCounterCount; ++i) model.popupCounters[i] = {true, 4 + i};
}

}  // namespace tlw
