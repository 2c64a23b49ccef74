// The telephony phone device: the handset, headset and speaker of the phone
// and their volumes (the hook-switch devices), reached through the phone
// interface of the telephony API: initialise, negotiate the version, open
// the device, set volumes, close, shut down.
//
// A device model with a phone radio has one phone device (0). Its volumes
// are hardware state; each change is recorded in the device journal as
// "phone 0 volume handset|headset|speaker N".
#pragma once

#include <cstdint>

namespace plat {

// A phone-interface usage of this process (from PhoneInitializeEx) and an
// open phone device; 0 is none.
using HPhoneApp = uint32_t;
using HPhone = uint32_t;

// Results: 0 is success; errors have the top bit set.
enum : uint32_t {
    kPhoneErrNone = 0,
    kPhoneErrBadDeviceId = 0x90000002u,    // no such phone device
    kPhoneErrIncompatibleApiVersion = 0x90000003u,  // no version in the asked range
    kPhoneErrInvalAppHandle = 0x90000008u, // not an initialised usage
    kPhoneErrInvalParam = 0x90000011u,     // a bad argument (hook-switch device, privilege, record)
    kPhoneErrInvalPhoneHandle = 0x90000013u,  // not an open phone
    kPhoneErrInvalPointer = 0x90000017u,   // a null pointer
    kPhoneErrOperationFailed = 0x90000021u,  // the state could not be stored
};

// API versions the phone interface offers.
constexpr uint32_t kPhoneApiVersionLowest = 0x00010004;
constexpr uint32_t kPhoneApiVersionHighest = 0x00040000;

// Options of the initialisation record: how events are reported.
enum : uint32_t { kPhoneInitUseHiddenWindow = 1, kPhoneInitUseEvent = 2 };

// The initialisation record (its caller sets totalSize and options).
struct PhoneInitializeExParams {
    uint32_t totalSize = 0;      // bytes of the record the caller gives: 24
    uint32_t neededSize = 0;     // bytes the interface needs (filled in)
    uint32_t usedSize = 0;       // bytes the interface used (filled in)
    uint32_t options = 0;        // kPhoneInit* value
    uint32_t event = 0;          // event handle for kPhoneInitUseEvent (filled in)
    uint32_t completionKey = 0;  // unused
};
static_assert(sizeof(PhoneInitializeExParams) == 24, "the telephony record layout");

// Hook-switch devices.
enum : uint32_t { kPhoneHookSwitchHandset = 1, kPhoneHookSwitchSpeaker = 2, kPhoneHookSwitchHeadset = 4 };
// Privileges of PhoneOpen.
enum : uint32_t { kPhonePrivilegeMonitor = 1, kPhonePrivilegeOwner = 2 };

// Starts using the phone interface. *devices receives the number of phone
// devices; *apiVersion is the highest version the caller asks for, and is
// set to the one the interface uses.
uint32_t PhoneInitializeEx(HPhoneApp* app, uint32_t* devices, uint32_t* apiVersion, PhoneInitializeExParams* params);
// Agrees on an API version for one device between low and high.
uint32_t PhoneNegotiateApiVersion(HPhoneApp app, uint32_t device, uint32_t low, uint32_t high, uint32_t* apiVersion);
// Opens a phone device with a privilege.
uint32_t PhoneOpen(HPhoneApp app, uint32_t device, HPhone* phone, uint32_t apiVersion, uint32_t privilege);
// Sets / reads the volume (0 ... 65535) of one hook-switch device; setting
// needs the owner privilege.
uint32_t PhoneSetVolume(HPhone phone, uint32_t hookSwitchDevice, uint32_t volume);
uint32_t PhoneGetVolume(HPhone phone, uint32_t hookSwitchDevice, uint32_t* volume);
uint32_t PhoneClose(HPhone phone);
// Ends the usage; its open phones are closed.
uint32_t PhoneShutdown(HPhoneApp app);

}  // namespace plat
