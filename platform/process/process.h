// Device programs and their processes.
//
// A device program is a file of the device (e.g. "\Windows\Tallowd.exe")
// that is a symbolic link to a host executable. Starting it starts that
// executable as a real host process:
//   - argv[0] is the program's device path (UTF-8), argv[1] the whole device
//     command line (UTF-8, possibly empty): exactly one argument string,
//     spaces and quotes included;
//   - TLW_DEVICE holds the absolute host path of the device root and
//     TLW_PROGRAM the program's device path;
//   - the process runs in a session of its own (a console's Ctrl-C does not
//     reach it), with standard input from /dev/null and standard output and
//     error appended to "<root>/.device/programs.log".
// Process ids are host process ids. Each start is journalled as
// "start <device path> <command line>" before the program runs, so that the
// journal lists the start before anything the program does; a start that
// then fails adds "start failed <device path> <command line> (error N)".
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/kernel/kernel_errors.h"
#include "platform/kernel/kernel_handle.h"

namespace plat {

// What CreateProcess hands back.
struct ProcessInformation {
    Handle process;      // waitable until the process ends; close with CloseHandle
    Handle thread;       // the process's first thread: the same waitable end
    uint32_t processId;  // host process id
    uint32_t threadId;   // host id of the first thread (= processId)
};

inline constexpr uint32_t kCreateNewConsole = 0x10;  // accepted, no effect: programs have no console

// Starts a device program. imageName is a device path; a name without a
// folder is looked for in "\Windows", and ".exe" is added to a name without
// an extension. commandLine is passed whole. Fails (false, last error) with
// kErrorFileNotFound when the file does not exist, kErrorBadExeFormat when
// it is not a program (not a link to an executable host file, or a link to
// one not built yet), kErrorAccessDenied for a folder, and leaves *info.
bool CreateProcess(std::u16string_view imageName, std::u16string_view commandLine, uint32_t creationFlags,
                   ProcessInformation* info);

// The same; *journalled tells whether the start was journalled (the program
// was found and its start attempted), and with it its failure.
bool CreateProcessJournalled(std::u16string_view imageName, std::u16string_view commandLine, uint32_t creationFlags,
                             ProcessInformation* info, bool* journalled);

// The shell's execute call as the Parts use it ("Open" a program with
// parameters, keeping the process): starts file like CreateProcess and
// returns its process handle (empty on failure, last error set). Only
// programs can be opened; a document gives kErrorBadExeFormat.
Handle ShellExecute(std::u16string_view file, std::u16string_view parameters, uint32_t* processId);

// A waitable handle of a running process of this host (e.g. one found in a
// snapshot). Empty (kErrorInvalidParameter) when no such process runs.
Handle OpenProcess(uint32_t processId);

// Exit code of a process: kStillActive (259) while it runs. For a process
// started by this process, its exit status (a process ended by signal N
// reports 128 + N, one ended by TerminateProcess the code given there). The
// code of an ended process that this process did not start (OpenProcess) is
// not known: false with kErrorAccessDenied.
bool GetExitCodeProcess(Handle process, uint32_t* exitCode);

// Ends a process at once (its windows get no WM_CLOSE); journalled as
// "terminate <device path or pid>". False for a bad handle or a process that
// has already ended.
bool TerminateProcess(Handle process, uint32_t exitCode);

// The process id of a process handle, 0 for anything else.
uint32_t GetProcessId(Handle process);

}  // namespace plat
