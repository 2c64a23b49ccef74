// Tool-help snapshots of the device's processes and threads. A process
// belongs to the device when its TLW_DEVICE names the device root (the
// calling process always does); its program is the device path in its
// TLW_PROGRAM. A process that has ended (also one not yet reaped) is not
// listed, so "is process N alive" is: does a thread of N appear.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/kernel_handle.h"

namespace plat {

inline constexpr uint32_t kTh32csSnapProcess = 0x2;
inline constexpr uint32_t kTh32csSnapThread = 0x4;

// One process of a snapshot.
struct ProcessEntry32 {
    uint32_t processId = 0;    // host process id
    uint32_t threadCount = 0;  // threads the process runs
    std::u16string exeFile;    // program file name ("Tallowd.exe")
    std::u16string exePath;    // program's device path ("\Windows\Tallowd.exe"); empty when not started as a device program
};

// One thread of a snapshot.
struct ThreadEntry32 {
    uint32_t threadId = 0;         // host thread id
    uint32_t ownerProcessId = 0;   // the process it belongs to
    uint64_t kernelTime = 0;       // time spent in the kernel, 100 ns units
    uint64_t userTime = 0;         // time spent in the program, 100 ns units
};

// Takes a snapshot of the device's processes and/or threads (flags: the
// kTh32csSnap* bits). processId is ignored (all processes are listed, as
// the phone does). Returns the snapshot's handle (close it with
// CloseToolhelp32Snapshot or CloseHandle), empty when the process has no
// device.
Handle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId);
bool CloseToolhelp32Snapshot(Handle snapshot);

// Walk the snapshot: First rewinds, Next moves on; false (last error
// kErrorNoMoreFiles) past the end or when the snapshot holds no such entries.
bool Process32First(Handle snapshot, ProcessEntry32* entry);
bool Process32Next(Handle snapshot, ProcessEntry32* entry);
bool Thread32First(Handle snapshot, ThreadEntry32* entry);
bool Thread32Next(Handle snapshot, ThreadEntry32* entry);

// True when the process with this id runs on the device (a snapshot walk in
// one call).
bool IsDeviceProcessAlive(uint32_t processId);

}  // namespace plat
