// The rows of each tab of the profile editor, their read-only rules and
// their values.
//
// Sections: helpers; the rows of each tab; reading a row; writing a row.
#include "config_app/editor_rows.h"

#include <string>

#include "common/config/language_table.h"

namespace tlw {

const char16_t* const kNetworkDestinations[4] = {
    u"{436EF144-B4FB-4863-A041-8F905A62C572}",
    u"{A1182988-0D73-439E-87AD-2A5B369F808B}",
    u"{7022E968-5A97-4051-BC1C-C578E2FBA5D9}",
    u"{F28D1F74-72BE-4394-A4A7-4E296219390C}",
};

namespace {

// ---- helpers --------------------------------------------------------------

// The language-file identifiers of the labels and value names.
enum : int32_t {
    kLabelTabBase = 51,
    kLabelEventType = 60,
    kLabelOverride = 61,
    kLabelTimeoutSet = 62,
    kLabelTimeout = 63,
    kLabelStartTimeBase = 64,
    kLabelWeekdayBase = 70,
    kLabelCategory = 77,
    kLabelSensitivity = 78,
    kLabelStateHeading = 79,
    kLabelAsPowerBase = 80,
    kLabelHeadphones = 83,
    kLabelPlaceIn = 84,
    kLabelVolMaster = 89,
    kLabelVolumeBase = 90,
    kLabelEventEnabled = 93,
    kLabelStyle = 94,
    kLabelSoundFile = 95,
    kLabelRepeat = 96,
    kLabelFlash = 97,
    kLabelSoundEvent = 98,
    kLabelPushEmail = 99,
    kLabelNetwork = 100,
    kLabelDataCall = 101,
    kLabelNetworkBase = 102,
    kLabelBacklight = 106,
    kLabelRunProgram = 107,
    kLabelParams = 108,
    kLabelAutoProgram = 109,
    kLabelCloseProgram = 110,
    kLabelIcon = 116,
    kLabelRotate = 117,
    kLabelPdaPower = 119,
    kNameTriggerBase = 131,
    kNameStateBase = 155,
    kNameSensitivityBase = 161,
    kNameHeadphonesBase = 176,
    kNameVolMasterBase = 250,
    kNameOnOffBase = 305,
    kNameUnchanged = 307,
    kNameRadioRowBase = 311,
    kNameBluetoothVisible = 325,
    kNamePhoneModeBase = 326,
    kNamePowerRowBase = 331,
    kNameTimeoutCodeBase = 335,
    kNamePushIntervalBase = 338,
    kNameFlashTimeBase = 341,
    kNameRotateBase = 360,
    kNamePdaPowerBase = 366,
    kNameRingStyleBase = 600,
    kNameNotifyStyleBase = 610,
};

constexpr int32_t kMinutesPerDay = 24 * 60;
constexpr int32_t kPowerTimeoutUnchanged = 9;

EditorRow Row(EditorField field, int32_t index, int32_t kind, int32_t label, bool readOnly = false) {
    EditorRow row;
    row.field = field;
    row.index = index;
    row.kind = kind;
    row.label = label;
    row.readOnly = readOnly;
    return row;
}

// A choice of the values first .. first + count - 1 named base + value.
EditorRow ChoiceRow(EditorField field, int32_t index, int32_t label, int32_t first, int32_t count,
                    int32_t nameBase, bool readOnly = false) {
    EditorRow row = Row(field, index, kRowChoice, label, readOnly);
    for (int32_t v = first; v < first + count; ++v) row.choices.push_back({v, nameBase + v, {}});
    return row;
}

// Adds an entry for a stored value that the offered ones do not cover, so
// that showing the row never changes what is stored.
void KeepStoredValue(EditorRow* row, int32_t stored, int32_t label) {
    for (const EditorChoice& c : row->choices)
        if (c.value == stored) return;
    std::u16string number;
    for (char c : std::to_string(stored)) number.push_back(static_cast<char16_t>(c));
    row->choices.push_back({stored, label, label ? std::u16string() : number});
}

int ChoiceIndexOfValue(const EditorRow& row, int32_t value) {
    for (std::size_t i = 0; i < row.choices.size(); ++i)
        if (row.choices[i].value == value) return static_cast<int>(i);
    return -1;
}

int ChoiceIndexOfText(const EditorRow& row, std::u16string_view text) {
    for (std::size_t i = 0; i < row.choices.size(); ++i)
        if (row.choices[i].text == text) return static_cast<int>(i);
    return -1;
}

// ---- the rows of each tab ---------------------------------------------------

void TriggerRows(const Profile& p, const EditorSources& sources, std::vector<EditorRow>* rows) {
    EditorRow type = ChoiceRow(EditorField::kEventType, 0, kLabelEventType, kEventManual,
                               sources.locationOffered ? 5 : 4, kNameTriggerBase);
    // A location profile keeps its own entry on a device without the radio
    // interface, so that opening it shows (and keeps) what is stored.
    KeepStoredValue(&type, p.eventType, p.eventType >= 0 && p.eventType <= 4 ? kNameTriggerBase + p.eventType : 0);
    rows->push_back(type);
    rows->push_back(Row(EditorField::kOverride, 0, kRowCheck, kLabelOverride, p.eventType == kEventManual));

    switch (p.eventType) {
    case kEventManual:
        rows->push_back(Row(EditorField::kTimeoutSet, 0, kRowCheck, kLabelTimeoutSet));
        {
            EditorRow t = Row(EditorField::kTimeout, 0, kRowTime, kLabelTimeout, !p.timeoutSet);
            t.maximum = kMinutesPerDay - 1;
            rows->push_back(t);
        }
        break;
    case kEventTime:
        for (int slot = 0; slot < kScheduleSlots; ++slot) {
            EditorRow t = Row(EditorField::kScheduleTime, slot, kRowTime, kLabelStartTimeBase + slot);
            t.maximum = kMinutesPerDay - 1;
            rows->push_back(t);
            for (int day = 0; day < kWeekDays; ++day)
                rows->push_back(Row(EditorField::kScheduleDay, slot * kWeekDays + day, kRowCheck,
                                    kLabelWeekdayBase + day));
        }
        break;
    case kEventOutlook: {
        EditorRow category = Row(EditorField::kCategory, 0, kRowChoice, kLabelCategory);
        category.choices.push_back({0, kTextAnyCategory, sources.anyCategory});
        for (const std::u16string& name : sources.categories)
            if (name != sources.anyCategory) category.choices.push_back({0, 0, name});
        // A category the device no longer has stays selectable as it is.
        if (ChoiceIndexOfText(category, p.category.View()) < 0) category.choices.push_back({0, 0, p.category.Str()});
        for (std::size_t i = 0; i < category.choices.size(); ++i) category.choices[i].value = static_cast<int32_t>(i);
        rows->push_back(category);
        EditorRow sensitivity = ChoiceRow(EditorField::kSensitivity, 0, kLabelSensitivity, 0, 5, kNameSensitivityBase);
        sensitivity.choices[0].label = kTextAnyCategory;
        rows->push_back(sensitivity);
        rows->push_back(Row(EditorField::kStateHeading, 0, kRowHeading, kLabelStateHeading));
        for (int s = 0; s < kCalendarStates; ++s)
            rows->push_back(Row(EditorField::kState, s, kRowCheck, kNameStateBase + s));
        break;
    }
    case kEventPower:
        rows->push_back(Row(EditorField::kAsPower, 0, kRowCheck, kLabelAsPowerBase + 0));
        rows->push_back(Row(EditorField::kAsPower, 1, kRowCheck, kLabelAsPowerBase + 1));
        rows->push_back(Row(EditorField::kAsPower, 2, kRowCheck, kLabelAsPowerBase + 2, !p.aspower[0] && !p.aspower[2]));
        {
            EditorRow h = ChoiceRow(EditorField::kHeadphones, 0, kLabelHeadphones, 0, 3, kNameHeadphonesBase);
            KeepStoredValue(&h, p.headphones, 0);
            rows->push_back(h);
        }
        break;
    case kEventLocation:
        rows->push_back(Row(EditorField::kLocation, 0, kRowLocation, kLabelPlaceIn, !sources.place.found));
        break;
    default:
        break;
    }
}

void SoundRows(const Profile& p, int32_t event, const EditorSources& sources, std::vector<EditorRow>* rows) {
    {
        EditorRow m = ChoiceRow(EditorField::kVolMaster, 0, kLabelVolMaster, 0, 4, kNameVolMasterBase);
        KeepStoredValue(&m, p.volMaster, 0);
        rows->push_back(m);
    }
    bool normal = p.volMaster == 2;
    for (int v = 0; v < kVolumeCount; ++v) {
        EditorRow r = Row(EditorField::kVolume, v, kRowSlider, kLabelVolumeBase + v, !normal);
        r.hasCheck = true;
        r.maximum = 5;
        rows->push_back(r);
    }
    EditorRow header = Row(EditorField::kEventHeader, event, kRowTabHeader, kLabelSoundEvent);
    for (int e = 0; e < kSoundSlots; ++e) header.choices.push_back({e, 241 + e, {}});
    rows->push_back(header);

    bool eventOn = normal && p.event_enabled[event];
    rows->push_back(Row(EditorField::kEventEnabled, event, kRowCheck, kLabelEventEnabled, !normal));
    {
        EditorRow style = event == 0 ? ChoiceRow(EditorField::kEventStyle, event, kLabelStyle, 0, 8, kNameRingStyleBase, !eventOn)
                                     : ChoiceRow(EditorField::kEventStyle, event, kLabelStyle, 0, 7, kNameNotifyStyleBase, !eventOn);
        KeepStoredValue(&style, p.event_type[event], 0);
        rows->push_back(style);
    }
    {
        EditorRow file = Row(EditorField::kSoundFile, event, kRowChoice, kLabelSoundFile, !eventOn);
        for (std::size_t i = 0; i < sources.sounds.names.size(); ++i)
            file.choices.push_back({static_cast<int32_t>(i), 0, sources.sounds.names[i]});
        if (file.choices.empty()) file.choices.push_back({0, 0, kDefaultSoundName});
        rows->push_back(file);
    }
    rows->push_back(Row(EditorField::kRepeat, event, kRowCheck, kLabelRepeat, !eventOn));
    {
        EditorRow flash = ChoiceRow(EditorField::kFlash, event, kLabelFlash, 0, 8, kNameFlashTimeBase, !eventOn);
        flash.hasCheck = true;
        KeepStoredValue(&flash, p.flash_time[event], 0);
        rows->push_back(flash);
    }
}

void RadioRows(const Profile& p, std::vector<EditorRow>* rows) {
    for (int r = 0; r < kRadioCount; ++r) {
        EditorRow row = ChoiceRow(EditorField::kRadio, r, kNameRadioRowBase + r, 0, 3, kNameOnOffBase);
        if (r == kRadioPhone) {
            for (int32_t v = 3; v <= 5; ++v) row.choices.push_back({v, kNamePhoneModeBase + v - 3, {}});
        } else if (r == kRadioBluetooth && p.radio[r] >= 3) {
            row.choices.push_back({p.radio[r], kNameBluetoothVisible, {}});
        }
        KeepStoredValue(&row, p.radio[r], 0);
        rows->push_back(row);
    }
    {
        EditorRow push = ChoiceRow(EditorField::kPushEmail, 0, kLabelPushEmail, 0, 3, kNameOnOffBase);
        for (int32_t v = 3; v <= 9; ++v) push.choices.push_back({v, kNamePushIntervalBase + v, {}});
        KeepStoredValue(&push, p.push_email, 0);
        rows->push_back(push);
    }
    {
        // No destination (empty) means the data call selects no network; it
        // stays on offer so that a chosen network can be taken back.
        EditorRow net = Row(EditorField::kNetwork, 0, kRowChoice, kLabelNetwork);
        net.choices.push_back({0, kNameUnchanged, {}});
        for (int i = 0; i < 4; ++i) net.choices.push_back({i + 1, kLabelNetworkBase + i, kNetworkDestinations[i]});
        if (!p.network_GUID.Empty() && ChoiceIndexOfText(net, p.network_GUID.View()) < 0)
            net.choices.push_back({5, 0, p.network_GUID.Str()});
        rows->push_back(net);
    }
    {
        EditorRow data = ChoiceRow(EditorField::kDataCall, 0, kLabelDataCall, 0, 3, kNameUnchanged);
        KeepStoredValue(&data, p.data_call, 0);
        rows->push_back(data);
    }
}

void PowerRows(const Profile& p, const Options& options, std::vector<EditorRow>* rows) {
    EditorRow light = Row(EditorField::kBacklight, 0, kRowSlider, kLabelBacklight);
    light.hasCheck = true;
    light.maximum = options.bklLevels > 0 ? options.bklLevels : 0;
    if (p.backlight > light.maximum) light.maximum = p.backlight;  // never cut a stored level
    rows->push_back(light);
    for (int t = 0; t < kPowerTimeouts; ++t) {
        EditorRow row = ChoiceRow(EditorField::kPowerTimeout, t, kNamePowerRowBase + t, 0, 9, kNameTimeoutCodeBase);
        // Code 9 keeps the device's own time-out; the defaults use it, so it
        // must stay choosable once another code was tried.
        row.choices.push_back({kPowerTimeoutUnchanged, kNameUnchanged, {}});
        KeepStoredValue(&row, p.power_timeouts[t], 0);
        rows->push_back(row);
    }
}

void ProgramRows(const Profile& p, std::vector<EditorRow>* rows) {
    EditorRow run = Row(EditorField::kRunProgram, 0, kRowFile, kLabelRunProgram);
    run.hasCheck = true;
    rows->push_back(run);
    bool off = !p.run_program;
    rows->push_back(Row(EditorField::kProgramParams, 0, kRowText, kLabelParams, off));
    rows->push_back(Row(EditorField::kAutoProgram, 0, kRowCheck, kLabelAutoProgram, off));
    rows->push_back(Row(EditorField::kCloseProgram, 0, kRowCheck, kLabelCloseProgram, off));
    EditorRow icon = Row(EditorField::kIcon, 0, kRowFile, kLabelIcon);
    icon.hasCheck = true;
    rows->push_back(icon);
    {
        EditorRow r = ChoiceRow(EditorField::kRotate, 0, kLabelRotate, 0, 4, kNameRotateBase);
        KeepStoredValue(&r, p.rotate, 0);
        rows->push_back(r);
    }
    {
        EditorRow r = ChoiceRow(EditorField::kPdaPower, 0, kLabelPdaPower, 0, 4, kNamePdaPowerBase);
        KeepStoredValue(&r, p.pda_power, 0);
        rows->push_back(r);
    }
}

}  // namespace

int32_t MinutesOfTimeText(std::u16string_view text) {
    if (text.size() != 5 || text[2] != u':') return -1;
    for (int i : {0, 1, 3, 4})
        if (text[i] < u'0' || text[i] > u'9') return -1;
    int32_t hours = (text[0] - u'0') * 10 + (text[1] - u'0');
    int32_t minutes = (text[3] - u'0') * 10 + (text[4] - u'0');
    if (hours > 23 || minutes > 59) return -1;
    return hours * 60 + minutes;
}

std::u16string TimeTextOfMinutes(int32_t minutes) {
    if (minutes < 0) minutes = 0;
    minutes %= kMinutesPerDay;
    int32_t h = minutes / 60, m = minutes % 60;
    return {static_cast<char16_t>(u'0' + h / 10), static_cast<char16_t>(u'0' + h % 10), u':',
            static_cast<char16_t>(u'0' + m / 10), static_cast<char16_t>(u'0' + m % 10)};
}

std::u16string ChoiceName(const EditorChoice& choice, const LanguageTable& language) {
    if (choice.label > 0 && choice.label < kLanguageSlots) {
        std::u16string name(language.text[choice.label].View());
        if (!name.empty() || choice.text.empty()) return name;
    }
    return choice.text;
}

std::vector<EditorRow> BuildEditorRows(const ProfileEditor& editor, const ConfigModel& model,
                                       const EditorSources& sources) {
    std::vector<EditorRow> rows;
    if (!editor.open) return rows;
    const Profile& p = EditedProfile(editor, model);
    EditorRow header = Row(EditorField::kTabHeader, editor.tab, kRowTabHeader, 0);
    for (int t = 0; t < kEditorTabCount; ++t) header.choices.push_back({t, kLabelTabBase + t, {}});
    rows.push_back(header);
    switch (editor.tab) {
    case kTabTrigger: TriggerRows(p, sources, &rows); break;
    case kTabSounds: SoundRows(p, editor.soundEvent, sources, &rows); break;
    case kTabRadios: RadioRows(p, &rows); break;
    case kTabPower: PowerRows(p, model.options, &rows); break;
    default: ProgramRows(p, &rows); break;
    }
    return rows;
}

// ---- reading a row ------------------------------------------------------------

EditorValue ReadEditorRow(const Profile& p, const LocationTable& locations, const EditorRow& row,
                          const EditorSources& sources) {
    EditorValue v;
    auto choice = [&](int32_t stored) { v.value = ChoiceIndexOfValue(row, stored); };
    const int i = row.index;
    switch (row.field) {
    case EditorField::kTabHeader:
    case EditorField::kEventHeader: v.value = row.index; break;
    case EditorField::kEventType: choice(p.eventType); break;
    case EditorField::kOverride: v.value = p.override; break;
    case EditorField::kTimeoutSet: v.value = p.timeoutSet; break;
    case EditorField::kTimeout: v.value = MinutesOfTimeText(p.timeout.View()); break;
    case EditorField::kScheduleTime: v.value = MinutesOfTimeText(p.time[i].View()); break;
    case EditorField::kScheduleDay: v.value = p.schedule[i % kWeekDays][i / kWeekDays]; break;
    case EditorField::kCategory: v.value = ChoiceIndexOfText(row, p.category.View()); break;
    case EditorField::kSensitivity: choice(p.sensitivity); break;
    case EditorField::kStateHeading: break;
    case EditorField::kState: v.value = p.state[i]; break;
    case EditorField::kAsPower: v.value = p.aspower[i]; break;
    case EditorField::kHeadphones: choice(p.headphones); break;
    case EditorField::kLocation: v.value = PlaceBelongsToProfile(locations, p.name.View(), sources.place); break;
    case EditorField::kVolMaster: choice(p.volMaster); break;
    case EditorField::kVolume: v.value = p.volume[i]; v.check = p.volume_enabled[i]; break;
    case EditorField::kEventEnabled: v.value = p.event_enabled[i]; break;
    case EditorField::kEventStyle: choice(p.event_type[i]); break;
    case EditorField::kSoundFile:
        v.value = SelectedSoundChoice(sources.sounds, p.ringtone[i].View());
        v.check = p.sound_control[i];
        break;
    case EditorField::kRepeat: v.value = p.repeat[i]; break;
    case EditorField::kFlash: choice(p.flash_time[i]); v.check = p.flash[i]; break;
    case EditorField::kRadio: choice(p.radio[i]); break;
    case EditorField::kPushEmail: choice(p.push_email); break;
    case EditorField::kNetwork:
        v.value = p.network_GUID.Empty() ? 0 : ChoiceIndexOfText(row, p.network_GUID.View());
        v.text = p.network_GUID.Str();
        break;
    case EditorField::kDataCall: choice(p.data_call); break;
    case EditorField::kBacklight: v.value = p.backlight; v.check = p.backlight_enabled; break;
    case EditorField::kPowerTimeout: choice(p.power_timeouts[i]); break;
    case EditorField::kRunProgram: v.check = p.run_program; v.value = p.run_program; v.text = p.program.Str(); break;
    case EditorField::kProgramParams: v.text = p.program_params.Str(); break;
    case EditorField::kAutoProgram: v.value = p.auto_program; break;
    case EditorField::kCloseProgram: v.value = p.close_program; break;
    case EditorField::kIcon: v.check = p.icon_enabled; v.value = p.icon_enabled; v.text = p.profile_icon.Str(); break;
    case EditorField::kRotate: choice(p.rotate); break;
    case EditorField::kPdaPower: choice(p.pda_power); break;
    }
    if (row.kind == kRowChoice && v.value < 0) v.value = 0;
    return v;
}

// ---- writing a row ------------------------------------------------------------

bool WriteEditorRow(Profile* profile, const EditorRow& row, const EditorValue& v) {
    if (row.readOnly) return false;
    Profile& p = *profile;
    const int i = row.index;
    const bool on = v.value != 0;
    // The stored value of the chosen entry of a choice row.
    const EditorChoice* chosen = nullptr;
    if (row.kind == kRowChoice) {
        if (v.value < 0 || v.value >= static_cast<int32_t>(row.choices.size())) return false;
        chosen = &row.choices[static_cast<std::size_t>(v.value)];
    }
    auto inRange = [&] { return v.value >= row.minimum && v.value <= row.maximum; };
    switch (row.field) {
    case EditorField::kEventType: p.eventType = chosen->value; return true;
    case EditorField::kOverride: p.override = on; return true;
    case EditorField::kTimeoutSet: p.timeoutSet = on; return true;
    case EditorField::kTimeout:
        if (!inRange()) return false;
        p.timeout = TimeTextOfMinutes(v.value);
        return true;
    case EditorField::kScheduleTime:
        if (!inRange()) return false;
        p.time[i] = TimeTextOfMinutes(v.value);
        return true;
    case EditorField::kScheduleDay: p.schedule[i % kWeekDays][i / kWeekDays] = on; return true;
    case EditorField::kCategory: p.category = chosen->text; return true;
    case EditorField::kSensitivity: p.sensitivity = chosen->value; return true;
    case EditorField::kState: p.state[i] = on; return true;
    case EditorField::kAsPower: p.aspower[i] = on; return true;
    case EditorField::kHeadphones: p.headphones = chosen->value; return true;
    case EditorField::kVolMaster: p.volMaster = chosen->value; return true;
    case EditorField::kVolume:
        if (!inRange()) return false;
        p.volume[i] = v.value;
        p.volume_enabled[i] = v.check;
        return true;
    case EditorField::kEventEnabled: p.event_enabled[i] = on; return true;
    case EditorField::kEventStyle: p.event_type[i] = chosen->value; return true;
    case EditorField::kSoundFile:
        // Choosing a file means it is to be applied with the event.
        p.ringtone[i] = chosen->text;
        p.sound_control[i] = true;
        return true;
    case EditorField::kRepeat: p.repeat[i] = on; return true;
    case EditorField::kFlash:
        p.flash_time[i] = chosen->value;
        p.flash[i] = v.check;
        return true;
    case EditorField::kRadio: p.radio[i] = chosen->value; return true;
    case EditorField::kPushEmail: p.push_email = chosen->value; return true;
    case EditorField::kNetwork: p.network_GUID = chosen->value == 0 ? std::u16string() : chosen->text; return true;
    case EditorField::kDataCall: p.data_call = chosen->value; return true;
    case EditorField::kBacklight:
        if (!inRange()) return false;
        p.backlight = v.value;
        p.backlight_enabled = v.check;
        return true;
    case EditorField::kPowerTimeout: p.power_timeouts[i] = chosen->value; return true;
    case EditorField::kRunProgram:
        if (v.text.size() >= decltype(p.program)::kCapacity) return false;
        p.run_program = v.check;
        p.program = v.text;
        return true;
    case EditorField::kProgramParams:
        if (v.text.size() >= decltype(p.program_params)::kCapacity) return false;
        p.program_params = v.text;
        return true;
    case EditorField::kAutoProgram: p.auto_program = on; return true;
    case EditorField::kCloseProgram: p.close_program = on; return true;
    case EditorField::kIcon:
        if (v.text.size() >= decltype(p.profile_icon)::kCapacity) return false;
        p.icon_enabled = v.check;
        p.profile_icon = v.text;
        return true;
    case EditorField::kRotate: p.rotate = chosen->value; return true;
    case EditorField::kPdaPower: p.pda_power = chosen->value; return true;
    case EditorField::kTabHeader:
    case EditorField::kEventHeader:
    case EditorField::kStateHeading:
    case EditorField::kLocation:
        return false;  // headers move the page; the place has its own commands
    }
    return false;
}

}  // namespace tlw
