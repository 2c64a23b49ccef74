#include "common/device/radio_states.h"

#include "platform/hardware/library.h"
#include "platform/hardware/wireless_switch.h"

namespace tlw {

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
