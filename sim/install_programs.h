// Installing the device programs of a fresh device (`tlwsim init`): links in
// the device's file system to the host executables built beside tlwsim.
//   \Windows\Tallowd.exe                 -> <bin>/Tallowd
//   <InstallDir>\Tlwconfig.exe           -> <bin>/Tlwconfig
//   \windows\cprog.exe, \Windows\repllog.exe, \Windows\tfwifi.exe,
//   \Program Files\Demo\Demo.exe         -> <bin>/tlwprog (the simulator's
//                                           stand-in program)
// and the engine's shortcut "\Windows\StartUp\Tallowd.lnk" holding
// 23#"\Windows\Tallowd.exe" as the phone's shortcut files do. A phone with
// the WIDCOMM Bluetooth stack also gets its tray program
// "\Windows\BtTray.exe" (-> <bin>/tlwprog) with a Startup shortcut. <bin> is the
// folder of the running executable (/proc/self/exe), so tests and the
// console agree. A link may point to a program not built yet; starting it
// then fails cleanly.
#pragma once

#include <filesystem>
#include <string>

namespace sim {

// The WIDCOMM Bluetooth stack's tray program.
inline constexpr char16_t kTrayProgram[] = u"\\Windows\\BtTray.exe";

// The folder holding the host executables: that of the running program.
std::filesystem::path HostProgramDir();

// Installs the programs and the shortcut on the current device (made by
// CreateDevice). Existing links are replaced. False with a message when a
// link or the shortcut cannot be written.
bool InstallPrograms(std::string* error);

}  // namespace sim
