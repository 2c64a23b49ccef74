#include "common/device/bluetooth_state.h"

#include "platform/hardware/bluetooth_utility.h"
#include "platform/storage/code_page.h"
#include "platform/hardware/hardware.h"
#include "platform/hardware/library.h"
#include "platform/storage/registry.h"
#include "platform/window/window.h"

namespace tlw {

bool WidcommTrayPresent() { return static_cast<bool>(plat::FindWindow(kWidcommTrayClass, nullptr)); }

std::string ReadWidcommVersion() {
    std::u16string version;
    if (!plat::RegReadString(plat::kHkeyLocalMachine, plat::kWidcommVersionKey, plat::kWidcommVersionValue, &version))
        return {};
    if (version.size() > kWidcommVersionCapacity) version.resize(kWidcommVersionCapacity);
    return plat::WideToAnsi(version);
}

bool IsNewWidcommVersion(std::string_view version) {
    if (version.size() < 3) return false;
    return (version[0] == '1' && version[2] == '9') || static_cast<unsigned char>(version[0]) >= '2';
}

void GetBluetoothState(int32_t* state) {
    uint32_t mode = 0;
    if (!plat::RegReadDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue, &mode)) {
        mode = 0;
        if (plat::HModule lib = plat::LoadLibrary(u"bthutil.dll")) {
            auto getMode = reinterpret_cast<plat::BthGetModeFn>(plat::GetProcAddress(lib, plat::kBthutilGetMode));
            if (!getMode || getMode(&mode) != 0) mode = 0;
            plat::FreeLibrary(lib);
        }
    }
    *state = mode != 0 ? 1 : 0;
}

}  // namespace tlw
