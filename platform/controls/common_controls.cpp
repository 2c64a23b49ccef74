// Registering the control classes, and enabling windows.
#include "platform/controls/common_controls.h"

#include "platform/controls/button.h"
#include "platform/controls/control_support.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/list_view.h"
#include "platform/controls/static_control.h"
#include "platform/controls/trackbar.h"
#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {

bool InitCommonControlsEx(const InitCommonControlsExInfo* info) {
    if (!info || info->size != sizeof(InitCommonControlsExInfo)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    // The classes every program of the phone has.
    ctl::RegisterControlClass(kButtonClass, ButtonProc);
    ctl::RegisterControlClass(kStaticClass, StaticProc);
    ctl::RegisterControlClass(kEditClass, EditProc);
    ctl::RegisterControlClass(kDialogClass, DialogWindowProc);
    if (info->classes & ICC_LISTVIEW_CLASSES) ctl::RegisterControlClass(kListViewClass, ListViewProc);
    if (info->classes & ICC_BAR_CLASSES) ctl::RegisterControlClass(kTrackbarClass, TrackbarProc);
    if (info->classes & ICC_DATE_CLASSES) ctl::RegisterControlClass(kDateTimePickClass, DateTimePickerProc);
    return true;
}

void InitCommonControls() {
    InitCommonControlsExInfo info;
    info.classes = ICC_WIN95_CLASSES | ICC_DATE_CLASSES;
    InitCommonControlsEx(&info);
}

bool EnableWindow(Hwnd hwnd, bool enable) {
    if (!IsWindow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    int64_t style = GetWindowLong(hwnd, GWL_STYLE);
    bool wasDisabled = (style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    SetWindowLong(hwnd, GWL_STYLE, enable ? style & ~int64_t(WS_DISABLED) : style | WS_DISABLED);
    if (!enable && GetFocus() == hwnd) {
        Hwnd parent = GetParent(hwnd);
        SetFocus(parent);
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    InvalidateRect(hwnd, nullptr, true);
    return wasDisabled;
}

bool IsWindowEnabled(Hwnd hwnd) {
    return IsWindow(hwnd) && (GetWindowLong(hwnd, GWL_STYLE) & WS_DISABLED) == 0;
}

}  // namespace plat
