// Pictures of the controls on the composed screen at QVGA (96 dpi) and VGA
// (192 dpi): a dialog with a check box, an edit, a trackbar and a time
// picker, checked by the pixels each control draws and by their sizes
// doubling with the dots per inch. With TLW_PICTURE_DIR set the screens
// are also written there as PNG files to look at.
#include <cstdlib>
#include <fstream>

#include "platform/controls/button.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_view.h"
#include "platform/controls/trackbar.h"
#include "platform/gdi/gdi.h"
#include "platform/hardware/device_model.h"
#include "platform/shell/file_info.h"
#include "platform/window/compositor.h"
#include "controls_test_support.h"

namespace {

using namespace plat;

const char kPanel[] =
    "DIALOG 0, 0, 124, 110\n"
    "STYLE WS_POPUP | WS_CAPTION\n"
    "CAPTION \"Controls\"\n"
    "BEGIN\n"
    "    AUTOCHECKBOX \"Vibrate\", 10, 6, 6, 80, 12\n"
    "    EDITTEXT 11, 6, 22, 100, 14, ES_PASSWORD\n"
    "    CONTROL \"\", 12, \"msctls_trackbar32\", WS_TABSTOP, 6, 42, 110, 20\n"
    "    CONTROL \"\", 13, \"SysDateTimePick32\", DTS_TIMEFORMAT | WS_TABSTOP, 6, 68, 60, 14\n"
    "    DEFPUSHBUTTON \"OK\", IDOK, 66, 90, 50, 14\n"
    "END\n";

uint32_t Screen(ColorRef c) { return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c); }

struct Picture {
    SurfaceImage screen;
    uint32_t At(int32_t x, int32_t y) const { return screen.pixels[static_cast<size_t>(y) * screen.width + x]; }
    // Pixels of one colour inside a screen rectangle.
    int Count(const Rect& r, ColorRef c, bool other = false) const {
        int n = 0;
        for (int32_t y = std::max(0, r.top); y < std::min(screen.height, r.bottom); ++y)
            for (int32_t x = std::max(0, r.left); x < std::min(screen.width, r.right); ++x) n += (At(x, y) == Screen(c)) != other;
        return n;
    }
    // The columns of a row span holding the colour: first and last (-1 when none).
    std::pair<int32_t, int32_t> Span(int32_t y, int32_t left, int32_t right, ColorRef c) const {
        int32_t first = -1, last = -1;
        for (int32_t x = left; x < right; ++x)
            if (At(x, y) == Screen(c)) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
};

class ControlsPictureTest : public ctltest::ControlTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        scale_ = GetParam();
        if (scale_ == 2) {
            std::ofstream(device_.StateDir() / "model") << "name=vga\nscreen=480x640\ndpi=192\n";
            SetScreenSize(480, 640);
            SetScreenDpi(192, 192);
            MoveWindow(parent_, 0, 52, 480, 536, true);
        }
    }
    void TearDown() override {
        SetScreenSize(240, 320);
        SetScreenDpi(96, 96);
        ControlTest::TearDown();
    }

    Picture Shoot(const char* name) {
        PumpMessagesUntilIdle();
        Picture p;
        ComposeScreen(&p.screen);
        if (const char* dir = std::getenv("TLW_PICTURE_DIR"))
            SaveScreenPng(std::string(dir) + "/" + name + (scale_ == 2 ? "_vga.png" : "_qvga.png"));
        return p;
    }
    static Rect ScreenRect(Hwnd hwnd) {
        Rect r;
        GetWindowRect(hwnd, &r);
        return r;
    }

    int scale_ = 1;
};

