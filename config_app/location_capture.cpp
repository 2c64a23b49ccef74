// Reads where the phone is and keeps the location list of a profile.
#include "config_app/location_capture.h"

#include "common/device/location_reading.h"

namespace tlw {

namespace {

bool EntryIsPlace(const LocationEntry& entry, std::u16string_view profileName, const CurrentPlace& place) {
    if (entry.name.View() != profileName) return false;
    if (place.locationMode == 0) return entry.cell == place.cell;
    return entry.accessPoint.View() == place.accessPoint.View();
}

}  // namespace

CurrentPlace ReadCurrentPlace(int32_t locationMode) {
    CurrentPlace place;
    place.locationMode = locationMode == 0 ? 0 : 1;
    if (place.locationMode == 0) {
        uint32_t cell = ReadCellTower();
        place.cell = static_cast<int32_t>(cell);
        place.found = cell != 0;
    } else {
        char16_t text[kAccessPointTextCapacity] = {};
        place.found = FindStrongestAccessPoint(text, kAccessPointTextCapacity) && text[0] != 0;
        if (place.found) place.accessPoint.Assign(text);
    }
    return place;
}

bool PlaceBelongsToProfile(const LocationTable& locations, std::u16string_view profileName,
                           const CurrentPlace& place) {
    if (!place.found) return false;
    for (int i = 0; i < locations.count && i < kMaxLocations; ++i)
        if (EntryIsPlace(locations.entries[i], profileName, place)) return true;
    return false;
}

AddPlaceResult AddPlaceToProfile(LocationTable* locations, std::u16string_view profileName,
                                 const CurrentPlace& place) {
    if (!place.found) return AddPlaceResult::kNoPlace;
    if (PlaceBelongsToProfile(*locations, profileName, place)) return AddPlaceResult::kPresent;
    if (locations->count >= kMaxLocations) return AddPlaceResult::kFull;
    LocationEntry& entry = locations->entries[locations->count];
    entry = LocationEntry{};
    entry.name.Assign(profileName);
    if (place.locationMode == 0) {
        entry.cell = place.cell;
    } else {
        entry.cell = 0;
        entry.accessPoint = place.accessPoint;
    }
    ++locations->count;
    return AddPlaceResult::kAdded;
}

int RemovePlaceFromProfile(LocationTable* locations, std::u16string_view profileName,
                           const CurrentPlace& place) {
    if (!place.found) return 0;
    int kept = 0, removed = 0;
    for (int i = 0; i < locations->count && i < kMaxLocations; ++i) {
        if (EntryIsPlace(locations->entries[i], profileName, place)) {
            ++removed;
            continue;
        }
        if (kept != i) locations->entries[kept] = locations->entries[i];
        ++kept;
    }
    for (int i = kept; i < locations->count && i < kMaxLocations; ++i) locations->entries[i] = LocationEntry{};
    locations->count = kept;
    return removed;
}

}  // namespace tlw
