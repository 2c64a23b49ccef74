// The calendar's categories: the defaults of a new device, adding and
// removing, the names refused, and the database names that reach them.
#include "platform/pim/categories.h"

#include <gtest/gtest.h>

#include "platform/kernel/last_error.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

TEST(CalendarCategories, DefaultsThenAddedAndRemoved) {
    TempDevice device;
    EXPECT_EQ(CalendarCategories(), (std::vector<std::u16string>{u"Business", u"Holiday", u"Personal"}));
    EXPECT_TRUE(AddCalendarCategory(u"Gym"));
    EXPECT_TRUE(AddCalendarCategory(u"Überstunden"));
    EXPECT_FALSE(AddCalendarCategory(u"gym"));
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorAlreadyExists));
    EXPECT_TRUE(RemoveCalendarCategory(u"HOLIDAY"));
    std::vector<std::u16string> names;
    ASSERT_TRUE(ReadCategoryDatabase(u"\\PIM.VOL", u"categorymaindb", &names));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Business", u"Personal", u"Gym", u"Überstunden"}));
    EXPECT_FALSE(RemoveCalendarCategory(u"Holiday"));
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorFileNotFound));
    // Removing all leaves an empty list, not the defaults.
    for (const std::u16string& name : names) EXPECT_TRUE(RemoveCalendarCategory(name));
    EXPECT_TRUE(CalendarCategories().empty());
}

TEST(CalendarCategories, BadNamesAndOtherDatabasesAreRefused) {
    TempDevice device;
    for (std::u16string bad : {std::u16string(), std::u16string(u"a,b"), std::u16string(u"two\nlines"), std::u16string(33, u'x')}) {
        EXPECT_FALSE(AddCalendarCategory(bad));
        EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorInvalidParameter));
    }
    EXPECT_TRUE(AddCalendarCategory(std::u16string(32, u'x')));
    std::vector<std::u16string> names{u"kept"};
    EXPECT_FALSE(ReadCategoryDatabase(u"\\pim.vol", u"ContactsDB", &names));
    EXPECT_FALSE(ReadCategoryDatabase(u"\\other.vol", u"CategoryMainDB", &names));
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorFileNotFound));
    EXPECT_EQ(CalendarCategories().size(), 4u);
}

}  // namespace
