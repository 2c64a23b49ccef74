#include "platform/telephony/line_events.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/registry_notify.h"
#include "platform/window/window.h"

namespace plat {
namespace {

constexpr char16_t kEventClass[] = u"TlwLineEvents";
constexpr uint32_t kCallChanged = WM_USER + 1;  // a value of the phone's state changed

// The hidden window of one application and what it delivered last.
struct AppEvents {
    HLineApp app = 0;                  // the application
    CallState delivered = CallState::kNone;  // the call state the lines were last told
    HRegNotify status = 0;             // watch of the phone's Status
    HRegNotify count = 0;              // watch of its Active Call Count
};

struct EventTable {
    std::mutex lock;                      // guards the fields below
    std::map<uint64_t, AppEvents> byWindow;  // by the hidden window's handle value
    bool classRegistered = false;         // kEventClass exists in this process
};

EventTable& Table() {
    static EventTable table;
    return table;
}

uint32_t LineStateOf(CallState call) {
    switch (call) {
    case CallState::kOffered: return kLineCallStateOffering;
    case CallState::kActive: return kLineCallStateConnected;
    default: return kLineCallStateIdle;
    }
}

// Tells the application's lines of the call state when it changed.
void Deliver(Hwnd hwnd) {
    HardwareState hw;
    if (!ReadHardwareState(&hw)) return;
    HLineApp app = 0;
    {
        EventTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.byWindow.find(hwnd.value);
        if (it == t.byWindow.end() || it->second.delivered == hw.call) return;
        it->second.delivered = hw.call;
        app = it->second.app;
    }
    std::vector<EventLine> lines;
    if (!EventLinesOf(app, &lines)) return;
    for (const EventLine& line : lines)
        if (line.callback)
            line.callback(line.device, kLineCallState, line.instance, LineStateOf(hw.call), 0, 0);
}

LResult EventWindowProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == kCallChanged) {
        Deliver(hwnd);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void AttachLineEvents(HLineApp app, uint32_t options) {
    if (!(options & kLineInitializeExOptionUseHiddenWindow)) return;
    EventTable& t = Table();
    {
        std::lock_guard<std::mutex> guard(t.lock);
        if (!t.classRegistered) {
            WndClass wc;
            wc.className = kEventClass;
            wc.proc = EventWindowProc;
            t.classRegistered = RegisterClass(wc);
        }
    }
    Hwnd hwnd = CreateWindow(kEventClass, u"", 0, 0, 0, 0, 0, {});
    if (!hwnd) return;
    AppEvents events;
    events.app = app;
    HardwareState hw;
    if (ReadHardwareState(&hw)) events.delivered = hw.call;  // only changes from now on are events
    RegistryNotifyCondition incoming;
    incoming.kind = RegistryNotifyCondition::kRegMaskChange;
    incoming.mask = kPhoneStatusIncomingCall;
    RegistryNotifyWindow(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, hwnd, kCallChanged, 0, &incoming,
                         &events.status);
    RegistryNotifyWindow(kHkeyLocalMachine, kPhoneStateKey, kActiveCallCountValue, hwnd, kCallChanged, 0, nullptr,
                         &events.count);
    std::lock_guard<std::mutex> guard(t.lock);
    t.byWindow[hwnd.value] = events;
}

void DetachLineEvents(HLineApp app) {
    EventTable& t = Table();
    std::vector<std::pair<uint64_t, AppEvents>> ended;
    {
        std::lock_guard<std::mutex> guard(t.lock);
        for (auto it = t.byWindow.begin(); it != t.byWindow.end();) {
            if (it->second.app == app) {
                ended.emplace_back(it->first, it->second);
                it = t.byWindow.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& [window, events] : ended) {
        if (events.status) RegistryCloseNotification(events.status);
        if (events.count) RegistryCloseNotification(events.count);
        Hwnd hwnd;
        hwnd.value = window;
        DestroyWindow(hwnd);
    }
}

int32_t LineSetAppPriority(const char16_t* appName, uint32_t mediaMode, const void*, uint32_t, const char16_t*,
                           uint32_t priority) {
    if (!appName || mediaMode == 0 || (mediaMode & (mediaMode - 1)) != 0 || priority > 1) return kLineErrInvalParam;
    char mode[16];
    std::snprintf(mode, sizeof mode, "0x%X", mediaMode);
    JournalAppend("line priority " + tlw::Utf16ToUtf8(appName) + " media " + mode + " = " + std::to_string(priority));
    return 0;
}

}  // namespace plat
