#include "sim/install_programs.h"

#include <filesystem>
#include <system_error>

#include "common/config/config_paths.h"
#include "platform/hardware/device_model.h"
#include "platform/shell/today_item.h"
#include "base/text.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "sim/device_setup.h"

namespace sim {
namespace {

// A device program and the host executable it stands for.
struct ProgramLink {
    const char16_t* folder;  // device folder; null: the install folder (InstallDir)
    const char16_t* name;    // file name in it
    const char* executable;  // host executable's name beside tlwsim
};

constexpr ProgramLink kPrograms[] = {
    {u"\\Windows", u"Tallowd.exe", "Tallowd"},
    {nullptr, u"Tlwconfig.exe", "Tlwconfig"},
    // The configuration program also in "\Windows", so that it starts by its bare name.
    {u"\\Windows", u"Tlwconfig.exe", "Tlwconfig"},
    // Programs the deliverables start but do not contain: the stand-in.
    {u"\\windows", u"cprog.exe", "tlwprog"},
    {u"\\Windows", u"repllog.exe", "tlwprog"},
    {u"\\Windows", u"tfwifi.exe", "tlwprog"},
    {u"\\Windows", u"tmail.exe", "tlwprog"},
    // The separate mail client's program; it counts as installed only once
    // its registry keys are there (HKCU\SOFTWARE\WebIS\Mail2).
    {u"\\Program Files\\FlexMail", u"flexmail.exe", "tlwprog"},
    {u"\\Program Files\\Demo", u"Demo.exe", "tlwprog"},
};

// The engine's shortcut in the Startup folder, and the WIDCOMM tray's.
constexpr char16_t kStartupShortcut[] = u"Tallowd.lnk";
constexpr char16_t kTrayShortcut[] = u"BtTray.lnk";
constexpr char16_t kEngineProgram[] = u"\\Windows\\Tallowd.exe";

// The Today plug-in: its library and its entry in the Today screen's list.
constexpr char16_t kTodayLibrary[] = u"TlwToday.dll";
constexpr char16_t kTodayLibraryPath[] = u"\\Windows\\TlwToday.dll";
constexpr char kTodayHostLibrary[] = "TlwToday.so";
constexpr char16_t kTodayItemName[] = u"TlwToday";

// Lists the plug-in with the Today screen as its installer does: a custom
// item, shown, first in the list.
bool RegisterTodayItem(std::string* error) {
    std::u16string key = std::u16string(plat::kTodayItemsKey) + u"\\" + kTodayItemName;
    if (!plat::RegWriteString(plat::kHkeyLocalMachine, key, u"DLL", kTodayLibraryPath) ||
        !plat::RegWriteDword(plat::kHkeyLocalMachine, key, u"Type", plat::kTodayTypeCustom) ||
        !plat::RegWriteDword(plat::kHkeyLocalMachine, key, u"Enabled", 1) ||
        !plat::RegWriteDword(plat::kHkeyLocalMachine, key, u"Order", 0) ||
        !plat::RegWriteDword(plat::kHkeyLocalMachine, key, u"Options", 0)) {
        *error = "cannot register the Today item";
        return false;
    }
    return true;
}

// Creates every missing folder of a device path.
bool MakeDeviceFolders(std::u16string_view folder) {
    std::u16string path;
    size_t start = 1;
    while (start <= folder.size()) {
        size_t end = folder.find(u'\\', start);
        if (end == std::u16string_view::npos) end = folder.size();
        path += u"\\";
        path += folder.substr(start, end - start);
        if (!plat::DirectoryExists(path) && !plat::CreateDirectory(path)) return false;
        start = end + 1;
    }
    return true;
}

bool Link(std::u16string_view folder, std::u16string_view name, const std::filesystem::path& target,
          std::string* error) {
    std::u16string devicePath = plat::JoinDevicePath(folder, name);
    if (!MakeDeviceFolders(folder)) {
        *error = "cannot create the device folder " + tlw::Utf16ToUtf8(folder);
        return false;
    }
    std::filesystem::path link = plat::HostPath(devicePath);
    std::error_code ec;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(target, link, ec);
    if (ec) {
        *error = "cannot install " + tlw::Utf16ToUtf8(devicePath) + ": " + ec.message();
        return false;
    }
    return true;
}

// A shortcut in the phone's format: the target's length, '#', the quoted
// target; in the Startup folder unless another folder is given.
bool WriteStartupShortcut(std::u16string_view name, std::u16string_view target, std::string* error,
                          std::u16string_view folder = {}) {
    std::u16string shortcut = tlw::Format(u"%d#\"%s\"", {static_cast<int>(target.size()) + 2, target});
    std::string bytes = tlw::Utf16ToUtf8(shortcut);  // ASCII: the same in every code page
    std::u16string into = folder.empty() ? plat::GetSpecialFolderPath(plat::kFolderStartup) : std::u16string(folder);
    std::u16string startup = plat::JoinDevicePath(into, name);
    plat::File file;
    if (!MakeDeviceFolders(into) ||
        !file.Open(startup, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways) ||
        !file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        *error = "cannot write the Startup shortcut " + tlw::Utf16ToUtf8(startup);
        return false;
    }
    return true;
}

}  // namespace

std::filesystem::path HostProgramDir() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

bool InstallPrograms(std::string* error) {
    std::filesystem::path bin = HostProgramDir();
    if (bin.empty()) {
        *error = "cannot find the folder of the host programs";
        return false;
    }
    std::u16string installDir = kInstallFolder;
    plat::RegReadString(plat::kHkeyLocalMachine, tlw::kInstallKey, tlw::kInstallDirValue, &installDir);
    for (const ProgramLink& program : kPrograms) {
        std::u16string_view folder = program.folder ? std::u16string_view(program.folder) : installDir;
        if (!Link(folder, program.name, bin / program.executable, error)) return false;
    }

    if (!Link(u"\\Windows", kTodayLibrary, bin / kTodayHostLibrary, error)) return false;
    if (!RegisterTodayItem(error)) return false;

    if (!WriteStartupShortcut(kStartupShortcut, kEngineProgram, error)) return false;
    // The installation's own copy, which the configuration program puts back
    // into the Startup folder whenever it closes.
    if (!WriteStartupShortcut(kStartupShortcut, kEngineProgram, error, u"\\Windows")) return false;
    // The WIDCOMM Bluetooth stack's tray program, started with the phone.
    if (plat::CurrentDeviceModel().bluetoothStack == plat::BluetoothStack::kWidcomm) {
        if (!Link(u"\\Windows", u"BtTray.exe", bin / "tlwprog", error)) return false;
        if (!WriteStartupShortcut(kTrayShortcut, kTrayProgram, error)) return false;
    }
    return true;
}

}  // namespace sim
