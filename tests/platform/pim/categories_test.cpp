// The calendar's categories: the defaults of a new device, adding and
// removing, the names refused, and the database names that reach them.
#include "platform/pim/categories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// A device made when the list was a text file in the state folder keeps its
// names: the store takes them over once, and the file goes.
TEST(CalendarCategories, AListFileOfAnOlderDeviceIsTakenOverOnce) {
    TempDevice device;
    {
        std::ofstream out(device.StateDir() / "categories", std::ios::binary);
        out << "Gym\r\nBusiness\n\ngym\nfar,too\n" << std::string(40, 'x') << "\n";
    }
    EXPECT_EQ(CalendarCategories(), (std::vector<std::u16string>{u"Gym", u"Business"}));
    EXPECT_FALSE(std::filesystem::exists(device.StateDir() / "categories"));
    EXPECT_TRUE(AddCalendarCategory(u"Travel"));
    EXPECT_EQ(CalendarCategories(), (std::vector<std::u16string>{u"Gym", u"Business", u"Travel"}));
    // A file that turns up again later does not overwrite the store's list.
    {
        std::ofstream out(device.StateDir() / "categories", std::ios::binary);
        out << "Stale\n";
    }
    EXPECT_EQ(CalendarCategories(), (std::vector<std::u16string>{u"Gym", u"Business", u"Travel"}));
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
