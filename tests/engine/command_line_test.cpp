// The command line's numbers and what a second start hands over for them.
#include <gtest/gtest.h>

#include <memory>

#include "engine/command_line.h"
#include "engine/engine_messages.h"

namespace tlw {
namespace {

TEST(CommandLine, NumbersBeyondThirtyTwoBitsStayOutOfRange) {
    auto profiles = std::make_unique<ProfileTable>();
    profiles->count = 0;
    // Once read as 500 (a full re-evaluation) and 101 (a manual choice).
    EXPECT_EQ(ParseCommandLine(u"4294967796", *profiles), INT32_MAX);
    EXPECT_EQ(ParseCommandLine(u"4294967397", *profiles), INT32_MAX);
    EXPECT_EQ(ParseCommandLine(u"-4294966796", *profiles), INT32_MIN);
    // Such a number travels as a message number the engine does not know.
    HandOff h = HandOffFor(u"4294967796", ParseCommandLine(u"4294967796", *profiles));
    EXPECT_EQ(h.message, uint32_t{INT32_MAX});
    EXPECT_EQ(h.wParam, 0u);
    // Leading blanks of any kind before a number, as the platform reads it.
    EXPECT_EQ(ParseCommandLine(u"\t500", *profiles), 500);
    EXPECT_EQ(ParseCommandLine(u" 935", *profiles), 935);
}

}  // namespace
}  // namespace tlw
