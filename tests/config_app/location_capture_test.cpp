// The location row: reading where the phone is, and adding or removing that
// place in the profile's entries of the location list.
#include <gtest/gtest.h>

#include "config_app/location_capture.h"
#include "platform/hardware/hardware.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

CurrentPlace Cell(int32_t id) {
    CurrentPlace p;
    p.found = id != 0;
    p.cell = id;
    return p;
}

CurrentPlace AccessPoint(const char16_t* mac) {
    CurrentPlace p;
    p.found = true;
    p.locationMode = 1;
    p.accessPoint = mac;
    return p;
}

TEST(LocationCapture, CellIsAddedOnceAndRemovedWithoutTouchingOthers) {
    LocationTable t;
    t.count = 2;
    t.entries[0].name = u"Home";
    t.entries[0].cell = 10;
    t.entries[1].name = u"Work";
    t.entries[1].cell = 20;
    CurrentPlace here = Cell(20);
    EXPECT_FALSE(PlaceBelongsToProfile(t, u"Home", here));
    EXPECT_EQ(AddPlaceToProfile(&t, u"Home", here), AddPlaceResult::kAdded);
    EXPECT_EQ(AddPlaceToProfile(&t, u"Home", here), AddPlaceResult::kPresent);
    ASSERT_EQ(t.count, 3);
    EXPECT_EQ(t.entries[2].cell, 20);
    EXPECT_TRUE(t.entries[2].accessPoint.Empty());
    EXPECT_TRUE(PlaceBelongsToProfile(t, u"Home", here));

    EXPECT_EQ(RemovePlaceFromProfile(&t, u"Home", here), 1);
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(t.entries[0].cell, 10);
    EXPECT_EQ(t.entries[1].name.View(), u"Work");
    EXPECT_TRUE(PlaceBelongsToProfile(t, u"Work", here));
}

TEST(LocationCapture, AccessPointModeStoresTheMacAndIgnoresCells) {
    LocationTable t;
    CurrentPlace ap = AccessPoint(u"00:1A:2B:3C:4D:5E");
    EXPECT_EQ(AddPlaceToProfile(&t, u"Office", ap), AddPlaceResult::kAdded);
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.entries[0].accessPoint.View(), u"00:1A:2B:3C:4D:5E");
    EXPECT_EQ(t.entries[0].cell, 0);
    EXPECT_FALSE(PlaceBelongsToProfile(t, u"Office", Cell(0)));
    EXPECT_FALSE(PlaceBelongsToProfile(t, u"Office", AccessPoint(u"00:1A:2B:3C:4D:5F")));
    EXPECT_TRUE(PlaceBelongsToProfile(t, u"Office", ap));
}

TEST(LocationCapture, NothingChangesWithoutAPlaceOrRoom) {
    LocationTable t;
    EXPECT_EQ(AddPlaceToProfile(&t, u"Home", Cell(0)), AddPlaceResult::kNoPlace);
    EXPECT_EQ(t.count, 0);
    for (int i = 0; i < kMaxLocations; ++i) ASSERT_EQ(AddPlaceToProfile(&t, u"Home", Cell(100 + i)), AddPlaceResult::kAdded);
    EXPECT_EQ(AddPlaceToProfile(&t, u"Home", Cell(5)), AddPlaceResult::kFull);
    EXPECT_EQ(t.count, kMaxLocations);
}

TEST(LocationCapture, ReadsTheServingCell) {
    TempDevice device;
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) {
        ASSERT_TRUE(plat::ParseCell("300:12", &s.cellPresent, &s.cellLac, &s.cellId));
    }));
    CurrentPlace here = ReadCurrentPlace(0);
    EXPECT_TRUE(here.found);
    EXPECT_EQ(here.cell, 300 * 65536 + 12);
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) {
        ASSERT_TRUE(plat::ParseCell("none", &s.cellPresent, &s.cellLac, &s.cellId));
    }));
    EXPECT_FALSE(ReadCurrentPlace(0).found);
}

}  // namespace
}  // namespace tlw
