#include "sim/device_services.h"

#include "base/text.h"
#include "platform/hardware/device_model.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "platform/process/process.h"
#include "platform/window/window.h"
#include "sim/install_programs.h"

namespace sim {
namespace {

constexpr uint32_t kStartWaitMs = 10000;  // longest wait for a service's window
constexpr uint32_t kCheckMs = 20;

}  // namespace

bool StartDeviceServices(std::string* error) {
    if (plat::CurrentDeviceModel().bluetoothStack != plat::BluetoothStack::kWidcomm) return true;
    if (plat::FindWindow(u"WCE_BTTRAY", nullptr)) return true;
    plat::ProcessInformation info{};
    if (!plat::CreateProcess(kTrayProgram, u"", 0, &info)) {
        *error = "cannot start the Bluetooth tray " + tlw::Utf16ToUtf8(kTrayProgram);
        return false;
    }
    plat::CloseHandle(info.thread);
    bool up = false;
    for (uint32_t waited = 0; waited < kStartWaitMs && !up; waited += kCheckMs) {
        up = static_cast<bool>(plat::FindWindow(u"WCE_BTTRAY", nullptr));
        if (!up && plat::WaitForSingleObject(info.process, kCheckMs) == plat::kWaitObject0) break;
    }
    plat::CloseHandle(info.process);
    if (!up) *error = "the Bluetooth tray " + tlw::Utf16ToUtf8(kTrayProgram) + " did not open its window";
    return up;
}

}  // namespace sim
