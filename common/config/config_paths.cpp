#include "common/config/config_paths.h"

#include "platform/storage/code_page.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"

namespace tlw {

ConfigPaths BuildConfigPaths() {
    ConfigPaths p;
    std::u16string documents = plat::GetSpecialFolderPath(plat::kFolderPersonal);
    p.configFolder = documents + u"\\Korvel";
    p.configFile = documents + u"\\Korvel\\Tallowd.ini";
    p.backupFile = documents + u"\\Korvel\\Tallowd.bak";
    p.configFileAnsi = plat::WideToAnsi(p.configFile.View());
    p.backupFileAnsi = plat::WideToAnsi(p.backupFile.View());

    p.engineProgram = plat::GetSpecialFolderPath(plat::kFolderWindows) + u"\\Tallowd.exe";

    std::u16string appData = plat::GetSpecialFolderPath(plat::kFolderAppData);
    p.skinsFolder = appData + u"\\Korvel\\Tallowin\\Skins\\";
    p.iconStoreFolder = appData + u"\\Korvel\\Tallowin\\Icon_store\\";
    p.languageFile = appData + u"\\Korvel\\Tallowin\\Language.ini";

    std::u16string installDir;
    plat::RegReadString(plat::kHkeyLocalMachine, kInstallKey, kInstallDirValue, &installDir);
    PathString dir(installDir);  // at most 260 characters
    p.configProgram = dir;
    p.configProgram.Append(u"\\Tlwconfig.exe");
    return p;
}

}  // namespace tlw
