// Device operations whose device areas are not built yet. Each does nothing,
// as a device without the area's driver or library would; the area's own
// file replaces its entries here when it is built.
#include "common/device/device_operations.h"

namespace tlw {

void SetSoundMode(uint32_t, uint32_t) {}
void SetRingerVolume(int32_t) {}
void SetPhoneVolume(int32_t) {}
void ListSoundFiles(bool, std::vector<SoundFileEntry>* out) { out->clear(); }
void SetEventSound(int32_t, const SoundFileEntry&) {}
void SetEventOptions(int32_t, int32_t, bool, bool, int32_t) {}
void SetPushMail(int32_t) {}
void HangUpDataCalls() {}
void OpenDataConnection() {}
void SetProxy(std::u16string_view) {}
void SetBacklight(int32_t) {}
void ApplyBacklight() {}
void SetBacklightTimeoutBattery(uint32_t) {}
void SetBacklightTimeoutExternal(uint32_t) {}
void SetSuspendTimeoutBattery(uint32_t) {}
void SetSuspendTimeoutExternal(uint32_t) {}

}  // namespace tlw
