#include "common/device/flexmail.h"

#include "platform/kernel/kernel_handle.h"
#include "platform/process/process.h"
#include "platform/storage/registry.h"

namespace tlw {
namespace {

constexpr char16_t kMailKey[] = u"SOFTWARE\\WebIS\\Mail2";                    // under HKCU
constexpr char16_t kServicesKey[] = u"SOFTWARE\\WebIS\\Mail2\\Services";      // exists when installed
constexpr char16_t kStoragesKey[] = u"SOFTWARE\\WebIS\\Mail2\\Storages";      // one subkey per storage
constexpr char16_t kStorageKeyPrefix[] = u"Software\\WebIS\\Mail2\\Storages\\";
constexpr size_t kMaxStorageName = 255;  // longest storage name enumerated
constexpr char16_t kSmsRulesKey[] = u"Software\\Microsoft\\Inbox\\Svc\\SMS\\Rules";  // under HKLM
constexpr char16_t kFlexMailSmsRule[] = u"{A6A3B2C6-3F82-467a-9F23-825E7131EC81}";
constexpr char16_t kInboxRaiKey[] = u"Software\\Microsoft\\Shell\\Rai\\:MSINBOX";     // under HKLM
constexpr char16_t kBuiltInInbox[] = u"TMAIL";

}  // namespace

bool FlexMailInstalled() {
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, kServicesKey, &key) != 0) return false;
    plat::RegCloseKey(key);
    return true;
}

bool FindFlexMail(PathString* program) {
    if (!FlexMailInstalled()) return false;
    std::u16string dir;
    plat::RegReadString(plat::kHkeyCurrentUser, kMailKey, u"InstallDir", &dir);
    *program = dir;
    program->Append(u"\\flexmail.exe");
    return true;
}

int32_t FlexMailUnread(FlexMailStorageName* storageName) {
    plat::HKey storages = 0;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, kStoragesKey, &storages) != 0) return 0;
    int32_t total = 0;
    std::u16string name;
    for (uint32_t i = 0; plat::RegEnumKey(storages, i, &name) == 0; ++i) {
        if (name.size() > kMaxStorageName) continue;
        uint32_t unread = 0;
        if (!plat::RegReadDword(plat::kHkeyCurrentUser, std::u16string(kStorageKeyPrefix) + name, u"TotalUnreadMessages",
                                &unread))
            continue;
        total += static_cast<int32_t>(unread);
        if (unread != 0) *storageName = name;
    }
    plat::RegCloseKey(storages);
    return total;
}

bool FlexMailHandlesSms() {
    uint32_t rule = 0;
    return plat::RegReadDword(plat::kHkeyLocalMachine, kSmsRulesKey, kFlexMailSmsRule, &rule) && rule == 1;
}

bool InboxIsNotTmail() {
    std::u16string inbox;
    return plat::RegReadString(plat::kHkeyLocalMachine, kInboxRaiKey, u"0", &inbox) && inbox != kBuiltInInbox;
}

bool StartFlexMail(const PathString& program) {
    if (program.View().empty()) return false;
    plat::ProcessInformation info{};
    if (!plat::CreateProcess(program.View(), u"", 0, &info)) return false;
    plat::CloseHandle(info.process);
    plat::CloseHandle(info.thread);
    return true;
}

}  // namespace tlw
