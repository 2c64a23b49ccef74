#include "sim/screen_flush.h"

#include <set>
#include <unistd.h>

#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/shell.h"

namespace sim {
namespace {

// How long one program may take to paint.
constexpr uint32_t kPaintLimitMs = 5000;

}  // namespace

void FlushScreen() {
    plat::LResult answer = 0;
    plat::Hwnd taskBar = plat::FindWindow(kTaskBarClass, nullptr);
    if (taskBar) plat::SendMessageTimeout(taskBar, plat::WM_SHELLCHANGED, 0, 0, kPaintLimitMs, &answer);
    // One request per thread: DefWindowProc paints every window of it.
    std::set<uint32_t> threads;
    uint32_t self = static_cast<uint32_t>(::getpid());
    for (plat::Hwnd hwnd : plat::ListTopLevelWindows()) {
        uint32_t pid = 0;
        uint32_t thread = plat::GetWindowThreadProcessId(hwnd, &pid);
        if (pid == self || !threads.insert(thread).second) continue;
        plat::SendMessageTimeout(hwnd, plat::WM_SYNCPAINT, 0, 0, kPaintLimitMs, &answer);
    }
}

}  // namespace sim
