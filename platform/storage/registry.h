// The device registry: keys under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER
// with DWORD, string and binary values; key and value names are matched
// without regard to case. It lives in the device store (the tables reg_keys
// and reg_values of "<root>/.device/device.db"), shared safely by all
// processes of the device (each call is one transaction).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// A registry key handle: a root or a handle returned by Open/Create.
using HKey = uint32_t;
constexpr HKey kHkeyCurrentUser = 0x80000001u;
constexpr HKey kHkeyLocalMachine = 0x80000002u;

enum RegType : uint32_t { kRegNone = 0, kRegSz = 1, kRegBinary = 3, kRegDword = 4 };

// Results are the platform's error codes (kErrorSuccess, kErrorFileNotFound,
// kErrorInvalidHandle, kErrorMoreData, kErrorNoMoreItems, ...).
uint32_t RegOpenKey(HKey parent, std::u16string_view subKey, HKey* out);
uint32_t RegCreateKey(HKey parent, std::u16string_view subKey, HKey* out, bool* created = nullptr);
uint32_t RegCloseKey(HKey key);
// Deletes a key with all its subkeys and values.
uint32_t RegDeleteKey(HKey parent, std::u16string_view subKey);
uint32_t RegDeleteValue(HKey key, std::u16string_view name);

// Reads a value: its type and bytes (strings as UTF-16 with terminator).
uint32_t RegQueryValue(HKey key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data);
uint32_t RegSetValue(HKey key, std::u16string_view name, uint32_t type, const void* data, uint32_t size);

// Enumerates subkey and value names by index; kErrorNoMoreItems past the end.
uint32_t RegEnumKey(HKey key, uint32_t index, std::u16string* name);
uint32_t RegEnumValue(HKey key, uint32_t index, std::u16string* name, uint32_t* type);

// One-call helpers: open the key, do one access, close it. A read of a
// missing key or value (or of another type) returns false and leaves *value.
// A write creates the key when it is missing.
bool RegReadDword(HKey root, std::u16string_view key, std::u16string_view name, uint32_t* value);
bool RegWriteDword(HKey root, std::u16string_view key, std::u16string_view name, uint32_t value);
bool RegReadString(HKey root, std::u16string_view key, std::u16string_view name, std::u16string* value);
bool RegWriteString(HKey root, std::u16string_view key, std::u16string_view name, std::u16string_view value);

// Called after every successful change of a value in this process: a value
// written or deleted, and each value that a key deletion removed. keyPath is
// the key's path below root as the caller spelled it. Called outside the
// registry's lock, on the writing thread; null turns it off.
using RegistryChangeHook = void (*)(HKey root, const std::u16string& keyPath, const std::u16string& valueName);
void SetRegistryChangeHook(RegistryChangeHook hook);

// Parses "HKCU\Software\..." or "HKEY_LOCAL_MACHINE\..." into root and path.
bool ParseRegistryPath(std::u16string_view full, HKey* root, std::u16string* subKey);

}  // namespace plat
