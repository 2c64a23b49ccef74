// Inside the platform: finding the host executable behind a device program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace plat {

// A device program found on the device.
struct ProgramFile {
    std::u16string devicePath;          // the program's device path, as resolved from the name
    std::filesystem::path hostFile;     // the device file (a link) on the host
    std::filesystem::path executable;   // the host executable it points to
};

// The device path a program name stands for: quotes around it are removed,
// a name without a folder is taken from "\Windows", a relative path from
// "\", and ".exe" is added when the file name has no extension.
std::u16string ProgramDevicePath(std::u16string_view imageName);

// Finds the program. Returns kErrorSuccess and fills *out, or the platform
// error: kErrorFileNotFound (no such file), kErrorAccessDenied (a folder),
// kErrorBadExeFormat (not a link to an executable host file).
uint32_t FindProgramFile(std::u16string_view imageName, ProgramFile* out);

}  // namespace plat
