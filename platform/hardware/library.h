// Optional libraries loaded by name at run time, with entries resolved by
// ordinal or by name. A library loads exactly when the device model carries
// it; the entries it offers are those the simulated phone implements for it
// (platform/hardware/wireless_switch.h, platform/hardware/bluetooth_utility.h, ...), and a
// library without a known entry still loads but resolves nothing. Every
// successful load is journalled ("load library NAME").
//
// A library the model does not carry may be installed on the device: a
// device file ("\\Windows\\NAME.dll" for a bare name) that links to a host
// shared object, loaded with the host's loader. Its entries by name are its
// exported symbols; its entries by ordinal are listed in its ordinal table,
// the exported array kExportOrdinalTable of ExportOrdinal records ending
// with ordinal 0 (a host shared object has no ordinals of its own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {

// A loaded library; 0 is none.
using HModule = uintptr_t;

// The platform's error for a library that is not on the device.
constexpr uint32_t kErrorModNotFound = 126;
// ... and for an entry the library does not have.
constexpr uint32_t kErrorProcNotFound = 127;

// One entry of a device library's ordinal table.
struct ExportOrdinal {
    uint32_t ordinal;  // the entry's ordinal; 0 ends the table
    void* address;     // the entry
};
// The symbol name of the ordinal table, and the most entries read from it.
inline constexpr const char* kExportOrdinalTable = "TlwExportOrdinals";
inline constexpr size_t kMaxExportOrdinals = 256;

// Loads a library ("ossvcs.dll", "\Windows\bthutil.dll"; the name is matched
// without regard to case and ".dll" is added when it has no extension).
// Loading a loaded library again returns the same handle and counts up.
// Returns 0 with kErrorModNotFound when the device does not carry it.
HModule LoadLibrary(std::u16string_view name);
// Counts a load down; the library is unloaded at zero. False for a handle
// that is not loaded.
bool FreeLibrary(HModule module);

// The address of an entry; null (kErrorProcNotFound) when the library has
// no such entry, or for a handle that is not loaded. The caller casts it to
// the entry's type declared in the library's header.
void* GetProcAddress(HModule module, uint32_t ordinal);
void* GetProcAddress(HModule module, std::string_view name);

}  // namespace plat
