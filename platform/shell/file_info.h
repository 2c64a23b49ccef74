// What the shell tells about a file or folder: its icon in the system image
// lists (small and large icons for folders, programs, sounds, pictures and
// other files), its display name and its type name (SHGetFileInfo).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/controls/image_list.h"
#include "platform/gdi/gdi_types.h"

namespace plat {

constexpr uint32_t SHGFI_LARGEICON = 0x0000;
constexpr uint32_t SHGFI_SMALLICON = 0x0001;
constexpr uint32_t SHGFI_USEFILEATTRIBUTES = 0x0010;  // judge by the attributes given, not the file
constexpr uint32_t SHGFI_ICON = 0x0100;               // hIcon: a new icon (the caller destroys it)
constexpr uint32_t SHGFI_DISPLAYNAME = 0x0200;
constexpr uint32_t SHGFI_TYPENAME = 0x0400;
constexpr uint32_t SHGFI_ATTRIBUTES = 0x0800;
constexpr uint32_t SHGFI_SYSICONINDEX = 0x4000;       // iIcon; answers the system image list

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x0001;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x0010;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x0080;

struct ShFileInfo {
    HIcon hIcon;                  // SHGFI_ICON
    int32_t iIcon = 0;            // index in the system image list
    uint32_t dwAttributes = 0;    // SHGFI_ATTRIBUTES: FILE_ATTRIBUTE_* of the file
    char16_t szDisplayName[260] = {};  // the name as shown: the last part of the path
    char16_t szTypeName[80] = {};      // "Folder", "Program", "Sound", "Picture", "INI File", "File"
};

// The system image lists (small: the small icon size of GetSystemMetrics,
// large: the icon size), made on first use and kept for the process's
// life: do not destroy them. Indexes: folder, file, program, sound,
// picture.
enum SystemIcon : int32_t { kIconFolder = 0, kIconFile = 1, kIconProgram = 2, kIconSound = 3, kIconPicture = 4 };
HImageList SystemImageList(bool small);

// Fills *info as the flags ask. With SHGFI_SYSICONINDEX answers the system
// image list's handle value, else nonzero. 0 (last error set) for a null
// record, a wrong size, or a path that does not exist (without
// SHGFI_USEFILEATTRIBUTES).
uint64_t SHGetFileInfo(std::u16string_view path, uint32_t fileAttributes, ShFileInfo* info, uint32_t size,
                       uint32_t flags);

}  // namespace plat
