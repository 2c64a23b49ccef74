// The rows of the profile editor: which rows each tab shows for a profile,
// their labels and choice values (language-file identifiers), which of them
// are read-only, and how a row's value is read from and written to the
// edited profile. The page turns these descriptions into list rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/config/config_model.h"
#include "config_app/location_capture.h"
#include "config_app/profile_editor.h"
#include "config_app/sound_choice.h"

namespace tlw {

// Row kinds of the configuration program's lists.
enum EditorRowKind : int32_t {
    kRowChoice = 1,     // choice among labelled entries
    kRowMasked = 2,     // masked text
    kRowText = 3,       // text
    kRowNumber = 4,     // number with minimum and maximum
    kRowFolder = 5,     // folder
    kRowCheck = 6,      // check box
    kRowHeading = 7,    // heading
    kRowAddOn = 8,      // Today add-on slot
    kRowTabHeader = 9,  // previous, current and next names
    kRowTime = 10,      // hours and minutes
    kRowLocation = 11,  // location membership
    kRowSlider = 12,    // slider with minimum and maximum
    kRowFile = 13,      // file with a check box
};

// What a row of the editor edits.
enum class EditorField : int32_t {
    kTabHeader,      // the tabs
    kEventType,      // eventType
    kOverride,       // override
    kTimeoutSet,     // the manual time-out is in force
    kTimeout,        // timeout
    kScheduleTime,   // time%d, index = slot
    kScheduleDay,    // schedule flag, index = slot * 7 + day
    kCategory,       // category
    kSensitivity,    // sensitivity
    kStateHeading,   // heading above the state flags
    kState,          // state[index]
    kAsPower,        // aspower[index]
    kHeadphones,     // headphones
    kLocation,       // the current place in the location list
    kVolMaster,      // volMaster
    kVolume,         // volume[index] with volume_enabled[index]
    kEventHeader,    // the sound events
    kEventEnabled,   // event_enabled[event]
    kEventStyle,     // event_type[event]
    kSoundFile,      // ringtone%d (and sound_control) of the event
    kRepeat,         // repeat[event]
    kFlash,          // flash[event] with flash_time[event]
    kRadio,          // radio[index]
    kPushEmail,      // push_email
    kNetwork,        // network_GUID
    kDataCall,       // data_call
    kBacklight,      // backlight with backlight_enabled
    kPowerTimeout,   // power_timeouts[index]
    kRunProgram,     // run_program with program
    kProgramParams,  // program_params
    kAutoProgram,    // auto_program
    kCloseProgram,   // close_program
    kIcon,           // icon_enabled with profile_icon
    kRotate,         // rotate
    kPdaPower,       // pda_power
};

// One entry of a choice row: the stored value and its name, a language-file
// identifier or (label 0) a text of its own.
struct EditorChoice {
    int32_t value = 0;     // the value stored when it is chosen
    int32_t label = 0;     // language-file identifier of its name; 0: text
    std::u16string text;   // its name when label is 0, and the stored text of text-valued choices
};

struct EditorRow {
    EditorField field = EditorField::kTabHeader;  // what it edits
    int32_t index = 0;                            // which element (slot, day, event, radio ...)
    int32_t kind = kRowHeading;                   // EditorRowKind
    int32_t label = 0;                            // language-file identifier of its label
    bool readOnly = false;                        // shown, not changeable
    bool hasCheck = false;                        // a check box beside the value (volumes, flash, backlight, program, icon)
    int32_t minimum = 0;                          // numbers, sliders, times
    int32_t maximum = 0;
    std::vector<EditorChoice> choices;            // choice rows
};

// What the rows need from outside the profile.
struct EditorSources {
    bool locationOffered = false;            // the device has a radio interface library
    std::vector<std::u16string> categories;  // the device's calendar categories
    std::u16string anyCategory;              // the text that stands for any category
    SoundChoices sounds;                     // the sound files of the current event
    CurrentPlace place;                      // where the phone is (location rows)
};

// The rows of the editor's current tab for the edited profile.
std::vector<EditorRow> BuildEditorRows(const ProfileEditor& editor, const ConfigModel& model,
                                       const EditorSources& sources);

// A row's value. Choice rows: the index of the chosen entry. Checks: 0 or 1.
// Times: minutes (hours * 60 + minutes). Numbers and sliders: the number.
// Text and file rows: text. Rows with a check: check as well.
struct EditorValue {
    int32_t value = 0;     // see above
    bool check = false;    // the row's check box
    std::u16string text;   // text, file path
};

EditorValue ReadEditorRow(const Profile& profile, const LocationTable& locations, const EditorRow& row,
                          const EditorSources& sources);

// Writes a row's new value into the profile. A read-only row, a heading,
// an index outside the choices or a value outside the row's range changes
// nothing and returns false.
bool WriteEditorRow(Profile* profile, const EditorRow& row, const EditorValue& value);

// The text a choice entry shows ("" when the language has none).
std::u16string ChoiceName(const EditorChoice& choice, const LanguageTable& language);

// "HH:MM" text and minutes (00:00 .. 23:59); -1 for text of another form.
int32_t MinutesOfTimeText(std::u16string_view text);
std::u16string TimeTextOfMinutes(int32_t minutes);

// The four standard connection-manager destinations of the network row.
extern const char16_t* const kNetworkDestinations[4];

}  // namespace tlw
