// The WIDCOMM Bluetooth stack's tray program: a hidden top-level window of
// class "WCE_BTTRAY" that takes the stack's registered messages, journals
// each by name with its parameters, and switches the radio: STACK_LOAD and
// BTRADIO_ON turn it on, STACK_UNLOAD and BTRADIO_OFF off (the stack's
// StackMode value). SETSTACKCONFIG only records the configuration asked for.
#include <cstdio>
#include <string>

#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"
#include "platform/message/message_loop.h"
#include "platform/message/registered_messages.h"
#include "platform/window/window.h"
#include "sim/tlwprog/roles.h"

namespace tlwprog {
namespace {

struct TrayMessage {
    const char16_t* name;  // the registered name
    const char* text;      // as journalled
    int radio;             // 1 on, 0 off, -1 leaves the radio
    uint32_t number;       // registered number, filled at start
};

TrayMessage g_messages[] = {
    {u"WIDCOMM_WM_SETSTACKCONFIG", "WIDCOMM_WM_SETSTACKCONFIG", -1, 0},
    {u"WIDCOMM_WM_STACK_UNLOAD", "WIDCOMM_WM_STACK_UNLOAD", 0, 0},
    {u"WIDCOMM_WM_STACK_LOAD", "WIDCOMM_WM_STACK_LOAD", 1, 0},
    {u"WIDCOMM_WM_BTRADIO_ON", "WIDCOMM_WM_BTRADIO_ON", 1, 0},
    {u"WIDCOMM_WM_BTRADIO_OFF", "WIDCOMM_WM_BTRADIO_OFF", 0, 0},
};

plat::LResult TrayProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    for (const TrayMessage& m : g_messages) {
        if (m.number == 0 || message != m.number) continue;
        plat::JournalAppend(std::string(m.text) + " (" + std::to_string(wParam) + ", " + std::to_string(lParam) + ")");
        if (m.radio >= 0) {
            uint32_t mode = static_cast<uint32_t>(m.radio);
            uint32_t now = 0;
            bool known = plat::RegReadDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey,
                                            plat::kWidcommStackModeValue, &now);
            if (!known || now != mode)
                plat::RegWriteDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue, mode);
        }
        return 1;
    }
    switch (message) {
    case plat::WM_CLOSE:
        plat::JournalAppend("closed");
        plat::DestroyWindow(hwnd);
        return 0;
    case plat::WM_DESTROY:
        plat::PostQuitMessage(0);
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int RunBluetoothTray() {
    for (TrayMessage& m : g_messages) m.number = plat::RegisterWindowMessage(m.name);
    plat::WndClass windowClass;
    windowClass.className = u"WCE_BTTRAY";
    windowClass.proc = TrayProc;
    if (!plat::RegisterClass(windowClass)) {
        std::fprintf(stderr, "BtTray: cannot register the window class\n");
        return 1;
    }
    // Hidden: the tray shows only its icon.
    if (!plat::CreateWindow(u"WCE_BTTRAY", u"BtTray", 0, 0, 0, 0, 0, plat::Hwnd{})) {
        std::fprintf(stderr, "BtTray: cannot create its window\n");
        return 1;
    }
    return plat::RunMessageLoop();
}

}  // namespace tlwprog
