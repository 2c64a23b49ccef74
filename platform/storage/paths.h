// Device paths: backslash-separated, rooted at "\", matched without regard to
// case as on the phone. Each is mapped to a host path below the device root.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace plat {

// Special folder identifiers the deliverables ask for.
enum SpecialFolder : int {
    kFolderPersonal = 5,    // "\My Documents"
    kFolderStartup = 7,     // "\Windows\StartUp"
    kFolderAppData = 26,    // "\Application Data"
    kFolderWindows = 36,    // "\Windows"
};

// The device path of a special folder, without a trailing backslash, or
// empty for an unknown identifier. The folder is not created.
std::u16string GetSpecialFolderPath(int folder);

// Maps a device path ("\My Documents\Korvel\Tallowd.ini", forward slashes
// accepted too) to the host path. Each existing component is matched without
// regard to case; the first component that does not exist, and all after it,
// keep their spelling. "." and ".." components are refused (empty result):
// nothing reaches outside the device root. Relative paths are taken from "\".
std::filesystem::path HostPath(std::u16string_view devicePath);

// The device path of a host path below the device root (for listings).
std::u16string DevicePathOf(const std::filesystem::path& hostPath);

// Joins a folder and a name with one backslash between them.
std::u16string JoinDevicePath(std::u16string_view folder, std::u16string_view name);

}  // namespace plat
