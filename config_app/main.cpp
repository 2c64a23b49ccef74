// Tlwconfig: the configuration program of the phone-profile manager.
#include "config_app/config_app.h"
#include "platform/hardware/device_model.h"
#include "platform/storage/device.h"

int main() {
    plat::SetProgramName("Tlwconfig");
    plat::ApplyDeviceModel();  // code page, locale and screen of this phone
    return tlw::RunConfigApp();
}
