// The report list view: rows and subitems, selection and focus by taps and
// keys with their notifications, owner-drawn rows, scrolling and ensuring
// a row is visible, and editing a row's text in place.
#include "platform/controls/list_view.h"

#include "platform/controls/edit.h"
#include "platform/gdi/gdi.h"
#include "controls_test_support.h"

namespace {

using namespace plat;
using ctltest::Codes;
using ctltest::Log;

// What the owner-drawing parent saw.
std::vector<uint32_t> g_drawn;         // rows drawn, in order
std::vector<uint32_t> g_drawnStates;   // their ODS_* states
std::vector<int32_t> g_changedRows;    // LVN_ITEMCHANGED rows
std::vector<uint32_t> g_changedStates; // their new states
int32_t g_measured = 0;                // WM_MEASUREITEM calls
LResult g_endEditAnswer = 1;
std::u16string g_endEditText;
bool g_endEditCancelled = false;

LResult OwnerProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_MEASUREITEM:
        ++g_measured;
        reinterpret_cast<MeasureItemStruct*>(lParam)->itemHeight = 30;
        return 1;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DrawItemStruct*>(lParam);
        g_drawn.push_back(dis->itemId);
        g_drawnStates.push_back(dis->itemState);
        return 1;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NmHdr*>(lParam);
        if (header->code == LVN_ITEMCHANGED) {
            auto* change = reinterpret_cast<NmListView*>(lParam);
            g_changedRows.push_back(change->iItem);
            g_changedStates.push_back(change->uNewState);
        }
        if (header->code == LVN_ENDLABELEDIT) {
            auto* info = reinterpret_cast<NmLvDispInfo*>(lParam);
            g_endEditCancelled = info->item.pszText == nullptr;
            if (info->item.pszText) g_endEditText = info->item.pszText;
            ctltest::ParentProc(hwnd, message, wParam, lParam);
            return g_endEditAnswer;
        }
        return ctltest::ParentProc(hwnd, message, wParam, lParam);
    }
    default:
        return ctltest::ParentProc(hwnd, message, wParam, lParam);
    }
}

class ListViewTest : public ctltest::ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        WndClass wc;
        wc.className = u"OwnerParent";
        wc.proc = &OwnerProc;
        RegisterClass(wc);
        owner_ = CreateWindow(u"OwnerParent", u"Owner", WS_VISIBLE, 0, 26, 240, 268, Hwnd{});
        g_drawn.clear();
        g_drawnStates.clear();
        g_changedRows.clear();
        g_changedStates.clear();
        g_measured = 0;
        g_endEditAnswer = 1;
        g_endEditText.clear();
        g_endEditCancelled = false;
        PumpMessagesUntilIdle();
        Log().clear();
    }
    void TearDown() override {
        DestroyWindow(owner_);
        ControlTest::TearDown();
    }

    // A list of `rows` rows "Row N" with a second column "N".
    Hwnd MakeList(Hwnd parent, uint32_t style, int32_t rows, int32_t height = 120) {
        Hwnd list = CreateWindow(kListViewClass, u"", style | LVS_REPORT | WS_CHILD | WS_VISIBLE, 0, 0, 200, height, parent);
        SetWindowLong(list, GWL_ID, 50);
        LvColumn column;
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        column.pszText = const_cast<char16_t*>(u"Name");
        EXPECT_EQ(SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LParam>(&column)), 0);
        column.cx = 60;
        column.pszText = const_cast<char16_t*>(u"No.");
        EXPECT_EQ(SendMessage(list, LVM_INSERTCOLUMN, 1, reinterpret_cast<LParam>(&column)), 1);
        for (int32_t i = 0; i < rows; ++i) {
            std::u16string name = u"Row " + std::u16string(1, static_cast<char16_t>(u'A' + i));
            LvItem item;
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = i;
            item.pszText = name.data();
            item.lParam = 100 + i;
            EXPECT_EQ(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LParam>(&item)), i);
            std::u16string number(1, static_cast<char16_t>(u'0' + i % 10));
            item.iSubItem = 1;
            item.pszText = number.data();
            SendMessage(list, LVM_SETITEMTEXT, static_cast<WParam>(i), reinterpret_cast<LParam>(&item));
        }
        PumpMessagesUntilIdle();
        Log().clear();
        g_changedRows.clear();
        g_changedStates.clear();
        return list;
    }
    static std::u16string ItemText(Hwnd list, int32_t row, int32_t subItem) {
        char16_t buffer[64] = {};
        LvItem item;
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = 64;
        SendMessage(list, LVM_GETITEMTEXT, static_cast<WParam>(row), reinterpret_cast<LParam>(&item));
        return buffer;
    }
    static int32_t Selected(Hwnd list) { return static_cast<int32_t>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WParam>(-1), LVNI_SELECTED)); }
    static Rect RowRect(Hwnd list, int32_t row) {
        Rect r;
        r.left = LVIR_BOUNDS;
        SendMessage(list, LVM_GETITEMRECT, static_cast<WParam>(row), reinterpret_cast<LParam>(&r));
        return r;
    }

    Hwnd owner_;
};

