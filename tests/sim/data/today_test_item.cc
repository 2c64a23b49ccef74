// A Today item library for the tests of the Today screen: its entry at
// ordinal 240 makes a child window of the Today screen that asks for a
// height of 40 pixels, paints itself in the Today screen's text colour over
// the Today screen's background, and notes the Today screen's messages in
// its own window data (GWL_USERDATA, one bit a message), where the test
// reads them. Its platform calls bind to the host program's platform.
#include "platform/gdi/gdi.h"
#include "platform/hardware/library.h"
#include "platform/shell/today_item.h"
#include "platform/message/message_loop.h"
#include "platform/window/system_info.h"
#include "platform/window/window.h"

using namespace plat;

namespace {

constexpr int32_t kHeight = 40;

void Note(Hwnd hwnd, int64_t bit) { SetWindowLong(hwnd, GWL_USERDATA, GetWindowLong(hwnd, GWL_USERDATA) | bit); }

LResult ItemProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
        Note(hwnd, 1);
        auto* item = reinterpret_cast<TodayListItem*>(lParam);
        if (!item || item->cyp == kHeight) return 0;
        item->cyp = kHeight;
        return 1;
    }
    case WM_TODAYCUSTOM_RECEIVEDSELECTION: Note(hwnd, 2); return 1;
    case WM_TODAYCUSTOM_LOSTSELECTION: Note(hwnd, 4); return 1;
    case WM_TODAYCUSTOM_USERNAVIGATION: Note(hwnd, 8); return 0;  // lets the selection move on
    case WM_TODAYCUSTOM_ACTION: Note(hwnd, 16); return 1;
    case WM_PAINT: {
        PaintStruct ps;
        Hdc hdc = BeginPaint(hwnd, &ps);
        Rect client;
        GetClientRect(hwnd, &client);
        TodayDrawWatermarkInfo info;
        info.hdc = hdc;
        info.rc = client;
        info.hwnd = hwnd;
        SendMessage(GetParent(hwnd), TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LParam>(&info));
        ColorRef text = static_cast<ColorRef>(SendMessage(GetParent(hwnd), TODAYM_GETCOLOR, TODAYCOLOR_TEXT, 0));
        HBrush brush = CreateSolidBrush(text);
        FillRect(hdc, {10, 10, 30, 30}, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

Hwnd InitializeCustomItem(TodayListItem*, Hwnd parent) {
    WndClass wc;
    wc.className = u"TestTodayItem";
    wc.proc = &ItemProc;
    RegisterClass(wc);
    return CreateWindow(u"TestTodayItem", u"TestTodayItem", WS_CHILD | WS_VISIBLE, 0, 0,
                        GetSystemMetrics(kSmCxScreen), 0, parent);
}

}  // namespace

// The library's ordinal table.
extern "C" const ExportOrdinal TlwExportOrdinals[] = {
    {kTodayInitializeOrdinal, reinterpret_cast<void*>(&InitializeCustomItem)},
    {0, nullptr},
};
