// The maker's Wi-Fi tool: every run toggles the radio, for on and off alike.
#include <cstdio>

#include "platform/radio/wifi_oem.h"
#include "sim/tlwprog/roles.h"

namespace tlwprog {

int RunWifiTool() {
    if (plat::ToggleWifiRadioDirect() < 0) {
        std::fprintf(stderr, "tfwifi: this phone has no Wi-Fi radio\n");
        return 1;
    }
    return 0;
}

}  // namespace tlwprog
