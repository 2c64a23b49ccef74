// The time picker with an "HH:mm" picture: setting and reading the time,
// stepping and typing fields, taps on fields and spin buttons, and the
// change notification.
#include "platform/controls/date_time_picker.h"

#include "controls_test_support.h"

namespace {

using namespace plat;
using ctltest::Codes;

class DateTimePickerTest : public ctltest::ControlTest {
protected:
    Hwnd MakeTimePicker() {
        Hwnd picker = Make(kDateTimePickClass, u"", DTS_TIMEFORMAT, 40, {4, 4, 124, 28});
        EXPECT_EQ(SendMessage(picker, DTM_SETFORMAT, 0, reinterpret_cast<LParam>(u"HH:mm")), 1);
        SystemTime st = GetLocalTime();
        st.hour = 0;
        st.minute = 0;
        st.second = 0;
        EXPECT_EQ(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LParam>(&st)), 1);
        return picker;
    }
    static SystemTime Time(Hwnd picker) {
        SystemTime st;
        EXPECT_EQ(SendMessage(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LParam>(&st)), GDT_VALID);
        return st;
    }
};

TEST_F(DateTimePickerTest, UpAndDownStepTheChosenFieldAndWrap) {
    Hwnd picker = MakeTimePicker();
    EXPECT_TRUE(ctltest::Log().empty());  // set by the program: no notification
    Key(picker, VK_DOWN);                 // hours 00 -> 23
    EXPECT_EQ(Time(picker).hour, 23);
    Key(picker, VK_RIGHT);                // to the minutes
    Key(picker, VK_DOWN);                 // 00 -> 59, the hour stays
    EXPECT_EQ(Time(picker).minute, 59);
    EXPECT_EQ(Time(picker).hour, 23);
    Key(picker, VK_UP);
    Key(picker, VK_UP);
    EXPECT_EQ(Time(picker).minute, 1);
    EXPECT_EQ(Codes(WM_NOTIFY), std::vector<uint32_t>(4, DTN_DATETIMECHANGE));
    Key(picker, VK_RIGHT);  // no field after the minutes: stays there
    Key(picker, VK_UP);
    EXPECT_EQ(Time(picker).minute, 2);
}

TEST_F(DateTimePickerTest, TypedDigitsFillAFieldAndMoveOn) {
    Hwnd picker = MakeTimePicker();
    Type(picker, u"0930");
    EXPECT_EQ(Time(picker).hour, 9);
    EXPECT_EQ(Time(picker).minute, 30);
    // A first digit that cannot start a two-digit hour fills the field at once.
    Key(picker, VK_LEFT);
    Type(picker, u"7");
    EXPECT_EQ(Time(picker).hour, 7);
    Type(picker, u"5");  // the minutes came next
    EXPECT_EQ(Time(picker).minute, 5);
    Key(picker, VK_LEFT);
    Type(picker, u"25");  // too many hours: the largest
    EXPECT_EQ(Time(picker).hour, 23);
}

TEST_F(DateTimePickerTest, TapsChooseAFieldAndSpinTheValue) {
    Hwnd picker = MakeTimePicker();
    Rect client;
    GetClientRect(picker, &client);
    Tap(picker, client.right - 2, 2);  // the upper spin button steps the first field (hours)
    EXPECT_EQ(Time(picker).hour, 1);
    EXPECT_EQ(GetFocus(), picker);
    Tap(picker, 60, 10);  // past the colon: the minutes
    Tap(picker, client.right - 2, client.bottom - 2);  // the lower spin button
    EXPECT_EQ(Time(picker).minute, 59);
    EXPECT_EQ(Time(picker).hour, 1);
}

TEST_F(DateTimePickerTest, InvalidTimeIsRefusedAndNoneOnlyWithShowNone) {
    Hwnd picker = MakeTimePicker();
    SystemTime bad = GetLocalTime();
    bad.hour = 24;
    EXPECT_EQ(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LParam>(&bad)), 0);
    EXPECT_EQ(Time(picker).hour, 0);
    bad = GetLocalTime();
    bad.month = 2;
    bad.day = 30;
    EXPECT_EQ(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LParam>(&bad)), 0);
    EXPECT_EQ(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0), 0);
    EXPECT_EQ(SendMessage(picker, DTM_GETSYSTEMTIME, 0, 0), static_cast<LResult>(GDT_ERROR));
    Hwnd optional = Make(kDateTimePickClass, u"", DTS_TIMEFORMAT | DTS_SHOWNONE, 41, {4, 40, 124, 64});
    EXPECT_EQ(SendMessage(optional, DTM_SETSYSTEMTIME, GDT_NONE, 0), 1);
    SystemTime st;
    EXPECT_EQ(SendMessage(optional, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LParam>(&st)), GDT_NONE);
}

TEST_F(DateTimePickerTest, DateFieldsKeepTheDayInsideTheMonth) {
    Hwnd picker = Make(kDateTimePickClass, u"", DTS_SHORTDATEFORMAT, 42, {4, 4, 164, 28});
    SendMessage(picker, DTM_SETFORMAT, 0, reinterpret_cast<LParam>(u"dd'.'MM'.'yyyy"));
    SystemTime st{2024, 1, 0, 31, 12, 0, 0, 0};
    ASSERT_EQ(SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LParam>(&st)), 1);
    Key(picker, VK_RIGHT);  // the month
    Key(picker, VK_UP);     // February 2024 has 29 days
    EXPECT_EQ(Time(picker).month, 2);
    EXPECT_EQ(Time(picker).day, 29);
    EXPECT_EQ(Time(picker).dayOfWeek, 4);  // a Thursday
}

}  // namespace
