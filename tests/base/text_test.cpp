// The fixed-capacity string and the shared text helpers.
#include <gtest/gtest.h>

#include "base/fixed_string.h"
#include "base/text.h"

namespace {

TEST(FixedString, AssignmentCutsToCapacityAndKeepsTheTerminator) {
    tlw::FixedString<6> s;
    EXPECT_FALSE(s.Assign(u"1234567"));
    EXPECT_EQ(s.View(), u"12345");
    EXPECT_EQ(s.text[5], 0);
    EXPECT_TRUE(s.Assign(u"ab"));
    EXPECT_FALSE(s.Append(u"cdefg"));
    EXPECT_EQ(s.View(), u"abcde");
    tlw::FixedString<3> small;
    small = s;
    EXPECT_EQ(small, u"ab");
    s.Clear();
    EXPECT_TRUE(s.Empty());
}

TEST(Text, Utf8AndUtf16ConvertBothWays) {
    std::u16string wide = u"Gr\u00fc\u00dfe \u20ac \U0001F600";
    EXPECT_EQ(tlw::Utf8ToUtf16(tlw::Utf16ToUtf8(wide)), wide);
    EXPECT_EQ(tlw::Utf16ToUtf8(u"\u00e4"), "\xc3\xa4");
    EXPECT_EQ(tlw::Utf8ToUtf16("a\xff" "b"), u"a\ufffdb");      // invalid byte
    EXPECT_EQ(tlw::Utf8ToUtf16("\xe2\x82"), u"\ufffd\ufffd");   // cut sequence
}

TEST(Text, ParseIntReadsLeadingDigitsWithSign) {
    EXPECT_EQ(tlw::ParseInt(u"42"), 42);
    EXPECT_EQ(tlw::ParseInt(u"-17,3"), -17);
    EXPECT_EQ(tlw::ParseInt(u"  +8x"), 8);
    EXPECT_EQ(tlw::ParseInt(u"x8"), 0);
    EXPECT_EQ(tlw::ParseInt(u""), 0);
    EXPECT_EQ(tlw::ParseInt(u"-2147483648"), INT32_MIN);
}

TEST(Text, ParseIntSaturatesAndSkipsEveryKindOfLeadingWhiteSpace) {
    // Beyond 32 bits the value stays at the nearest end instead of wrapping.
    EXPECT_EQ(tlw::ParseInt(u"2147483647"), INT32_MAX);
    EXPECT_EQ(tlw::ParseInt(u"2147483648"), INT32_MAX);
    EXPECT_EQ(tlw::ParseInt(u"4294967796"), INT32_MAX);  // wrapped to 500 once
    EXPECT_EQ(tlw::ParseInt(u"4294967297"), INT32_MAX);  // wrapped to 1 once
    EXPECT_EQ(tlw::ParseInt(u"99999999999999999999999999,5"), INT32_MAX);
    EXPECT_EQ(tlw::ParseInt(u"-2147483649"), INT32_MIN);
    EXPECT_EQ(tlw::ParseInt(u"-4294967295"), INT32_MIN);
    EXPECT_EQ(tlw::ParseInt(u"+0000000000000000000042"), 42);
    // Line ends, tabs, form feeds and the Unicode spaces all count as blanks.
    EXPECT_EQ(tlw::ParseInt(u"\r\n\v\f\t 7"), 7);
    EXPECT_EQ(tlw::ParseInt(u"\u00a0\u2003\u3000-8"), -8);
    // A sign must touch its digits; a blank after it ends the number.
    EXPECT_EQ(tlw::ParseInt(u"- 8"), 0);
    EXPECT_EQ(tlw::ParseInt(u"\u00a0x"), 0);
}

TEST(Text, CaseInsensitiveComparisonFoldsLatin1) {
    EXPECT_TRUE(tlw::EqualsNoCase(u"My Documents", u"MY DOCUMENTS"));
    EXPECT_TRUE(tlw::EqualsNoCase(u"\u00e4rger", u"\u00c4RGER"));
    EXPECT_FALSE(tlw::EqualsNoCase(u"abc", u"abd"));
    EXPECT_TRUE(tlw::StartsWithNoCase(u"Tallowd.INI", u"tallowd"));
    EXPECT_FALSE(tlw::StartsWith(u"ab", u"abc"));
}

TEST(Text, FormatCoversTheConversionsInUse) {
    EXPECT_EQ(tlw::Format(u"[profile%d]", {12}), u"[profile12]");
    EXPECT_EQ(tlw::Format(u"%02X:%02X", {10, 255}), u"0A:FF");
    EXPECT_EQ(tlw::Format(u"%s %s", {u"msg", u""}), u"msg ");
    EXPECT_EQ(tlw::Format(u"%d%%", {-5}), u"-5%");
    EXPECT_EQ(tlw::Format(u"%05d|%-4d|%4s", {-42, 7, u"ab"}), u"-0042|7   |  ab");
    EXPECT_EQ(tlw::Format(u"%u", {4000000000u}), u"4000000000");
    EXPECT_EQ(tlw::Format(u"%.2s|%d", {u"abc"}), u"ab|");  // missing argument: nothing
    EXPECT_EQ(tlw::Format(u"%q", {1}), u"%q");
}

}  // namespace
