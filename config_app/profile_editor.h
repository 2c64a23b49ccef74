// The profile editor's session: which profile it edits, the tab and sound
// event on show, and the copies of the profile table and the location list
// taken when it opened, which back restores. The editor writes nothing to
// the file itself: accepting keeps the edits in the model for the profile
// list's own accept or back to save.
#pragma once

#include <cstdint>
#include <memory>

#include "common/config/config_model.h"

namespace tlw {

constexpr int32_t kEditorTabCount = 5;  // trigger, sounds, radios, light and power, program and icon
enum EditorTab : int32_t {
    kTabTrigger = 0,
    kTabSounds = 1,
    kTabRadios = 2,
    kTabPower = 3,
    kTabProgram = 4,
};

struct ProfileEditor {
    bool open = false;                           // the editor page is on show
    int32_t profile = -1;                        // index of the edited profile
    int32_t tab = kTabTrigger;                   // tab on show
    int32_t soundEvent = 0;                      // sound event on show on the sounds tab
    std::unique_ptr<ProfileTable> savedProfiles; // the table as it was at opening
    LocationTable savedLocations;                // the location list as it was at opening
};

// Opens the editor on a profile of the model, at its first tab and first
// sound event. False (the editor stays closed) for an index outside the table.
bool OpenProfileEditor(ProfileEditor* editor, const ConfigModel& model, int32_t profile);

// Accept: closes the editor keeping every edit. Returns true when anything
// differs from the state at opening (the profile list then counts its
// settings as changed).
bool AcceptProfileEditor(ProfileEditor* editor, const ConfigModel& model);

// Back: puts the profile table and the location list back as they were at
// opening and closes the editor.
void BackProfileEditor(ProfileEditor* editor, ConfigModel* model);

// Moves to the neighbouring tab or sound event (step -1 or +1), wrapping
// around at the ends as the header's names do.
void StepEditorTab(ProfileEditor* editor, int step);
void StepSoundEvent(ProfileEditor* editor, int step);
// The neighbours shown in a header beside the current one.
int32_t NeighbourIndex(int32_t current, int step, int32_t count);

// The edited profile (the editor must be open).
Profile& EditedProfile(const ProfileEditor& editor, ConfigModel* model);
const Profile& EditedProfile(const ProfileEditor& editor, const ConfigModel& model);

}  // namespace tlw
