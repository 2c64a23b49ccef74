#include "common/graphics/screen_scale.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

// Sets the simulated screen's dpi and makes the scale read it again.
class ScreenScaleTest : public ::testing::Test {
protected:
    void UseDpi(int x, int y, bool forceDouble = false) {
        plat::SetScreenDpi(x, y);
        ResetScreenScale();
        InitScreenScale(forceDouble);
    }
    void TearDown() override {
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
    }
};

TEST_F(ScreenScaleTest, At96DpiLengthsStayAndTheClassIsQvga) {
    UseDpi(96, 96);
    EXPECT_EQ(ScaleX(60), 60);
    EXPECT_EQ(ScaleY(60), 60);
    EXPECT_EQ(GetResolutionClass(), ResolutionClass::kQvga);
    EXPECT_FALSE(IsHighResolution());
}

TEST_F(ScreenScaleTest, At192DpiLengthsDoubleAndTheClassIsVga) {
    UseDpi(192, 192);
    EXPECT_EQ(ScaleX(60), 120);
    EXPECT_EQ(ScaleY(18), 36);
    EXPECT_EQ(GetResolutionClass(), ResolutionClass::kVga);
}

TEST_F(ScreenScaleTest, At131DpiOneStaysOneButSixtyBecomes82) {
    UseDpi(131, 131);
    EXPECT_EQ(ScaleX(1), 1);
    EXPECT_EQ(ScaleX(60), 82);
    EXPECT_EQ(GetResolutionClass(), ResolutionClass::kQvga);
}

TEST_F(ScreenScaleTest, VgaClassStartsAt144Dpi) {
    UseDpi(143, 143);
    EXPECT_EQ(GetResolutionClass(), ResolutionClass::kQvga);
    UseDpi(144, 144);
    EXPECT_EQ(GetResolutionClass(), ResolutionClass::kVga);
}

TEST_F(ScreenScaleTest, KeepSmallLeavesLengthsBelow136Dpi) {
    UseDpi(131, 131);
    EXPECT_EQ(ScaleX(60, true), 60);
    EXPECT_EQ(ScaleY(60, true), 60);
    UseDpi(192, 192);
    EXPECT_EQ(ScaleX(60, true), 120);
}

TEST_F(ScreenScaleTest, EachDirectionUsesItsOwnDpi) {
    UseDpi(96, 192);
    EXPECT_EQ(ScaleX(10), 10);
    EXPECT_EQ(ScaleY(10), 20);
}

TEST_F(ScreenScaleTest, NegativeLengthsRoundAwayFromZeroLikePositiveOnes) {
    UseDpi(131, 131);
    EXPECT_EQ(ScaleX(-60), -82);
    EXPECT_EQ(ScaleX(-1), -1);
    EXPECT_EQ(ScaleX(0), 0);
}

TEST_F(ScreenScaleTest, ForceDoubleDoublesWhateverTheDpi) {
    UseDpi(96, 96, true);
    EXPECT_EQ(ScaleX(60, true), 120);
    EXPECT_EQ(ScaleY(7), 14);
    EXPECT_EQ(GetResolutionClass(), ResolutionClass::kVga);
}

TEST_F(ScreenScaleTest, OnlyTheFirstInitialisationCounts) {
    UseDpi(96, 96, false);
    InitScreenScale(true);
    EXPECT_EQ(ScaleX(60), 60);
    // The dpi is read once: a later change of the screen is not seen until reset.
    plat::SetScreenDpi(192, 192);
    EXPECT_EQ(ScaleX(60), 60);
}

}  // namespace
}  // namespace tlw
