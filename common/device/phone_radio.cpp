// The phone radio: switching it, and the active-call check that keeps a
// running call from being cut.
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "platform/storage/registry.h"
#include "platform/hardware/wireless_switch.h"
#include "platform/hardware/library.h"

namespace tlw {
namespace {

constexpr uint32_t kRadioTypePhone = 2;  // phone nodes of the wireless-device switch

// Switches every wireless device of one type through the platform's switch
// library. Missing library or entries: nothing happens.
int32_t SetRadioState(uint32_t deviceType, uint32_t state) {
    plat::HModule lib = plat::LoadLibrary(u"ossvcs.dll");
    if (!lib) return 0;
    auto get = reinterpret_cast<plat::OssvcsGetWirelessDevicesFn>(plat::GetProcAddress(lib, 276));
    auto change = reinterpret_cast<plat::OssvcsChangeRadioStateFn>(plat::GetProcAddress(lib, 273));
    auto release = reinterpret_cast<plat::OssvcsFreeDeviceListFn>(plat::GetProcAddress(lib, 280));
    if (!get || !change || !release) {
        plat::FreeLibrary(lib);
        return 0;
    }
    plat::RadioDevice* head = nullptr;
    if (get(&head, 0) != 0) {
        plat::FreeLibrary(lib);
        return -1;
    }
    int32_t last = 0;
    for (plat::RadioDevice* node = head; node; node = node->next)
        if (node->type == deviceType) last = change(node, state, 1);
    release(head);
    plat::FreeLibrary(lib);
    return last != 0 ? -2 : 0;
}

}  // namespace

bool SetPhoneRadio(bool on, bool checkOnly) {
    if (on) {
        SetRadioState(kRadioTypePhone, 1);
        return true;
    }
    uint32_t calls = 0;
    plat::RegReadDword(plat::kHkeyLocalMachine, kStatePhoneKey, u"Active Call Count", &calls);
    if (!checkOnly && calls == 0) SetRadioState(kRadioTypePhone, 0);
    return calls == 0;
}

}  // namespace tlw
