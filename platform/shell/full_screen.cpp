#include "platform/shell/full_screen.h"

#include "platform/kernel/last_error.h"
#include "platform/window/window_order.h"

namespace plat {

bool SHFullScreen(Hwnd hwnd, uint32_t state) {
    if ((state & SHFS_SHOWTASKBAR) && (state & SHFS_HIDETASKBAR)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if ((state & SHFS_SHOWSIPBUTTON) && (state & SHFS_HIDESIPBUTTON)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    uint32_t set = 0, clear = 0;
    if (state & SHFS_HIDETASKBAR) set |= kShellHideTaskBar;
    if (state & SHFS_SHOWTASKBAR) clear |= kShellHideTaskBar;
    if (state & SHFS_HIDESIPBUTTON) set |= kShellHideMenuBar;
    if (state & SHFS_SHOWSIPBUTTON) clear |= kShellHideMenuBar;
    return SetShellFlags(hwnd, set, clear);
}

}  // namespace plat
