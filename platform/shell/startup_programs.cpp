#include "platform/shell/startup_programs.h"

#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/storage/paths.h"
#include "platform/process/process.h"

namespace plat {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EndsWithNoCase(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && tlw::EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// The file's bytes; false when it cannot be read or is too long to be a
// shortcut.
bool ReadSmallFile(std::u16string_view path, std::string* out) {
    File file;
    if (!file.Open(path, kGenericRead, kShareRead, kOpenExisting)) return false;
    int64_t size = file.Size();
    if (size < 0 || size > static_cast<int64_t>(kMaxShortcutBytes)) return false;
    out->resize(static_cast<size_t>(size));
    uint32_t got = 0;
    if (size > 0 && (!file.Read(out->data(), static_cast<uint32_t>(size), &got) || got != size)) return false;
    return true;
}

}  // namespace

bool ParseShortcut(std::u16string_view text, ShortcutCommand* out) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') ++digits;
    if (digits == 0 || digits >= text.size() || text[digits] != u'#') return false;
    std::u16string_view command = text.substr(digits + 1);
    size_t lineEnd = command.find_first_of(u"\r\n");
    if (lineEnd != std::u16string_view::npos) command = command.substr(0, lineEnd);
    command = Trim(command);
    ShortcutCommand result;
    std::u16string_view rest;
    if (!command.empty() && command.front() == u'"') {
        size_t close = command.find(u'"', 1);
        if (close == std::u16string_view::npos) return false;
        result.program = std::u16string(command.substr(1, close - 1));
        rest = command.substr(close + 1);
    } else {
        size_t blank = command.find_first_of(u" \t");
        result.program = std::u16string(command.substr(0, blank));
        rest = blank == std::u16string_view::npos ? std::u16string_view() : command.substr(blank);
    }
    if (Trim(result.program).empty()) return false;
    result.arguments = std::u16string(Trim(rest));
    *out = std::move(result);
    return true;
}

std::vector<ShortcutCommand> ListStartupCommands() {
    std::vector<ShortcutCommand> commands;
    std::u16string folder = GetSpecialFolderPath(kFolderStartup);
    FileFinder finder;
    FindData entry;
    for (bool more = finder.First(JoinDevicePath(folder, u"*.*"), &entry); more; more = finder.Next(&entry)) {
        if (entry.attributes & kAttributeDirectory) continue;
        std::u16string path = JoinDevicePath(folder, entry.name);
        if (EndsWithNoCase(entry.name, u".exe")) {
            commands.push_back({path, u""});
            continue;
        }
        if (!EndsWithNoCase(entry.name, u".lnk")) continue;
        std::string bytes;
        ShortcutCommand command;
        if (ReadSmallFile(path, &bytes) && ParseShortcut(AnsiToWide(bytes), &command))
            commands.push_back(std::move(command));
    }
    return commands;
}

std::vector<uint32_t> StartStartupPrograms() {
    std::vector<uint32_t> started;
    for (const ShortcutCommand& command : ListStartupCommands()) {
        ProcessInformation info{};
        if (!CreateProcess(command.program, command.arguments, 0, &info)) continue;
        CloseHandle(info.thread);
        CloseHandle(info.process);
        started.push_back(info.processId);
    }
    return started;
}

}  // namespace plat
