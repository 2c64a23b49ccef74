// The Startup folder ("\Windows\StartUp"): the programs the phone starts
// when it boots. The folder holds shortcut files (".lnk", one line
// `LENGTH#COMMAND`, e.g. 23#"\Windows\Tallowd.exe", where COMMAND is a
// program path, quoted when it holds blanks, followed by its arguments) and
// programs themselves (".exe").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Longest shortcut file read, in bytes; longer files are no shortcuts.
constexpr size_t kMaxShortcutBytes = 1024;

// The command of a shortcut: the program and its arguments.
struct ShortcutCommand {
    std::u16string program;    // device path of the program
    std::u16string arguments;  // its command line, without surrounding blanks
};

// Reads a shortcut's text (already converted from the ANSI code page): the
// decimal length, '#', then the command on the rest of the first line. False
// for text without that shape, an empty program or an unclosed quote.
bool ParseShortcut(std::u16string_view text, ShortcutCommand* out);

// The commands of the Startup folder's shortcuts and programs, in the order
// of their file names. Files that are neither (or unreadable shortcuts) are
// left out.
std::vector<ShortcutCommand> ListStartupCommands();

// Starts every command of ListStartupCommands as a device program; returns
// the process ids of those that started (a failed start is journalled by
// the process start).
std::vector<uint32_t> StartStartupPrograms();

}  // namespace plat
