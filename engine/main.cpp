// Tallowd: the resident engine of the phone-profile manager.
#include <string>

#include "base/text.h"
#include "engine/engine_main.h"
#include "platform/storage/device.h"
#include "platform/hardware/device_model.h"

int main(int argc, char** argv) {
    plat::SetProgramName("Tallowd");
    plat::ApplyDeviceModel();  // code page, locale and screen of this phone
    // The device passes the whole command line as one argument.
    std::u16string commandLine = argc > 1 ? tlw::Utf8ToUtf16(argv[1]) : std::u16string();
    return tlw::RunEngine(commandLine);
}
