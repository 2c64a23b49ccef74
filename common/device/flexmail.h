// The separate mail client FlexMail: whether it is installed, and its program.
#pragma once

#include "common/config/config_paths.h"

namespace tlw {

// True when FlexMail is installed (HKCU\SOFTWARE\WebIS\Mail2\Services
// exists); *program gets its InstallDir followed by "\flexmail.exe".
bool FindFlexMail(PathString* program);

}  // namespace tlw
