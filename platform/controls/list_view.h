// The list view (class "SysListView32") in report form: rows of items
// with subitems in columns, an optional column header, row icons from an
// image list, owner-drawn rows, selection and focus, scrolling.
//
// A tap selects the row under it (and gives the list the focus); a tap
// below the rows clears the selection; a second tap on the same row soon
// after is a double tap (NM_DBLCLK, LVN_ITEMACTIVATE). Up and down move the
// focus and selection and scroll it into view; the action key sends
// NM_RETURN and LVN_ITEMACTIVATE. Every key first goes to the parent as
// LVN_KEYDOWN. Each change of a row's state sends LVN_ITEMCHANGED (an
// NmListView with the old and new state); a tap also sends NM_CLICK (an
// NmItemActivate) after the selection changed. The scroll bar at the right
// (when the rows do not fit) pages with a tap above or below its thumb and
// follows a drag of the thumb.
//
// With LVS_OWNERDRAWFIXED the parent draws each row: it is asked once for
// the row height (WM_MEASUREITEM with ODT_LISTVIEW; again after
// WM_SETFONT), and gets WM_DRAWITEM for each visible row with the row's
// rectangle across all columns, its state (ODS_SELECTED, ODS_FOCUS) and
// its lParam as itemData.
//
// LVM_EDITLABEL opens an edit over a row's text: the action key or the
// edit losing the focus ends it with LVN_ENDLABELEDIT carrying the new text
// (the parent answers nonzero to keep it), escape ends it with no text.
#pragma once

#include <cstdint>

#include "platform/controls/common_controls.h"
#include "platform/controls/image_list.h"
#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kListViewClass[] = u"SysListView32";

constexpr uint32_t LVS_ICON = 0x0000;
constexpr uint32_t LVS_REPORT = 0x0001;  // the only form drawn on this device
constexpr uint32_t LVS_TYPEMASK = 0x0003;
constexpr uint32_t LVS_SINGLESEL = 0x0004;
constexpr uint32_t LVS_SHOWSELALWAYS = 0x0008;
constexpr uint32_t LVS_SORTASCENDING = 0x0010;
constexpr uint32_t LVS_SORTDESCENDING = 0x0020;
constexpr uint32_t LVS_EDITLABELS = 0x0200;
constexpr uint32_t LVS_OWNERDRAWFIXED = 0x0400;
constexpr uint32_t LVS_NOSCROLL = 0x2000;
constexpr uint32_t LVS_NOCOLUMNHEADER = 0x4000;
constexpr uint32_t LVS_NOSORTHEADER = 0x8000;

constexpr uint32_t LVS_EX_GRIDLINES = 0x0001;
constexpr uint32_t LVS_EX_FULLROWSELECT = 0x0020;

// Row records.
constexpr uint32_t LVIF_TEXT = 0x0001;
constexpr uint32_t LVIF_IMAGE = 0x0002;
constexpr uint32_t LVIF_PARAM = 0x0004;
constexpr uint32_t LVIF_STATE = 0x0008;
constexpr uint32_t LVIF_INDENT = 0x0010;
constexpr uint32_t LVIS_FOCUSED = 0x0001;
constexpr uint32_t LVIS_SELECTED = 0x0002;

struct LvItem {
    uint32_t mask = 0;          // LVIF_* fields in use
    int32_t iItem = 0;          // row
    int32_t iSubItem = 0;       // column (0: the item itself)
    uint32_t state = 0;         // LVIS_* bits
    uint32_t stateMask = 0;     // which state bits count
    char16_t* pszText = nullptr;  // text (terminated); a buffer of cchTextMax for LVM_GETITEM
    int32_t cchTextMax = 0;     // the buffer's size in characters
    int32_t iImage = -1;        // image list index (-1: none)
    int64_t lParam = 0;         // the caller's value of the row
    int32_t iIndent = 0;        // indent in image widths
};

