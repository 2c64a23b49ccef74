// The SIM manager of the cellular core: a session with the SIM, its lock
// state and unlocking it with the PIN. The SIM of the simulated phone has a
// PIN or none (`tlwsim hw sim=locked:PIN`, `sim=ready`); a SIM with a PIN is
// locked again whenever the phone radio goes off. Right after the radio comes
// up the SIM may still be starting (the model's sim_busy_reads): lock-state
// reads fail until then. Unlock attempts are journalled.
#pragma once

#include <cstdint>

namespace plat {

using HSim = uint32_t;  // a SIM manager session; 0 none

// Results (HRESULT): 0 on success.
enum : int32_t {
    kSimOk = 0,
    kSimErrorFail = static_cast<int32_t>(0x80004005),       // the SIM did not answer (starting up, no radio)
    kSimErrorInvalidArg = static_cast<int32_t>(0x80070057), // bad handle or argument
    kSimErrorIncorrectPassword = static_cast<int32_t>(0x88000040),
};

// Lock states of SimGetPhoneLockedState.
enum : uint32_t {
    kSimLockedStateReady = 0,   // no password needed
    kSimLockedStatePhToSimPin = 1,
    kSimLockedStateSimPin = 2,  // the SIM asks for its PIN
};

using SimCallback = void (*)(uint32_t notifyCode, const void* data, uint32_t dataSize, uint32_t parameter);

// Cellular-core ordinal 1: opens a session (flags 0, callback may be null).
int32_t SimInitialize(uint32_t flags, SimCallback callback, uint32_t parameter, HSim* sim);
// Ordinal 2: closes it.
int32_t SimDeinitialize(HSim sim);
// Ordinal 8: the lock state. kSimErrorFail while the radio is off or the SIM
// starts up.
int32_t SimGetPhoneLockedState(HSim sim, uint32_t* state);
// Ordinal 9: unlocks with the PIN (newPassword null: no change of PIN).
// kSimErrorIncorrectPassword for a wrong PIN.
int32_t SimUnlockPhone(HSim sim, const char16_t* password, const char16_t* newPassword);

}  // namespace plat
