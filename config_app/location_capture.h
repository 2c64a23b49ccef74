// The location row of the profile editor: where the phone is now (the
// serving cell tower, or the strongest access point when locations are
// sensed by access point) and whether that place already belongs to the
// edited profile in the location list, with adding and removing it.
#pragma once

#include <cstdint>

#include "base/fixed_string.h"
#include "common/config/options.h"

namespace tlw {

// The place the phone is at, as a location entry identifies it.
struct CurrentPlace {
    bool found = false;               // a cell or an access point was found
    int32_t locationMode = 0;         // 0 cell towers, 1 access points
    int32_t cell = 0;                 // cell mode: LAC * 65536 + cell id
    FixedString<32> accessPoint;      // access-point mode: MAC text
};

// Reads the current place in the mode (0 cell towers, else access points).
// Reading a cell waits for the radio for up to 5 s; an access-point scan
// switches Wi-Fi on for its duration.
CurrentPlace ReadCurrentPlace(int32_t locationMode);

// Whether an entry of the list names the profile and the place.
bool PlaceBelongsToProfile(const LocationTable& locations, std::u16string_view profileName,
                           const CurrentPlace& place);

// The outcome of adding a place.
enum class AddPlaceResult {
    kAdded,     // a new entry was appended
    kPresent,   // the profile already had it; nothing changed
    kNoPlace,   // no cell or access point was found; nothing changed
    kFull,      // the list holds kMaxLocations entries; nothing changed
};
// Appends an entry for the place to the profile: the cell in cell mode, the
// access point's text (cell 0) in access-point mode.
AddPlaceResult AddPlaceToProfile(LocationTable* locations, std::u16string_view profileName,
                                 const CurrentPlace& place);

// Removes every entry that names the profile and the place, keeping the
// order of the others. Returns how many went.
int RemovePlaceFromProfile(LocationTable* locations, std::u16string_view profileName,
                           const CurrentPlace& place);

}  // namespace tlw
