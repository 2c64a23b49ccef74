#include "platform/telephony/phone_device.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

// An open phone device of this process.
struct OpenPhone {
    HPhoneApp app;       // the usage it was opened through
    uint32_t privilege;  // kPhonePrivilege* value
};

// The phone interface's handles in this process.
struct PhoneTable {
    std::mutex lock;                    // guards the fields below
    std::map<HPhoneApp, bool> apps;     // initialised usages
    std::map<HPhone, OpenPhone> phones; // open phones
    uint32_t nextHandle = 0x100;        // the next handle to give out
};

PhoneTable& Table() {
    static PhoneTable table;
    return table;
}

uint32_t DeviceCount() { return CurrentDeviceModel().hasPhone ? 1 : 0; }

const char* HookSwitchName(uint32_t device) {
    switch (device) {
    case kPhoneHookSwitchHandset: return "handset";
    case kPhoneHookSwitchSpeaker: return "speaker";
    case kPhoneHookSwitchHeadset: return "headset";
    default: return nullptr;
    }
}

uint32_t* VolumeOf(HardwareState& s, uint32_t device) {
    switch (device) {
    case kPhoneHookSwitchHandset: return &s.handsetVolume;
    case kPhoneHookSwitchSpeaker: return &s.speakerVolume;
    default: return &s.headsetVolume;
    }
}

// The open phone's privilege, or an error for a handle that is not open.
uint32_t FindPhone(HPhone phone, uint32_t* privilege) {
    PhoneTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.phones.find(phone);
    if (it == t.phones.end()) return kPhoneErrInvalPhoneHandle;
    *privilege = it->second.privilege;
    return kPhoneErrNone;
}

}  // namespace

uint32_t PhoneInitializeEx(HPhoneApp* app, uint32_t* devices, uint32_t* apiVersion, PhoneInitializeExParams* params) {
    if (!app || !devices || !apiVersion) return kPhoneErrInvalPointer;
    if (params && (params->totalSize < sizeof(PhoneInitializeExParams) ||
                   (params->options != kPhoneInitUseHiddenWindow && params->options != kPhoneInitUseEvent)))
        return kPhoneErrInvalParam;
    if (*apiVersion < kPhoneApiVersionLowest) return kPhoneErrIncompatibleApiVersion;
    if (*apiVersion > kPhoneApiVersionHighest) *apiVersion = kPhoneApiVersionHighest;
    PhoneTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    *app = t.nextHandle++;
    t.apps[*app] = true;
    *devices = DeviceCount();
    if (params) {
        params->neededSize = params->usedSize = sizeof(PhoneInitializeExParams);
        params->event = *app;  // events would be signalled through this handle
    }
    return kPhoneErrNone;
}

uint32_t PhoneNegotiateApiVersion(HPhoneApp app, uint32_t device, uint32_t low, uint32_t high, uint32_t* apiVersion) {
    if (!apiVersion) return kPhoneErrInvalPointer;
    {
        PhoneTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        if (!t.apps.count(app)) return kPhoneErrInvalAppHandle;
    }
    if (device >= DeviceCount()) return kPhoneErrBadDeviceId;
    if (low > high || high < kPhoneApiVersionLowest || low > kPhoneApiVersionHighest)
        return kPhoneErrIncompatibleApiVersion;
    *apiVersion = high < kPhoneApiVersionHighest ? high : kPhoneApiVersionHighest;
    return kPhoneErrNone;
}

uint32_t PhoneOpen(HPhoneApp app, uint32_t device, HPhone* phone, uint32_t apiVersion, uint32_t privilege) {
    if (!phone) return kPhoneErrInvalPointer;
    if (privilege != kPhonePrivilegeMonitor && privilege != kPhonePrivilegeOwner) return kPhoneErrInvalParam;
    if (apiVersion < kPhoneApiVersionLowest || apiVersion > kPhoneApiVersionHighest)
        return kPhoneErrIncompatibleApiVersion;
    if (device >= DeviceCount()) return kPhoneErrBadDeviceId;
    PhoneTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (!t.apps.count(app)) return kPhoneErrInvalAppHandle;
    *phone = t.nextHandle++;
    t.phones[*phone] = OpenPhone{app, privilege};
    return kPhoneErrNone;
}

uint32_t PhoneSetVolume(HPhone phone, uint32_t hookSwitchDevice, uint32_t volume) {
    uint32_t privilege = 0;
    if (uint32_t error = FindPhone(phone, &privilege)) return error;
    const char* name = HookSwitchName(hookSwitchDevice);
    if (!name || volume > 0xFFFF || privilege != kPhonePrivilegeOwner) return kPhoneErrInvalParam;
    if (!ChangeHardwareState([&](HardwareState& s) { *VolumeOf(s, hookSwitchDevice) = volume; }))
        return kPhoneErrOperationFailed;
    JournalAppend(std::string("phone 0 volume ") + name + " " + std::to_string(volume));
    return kPhoneErrNone;
}

uint32_t PhoneGetVolume(HPhone phone, uint32_t hookSwitchDevice, uint32_t* volume) {
    uint32_t privilege = 0;
    if (uint32_t error = FindPhone(phone, &privilege)) return error;
    if (!volume) return kPhoneErrInvalPointer;
    if (!HookSwitchName(hookSwitchDevice)) return kPhoneErrInvalParam;
    HardwareState s;
    if (!ReadHardwareState(&s)) return kPhoneErrOperationFailed;
    *volume = *VolumeOf(s, hookSwitchDevice);
    return kPhoneErrNone;
}

uint32_t PhoneClose(HPhone phone) {
    PhoneTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.phones.erase(phone) ? kPhoneErrNone : kPhoneErrInvalPhoneHandle;
}

uint32_t PhoneShutdown(HPhoneApp app) {
    PhoneTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (!t.apps.erase(app)) return kPhoneErrInvalAppHandle;
    for (auto it = t.phones.begin(); it != t.phones.end();) {
        if (it->second.app == app) it = t.phones.erase(it);
        else ++it;
    }
    return kPhoneErrNone;
}

}  // namespace plat
