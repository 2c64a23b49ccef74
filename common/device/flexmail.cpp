#include "common/device/flexmail.h"

#include "platform/storage/registry.h"

namespace tlw {

bool FindFlexMail(PathString* program) {
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2\\Services", &key) != 0) return false;
    plat::RegCloseKey(key);
    std::u16string dir;
    plat::RegReadString(plat::kHkeyCurrentUser, u"SOFTWARE\\WebIS\\Mail2", u"InstallDir", &dir);
    *program = dir;
    program->Append(u"\\flexmail.exe");
    return true;
}

}  // namespace tlw