// Columns.
constexpr uint32_t LVCF_FMT = 0x0001;
constexpr uint32_t LVCF_WIDTH = 0x0002;
constexpr uint32_t LVCF_TEXT = 0x0004;
constexpr uint32_t LVCF_SUBITEM = 0x0008;
constexpr int32_t LVCFMT_LEFT = 0;
constexpr int32_t LVCFMT_RIGHT = 1;
constexpr int32_t LVCFMT_CENTER = 2;

struct LvColumn {
    uint32_t mask = 0;            // LVCF_* fields in use
    int32_t fmt = LVCFMT_LEFT;    // alignment
    int32_t cx = 0;               // width in pixels
    char16_t* pszText = nullptr;  // header text
    int32_t cchTextMax = 0;       // buffer size for LVM_GETCOLUMN
    int32_t iSubItem = 0;         // the subitem shown
};

// Messages (the wide forms).
constexpr uint32_t LVM_FIRST = 0x1000;
constexpr uint32_t LVM_SETBKCOLOR = LVM_FIRST + 1;
constexpr uint32_t LVM_GETIMAGELIST = LVM_FIRST + 2;   // wParam: LVSIL_*
constexpr uint32_t LVM_SETIMAGELIST = LVM_FIRST + 3;   // wParam: LVSIL_*; lParam: HImageList value; answers the old one
constexpr uint32_t LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr uint32_t LVM_DELETEITEM = LVM_FIRST + 8;     // wParam: row
constexpr uint32_t LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr uint32_t LVM_GETNEXTITEM = LVM_FIRST + 12;   // wParam: start row (-1: from the top); lParam: LVNI_*
constexpr uint32_t LVM_GETITEMRECT = LVM_FIRST + 14;   // wParam: row; lParam: Rect* (left = LVIR_*)
constexpr uint32_t LVM_HITTEST = LVM_FIRST + 18;       // lParam: LvHitTestInfo*; answers the row or -1
constexpr uint32_t LVM_ENSUREVISIBLE = LVM_FIRST + 19; // wParam: row
constexpr uint32_t LVM_SCROLL = LVM_FIRST + 20;        // lParam: pixels down (rounded to rows)
constexpr uint32_t LVM_REDRAWITEMS = LVM_FIRST + 21;   // wParam first, lParam last row
constexpr uint32_t LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr uint32_t LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr uint32_t LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;  // wParam: column; lParam: width (LVSCW_AUTOSIZE_USEHEADER: fill)
constexpr uint32_t LVM_SETTEXTCOLOR = LVM_FIRST + 36;
constexpr uint32_t LVM_SETTEXTBKCOLOR = LVM_FIRST + 38;
constexpr uint32_t LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr uint32_t LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr uint32_t LVM_SETITEMSTATE = LVM_FIRST + 43;  // wParam: row (-1: all); lParam: LvItem* (state, stateMask)
constexpr uint32_t LVM_GETITEMSTATE = LVM_FIRST + 44;  // wParam: row; lParam: mask
constexpr uint32_t LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr uint32_t LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
constexpr uint32_t LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;  // wParam: mask; lParam: bits
constexpr uint32_t LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr uint32_t LVM_GETITEM = LVM_FIRST + 75;
constexpr uint32_t LVM_SETITEM = LVM_FIRST + 76;
constexpr uint32_t LVM_INSERTITEM = LVM_FIRST + 77;    // lParam: LvItem*; answers the row or -1
constexpr uint32_t LVM_GETCOLUMN = LVM_FIRST + 95;
constexpr uint32_t LVM_SETCOLUMN = LVM_FIRST + 96;
constexpr uint32_t LVM_INSERTCOLUMN = LVM_FIRST + 97;  // wParam: column; lParam: LvColumn*; answers it or -1
constexpr uint32_t LVM_GETITEMTEXT = LVM_FIRST + 115;  // wParam: row; lParam: LvItem* (iSubItem, buffer)
constexpr uint32_t LVM_SETITEMTEXT = LVM_FIRST + 116;  // wParam: row; lParam: LvItem* (iSubItem, pszText)
constexpr uint32_t LVM_EDITLABEL = LVM_FIRST + 118;    // wParam: row (-1: end editing); answers the edit
constexpr uint32_t LVM_GETEDITCONTROL = LVM_FIRST + 24;