TEST_P(ControlsPictureTest, DialogOfControls) {
    DialogTemplate tmpl;
    std::string error;
    ASSERT_TRUE(ParseDialogTemplate(std::string_view(kPanel), &tmpl, &error)) << error;
    Hwnd dialog = CreateDialogIndirectParam(tmpl, parent_, nullptr, 0);
    ASSERT_TRUE(dialog);
    ShowWindow(dialog, SW_SHOW);
    Hwnd box = GetDlgItem(dialog, 10), edit = GetDlgItem(dialog, 11), bar = GetDlgItem(dialog, 12),
         picker = GetDlgItem(dialog, 13), ok = GetDlgItem(dialog, IDOK);
    SendMessage(bar, TBM_SETRANGE, 0, MakeLParam(0, 10));
    SendMessage(picker, DTM_SETFORMAT, 0, reinterpret_cast<LParam>(u"HH:mm"));
    SystemTime st = GetLocalTime();
    st.hour = 7;
    st.minute = 45;
    SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LParam>(&st));
    Picture before = Shoot("controls_before");

    // The dialog sits in the work area, centred, with the caption's rule.
    Rect d = ScreenRect(dialog);
    ScreenLayout layout = CurrentScreenLayout();
    EXPECT_LE(std::abs(d.left + d.right - layout.screen.cx), 1);
    EXPECT_GE(d.top, layout.work.top);
    // Sizes follow the dots per inch: the check box's square is 13 units.
    Rect b = ScreenRect(box);
    int32_t boxTop = b.top + (b.bottom - b.top - 13 * scale_) / 2;
    EXPECT_EQ(before.At(b.left, boxTop), Screen(Rgb(0, 0, 0)));
    EXPECT_EQ(before.At(b.left + 13 * scale_ - 1, boxTop + 13 * scale_ - 1), Screen(Rgb(0, 0, 0)));
    EXPECT_EQ(before.At(b.left + 13 * scale_, boxTop + 6 * scale_), Screen(Rgb(255, 255, 255)));
    Rect inside{b.left + 2, boxTop + 2, b.left + 13 * scale_ - 2, boxTop + 13 * scale_ - 2};
    EXPECT_EQ(before.Count(inside, Rgb(0, 0, 0)), 0);  // unchecked: empty
    // The first tab stop (the check box) has the focus: a dotted frame by its label.
    EXPECT_EQ(GetFocus(), box);
    // The trackbar's thumb stands at the left end (position 0).
    Rect t = ScreenRect(bar);
    int32_t middle = (t.top + t.bottom) / 2;
    auto thumbBefore = before.Span(middle, t.left, t.right, Rgb(0, 0, 0));
    ASSERT_GE(thumbBefore.first, 0);
    EXPECT_LT(thumbBefore.first - t.left, (t.right - t.left) / 8);
    // The default button wears a double frame.
    Rect o = ScreenRect(ok);
    EXPECT_EQ(before.At(o.left + 1, (o.top + o.bottom) / 2), Screen(Rgb(0, 0, 0)));
    EXPECT_EQ(before.At(o.left + 2, (o.top + o.bottom) / 2), Screen(Rgb(220, 220, 220)));

    // Check, type a masked text, move the thumb to the end, focus the picker's minutes.
    PostMessage(box, WM_KEYDOWN, VK_SPACE, 1);
    PostMessage(box, WM_KEYUP, VK_SPACE, 1);
    for (char16_t c : std::u16string(u"1234")) PostMessage(edit, WM_CHAR, c, 1);
    SendMessage(bar, TBM_SETPOS, 1, 10);
    SetFocus(picker);
    PostMessage(picker, WM_KEYDOWN, VK_RIGHT, 1);
    Picture after = Shoot("controls_after");
    EXPECT_GT(after.Count(inside, Rgb(0, 0, 0)), 0);  // the tick
    auto thumbAfter = after.Span(middle, t.left, t.right, Rgb(0, 0, 0));
    EXPECT_GT(thumbAfter.first - t.left, (t.right - t.left) * 3 / 4);
    // Four stars in the edit, no caret (the picker has the focus).
    Rect e = ScreenRect(edit);
    Rect text{e.left + 1, e.top + 1, e.right - 1, e.bottom - 1};
    EXPECT_EQ(before.Count(text, Rgb(255, 255, 255), true), 0);
    EXPECT_GT(after.Count(text, Rgb(255, 255, 255), true), 8 * scale_);
    // The picker's minutes are highlighted, right of its hours.
    Rect p = ScreenRect(picker);
    auto field = after.Span((p.top + p.bottom) / 2, p.left, p.right, Rgb(10, 80, 180));
    ASSERT_GE(field.first, 0);
    EXPECT_GT(field.first - p.left, 12 * scale_);
    DestroyWindow(dialog);
}

TEST_P(ControlsPictureTest, ReportListWithIconsAndASelectedRow) {
    int32_t width = 200 * scale_, height = 120 * scale_;
    Hwnd list = CreateWindow(kListViewClass, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 10, 10, width, height,
                             parent_);
    ASSERT_TRUE(list);
    SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, SystemImageList(true).value);
    SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LvColumn column;
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = width - 12 * scale_;
    column.pszText = const_cast<char16_t*>(u"Name");
    SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LParam>(&column));
    const char16_t* names[] = {u"My Documents", u"ring.wav", u"Tallowd.exe"};
    const int32_t icons[] = {kIconFolder, kIconSound, kIconProgram};
    for (int32_t i = 0; i < 3; ++i) {
        LvItem item;
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = const_cast<char16_t*>(names[i]);
        item.iImage = icons[i];
        SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LParam>(&item));
    }
    SetFocus(list);
    LvItem state;
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LParam>(&state));
    Picture p = Shoot("list");
    Rect l = ScreenRect(list);
    Rect rows[3];
    for (int32_t i = 0; i < 3; ++i) {
        rows[i].left = LVIR_BOUNDS;
        SendMessage(list, LVM_GETITEMRECT, static_cast<WParam>(i), reinterpret_cast<LParam>(&rows[i]));
    }
    // The rows are at least as tall as the small icons.
    int32_t iconWidth = 0, iconHeight = 0;
    ImageList_GetIconSize(SystemImageList(true), &iconWidth, &iconHeight);
    EXPECT_GE(rows[0].bottom - rows[0].top, iconHeight + 2);
    // The folder icon's yellow in the first row, at the left.
    Rect firstIcon{l.left, l.top + rows[0].top, l.left + 24 * scale_, l.top + rows[0].bottom};
    EXPECT_GT(p.Count(firstIcon, Rgb(245, 210, 95)), 20 * scale_ * scale_);
    // The selected second row is highlighted across, the others are not.
    int32_t y1 = l.top + rows[1].top + 1;
    EXPECT_EQ(p.At(l.left + width / 2 + 20 * scale_, y1), Screen(Rgb(10, 80, 180)));
    EXPECT_EQ(p.At(l.left + width / 2 + 20 * scale_, l.top + rows[2].top + 1), Screen(Rgb(255, 255, 255)));
    // The header's face above the rows.
    EXPECT_EQ(p.At(l.left + width - 20 * scale_, l.top + 2), Screen(Rgb(220, 220, 220)));
    DestroyWindow(list);
}

INSTANTIATE_TEST_SUITE_P(Screens, ControlsPictureTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& screen) { return screen.param == 1 ? "Qvga" : "Vga"; });

}  // namespace
