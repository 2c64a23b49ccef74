#include "platform/hardware/os_version.h"

#include "platform/hardware/device_model.h"
#include "platform/kernel/last_error.h"

namespace plat {

bool GetVersionEx(OsVersionInfo* out) {
    if (!out) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    DeviceModel model = CurrentDeviceModel();
    out->majorVersion = model.osMajor;
    out->minorVersion = model.osMinor;
    out->buildNumber = model.osBuild;
    out->platformId = kVerPlatformWinCe;
    return true;
}

}  // namespace plat
