// Shortcut files (".lnk", one line `LENGTH#COMMAND` in the ANSI code page,
// see startup_programs.h) and the Startup folder's shortcuts that make a
// program start with the phone.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Writes a shortcut to `target` (a program path, quoted in the file when it
// holds blanks, then `arguments` when given), replacing one there. False
// (last error set) when the file cannot be written or the target is empty
// (kErrorInvalidParameter).
bool SHCreateShortcut(std::u16string_view shortcutPath, std::u16string_view target,
                      std::u16string_view arguments = u"");
// The program a shortcut points to; false when the file is missing or is
// no shortcut (kErrorInvalidParameter).
bool SHGetShortcutTarget(std::u16string_view shortcutPath, std::u16string* target);

// The Startup folder's shortcut named `name` ("Tallowd" or "Tallowd.lnk"):
// "\Windows\StartUp\Tallowd.lnk".
std::u16string StartupShortcutPath(std::u16string_view name);
// Creates (replacing) the Startup shortcut `name` to the program.
bool CreateStartupShortcut(std::u16string_view name, std::u16string_view program, std::u16string_view arguments = u"");
// Removes it; true when it is gone (also when it was not there).
bool RemoveStartupShortcut(std::u16string_view name);
// True when a shortcut of the Startup folder (whatever its name) starts
// the program (paths compared without regard to case); *shortcutPath gets
// the first such shortcut when not null.
bool FindStartupShortcut(std::u16string_view program, std::u16string* shortcutPath = nullptr);

}  // namespace plat
