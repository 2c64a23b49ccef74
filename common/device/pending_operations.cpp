// Device operations whose device areas are not built yet. Each does nothing,
// as a device without the area's driver or library would; the area's own
// file replaces its entries here when it is built.
#include "common/device/device_operations.h"

namespace tlw {

void SetWifiRadio(bool) {}
void SetBluetoothRadio(bool) {}
void SetBluetoothVisible(bool) {}
void SetPushMail(int32_t) {}
void HangUpDataCalls() {}
void OpenDataConnection() {}
void SetProxy(std::u16string_view) {}

}  // namespace tlw
