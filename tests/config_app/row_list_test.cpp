// The row list's editing, driven in-process with the stylus and key
// messages a phone sends: what each row kind does with a tap, the keys and
// typed text, the value written through the row and the notification the
// page gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/graphics/screen_scale.h"
#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "config_app/row_list.h"
#include "config_app/row_paint.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

constexpr int32_t kTestPage = 90;

// What the test page edits and what it was told.
struct TestValues {
    int32_t choice = 10;
    FixedString<8> text;
    int32_t number = 5;
    bool check = false;
    FixedString<6> time;
    int32_t slider = 2;
    bool fileCheck = false;
    FixedString<40> file;
    bool slot = true;
    std::vector<RowEvent> events;
};
TestValues& Values() {
    static TestValues values;
    return values;
}

enum TestRow { kChoice, kText, kNumber, kCheck, kHeading, kTime, kSlider, kFile, kSlot, kTab, kReadOnly };

void BuildTestPage(ConfigAppState&, std::vector<Row>& rows) {
    TestValues& v = Values();
    rows.push_back(ChoiceRow(u"Choice", &v.choice, {{u"Ten", 10}, {u"Twenty", 20}, {u"Thirty", 30}}));
    rows.push_back(TextRow(RowKind::kText, u"Text", v.text));
    rows.push_back(NumberRow(u"Number", &v.number, 4, 64));
    rows.push_back(CheckRow(u"Check", &v.check));
    rows.push_back(HeadingRow(u"Heading"));
    rows.push_back(TextRow(RowKind::kTime, u"Time", v.time));
    rows.push_back(SliderRow(u"Slider", &v.slider, 0, 4));
    Row file = TextRow(RowKind::kFile, u"File", v.file);
    file.check = &v.fileCheck;
    rows.push_back(file);
    Row slot;
    slot.kind = RowKind::kTodaySlot;
    slot.label = u"Slot";
    slot.check = &v.slot;
    rows.push_back(slot);
    Row tab;
    tab.kind = RowKind::kTabHeader;
    tab.label = u"Current";
    tab.second = u"Previous";
    tab.secondNext = u"Next";
    rows.push_back(tab);
    Row locked = CheckRow(u"Locked", &v.check);
    locked.readOnly = true;
    rows.push_back(locked);
}

void RecordEvent(ConfigAppState&, const RowEvent& event) { Values().events.push_back(event); }

PageHandler MakeTestPage() {
    PageHandler h;
    h.page = kTestPage;
    h.titleId = 1;
    h.build = BuildTestPage;
    h.rowEvent = RecordEvent;
    return h;
}

class RowListTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetScreenSize(240, 320);
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
        RegisterPage(MakeTestPage());
        Values() = TestValues{};
        Values().text = u"abc";
        Values().time = u"07:30";
        Values().file = u"\\Windows\\ring.wav";
        ConfigAppState& app = ResetApp();
        app.language.text[127] = u"Enter a number from %d to %d.";
        plat::WndClass c;
        c.className = kConfigClass;
        c.proc = MainWindowProc;
        plat::RegisterClass(c);
        app.mainWindow = plat::CreateWindow(kConfigClass, kConfigTitle, plat::WS_VISIBLE, 0, 26, 240, 400, {});
        ASSERT_TRUE(app.mainWindow);
        ASSERT_TRUE(CreateRowList(app));
        ShowPage(app, kTestPage);
    }
    void TearDown() override {
        plat::DestroyWindow(App().mainWindow);
        plat::PumpMessagesUntilIdle();
        plat::UnregisterClass(kConfigClass);
        ResetApp();
    }
    // A tap at x (pixels) on a row.
    void Tap(int32_t row, int32_t x = 40) {
        plat::Rect r = RowRect(App(), row);
        int32_t y = (r.top + r.bottom) / 2;
        plat::SendMessage(App().rowList, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(x, y));
        plat::SendMessage(App().rowList, plat::WM_LBUTTONUP, 0, plat::MakePointParam(x, y));
    }
    void Key(uint32_t vk) { plat::SendMessage(App().rowList, plat::WM_KEYDOWN, vk, 1); }
    void Type(std::u16string_view text) {
        for (char16_t c : text) plat::SendMessage(App().rowList, plat::WM_CHAR, c, 1);
    }
    int32_t Right() {
        plat::Rect r;
        plat::GetClientRect(App().rowList, &r);
        return r.right;
    }
    const RowEvent& Last() { return Values().events.back(); }

    TempDevice device_;
};

