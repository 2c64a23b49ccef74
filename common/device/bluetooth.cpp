#include "common/device/bluetooth.h"

#include "platform/hardware/bluetooth_utility.h"
#include "platform/storage/code_page.h"
#include "platform/hardware/hardware.h"
#include "platform/hardware/library.h"
#include "platform/storage/registry.h"
#include "common/device/device_operations.h"
#include "common/device/radio_states.h"
#include "platform/kernel/threads.h"
#include "platform/message/message_loop.h"
#include "platform/message/registered_messages.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

constexpr uint32_t kWidcommSendGapMs = 200;  // between two messages to the new stack's tray
constexpr uint32_t kBluetoothPollMs = 500;   // between reads while the radio follows the switch
constexpr int kBluetoothPollRetries = 9;     // reads after the first

// Sends a registered message to the tray and waits for it to be handled.
void SendToTray(plat::Hwnd tray, const char16_t* name, plat::WParam wParam, plat::LParam lParam) {
    if (uint32_t message = plat::RegisterWindowMessage(name)) plat::SendMessage(tray, message, wParam, lParam);
}

void SetWidcommRadio(plat::Hwnd tray, bool on) {
    if (!IsNewWidcommVersion(ReadWidcommVersion())) {
        // The older stack takes one message, posted without waiting.
        if (uint32_t message = plat::RegisterWindowMessage(on ? kWidcommRadioOn : kWidcommRadioOff))
            plat::PostMessage(tray, message, 0, 0);
        return;
    }
    if (on) {
        SendToTray(tray, kWidcommStackLoad, 2, 2);
        plat::Sleep(kWidcommSendGapMs);
        SendToTray(tray, kWidcommSetStackConfig, 1, 1);
        plat::Sleep(kWidcommSendGapMs);
        SendToTray(tray, kWidcommSetStackConfig, 2, 2);
    } else {
        SendToTray(tray, kWidcommSetStackConfig, 0, 0);
        plat::Sleep(kWidcommSendGapMs);
        SendToTray(tray, kWidcommStackUnload, 1, 1);
    }
}

bool ReadBluetoothMode(uint32_t* mode) {
    bool ok = false;
    if (plat::HModule lib = plat::LoadLibrary(u"bthutil.dll")) {
        auto getMode = reinterpret_cast<plat::BthGetModeFn>(plat::GetProcAddress(lib, plat::kBthutilGetMode));
        ok = getMode && getMode(mode) == 0;
        plat::FreeLibrary(lib);
    }
    return ok;
}

void WriteBluetoothMode(uint32_t mode) {
    if (plat::HModule lib = plat::LoadLibrary(u"bthutil.dll")) {
        if (auto setMode = reinterpret_cast<plat::BthSetModeFn>(plat::GetProcAddress(lib, plat::kBthutilSetMode)))
            setMode(mode);
        plat::FreeLibrary(lib);
    }
}

// The platform's own stack: the switch, a bounded wait for the radio, and
// the utility library as the last resort.
void SetMicrosoftRadio(bool on) {
    int32_t wanted = on ? 1 : 0;
    SetRadioState(kRadioTypeBluetooth, on ? 1 : 0);
    int32_t state = 0;
    plat::Sleep(kBluetoothPollMs);
    GetBluetoothState(&state);
    for (int i = 0; i < kBluetoothPollRetries && state != wanted; ++i) {
        plat::Sleep(kBluetoothPollMs);
        GetBluetoothState(&state);
    }
    if (state != wanted) WriteBluetoothMode(on ? plat::kBthConnectable : plat::kBthPowerOff);
}

}  // namespace

void SetBluetoothRadio(bool on) {
    if (plat::Hwnd tray = plat::FindWindow(kWidcommTrayClass, nullptr)) SetWidcommRadio(tray, on);
    else SetMicrosoftRadio(on);
}

void SetBluetoothVisible(bool visible) {
    uint32_t mode = 0;
    if (!ReadBluetoothMode(&mode) || mode == plat::kBthPowerOff) return;
    if (visible && mode == plat::kBthConnectable) WriteBluetoothMode(plat::kBthDiscoverable);
    else if (!visible && mode == plat::kBthDiscoverable) WriteBluetoothMode(plat::kBthConnectable);
}

bool WidcommTrayPresent() { return static_cast<bool>(plat::FindWindow(kWidcommTrayClass, nullptr)); }

std::string ReadWidcommVersion() {
    std::u16string version;
    if (!plat::RegReadString(plat::kHkeyLocalMachine, plat::kWidcommVersionKey, plat::kWidcommVersionValue, &version))
        return {};
    if (version.size() > kWidcommVersionCapacity) version.resize(kWidcommVersionCapacity);
    return plat::WideToAnsi(version);
}

bool IsNewWidcommVersion(std::string_view version) {
    if (version.size() < 3) return false;
    return (version[0] == '1' && version[2] == '9') || static_cast<unsigned char>(version[0]) >= '2';
}

void GetBluetoothState(int32_t* state) {
    uint32_t mode = 0;
    if (!plat::RegReadDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue, &mode) &&
        !ReadBluetoothMode(&mode))
        mode = 0;
    *state = mode != 0 ? 1 : 0;
}

}  // namespace tlw
