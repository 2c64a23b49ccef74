// `FindStrongestAccessPoint`: the MAC text of the strongest usable access
// point in reach, switching Wi-Fi on for the scan and back afterwards.
#include <algorithm>
#include <mutex>
#include <string_view>

#include "common/device/location_reading.h"
#include "common/device/radio_states.h"
#include "common/device/wifi.h"
#include "platform/storage/device_store.h"

namespace tlw {

bool FindStrongestAccessPoint(char16_t* text, size_t capacity) {
    if (!text || capacity == 0) return false;
    // The sensing thread holds this lock while it uses the device store.
    plat::store::EndBatch();
    std::lock_guard<std::recursive_mutex> sensing(SensingLock());
    uint32_t before = GetWifiState();
    SetWifiRadio(true);
    text[0] = 0;
    bool found = false;
    if (OpenWirelessAdapter()) {
        static AccessPointInfo records[kMaxAccessPoints];
        size_t count = ScanAccessPoints(records);
        SetWifiRadio(before != 0);
        if (count == 0) {
            CloseWirelessAdapter();
            return false;
        }
        int32_t signals[kMaxAccessPoints];
        for (size_t i = 0; i < count; ++i) signals[i] = records[i].signal;
        int best = ChooseStrongestAccessPoint(signals, count);
        if (best >= 0) {
            std::u16string_view mac(records[best].macText);
            size_t n = std::min(mac.size(), capacity - 1);
            mac.copy(text, n);
            text[n] = 0;
            found = true;
        }
        CloseWirelessAdapter();
    }
    return found;
}

}  // namespace tlw
