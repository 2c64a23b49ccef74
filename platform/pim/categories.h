// The calendar's categories: the names a user can give appointments,
// kept in the database "CategoryMainDB" of the object-store volume
// "\pim.vol" as the calendar application keeps them. The device's list is
// kept in the device store; a device that never changed it has the
// calendar's own three: "Business", "Holiday", "Personal". Names are 1 to
// 32 characters without line breaks or commas (an appointment's categories
// text is a comma-separated list of them) and are unique without regard to
// case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat {

inline constexpr std::u16string_view kPimVolume = u"\\pim.vol";
inline constexpr std::u16string_view kCategoryDatabase = u"CategoryMainDB";
constexpr size_t kMaxCategoryName = 32;

// The names of a category database, in the order they were added. False
// (kErrorFileNotFound) for a volume or database the device does not have,
// or when the list cannot be read.
bool ReadCategoryDatabase(std::u16string_view volume, std::u16string_view database,
                          std::vector<std::u16string>* names);
// The calendar's categories (the same as reading "\pim.vol" "CategoryMainDB").
std::vector<std::u16string> CalendarCategories();

// Adds a category at the end; false (kErrorInvalidParameter) for a name
// that is empty, too long or holds a comma or line break,
// (kErrorAlreadyExists) for one already there, or when it cannot be written.
bool AddCalendarCategory(std::u16string_view name);
// Removes one (matched without regard to case); false (kErrorFileNotFound)
// when it is not there.
bool RemoveCalendarCategory(std::u16string_view name);

}  // namespace plat
