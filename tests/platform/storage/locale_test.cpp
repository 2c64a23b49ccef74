// The locale's short date and the date and time pictures.
#include <gtest/gtest.h>

#include "base/text.h"
#include "platform/storage/locale.h"
#include "support/system_time_fields.h"

namespace {

std::string Utf8(const std::u16string& text) { return tlw::Utf16ToUtf8(text); }

// Every test starts and ends in the default locale.
class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plat::SetLocaleName("en-US")); }
    void TearDown() override { plat::SetLocaleName("en-US"); }
};

TEST_F(LocaleTest, ShortDateFollowsTheLocale) {
    plat::SystemTime t = Time(2010, 1, 5, 14, 3);
    EXPECT_EQ(plat::LocaleName(), "en-US");
    EXPECT_EQ(Utf8(plat::GetShortDateString(t)), "1/5/2010");
    EXPECT_EQ(Utf8(plat::GetShortDateString(Time(2010, 12, 25))), "12/25/2010");
    ASSERT_TRUE(plat::SetLocaleName("de-DE"));
    EXPECT_EQ(Utf8(plat::GetShortDateString(t)), "05.01.2010");
    ASSERT_TRUE(plat::SetLocaleName("en-gb"));
    EXPECT_EQ(plat::LocaleName(), "en-GB");
    EXPECT_EQ(Utf8(plat::GetShortDateString(t)), "05/01/2010");
}

TEST_F(LocaleTest, UnknownLocaleIsRefusedAndChangesNothing) {
    EXPECT_FALSE(plat::SetLocaleName("fr-FR"));
    EXPECT_FALSE(plat::SetLocaleName(""));
    EXPECT_FALSE(plat::SetLocaleName("en-US "));
    EXPECT_EQ(plat::LocaleName(), "en-US");
}

TEST_F(LocaleTest, InvalidDatesFormatAsNothing) {
    EXPECT_EQ(plat::GetShortDateString(Time(2011, 2, 29)), u"");
    EXPECT_EQ(plat::FormatTimeString(Time(2010, 1, 1, 24), u"HH:mm:ss"), u"");
    EXPECT_EQ(plat::FormatTimeString(Time(2010, 1, 1, 0, 60), u"HH:mm:ss"), u"");
}

TEST_F(LocaleTest, DatePictures) {
    plat::SystemTime t = Time(2010, 9, 6);  // a Monday
    EXPECT_EQ(Utf8(plat::FormatDateString(t, u"yyyy_MM_dd")), "2010_09_06");
    EXPECT_EQ(Utf8(plat::FormatDateString(t, u"d.M.yy")), "6.9.10");
    EXPECT_EQ(Utf8(plat::FormatDateString(Time(2005, 3, 1), u"y yy")), "5 05");
    EXPECT_EQ(Utf8(plat::FormatDateString(t, u"dddd, MMMM d")), "Monday, September 6");
    EXPECT_EQ(Utf8(plat::FormatDateString(t, u"ddd MMM")), "Mon Sep");
    EXPECT_EQ(Utf8(plat::FormatDateString(t, u"'day' d 'of' MMMM")), "day 6 of September");
    ASSERT_TRUE(plat::SetLocaleName("de-DE"));
    EXPECT_EQ(Utf8(plat::FormatDateString(Time(2010, 3, 7), u"dddd, d. MMMM yyyy")), "Sonntag, 7. M\u00e4rz 2010");
}

TEST_F(LocaleTest, TimePictures) {
    plat::SystemTime t = Time(2010, 1, 1, 9, 5, 7);
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"HH:mm:ss")), "09:05:07");
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"H:m:s")), "9:5:7");
    EXPECT_EQ(Utf8(plat::FormatTimeString(Time(2010, 1, 1, 0, 30), u"hh:mm tt")), "12:30 AM");
    EXPECT_EQ(Utf8(plat::FormatTimeString(Time(2010, 1, 1, 12, 0), u"h:mm tt")), "12:00 PM");
    EXPECT_EQ(Utf8(plat::FormatTimeString(Time(2010, 1, 1, 13, 0), u"h t")), "1 P");
    EXPECT_EQ(Utf8(plat::FormatTimeString(Time(2010, 1, 1, 23, 59, 59), u"HH:mm:ss")), "23:59:59");
}

TEST_F(LocaleTest, QuotedTextAndOtherCharactersAreCopied) {
    plat::SystemTime t = Time(2010, 1, 1, 9, 5, 7);
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"HH'h'mm")), "09h05");
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"HH''mm")), "09'05");
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"'it''s' H")), "it's 9");
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"HH 'open")), "09 open");
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"[HH] x")), "[09] x");
    EXPECT_EQ(Utf8(plat::FormatTimeString(t, u"")), "");
}

}  // namespace
