#include "platform/shell/full_screen.h"

#include <mutex>
#include <set>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/window/window.h"

namespace plat {
namespace {

// The windows of this process that hide the taskbar.
struct FullScreenTable {
    std::mutex lock;           // guards hiding
    std::set<uint64_t> hiding; // window handle values
};

FullScreenTable& Table() {
    static FullScreenTable table;
    return table;
}

bool Conflicting(uint32_t flags, uint32_t show, uint32_t hide) { return (flags & show) && (flags & hide); }

}  // namespace

bool ShFullScreen(Hwnd hwnd, uint32_t flags) {
    if (!IsWindow(hwnd) || Conflicting(flags, kShfsShowTaskbar, kShfsHideTaskbar) ||
        Conflicting(flags, kShfsShowSipButton, kShfsHideSipButton) ||
        Conflicting(flags, kShfsShowStartIcon, kShfsHideStartIcon)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    FullScreenTable& t = Table();
    std::string name = tlw::Utf16ToUtf8(GetClassName(hwnd));
    if (flags & kShfsHideTaskbar) {
        std::lock_guard<std::mutex> guard(t.lock);
        t.hiding.insert(hwnd.value);
    }
    if (flags & kShfsShowTaskbar) {
        std::lock_guard<std::mutex> guard(t.lock);
        t.hiding.erase(hwnd.value);
    }
    if (flags & (kShfsHideTaskbar | kShfsShowTaskbar))
        JournalAppend("full screen " + name + ((flags & kShfsHideTaskbar) ? " hide taskbar" : " show taskbar"));
    return true;
}

bool IsTaskbarHiddenBy(Hwnd hwnd) {
    FullScreenTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.hiding.count(hwnd.value) != 0;
}

}  // namespace plat
