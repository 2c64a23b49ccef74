// The phone radio: switching it on through the telephony line (full
// function, the SIM PIN, network registration), switching it off through the
// wireless-device switch unless a call is active, and the Talk key.
#include "common/device/phone_radio.h"

#include "base/text.h"
#include "common/config/log_file.h"
#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "common/device/radio_states.h"
#include "common/device/sim_pin.h"
#include "platform/hardware/library.h"
#include "platform/hardware/wireless_switch.h"
#include "platform/kernel/threads.h"
#include "platform/storage/registry.h"
#include "platform/telephony/cellular.h"
#include "platform/telephony/line_device.h"
#include "platform/telephony/sim_manager.h"
#include "platform/telephony/talk_key.h"
#include "platform/window/keyboard.h"

namespace tlw {
namespace {

constexpr uint32_t kLineDevice = 0;         // the cellular line
constexpr uint32_t kRadioSettleMs = 3000;   // after the line opens, before the SIM is asked
constexpr int kLockStateRetries = 5;        // further reads of the SIM lock state
constexpr uint32_t kLockStateRetryMs = 1000;

void LogDetails(std::u16string_view format, int32_t value) {
    if (ReadLogMode() & kLogDetails) WriteLog(Format(format, {value}), true);
}

// The radio to full function on an open line, the PIN when the SIM asks for
// it, and registration on the network.
void BringUpLine(plat::HLine line) {
    plat::Sleep(kRadioSettleMs);
    plat::HSim sim = 0;
    bool haveSim = plat::SimInitialize(0, nullptr, 0, &sim) == plat::kSimOk;
    plat::LineSetEquipmentState(line, plat::kLineEquipStateFull);
    if (haveSim) {
        uint32_t lockState = 0;
        bool known = plat::SimGetPhoneLockedState(sim, &lockState) == plat::kSimOk;
        for (int retry = 0; !known && retry < kLockStateRetries; ++retry) {
            plat::Sleep(kLockStateRetryMs);
            known = plat::SimGetPhoneLockedState(sim, &lockState) == plat::kSimOk;
        }
        char16_t pin[kSimPinBufferSize];
        if (known && lockState == plat::kSimLockedStateSimPin && DecodeSimPin(pin))
            plat::SimUnlockPhone(sim, pin, nullptr);
    }
    int32_t registration = plat::LineRegister(line, plat::kLineRegModeAutomatic, nullptr, 0);
    LogDetails(u"Phone ON/OFF registration result %d", registration);
    if (haveSim) plat::SimDeinitialize(sim);
}

void PhoneRadioOn() {
    plat::HLineApp app = 0;
    uint32_t devices = 0;
    uint32_t version = plat::kTapiVersionHighest;
    plat::LineInitializeExParams params{};
    params.totalSize = sizeof params;
    params.options = plat::kLineInitializeExOptionUseEvent;
    if (plat::LineInitializeEx(&app, nullptr, nullptr, nullptr, &devices, &version, &params) != 0) return;
    uint32_t negotiated = 0;
    if (plat::LineNegotiateApiVersion(app, kLineDevice, plat::kTapiVersionLowest, plat::kTapiVersionHighest,
                                      &negotiated, nullptr) == 0) {
        plat::HLine line = 0;
        int32_t opened = plat::LineOpen(app, kLineDevice, &line, negotiated, 0, 0, plat::kLineCallPrivilegeOwner,
                                        plat::kLineMediaModeDataModem, nullptr);
        if (opened == 0) {
            LogDetails(u"Phone ON/OFF step 2: err %d", opened);
            BringUpLine(line);
        }
    }
    plat::LineShutdown(app);
}

}  // namespace

bool SetPhoneRadio(bool on, bool checkOnly) {
    if (on) {
        PhoneRadioOn();
        return true;
    }
    uint32_t calls = 0;
    plat::RegReadDword(plat::kHkeyLocalMachine, kStatePhoneKey, u"Active Call Count", &calls);
    if (!checkOnly && calls == 0) SetRadioState(kRadioTypePhone, 0);
    return calls == 0;
}

void PressTalkKey(uint32_t seconds) {
    plat::Sleep(seconds * 1000);
    plat::KeybdEvent(plat::kVkTalk, 0, 0, 0);
    plat::KeybdEvent(plat::kVkTalk, 0, plat::kKeyEventKeyUp, 0);
}

void CallOssvcs218() {
    plat::HModule lib = plat::LoadLibrary(u"ossvcs.dll");
    if (!lib) return;
    if (auto fn = reinterpret_cast<plat::Ossvcs218Fn>(plat::GetProcAddress(lib, plat::kOssvcs218))) fn(1);
    plat::FreeLibrary(lib);
}

}  // namespace tlw
