// Fuzz target: the device-model file. Any text must parse into a model whose
// values lie in their ranges, or fail with one message naming the line; the
// same text always gives the same answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/hardware/device_model.h"
#include "platform/storage/code_page.h"
#include "platform/storage/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    plat::DeviceModel model;
    std::string error;
    bool ok = plat::ParseDeviceModel(text, "fuzz", &model, &error);
    if (!ok) {
        if (error.rfind("line ", 0) != 0) std::abort();
        plat::DeviceModel again;
        std::string error2;
        if (plat::ParseDeviceModel(text, "fuzz", &again, &error2) || error2 != error) std::abort();
        return 0;
    }
    if (!error.empty() || model.name.empty()) std::abort();
    if (model.screenWidth < 1 || model.screenWidth > 4096 || model.screenHeight < 1 || model.screenHeight > 4096) std::abort();
    if (model.dpiX < 1 || model.dpiX > 1000 || model.dpiY < 1 || model.dpiY > 1000) std::abort();
    if (model.osMajor > 0xFFFF || model.osMinor > 0xFFFF || model.osBuild > 0xFFFF) std::abort();
    if (!plat::IsKnownCodePage(model.codePage) || model.locale.empty()) std::abort();
    if (model.bluetoothStack != plat::BluetoothStack::kMicrosoft && model.hasBluetoothNode) std::abort();
    for (const std::u16string& library : model.libraries)
        if (!plat::ModelHasLibrary(model, library)) std::abort();
    for (const std::u16string& driver : model.drivers)
        if (!plat::ModelHasDriver(model, driver)) std::abort();
    for (const plat::RegistrySeed& seed : model.registry) {
        plat::HKey root = 0;
        std::u16string subKey;
        if (!plat::ParseRegistryPath(seed.key, &root, &subKey) || subKey.empty()) std::abort();
        if (seed.type != plat::kRegDword && seed.type != plat::kRegSz) std::abort();
    }
    for (const auto& [key, value] : model.initialState)
        if (key.empty()) std::abort();
    return 0;
}
