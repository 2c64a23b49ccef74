// The rows of the configuration program's pages. Every page is one list of
// rows; a row names the value it edits through a pointer into the state
// record, so that editing a row changes the working value in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/fixed_string.h"
#include "common/graphics/rgba_image.h"

namespace tlw {

// Most rows on one page.
constexpr size_t kMaxRows = 100;
// Most entries of one choice row.
constexpr size_t kMaxChoices = 256;

// What a row edits and how it is shown.
enum class RowKind : int32_t {
    kEntry = 0,       // a line that opens something (main menu entries, profiles)
    kChoice = 1,      // choice among labelled entries; shows the chosen label
    kMasked = 2,      // masked text; shows "*****"
    kText = 3,        // text; shows the text
    kNumber = 4,      // number with minimum and maximum; shows "%d"
    kFolder = 5,      // folder; shows the path
    kCheck = 6,       // check box; shows the state
    kHeading = 7,     // heading; no value
    kTodaySlot = 8,   // Today add-on slot: name, large mark, enabled check, two move zones
    kTabHeader = 9,   // previous, current and next tab names; its sides select a tab
    kTime = 10,       // time of hours and minutes "HH:MM"
    kLocation = 11,   // location membership: a label and a state
    kSlider = 12,     // slider with minimum and maximum; shows the position
    kFile = 13,       // file with a check box; shows the file name
};

// One entry of a choice row: what it says and the value it stores.
struct ChoiceEntry {
    std::u16string label;  // language-file text
    int32_t value = 0;     // stored into the row's number when chosen
};

// One row of a page.
struct Row {
    RowKind kind = RowKind::kHeading;  // editor and look
    std::u16string label;              // its label (language-file text)
    int32_t* number = nullptr;         // choice value, number, slider position
    bool* check = nullptr;             // check box, slot enabled flag, file row's check, profile enabled
    bool* check2 = nullptr;            // a second mark: a profile's show flag
    char16_t* text = nullptr;          // text, masked text, folder, file, time, entry name being renamed
    size_t textCapacity = 0;           // characters of text, terminator included
    std::u16string second;             // second label: slot add-on name, location state, tab names
    std::u16string secondNext;         // tab header: the next tab's name (second holds the previous)
    int32_t minimum = 0;               // number and slider range
    int32_t maximum = 0;
    std::vector<ChoiceEntry> choices;  // choice rows: the offered entries
    bool readOnly = false;             // shown, but not editable
    bool large = false;                // Today slot: the tall mark
    bool hideCheck2 = false;           // entry rows: no second mark (manual profiles)
    int32_t tag = 0;                   // the page's own number for the row (slot, profile, page to open)
    const RgbaImage* icon = nullptr;   // file rows: a picture drawn before the file name (a profile icon)
};

// Row builders. The value pointers must outlive the page's rows.
Row EntryRow(std::u16string label, int32_t tag);
Row HeadingRow(std::u16string label);
Row ChoiceRow(std::u16string label, int32_t* value, std::vector<ChoiceEntry> choices);
Row CheckRow(std::u16string label, bool* value);
Row NumberRow(std::u16string label, int32_t* value, int32_t minimum, int32_t maximum);
Row SliderRow(std::u16string label, int32_t* value, int32_t minimum, int32_t maximum);
template <size_t N>
Row TextRow(RowKind kind, std::u16string label, FixedString<N>& value) {
    Row row;
    row.kind = kind;
    row.label = std::move(label);
    row.text = value.text;
    row.textCapacity = N;
    return row;
}

// The text a row shows as its value ("" for rows without one).
std::u16string RowValueText(const Row& row);
// The label of the chosen entry of a choice row ("" when the value is none of them).
std::u16string ChosenLabel(const Row& row);
// Index of the chosen entry, -1 when the value is none of them.
int32_t ChosenIndex(const Row& row);

// Parses "H:MM" or "HH:MM" (hours 0-23, minutes 0-59, also "HHMM"); false
// for anything else.
bool ParseTimeText(std::u16string_view text, int32_t* hours, int32_t* minutes);

}  // namespace tlw
