#include "common/config/registry_state.h"

#include <cmath>
#include <vector>

#include "common/config/profile.h"
#include "common/config/registry_key.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/registry.h"

namespace tlw {
namespace {

uint32_t DwordOr(std::u16string_view name, uint32_t fallback) {
    uint32_t value = fallback;
    ReadTallowinDword(name, &value);
    return value;
}

// Opens the key, reads one DWORD, closes the key. Returns false only when
// the key cannot be opened; a missing value leaves *value.
bool ReadFromOpenKey(std::u16string_view name, uint32_t* value) {
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, kTallowinKey, &key) != plat::kErrorSuccess) return false;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (plat::RegQueryValue(key, name, &type, &data) == plat::kErrorSuccess && type == plat::kRegDword &&
        data.size() == 4) {
        *value = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                 static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    }
    plat::RegCloseKey(key);
    return true;
}

}  // namespace

bool ReadTallowinDword(std::u16string_view name, uint32_t* value) {
    return plat::RegReadDword(plat::kHkeyCurrentUser, kTallowinKey, name, value);
}

bool WriteTallowinDword(std::u16string_view name, uint32_t value) {
    return plat::RegWriteDword(plat::kHkeyCurrentUser, kTallowinKey, name, value);
}

bool ReadTallowinString(std::u16string_view name, std::u16string* value) {
    return plat::RegReadString(plat::kHkeyCurrentUser, kTallowinKey, name, value);
}

bool WriteTallowinString(std::u16string_view name, std::u16string_view value) {
    return plat::RegWriteString(plat::kHkeyCurrentUser, kTallowinKey, name, value);
}

void WriteRunningProfile(int32_t index, std::u16string_view name, std::u16string_view icon, int32_t type) {
    WriteTallowinDword(kRunningProfileValue, static_cast<uint32_t>(index));
    WriteTallowinDword(kRunningProfileTypeValue, static_cast<uint32_t>(type));
    WriteTallowinString(kRunningProfileNameValue, name);
    WriteTallowinString(kRunningProfileIconValue, icon);
}

int32_t ReadRunningProfile() { return static_cast<int32_t>(DwordOr(kRunningProfileValue, kNoProfile)); }

int32_t ReadManualProfile() { return static_cast<int32_t>(DwordOr(kManualProfileValue, kNoProfile)); }
bool WriteManualProfile(int32_t index) { return WriteTallowinDword(kManualProfileValue, static_cast<uint32_t>(index)); }

int32_t ReadLastManualProfile() { return static_cast<int32_t>(DwordOr(kLastManualProfileValue, kNoProfile)); }
bool WriteLastManualProfile(int32_t index) {
    return WriteTallowinDword(kLastManualProfileValue, static_cast<uint32_t>(index));
}

uint32_t ReadManualTimeOut() { return DwordOr(kManualTimeOutValue, 0); }
bool WriteManualTimeOut(uint32_t value) { return WriteTallowinDword(kManualTimeOutValue, value); }

uint32_t EncodeManualTimeOut(const plat::SystemTime& end) {
    double date = 0;
    if (!plat::SystemTimeToVariantTime(end, &date)) return 0;
    double scaled = date * 10000.0;
    if (!(scaled >= 0.0) || scaled >= 4294967296.0) return 0;
    return static_cast<uint32_t>(scaled);  // truncated, as the stored form is
}

bool DecodeManualTimeOut(uint32_t value, plat::SystemTime* end) {
    if (value == 0) return false;
    return plat::VariantTimeToSystemTime(value / 10000.0, end);
}

bool ReadLocked() { return DwordOr(kLockedValue, 0) == 1; }
bool WriteLocked(bool locked) { return WriteTallowinDword(kLockedValue, locked ? 1 : 0); }

uint32_t ReadAlreadyReset() { return DwordOr(kAlreadyResetValue, 1); }
bool WriteAlreadyReset(uint32_t value) { return WriteTallowinDword(kAlreadyResetValue, value); }

uint32_t ReadRunProcess() { return DwordOr(kRunProcessValue, 0); }
bool WriteRunProcess(uint32_t handle) { return WriteTallowinDword(kRunProcessValue, handle); }

bool ReadRotateBeforeRun() { return DwordOr(kRotateBeforeRunValue, 0) == 1; }

uint32_t ReadBrightNess() { return DwordOr(kBrightNessValue, 1); }
bool WriteBrightNess(uint32_t level) { return WriteTallowinDword(kBrightNessValue, level); }

bool ReadNotUseHTCutil() { return DwordOr(kNotUseHTCutilValue, 0) != 0; }

uint32_t ReadFlags2() { return DwordOr(kFlags2Value, 0); }
bool WriteFlags2(uint32_t value) { return WriteTallowinDword(kFlags2Value, value); }

bool ReadSimPinValues(SimPinValues* values) {
    if (!ReadFromOpenKey(kProfileFlagsValue, &values->profileFlags)) return false;
    return ReadFromOpenKey(kProfileFlags2Value, &values->profileFlags2);
}

bool WriteSimPinValues(const SimPinValues& values) {
    bool ok = WriteTallowinDword(kProfileFlagsValue, values.profileFlags);
    return WriteTallowinDword(kProfileFlags2Value, values.profileFlags2) && ok;
}

uint32_t ReadLogMode() { return DwordOr(kLogModeValue, 0); }

}  // namespace tlw
