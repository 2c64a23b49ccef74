// ProcessCommand: the 9xx commands, run without trigger evaluation.
#include "common/config/log_file.h"
#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_messages.h"
#include "platform/kernel/threads.h"

namespace tlw {
namespace {

void BluetoothOn(bool visible) {
    SetBluetoothRadio(true);
    SetBluetoothVisible(visible);
}

void PhoneOff() {
    SetPushMail(0);
    HangUpDataCalls();
    plat::Sleep(3000);
    SetPhoneRadio(false, false);  // keeps the radio on while a call is active
}

void Lock(EngineState& engine) {
    if (ReadLocked()) return;
    WriteLocked(true);
    engine.locked = true;
}

void Unlock(EngineState& engine) {
    if (!ReadLocked()) return;
    WriteLocked(false);
    engine.locked = false;
    ProcessParameter(engine, kParamReevaluate);
}

}  // namespace

void ReadDeviceStates(EngineState& engine) {
    uint32_t wifi = 0;
    GetDeviceStates(&wifi, &engine.deviceStates[kStatePhone], &engine.deviceStates[kStateBluetooth],
                    &engine.deviceStates[kStatePushMail], &engine.deviceStates[kStateData]);
    engine.deviceStates[kStateWifi] = static_cast<int32_t>(wifi);
}

void ProcessCommand(EngineState& engine, int32_t command) {
    ReadDeviceStates(engine);
    engine.logMode = QueryLogMode();
    LogDetail(engine, u"Processing command, Param:%d, Instance=%08X, Version=%d", {command, engine.instance, kEngineVersion});
    const int32_t* s = engine.deviceStates;
    switch (command) {
    case 910: SetWifiRadio(true); break;
    case 920: SetWifiRadio(false); break;
    case 930: SetWifiRadio(s[kStateWifi] != 1); break;
    case 911: BluetoothOn(false); break;
    case 921: SetBluetoothRadio(false); break;
    case 931:
        if (s[kStateBluetooth] == 1) SetBluetoothRadio(false);
        else BluetoothOn(false);
        break;
    case 917: BluetoothOn(true); break;
    case 937:
        if (s[kStateBluetooth] == 1) SetBluetoothRadio(false);
        else BluetoothOn(true);
        break;
    case 912: SetPhoneRadio(true, false); break;
    case 922: PhoneOff(); break;
    case 932:
        if (s[kStatePhone] == 1) PhoneOff();
        else SetPhoneRadio(true, false);
        break;
    case 913: SetPushMail(1); break;
    case 923: SetPushMail(0); break;
    case 933: SetPushMail(s[kStatePushMail] == 1 ? 0 : 1); break;
    case 914:
        if (s[kStatePhone] == 1) OpenDataConnection();
        break;
    case 924: HangUpDataCalls(); break;
    case 934:
        if (s[kStatePhone] != 1) break;
        if (s[kStateData] == 1) HangUpDataCalls();
        else OpenDataConnection();
        break;
    case 915: Lock(engine); break;
    case 925: Unlock(engine); break;
    case 935:
        if (ReadLocked()) Unlock(engine);
        else Lock(engine);
        break;
    case 940: ApplySavedBacklight(engine); break;
    default: break;
    }
}

}  // namespace tlw
