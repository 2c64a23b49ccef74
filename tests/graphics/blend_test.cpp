#include "common/graphics/blend.h"

#include <gtest/gtest.h>

namespace tlw {
namespace {

TEST(BlendChannel, EndsOfTheAlphaRangeGiveSourceOrDestinationExactly) {
    for (uint32_t s = 0; s < 256; ++s)
        for (uint32_t d = 0; d < 256; ++d) {
            ASSERT_EQ(BlendChannel(s, d, 255), s) << "s=" << s << " d=" << d;
            ASSERT_EQ(BlendChannel(s, d, 0), d) << "s=" << s << " d=" << d;
        }
}

TEST(BlendChannel, HalfWhiteOverBlackIs128) {
    EXPECT_EQ(BlendChannel(255, 0, 128), 128);
    EXPECT_EQ(BlendChannel(0, 255, 128), 127);
    EXPECT_EQ(BlendChannel(200, 100, 127), 150);
}

// The shift form must equal (s*a + d*(255-a)) / 255 rounded to nearest for
// every input, since that is what every drawing routine relies on.
TEST(BlendChannel, EqualsDivisionBy255RoundedToNearest) {
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t s = 0; s < 256; s += 3)
            for (uint32_t d = 0; d < 256; d += 5) {
                uint32_t x = s * a + d * (255 - a);
                uint32_t expected = (2 * x + 255) / 510;
                ASSERT_EQ(BlendChannel(s, d, a), expected) << "s=" << s << " d=" << d << " a=" << a;
            }
}

TEST(BlendColour, BlendsEachChannelInPlatformOrder) {
    const Colour red = MakeColour(255, 0, 0), blue = MakeColour(0, 0, 255);
    EXPECT_EQ(red, 0x000000FFu);
    EXPECT_EQ(BlendColour(red, blue, 255), red);
    EXPECT_EQ(BlendColour(red, blue, 0), blue);
    EXPECT_EQ(BlendColour(red, blue, 128), MakeColour(128, 0, 127));
    EXPECT_EQ(BlendColour(MakeColour(10, 20, 30), MakeColour(110, 120, 130), 51), MakeColour(90, 100, 110));
}

}  // namespace
}  // namespace tlw
