// The profile list's commands on the working configuration: new, copy,
// delete, move and rename, with the rules that keep the Today slots and the
// location list consistent.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/config/config_model.h"
#include "common/config/language_table.h"

namespace tlw {

// Language texts of the names of new and copied profiles.
constexpr int32_t kTextNewProfile = 118;
constexpr int32_t kTextCopiedProfile = 122;
// The refusal to delete or rename the "Moonquill" profile in the custom Today layout.
inline constexpr char16_t kMoonquillRefusal[] =
    u"Moonquill cannot be deleted or renamed while in non standard Tdy Plugin layout";
inline constexpr char16_t kMoonquillCaption[] = u"Moonquill";

// Appends a plain manual profile made from the selected one (the first when
// selected is -1). Returns its index, -1 when 99 profiles exist.
int32_t NewProfile(ConfigModel& model, const LanguageTable& language, int32_t selected);
// Appends a copy of the selected profile as a disabled manual profile.
// Returns its index, -1 when 99 profiles exist or nothing is selected.
int32_t CopyProfile(ConfigModel& model, const LanguageTable& language, int32_t selected);

enum class DeleteResult {
    kDeleted,          // removed
    kTooFew,           // only 2 profiles: nothing done
    kMoonquillLocked,  // the "Moonquill" profile in the custom Today layout: refused
    kNoSuchProfile,    // no such profile
};
// Deletes a profile: the "Moonquill" rule (refused in the custom layout,
// else Today slots 11 to 15 are disabled), a location profile's entries
// leave the location list, the following profiles move up.
DeleteResult DeleteProfile(ConfigModel& model, int32_t index);

// Swaps a profile with its neighbour above (-1) or below (+1); false at the
// ends. Returns the profile's new index in *moved.
bool MoveProfile(ConfigModel& model, int32_t index, int32_t direction, int32_t* moved);

// Checks and completes a rename of profile index whose name was oldName
// (the new name is already in the table). Refuses it (the old name back,
// false) for an empty name and, in the custom Today layout, for the
// "Moonquill" profile; renaming "Moonquill" otherwise disables Today slots
// 11 to 15. A location profile's entries follow the new name.
enum class RenameResult { kRenamed, kEmpty, kMoonquillLocked };
RenameResult CompleteRename(ConfigModel& model, int32_t index, std::u16string_view oldName);

// Gives a location profile's entries in the location list a new name.
void RenameLocationEntries(LocationTable& locations, std::u16string_view from, std::u16string_view to);

}  // namespace tlw
