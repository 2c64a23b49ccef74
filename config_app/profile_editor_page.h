// The profile editor page (page 21): the editor's session, the rows of the
// tab on show and the working values the list's rows edit, which the page
// writes into the edited profile after every change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/fixed_string.h"
#include "common/graphics/rgba_image.h"
#include "config_app/editor_rows.h"
#include "config_app/profile_editor.h"

namespace tlw {

// Working values of one shown row, which the row list edits in place.
struct EditorRowValues {
    int32_t number = 0;                         // choice entry index, slider position
    bool check = false;                         // check box, the row's own check
    FixedString<261> text;                      // text, time "HH:MM", file path
};

struct ProfileEditorPage {
    ProfileEditor editor;                 // the session: profile, tab, event, copies for back
    EditorSources sources;                // categories, sounds, the current place
    std::vector<EditorRow> rows;          // the editor rows of the tab on show
    std::vector<int32_t> shownRow;        // per list row: the editor row it shows (-1: none)
    std::vector<EditorRowValues> values;  // per editor row: its working values
    RgbaImage icon;                       // the profile's icon as the icon row shows it
    std::u16string iconPath;              // the file icon was loaded from
};

}  // namespace tlw