TEST_F(RowListTest, ChoiceOpensItsEntriesAndStepsWithTheKeys) {
    TestValues& v = Values();
    Tap(kChoice);
    ASSERT_EQ(App().list.choiceOpen, kChoice);
    EXPECT_EQ(App().list.choiceHot, 0);
    Key(plat::VK_DOWN);
    Key(plat::VK_DOWN);
    Key(plat::VK_RETURN);
    EXPECT_EQ(App().list.choiceOpen, -1);
    EXPECT_EQ(v.choice, 30);
    ASSERT_EQ(v.events.size(), 1u);
    EXPECT_EQ(Last().code, kRowValueChanged);
    EXPECT_EQ(Last().row, kChoice);
    EXPECT_EQ(Last().value, 30) << "the entry's value, not its index";

    Key(plat::VK_LEFT);
    EXPECT_EQ(v.choice, 20);
    Key(plat::VK_RIGHT);
    Key(plat::VK_RIGHT);  // already the last entry
    EXPECT_EQ(v.choice, 30);
    EXPECT_EQ(v.events.size(), 3u) << "no notification when nothing changed";

    Tap(kChoice);
    Tap(kReadOnly);  // a tap outside the open entries closes them unchanged
    EXPECT_EQ(App().list.choiceOpen, -1);
    EXPECT_EQ(v.choice, 30);
}

TEST_F(RowListTest, TypingReplacesTheSelectedTextAndEscapeRestoresIt) {
    TestValues& v = Values();
    Tap(kText);
    ASSERT_EQ(App().list.editing, kText);
    Type(u"xy");
    EXPECT_EQ(App().list.editBuffer, u"xy") << "the first character replaces the whole text";
    Key(plat::VK_ESCAPE);
    EXPECT_EQ(v.text.View(), u"abc");
    EXPECT_TRUE(v.events.empty());

    Tap(kText);
    Key(plat::VK_BACK);  // clears the selected text
    Type(u"1234567890");
    Key(plat::VK_RETURN);
    EXPECT_EQ(v.text.View(), u"1234567") << "cut to the field's capacity";
    ASSERT_EQ(v.events.size(), 1u);
    EXPECT_EQ(Last().code, kRowValueChanged);

    Tap(kText);
    Type(u"q");
    Tap(kCheck);  // tapping another row commits the text first
    EXPECT_EQ(v.text.View(), u"q");
    EXPECT_TRUE(v.check);
}

TEST_F(RowListTest, NumbersOutsideTheirRangeAreRefusedAndKeepTheValue) {
    TestValues& v = Values();
    Tap(kNumber);
    Type(u"99");
    Key(plat::VK_RETURN);
    EXPECT_EQ(v.number, 5);
    EXPECT_TRUE(v.events.empty());
    Tap(kNumber);
    Type(u"a-1");  // neither letters nor a minus below a zero minimum are taken
    EXPECT_EQ(App().list.editBuffer, u"1");
    Type(u"2");
    Key(plat::VK_RETURN);
    EXPECT_EQ(v.number, 12);
    EXPECT_EQ(Last().value, 12);
    Key(plat::VK_RIGHT);
    EXPECT_EQ(v.number, 13);
}

TEST_F(RowListTest, TimesAreStoredAsHoursAndMinutes) {
    TestValues& v = Values();
    Tap(kTime);
    Type(u"2460");
    Key(plat::VK_RETURN);
    EXPECT_EQ(v.time.View(), u"07:30") << "no such time";
    Tap(kTime);
    Type(u"915");
    Key(plat::VK_RETURN);
    EXPECT_EQ(v.time.View(), u"07:30") << "three digits are no time";
    Tap(kTime);
    Type(u"9:05");
    Key(plat::VK_RETURN);
    EXPECT_EQ(v.time.View(), u"09:05");
    Key(plat::VK_LEFT);
    Key(plat::VK_LEFT);
    Key(plat::VK_LEFT);
    Key(plat::VK_LEFT);
    Key(plat::VK_LEFT);
    Key(plat::VK_LEFT);
    EXPECT_EQ(v.time.View(), u"08:59");
    v.time = u"23:59";
    Key(plat::VK_RIGHT);
    EXPECT_EQ(v.time.View(), u"00:00") << "the minutes wrap around midnight";
}