constexpr uint32_t LVSIL_NORMAL = 0;
constexpr uint32_t LVSIL_SMALL = 1;
constexpr uint32_t LVSIL_STATE = 2;

constexpr uint32_t LVNI_ALL = 0x0000;
constexpr uint32_t LVNI_FOCUSED = 0x0001;
constexpr uint32_t LVNI_SELECTED = 0x0002;
constexpr uint32_t LVNI_ABOVE = 0x0100;
constexpr uint32_t LVNI_BELOW = 0x0200;

constexpr int32_t LVIR_BOUNDS = 0;
constexpr int32_t LVIR_ICON = 1;
constexpr int32_t LVIR_LABEL = 2;

constexpr int32_t LVSCW_AUTOSIZE = -1;
constexpr int32_t LVSCW_AUTOSIZE_USEHEADER = -2;

constexpr uint32_t LVHT_NOWHERE = 0x0001;
constexpr uint32_t LVHT_ONITEMICON = 0x0002;
constexpr uint32_t LVHT_ONITEMLABEL = 0x0004;
constexpr uint32_t LVHT_ONITEM = 0x000E;
constexpr uint32_t LVHT_BELOW = 0x0008;

struct LvHitTestInfo {
    Point pt;           // the point, client coordinates
    uint32_t flags = 0; // LVHT_* answer
    int32_t iItem = -1; // the row hit (answer)
    int32_t iSubItem = 0;  // the column hit (answer)
};

// Notifications.
constexpr uint32_t LVN_FIRST = 0u - 100u;
constexpr uint32_t LVN_ITEMCHANGING = LVN_FIRST - 0u;
constexpr uint32_t LVN_ITEMCHANGED = LVN_FIRST - 1u;
constexpr uint32_t LVN_INSERTITEM = LVN_FIRST - 2u;
constexpr uint32_t LVN_DELETEITEM = LVN_FIRST - 3u;
constexpr uint32_t LVN_DELETEALLITEMS = LVN_FIRST - 4u;
constexpr uint32_t LVN_COLUMNCLICK = LVN_FIRST - 8u;
constexpr uint32_t LVN_ITEMACTIVATE = LVN_FIRST - 14u;
constexpr uint32_t LVN_KEYDOWN = LVN_FIRST - 55u;
constexpr uint32_t LVN_BEGINLABELEDIT = LVN_FIRST - 75u;
constexpr uint32_t LVN_ENDLABELEDIT = LVN_FIRST - 76u;

// LVN_ITEMCHANGED, LVN_INSERTITEM, LVN_DELETEITEM, LVN_COLUMNCLICK.
struct NmListView {
    NmHdr hdr;
    int32_t iItem = -1;      // the row (-1: none)
    int32_t iSubItem = 0;    // the column (LVN_COLUMNCLICK)
    uint32_t uNewState = 0;  // LVIS_* after
    uint32_t uOldState = 0;  // LVIS_* before
    uint32_t uChanged = 0;   // LVIF_STATE when the state changed
    Point ptAction;          // where the tap was
    int64_t lParam = 0;      // the row's lParam
};

// NM_CLICK, NM_DBLCLK, NM_RETURN, LVN_ITEMACTIVATE.
struct NmItemActivate {
    NmHdr hdr;
    int32_t iItem = -1;      // the row (-1: below the rows)
    int32_t iSubItem = 0;    // the column
    uint32_t uNewState = 0;
    uint32_t uOldState = 0;
    uint32_t uChanged = 0;
    Point ptAction;          // the tap, client coordinates
    int64_t lParam = 0;
    uint32_t uKeyFlags = 0;
};

// LVN_KEYDOWN.
struct NmLvKeyDown {
    NmHdr hdr;
    uint16_t wVKey = 0;   // the virtual key
    uint32_t flags = 0;
};

// LVN_BEGINLABELEDIT, LVN_ENDLABELEDIT.
struct NmLvDispInfo {
    NmHdr hdr;
    LvItem item;  // iItem; pszText: the edited text (null when cancelled)
};

LResult ListViewProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

}  // namespace plat
