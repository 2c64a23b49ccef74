#include "common/device/radio_states.h"

#include "platform/hardware/library.h"
#include "platform/hardware/wireless_switch.h"

namespace tlw {

int32_t SetRadioState(uint32_t deviceType, uint32_t state) {
    plat::HModule lib = plat::LoadLibrary(u"ossvcs.dll");
    if (!lib) return 0;
    auto getDevices =
        reinterpret_cast<plat::OssvcsGetWirelessDevicesFn>(plat::GetProcAddress(lib, plat::kOssvcsGetWirelessDevices));
    auto change = reinterpret_cast<plat::OssvcsChangeRadioStateFn>(plat::GetProcAddress(lib, plat::kOssvcsChangeRadioState));
    auto freeList = reinterpret_cast<plat::OssvcsFreeDeviceListFn>(plat::GetProcAddress(lib, plat::kOssvcsFreeDeviceList));
    if (!getDevices || !change || !freeList) {
        plat::FreeLibrary(lib);
        return 0;
    }
    plat::RadioDevice* head = nullptr;
    if (getDevices(&head, 0) != 0) {
        plat::FreeLibrary(lib);
        return -1;
    }
    int32_t last = 0;
    for (plat::RadioDevice* node = head; node; node = node->next)
        if (node->type == deviceType) last = change(node, state, 1);
    freeList(head);
    plat::FreeLibrary(lib);
    return last != 0 ? -2 : 0;
}

void GetRadioStates(uint32_t* wifi, uint32_t* phone, uint32_t* bluetooth) {
    plat::HModule lib = plat::LoadLibrary(u"ossvcs.dll");
    if (!lib) return;
    auto getDevices =
        reinterpret_cast<plat::OssvcsGetWirelessDevicesFn>(plat::GetProcAddress(lib, plat::kOssvcsGetWirelessDevices));
    auto freeList = reinterpret_cast<plat::OssvcsFreeDeviceListFn>(plat::GetProcAddress(lib, plat::kOssvcsFreeDeviceList));
    plat::RadioDevice* head = nullptr;
    if (getDevices && freeList && getDevices(&head, 0) == 0) {
        bool haveWifi = false, havePhone = false, haveBluetooth = false;
        int taken = 0;  // nodes of type 1 or 2 taken
        for (plat::RadioDevice* node = head; node && taken < 2; node = node->next) {
            if (node->type == plat::kRadioTypeWifi && !haveWifi) {
                *wifi = node->state;
                haveWifi = true;
                ++taken;
            } else if (node->type == plat::kRadioTypePhone && !havePhone) {
                *phone = node->state;
                havePhone = true;
                ++taken;
            } else if (node->type == plat::kRadioTypeBluetooth && !haveBluetooth) {
                *bluetooth = node->state;
                haveBluetooth = true;
            }
        }
        freeList(head);
    }
    plat::FreeLibrary(lib);
}

uint32_t GetWifiState() {
    uint32_t wifi = 0, phone = 0, bluetooth = 0;
    GetRadioStates(&wifi, &phone, &bluetooth);
    return wifi;
}

}  // namespace tlw
