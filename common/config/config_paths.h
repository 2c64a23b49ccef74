// The set of paths every deliverable computes at start-up, built from the
// platform's special folders and the install folder in the registry.
#pragma once

#include <string>

#include "base/fixed_string.h"

namespace tlw {

constexpr int kPathCapacity = 260;  // characters of every path, terminator included
using PathString = FixedString<kPathCapacity>;

struct ConfigPaths {
    PathString configFolder;     // documents + "\Korvel"
    PathString configFile;       // documents + "\Korvel\Tallowd.ini"
    std::string configFileAnsi;  // the same in the ANSI code page
    PathString backupFile;       // documents + "\Korvel\Tallowd.bak"
    std::string backupFileAnsi;  // the same in the ANSI code page
    PathString engineProgram;    // Windows + "\Tallowd.exe"
    PathString skinsFolder;      // application data + "\Korvel\Tallowin\Skins\"
    PathString iconStoreFolder;  // application data + "\Korvel\Tallowin\Icon_store\"
    PathString languageFile;     // application data + "\Korvel\Tallowin\Language.ini"
    PathString configProgram;    // InstallDir + "\Tlwconfig.exe"
};

// Builds the path set. A missing InstallDir leaves only "\Tlwconfig.exe".
ConfigPaths BuildConfigPaths();

// The install key and value that name the configuration program's folder.
inline constexpr char16_t kInstallKey[] = u"SOFTWARE\\Apps\\Korvelnet Tallowin";
inline constexpr char16_t kInstallDirValue[] = u"InstallDir";

}  // namespace tlw
