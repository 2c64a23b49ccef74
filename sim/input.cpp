// Routing stylus and keys to the windows of the running phone.
#include "sim/input.h"

#include <cctype>

#include "base/text.h"
#include "platform/shell/input_panel.h"
#include "platform/storage/journal.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "sim/shell.h"

namespace sim {
namespace {

// The top-level window a window belongs to.
plat::Hwnd TopLevelOf(plat::Hwnd hwnd) {
    for (int depth = 0; depth < 32; ++depth) {
        plat::Hwnd parent = plat::GetParent(hwnd);
        if (!parent) return hwnd;
        hwnd = parent;
    }
    return hwnd;
}

// Where the pen goes: the capture window, else the window under the point.
PenResult Target(plat::Point screen) {
    PenResult r;
    if (!plat::ScreenIsOn()) {
        r.error = "the screen is dark (the device is not on)";
        return r;
    }
    plat::ScreenLayout layout = plat::CurrentScreenLayout();
    plat::Hwnd capture = plat::GetCapture();
    if (capture) {
        plat::Rect rect;
        if (plat::GetWindowRect(capture, &rect)) {
            r.hwnd = capture;
            r.client = {screen.x - rect.left, screen.y - rect.top};
            r.delivered = true;
            return r;
        }
    }
    if (screen.x < 0 || screen.y < 0 || screen.x >= layout.screen.cx || screen.y >= layout.screen.cy) {
        r.error = "the point " + std::to_string(screen.x) + "," + std::to_string(screen.y) + " is off the " +
                  std::to_string(layout.screen.cx) + "x" + std::to_string(layout.screen.cy) + " screen";
        return r;
    }
    plat::HitResult hit = plat::WindowFromPoint(screen);
    if (!hit.hwnd) {
        r.error = "no window under " + std::to_string(screen.x) + "," + std::to_string(screen.y);
        return r;
    }
    r.hwnd = hit.hwnd;
    r.client = hit.client;
    r.delivered = true;
    return r;
}

bool Post(PenResult& r, uint32_t message, plat::WParam wParam) {
    if (!plat::PostMessage(r.hwnd, message, wParam, plat::MakePointParam(r.client.x, r.client.y))) {
        r.delivered = false;
        r.error = "the window went away";
    }
    return r.delivered;
}

void JournalPen(const char* what, plat::Point screen, const PenResult& r) {
    plat::JournalAppend(std::string(what) + " " + std::to_string(screen.x) + "," + std::to_string(screen.y) + " on " +
                        tlw::Utf16ToUtf8(plat::GetClassName(r.hwnd)) + " at " + std::to_string(r.client.x) + "," +
                        std::to_string(r.client.y));
}

// The window that takes keys.
plat::Hwnd KeyTarget() {
    // An open soft-key popup takes the keys while it is there.
    plat::Hwnd popup = plat::FindWindow(kMenuPopupClass, nullptr);
    if (popup) return popup;
    plat::Hwnd focus = plat::GetFocus();
    if (focus && plat::IsWindowVisible(focus)) return focus;
    return plat::GetForegroundWindow();
}

}  // namespace

PenResult PenDown(plat::Point screen) {
    PenResult r = Target(screen);
    if (!r.delivered) return r;
    // Touching a window brings its top-level window to the front.
    plat::Hwnd top = TopLevelOf(r.hwnd);
    if ((plat::GetShellFlags(top) & plat::kShellBar) == 0 && !(plat::GetForegroundWindow() == top))
        plat::SetForegroundWindow(top);
    JournalPen("pen down", screen, r);
    Post(r, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON);
    return r;
}

PenResult PenMove(plat::Point screen) {
    PenResult r = Target(screen);
    if (r.delivered) Post(r, plat::WM_MOUSEMOVE, plat::MK_LBUTTON);
    return r;
}

PenResult PenUp(plat::Point screen) {
    PenResult r = Target(screen);
    if (!r.delivered) return r;
    JournalPen("pen up", screen, r);
    Post(r, plat::WM_LBUTTONUP, 0);
    return r;
}

PenResult Tap(plat::Point screen) {
    // A tap on the input panel's keyboard types its key into the focus window.
    if (char16_t c = plat::InputPanelKeyAt(screen)) {
        PenResult r;
        std::string error;
        r.delivered = TypeText(std::u16string(1, c), &error);
        r.error = error;
        r.hwnd = plat::GetFocus();
        return r;
    }
    PenResult r = PenDown(screen);
    if (!r.delivered) return r;
    // The release goes where the touch went, as the window under the pen
    // holds it for the moment of a tap.
    Post(r, plat::WM_LBUTTONUP, 0);
    return r;
}

uint32_t KeyByName(std::string_view name) {
    struct Named {
        const char* name;
        uint32_t vk;
    };
    static const Named kNames[] = {
        {"up", plat::VK_UP},           {"down", plat::VK_DOWN},         {"left", plat::VK_LEFT},
        {"right", plat::VK_RIGHT},     {"action", plat::VK_RETURN},     {"enter", plat::VK_RETURN},
        {"softkey1", plat::VK_TSOFT1}, {"softkey2", plat::VK_TSOFT2},   {"talk", plat::VK_TTALK},
        {"end", plat::VK_TEND},        {"back", plat::VK_BACK},         {"space", plat::VK_SPACE},
        {"escape", plat::VK_ESCAPE},
    };
    for (const Named& n : kNames)
        if (tlw::EqualsNoCase(tlw::Utf8ToUtf16(n.name), tlw::Utf8ToUtf16(name))) return n.vk;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(name[0])));
    return 0;
}

bool PressKey(uint32_t vk, std::string* error) {
    if (!plat::ScreenIsOn()) {
        *error = "the screen is dark (the device is not on)";
        return false;
    }
    plat::Hwnd target;
    if (vk == plat::VK_TSOFT1 || vk == plat::VK_TSOFT2) target = plat::FindWindow(kMenuBarClass, nullptr);
    else target = KeyTarget();
    if (!target) {
        *error = "no window takes keys (is the device host running? tlwsim boot)";
        return false;
    }
    plat::JournalAppend("key " + std::to_string(vk) + " to " + tlw::Utf16ToUtf8(plat::GetClassName(target)));
    plat::PostMessage(target, plat::WM_KEYDOWN, vk, 1);
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || vk == plat::VK_SPACE)
        plat::PostMessage(target, plat::WM_CHAR, vk >= 'A' && vk <= 'Z' ? vk + ('a' - 'A') : vk, 1);
    plat::PostMessage(target, plat::WM_KEYUP, vk, 1);
    // The end key also takes the phone back to its Today screen.
    if (vk == plat::VK_TEND) {
        plat::Hwnd desktop = plat::FindWindow(kDesktopClass, nullptr);
        if (desktop) plat::SetForegroundWindow(desktop);
    }
    return true;
}

bool TypeText(std::u16string_view text, std::string* error) {
    if (!plat::ScreenIsOn()) {
        *error = "the screen is dark (the device is not on)";
        return false;
    }
    plat::Hwnd target = KeyTarget();
    if (!target) {
        *error = "no window takes keys (is the device host running? tlwsim boot)";
        return false;
    }
    plat::JournalAppend("typed " + std::to_string(text.size()) + " characters to " +
                        tlw::Utf16ToUtf8(plat::GetClassName(target)));
    for (char16_t c : text) plat::PostMessage(target, plat::WM_CHAR, c, 1);
    return true;
}

}  // namespace sim