TEST_F(ListViewTest, RowsSubitemsAndTheirRecords) {
    Hwnd list = MakeList(parent_, LVS_SINGLESEL, 3);
    EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ItemText(list, 1, 0), u"Row B");
    EXPECT_EQ(ItemText(list, 1, 1), u"1");
    LvItem item;
    item.mask = LVIF_PARAM | LVIF_TEXT;
    item.iItem = 2;
    char16_t small[4];
    item.pszText = small;
    item.cchTextMax = 4;
    ASSERT_EQ(SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LParam>(&item)), 1);
    EXPECT_EQ(item.lParam, 102);
    EXPECT_EQ(std::u16string(small), u"Row");  // cut to the buffer
    // Inserting in the middle moves the rows after it.
    std::u16string name = u"New";
    item = LvItem{};
    item.mask = LVIF_TEXT;
    item.iItem = 1;
    item.pszText = name.data();
    EXPECT_EQ(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LParam>(&item)), 1);
    EXPECT_EQ(ItemText(list, 2, 0), u"Row B");
    item.iItem = 99;  // beyond the end: appended
    EXPECT_EQ(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LParam>(&item)), 4);
    item.iSubItem = 1;  // only whole rows are inserted
    EXPECT_EQ(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LParam>(&item)), -1);
    EXPECT_EQ(SendMessage(list, LVM_DELETEITEM, 0, 0), 1);
    EXPECT_EQ(SendMessage(list, LVM_DELETEITEM, 40, 0), 0);
    EXPECT_EQ(ItemText(list, 0, 0), u"New");
    EXPECT_EQ(SendMessage(list, LVM_DELETEALLITEMS, 0, 0), 1);
    EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 0);
    std::vector<uint32_t> codes = Codes(WM_NOTIFY);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LVN_DELETEITEM), 5);  // one and the four of "all"
}

TEST_F(ListViewTest, TapSelectsWithChangesThenClickAndBelowTheRowsClears) {
    Hwnd list = MakeList(owner_, LVS_SINGLESEL, 3);
    Rect second = RowRect(list, 1);
    Tap(list, 10, second.top + 2);
    EXPECT_EQ(Selected(list), 1);
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, static_cast<WParam>(-1), LVNI_FOCUSED), 1);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(g_changedRows, std::vector<int32_t>{1});
    EXPECT_EQ(g_changedStates, std::vector<uint32_t>{LVIS_SELECTED | LVIS_FOCUSED});
    std::vector<uint32_t> codes = Codes(WM_NOTIFY);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), NM_CLICK);
    g_changedRows.clear();
    Tap(list, 10, 115);  // below the three rows
    EXPECT_EQ(Selected(list), -1);
    EXPECT_EQ(g_changedRows, std::vector<int32_t>{1});
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, SecondTapOnTheSameRowIsADoubleTap) {
    Hwnd list = MakeList(owner_, LVS_SINGLESEL, 3);
    Rect first = RowRect(list, 0);
    Tap(list, 10, first.top + 2);
    Tap(list, 10, first.top + 2);
    std::vector<uint32_t> codes = Codes(WM_NOTIFY);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), NM_CLICK), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), NM_DBLCLK), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LVN_ITEMACTIVATE), 1);
    Tap(list, 10, first.top + 2);  // a third tap starts over
    codes = Codes(WM_NOTIFY);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), NM_CLICK), 2);
}

