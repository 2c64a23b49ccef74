// Shortcut files and the Startup folder's shortcuts.
#include "platform/shell/shortcut.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/shell/startup_programs.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"

namespace plat {
namespace {

bool ReadShortcut(std::u16string_view path, ShortcutCommand* out) {
    File file;
    if (!file.Open(path, kGenericRead, kShareRead, kOpenExisting)) return false;
    int64_t size = file.Size();
    if (size < 0 || size > static_cast<int64_t>(kMaxShortcutBytes)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    uint32_t got = 0;
    if (size > 0 && (!file.Read(bytes.data(), static_cast<uint32_t>(size), &got) || got != size)) return false;
    if (!ParseShortcut(AnsiToWide(bytes), out)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return true;
}

std::u16string WithExtension(std::u16string_view name) {
    std::u16string n(name);
    if (n.size() < 4 || !tlw::EqualsNoCase(std::u16string_view(n).substr(n.size() - 4), u".lnk")) n += u".lnk";
    return n;
}

}  // namespace

bool SHCreateShortcut(std::u16string_view shortcutPath, std::u16string_view target, std::u16string_view arguments) {
    if (target.empty() || target.find(u'"') != std::u16string_view::npos || shortcutPath.empty()) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::u16string command = target.find(u' ') != std::u16string_view::npos
                                 ? u"\"" + std::u16string(target) + u"\""
                                 : std::u16string(target);
    if (!arguments.empty()) command += u" " + std::u16string(arguments);
    std::string line = std::to_string(command.size()) + "#" + WideToAnsi(command);
    // Written beside and renamed into place, so a reader never sees half a shortcut.
    std::u16string temp = std::u16string(shortcutPath) + u".tmp";
    {
        File file;
        if (!file.Open(temp, kGenericWrite, kShareNone, kCreateAlways)) return false;
        if (!file.Write(line.data(), static_cast<uint32_t>(line.size())) || !file.Flush()) {
            file.Close();
            DeleteFile(temp);
            return false;
        }
    }
    if (!MoveFile(temp, shortcutPath, true)) {
        DeleteFile(temp);
        return false;
    }
    return true;
}

bool SHGetShortcutTarget(std::u16string_view shortcutPath, std::u16string* target) {
    ShortcutCommand command;
    if (!ReadShortcut(shortcutPath, &command)) return false;
    if (target) *target = command.program;
    return true;
}

std::u16string StartupShortcutPath(std::u16string_view name) {
    return JoinDevicePath(GetSpecialFolderPath(kFolderStartup), WithExtension(name));
}

bool CreateStartupShortcut(std::u16string_view name, std::u16string_view program, std::u16string_view arguments) {
    if (name.empty() || name.find_first_of(u"\\/:*?\"<>|") != std::u16string_view::npos) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    // The folders on the way ("\Windows", then "\Windows\StartUp") are made when missing.
    std::u16string folder = GetSpecialFolderPath(kFolderStartup);
    for (size_t at = folder.find(u'\\', 1); ; at = folder.find(u'\\', at + 1)) {
        std::u16string part = folder.substr(0, at);
        if (!DirectoryExists(part) && !CreateDirectory(part)) return false;
        if (at == std::u16string::npos) break;
    }
    return SHCreateShortcut(StartupShortcutPath(name), program, arguments);
}

bool RemoveStartupShortcut(std::u16string_view name) {
    std::u16string path = StartupShortcutPath(name);
    if (!FileExists(path)) return true;
    return DeleteFile(path);
}

bool FindStartupShortcut(std::u16string_view program, std::u16string* shortcutPath) {
    std::filesystem::path folder = HostPath(GetSpecialFolderPath(kFolderStartup));
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        std::u16string device = DevicePathOf(file);
        if (device.size() < 4 || !tlw::EqualsNoCase(std::u16string_view(device).substr(device.size() - 4), u".lnk")) continue;
        ShortcutCommand command;
        if (!ReadShortcut(device, &command)) continue;
        if (!tlw::EqualsNoCase(command.program, program)) continue;
        if (shortcutPath) *shortcutPath = device;
        return true;
    }
    return false;
}

}  // namespace plat