TEST_F(RowListTest, SliderTakesThePositionOfTheTapAndTheKeysStayInRange) {
    TestValues& v = Values();
    RowZones z = RowZonesOf(App().rows[kSlider], RowRect(App(), kSlider));
    Tap(kSlider, z.track.right);
    EXPECT_EQ(v.slider, 4);
    Tap(kSlider, z.track.left);
    EXPECT_EQ(v.slider, 0);
    Key(plat::VK_LEFT);
    EXPECT_EQ(v.slider, 0);
    Tap(kSlider, (z.track.left + z.track.right) / 2);
    EXPECT_EQ(v.slider, 2);
}

TEST_F(RowListTest, ZonesOfFileSlotAndTabRowsSendTheirOwnNotifications) {
    TestValues& v = Values();
    RowZones file = RowZonesOf(App().rows[kFile], RowRect(App(), kFile));
    Tap(kFile, file.check.left + 2);
    EXPECT_TRUE(v.fileCheck);
    EXPECT_EQ(Last().code, kRowToggled);
    Tap(kFile, Right() - 10);
    EXPECT_EQ(Last().code, kRowActivated);
    EXPECT_TRUE(Last().flag) << "the row was already selected";
    EXPECT_TRUE(v.fileCheck);

    Tap(kSlot, Right() - 5);
    EXPECT_EQ(Last().code, kRowSlotMove);
    EXPECT_FALSE(Last().flag) << "the right zone moves down";
    Tap(kSlot, Right() - 30);
    EXPECT_EQ(Last().code, kRowSlotMove);
    EXPECT_TRUE(Last().flag);
    Tap(kSlot, 10);
    EXPECT_FALSE(v.slot);
    EXPECT_EQ(Last().code, kRowToggled);

    Tap(kTab, 5);
    EXPECT_EQ(Last().code, kRowTabSide);
    EXPECT_FALSE(Last().flag);
    Tap(kTab, Right() - 5);
    EXPECT_TRUE(Last().flag);
    size_t count = v.events.size();
    Tap(kTab, Right() / 2);
    EXPECT_EQ(v.events.size(), count) << "the middle is no side";
}

TEST_F(RowListTest, HeadingsAndReadOnlyRowsAreNotEdited) {
    TestValues& v = Values();
    Tap(kHeading);
    EXPECT_NE(App().list.selected, kHeading);
    Tap(kReadOnly);
    EXPECT_FALSE(v.check);
    EXPECT_TRUE(v.events.empty());
    // The keys skip the heading.
    SelectRow(App(), kCheck);
    Key(plat::VK_DOWN);
    EXPECT_EQ(App().list.selected, kTime);
    Key(plat::VK_UP);
    EXPECT_EQ(App().list.selected, kCheck);
}

TEST(RowEventTest, PackedParametersReadBack) {
    for (RowEvent e : {RowEvent{kRowValueChanged, 17, 800, false}, RowEvent{kRowValueChanged, 3, -1, false},
                       RowEvent{kRowToggled, 99, 0, false}, RowEvent{kRowSlotMove, 12, 0, true},
                       RowEvent{kRowTabSide, 0, 0, true}, RowEvent{kRowActivated, 5, 0, false}}) {
        RowEvent back = UnpackRowEvent(static_cast<uint32_t>(e.code), PackRowEvent(e));
        EXPECT_EQ(back.code, e.code);
        EXPECT_EQ(back.row, e.row);
        EXPECT_EQ(back.value, e.value);
        EXPECT_EQ(back.flag, e.flag);
    }
    EXPECT_EQ(PackRowEvent({kRowSlotMove, 4, 0, true}), 65536 + 4);
    EXPECT_EQ(PackRowEvent({kRowValueChanged, 4, 2, false}), (2 << 16) + 4);
}

}  // namespace
}  // namespace tlw