TEST_F(ListViewTest, KeysMoveTheSelectionAndKeepItInView) {
    Hwnd list = MakeList(owner_, LVS_SINGLESEL, 12, 100);
    int32_t page = static_cast<int32_t>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 1);
    ASSERT_LT(page, 12);
    SetFocus(list);
    Key(list, VK_DOWN);  // nothing focused yet: the first row
    EXPECT_EQ(Selected(list), 0);
    for (int32_t i = 0; i < page + 1; ++i) Key(list, VK_DOWN);
    EXPECT_EQ(Selected(list), page + 1);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 2);  // scrolled just enough
    Key(list, VK_END);
    EXPECT_EQ(Selected(list), 11);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 12 - page);
    Key(list, VK_DOWN);  // stays at the last row
    EXPECT_EQ(Selected(list), 11);
    Key(list, VK_RETURN);
    std::vector<uint32_t> codes = Codes(WM_NOTIFY);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LVN_KEYDOWN), page + 5);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), NM_RETURN), 1);
    // Ensure-visible and scrolling by the program.
    SendMessage(list, LVM_ENSUREVISIBLE, 0, 0);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 0);
    SendMessage(list, LVM_SCROLL, 0, 1000);  // far down: the last page
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 12 - page);
}

TEST_F(ListViewTest, ScrollBarPagesAndDrags) {
    Hwnd list = MakeList(owner_, LVS_SINGLESEL | LVS_NOCOLUMNHEADER, 30, 100);
    int32_t page = static_cast<int32_t>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
    Tap(list, 198, 98);  // the track below the thumb: a page down
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), page);
    EXPECT_EQ(Selected(list), -1);  // taps on the bar select nothing
    PenDown(list, 198, 0);           // the track above: a page up
    PenUp(list, 198, 0);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 0);
    PenDown(list, 198, 2);  // the thumb, dragged to the bottom
    PenMove(list, 198, 400);
    PenUp(list, 198, 400);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 30 - page);
}

TEST_F(ListViewTest, OwnerDrawnRowsAreMeasuredOnceAndDrawnByTheParent) {
    Hwnd list = MakeList(owner_, LVS_SINGLESEL | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER, 10, 100);
    EXPECT_EQ(RowRect(list, 1).top, 30);
    EXPECT_EQ(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0), 3);
    LvItem state;
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LParam>(&state));
    g_drawn.clear();
    g_drawnStates.clear();
    InvalidateRect(list, nullptr, true);
    PumpMessagesUntilIdle();
    EXPECT_EQ(g_drawn, (std::vector<uint32_t>{0, 1, 2, 3}));  // the fourth row shows in part
    EXPECT_EQ(g_drawnStates[1] & ODS_SELECTED, ODS_SELECTED);
    EXPECT_EQ(g_drawnStates[0] & ODS_SELECTED, 0u);
    EXPECT_EQ(g_measured, 1);
    SendMessage(list, WM_SETFONT, 0, 1);  // a new font asks again
    EXPECT_EQ(RowRect(list, 1).top, 30);
    EXPECT_EQ(g_measured, 2);
}

TEST_F(ListViewTest, LabelEditKeepsTextTheParentAcceptsAndEscapeCancels) {
    Hwnd list = MakeList(owner_, LVS_SINGLESEL | LVS_EDITLABELS, 3);
    Hwnd edit{static_cast<uint64_t>(SendMessage(list, LVM_EDITLABEL, 1, 0))};
    ASSERT_TRUE(edit);
    EXPECT_EQ(GetFocus(), edit);
    Type(edit, u"Car");  // the whole text was selected: replaced
    Key(edit, VK_RETURN);
    EXPECT_EQ(g_endEditText, u"Car");
    EXPECT_EQ(ItemText(list, 1, 0), u"Car");
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(GetFocus(), list);
    // Refused by the parent: the text stays.
    g_endEditAnswer = 0;
    edit = Hwnd{static_cast<uint64_t>(SendMessage(list, LVM_EDITLABEL, 0, 0))};
    Type(edit, u"Night");
    Key(edit, VK_RETURN);
    EXPECT_EQ(ItemText(list, 0, 0), u"Row A");
    // Escape cancels without text.
    g_endEditAnswer = 1;
    edit = Hwnd{static_cast<uint64_t>(SendMessage(list, LVM_EDITLABEL, 2, 0))};
    Type(edit, u"Day");
    Key(edit, VK_ESCAPE);
    EXPECT_TRUE(g_endEditCancelled);
    EXPECT_EQ(ItemText(list, 2, 0), u"Row C");
}

}  // namespace
