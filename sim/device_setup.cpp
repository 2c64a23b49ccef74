#include "sim/device_setup.h"

#include <filesystem>
#include <system_error>

#include "common/config/config_paths.h"
#include "platform/storage/device.h"
#include "platform/storage/file.h"
#include "platform/storage/journal.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "sim/install_graphics.h"
#include "sim/install_language.h"
#include "sim/install_model.h"
#include "sim/install_programs.h"
#include "sim/install_sounds.h"

namespace sim {

bool CreateDevice(const std::string& folder, const DeviceOptions& options, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path root(folder);
    if (fs::exists(root / ".device", ec)) {
        *error = "'" + folder + "' already holds a device; remove it first or choose another folder";
        return false;
    }
    fs::create_directories(root / ".device", ec);
    // The state (registry, journal, sockets) is the owner's alone.
    if (!ec) fs::permissions(root / ".device", fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec || !plat::SetDevice(root)) {
        *error = "cannot create device folder '" + folder + "': " + ec.message();
        return false;
    }
    if (options.timeGiven) plat::SetLocalTime(options.time);
    if (options.frozen) plat::FreezeClock();

    const char16_t* folders[] = {
        u"\\My Documents",
        u"\\Windows",
        u"\\Windows\\StartUp",
        u"\\Application Data",
        u"\\Application Data\\Korvel",
        u"\\Application Data\\Korvel\\Tallowin",
        u"\\Program Files",
        u"\\Program Files\\Korvel",
        kInstallFolder,
        u"\\Temp",
    };
    for (const char16_t* f : folders) {
        if (!plat::DirectoryExists(f) && !plat::CreateDirectory(f)) {
            *error = "cannot create the device's folders in '" + folder + "'";
            return false;
        }
    }
    if (!plat::RegWriteString(plat::kHkeyLocalMachine, tlw::kInstallKey, tlw::kInstallDirValue, kInstallFolder)) {
        *error = "cannot write the device registry in '" + folder + "'";
        return false;
    }
    // The model first: it sets the screen, code page and locale the other
    // steps use.
    if (!InstallDeviceModel(options.model, error)) return false;
    if (!options.screen.empty() && !SetDeviceScreen(options.screen, error)) return false;
    if (!InstallLanguageFile(error)) return false;
    if (!InstallGraphicsAssets(error)) return false;
    if (!InstallSounds(error)) return false;
    if (!InstallPrograms(error)) return false;
    plat::JournalAppend("device created");
    return true;
}

}  // namespace sim
