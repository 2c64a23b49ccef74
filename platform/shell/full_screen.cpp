#include "platform/shell/full_screen.h"

#include <string>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

bool Conflicting(uint32_t flags, uint32_t show, uint32_t hide) { return (flags & show) && (flags & hide); }

}  // namespace

bool ShFullScreen(Hwnd hwnd, uint32_t flags) {
    if (!IsWindow(hwnd) || Conflicting(flags, kShfsShowTaskbar, kShfsHideTaskbar) ||
        Conflicting(flags, kShfsShowSipButton, kShfsHideSipButton) ||
        Conflicting(flags, kShfsShowStartIcon, kShfsHideStartIcon)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    uint32_t set = 0, clear = 0;
    if (flags & kShfsHideTaskbar) set |= kShellHideTaskBar;
    if (flags & kShfsShowTaskbar) clear |= kShellHideTaskBar;
    if (flags & kShfsHideSipButton) set |= kShellHideMenuBar;
    if (flags & kShfsShowSipButton) clear |= kShellHideMenuBar;
    if ((set | clear) && !SetShellFlags(hwnd, set, clear)) return false;
    if (flags & (kShfsHideTaskbar | kShfsShowTaskbar))
        JournalAppend("full screen " + tlw::Utf16ToUtf8(GetClassName(hwnd)) +
                      ((flags & kShfsHideTaskbar) ? " hide taskbar" : " show taskbar"));
    return true;
}

bool IsTaskbarHiddenBy(Hwnd hwnd) { return (GetShellFlags(hwnd) & kShellHideTaskBar) != 0; }

}  // namespace plat
