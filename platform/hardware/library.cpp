#include "platform/hardware/library.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "base/text.h"
#include "platform/hardware/backlight.h"
#include "platform/kernel/cpu_time.h"
#include "platform/hardware/bluetooth_utility.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/ril.h"
#include "platform/storage/journal.h"
#include "platform/storage/paths.h"
#include "platform/kernel/last_error.h"
#include "platform/radio/wifi_oem.h"
#include "platform/telephony/phone_make_call.h"
#include "platform/hardware/wireless_switch.h"

namespace plat {
namespace {

// One entry a simulated library offers.
struct LibraryEntry {
    uint32_t ordinal;  // its ordinal, 0 when exported by name only
    const char* name;  // its name, null when exported by ordinal only
    void* address;     // the implementing function
};

// A simulated library and its entries.
struct LibraryInfo {
    const char16_t* fileName;     // e.g. u"ossvcs.dll"
    const LibraryEntry* entries;  // its entries
    size_t entryCount;            // number of entries
};

void* Address(auto function) { return reinterpret_cast<void*>(function); }

// The kernel library every phone has.
constexpr char16_t kCoredll[] = u"coredll.dll";
const LibraryEntry kCoredllEntries[] = {
    {0, "GetIdleTime", Address(&GetIdleTime)},
};

const LibraryEntry kOssvcsEntries[] = {
    {kOssvcsChangeRadioState, nullptr, Address(&OssvcsChangeRadioState)},
    {kOssvcsGetWirelessDevices, nullptr, Address(&OssvcsGetWirelessDevices)},
    {kOssvcsFreeDeviceList, nullptr, Address(&OssvcsFreeDeviceList)},
    {kOssvcs218, nullptr, Address(&Ossvcs218)},
};
const LibraryEntry kBthutilEntries[] = {
    {kBthutilSetMode, "BthSetMode", Address(&BthSetMode)},
    {kBthutilGetMode, "BthGetMode", Address(&BthGetMode)},
};

const LibraryEntry kRilEntries[] = {
    {0, "RIL_Initialize", Address(&RilInitialize)},
    {0, "RIL_GetCellTowerInfo", Address(&RilGetCellTowerInfo)},
    {0, "RIL_Deinitialize", Address(&RilDeinitialize)},
};
const LibraryEntry kOemUtilEntries[] = {
    {0, kOemSetWlanRadio, Address(&OemSetWlanRadio)},
};
const LibraryEntry kAximSdkEntries[] = {
    {0, kAximSetWlanPowerStateEx, Address(&AximSetWlanPowerStateEx)},
};
const LibraryEntry kIpaqUtilEntries[] = {
    {0, "iPAQGetOnBatteryBrightnessLevel", Address(&IpaqGetOnBatteryBrightnessLevel)},
    {0, "iPAQSetOnBatteryBrightnessLevel", Address(&IpaqSetOnBatteryBrightnessLevel)},
    {0, "iPAQSetOnPowerBrightnessLevel", Address(&IpaqSetOnPowerBrightnessLevel)},
};
const LibraryEntry kHtcUtilEntries[] = {
    {0, "HTCUtilSetOnPowerBrightnessLevel", Address(&HtcSetOnPowerBrightnessLevel)},
    {0, "HTCUtilSetOnBatteryBrightnessLevel", Address(&HtcSetOnBatteryBrightnessLevel)},
};
const LibraryEntry kPhoneEntries[] = {
    {0, "PhoneMakeCall", Address(&PhoneMakeCall)},
};

// Libraries with entries. A library the model carries that is not listed
// here loads but resolves nothing.
const LibraryInfo kLibraries[] = {
    {kCoredll, kCoredllEntries, std::size(kCoredllEntries)},
    {u"ossvcs.dll", kOssvcsEntries, std::size(kOssvcsEntries)},
    {u"bthutil.dll", kBthutilEntries, std::size(kBthutilEntries)},
    {u"ril.dll", kRilEntries, std::size(kRilEntries)},
    {u"OEMUtil.dll", kOemUtilEntries, std::size(kOemUtilEntries)},
    {u"AximSDK.dll", kAximSdkEntries, std::size(kAximSdkEntries)},
    {u"iPAQUtil.dll", kIpaqUtilEntries, std::size(kIpaqUtilEntries)},
    {u"htcutil.dll", kHtcUtilEntries, std::size(kHtcUtilEntries)},
    {u"Phone.dll", kPhoneEntries, std::size(kPhoneEntries)},
};

// A library loaded in this process.
struct Loaded {
    std::u16string fileName;        // the file name as the model spells it (or the device path)
    const LibraryInfo* info;        // its entries, null when it has none
    uint32_t count;                 // loads not yet freed
    void* shared = nullptr;         // a device library: the host shared object (dlopen), else null
};

// The device path a library name stands for: a name without a folder is
// taken from "\Windows", ".dll" added when it has no extension.
std::u16string DeviceLibraryPath(std::u16string_view name) {
    std::u16string path(name);
    if (path.find_first_of(u"\\/") == std::u16string::npos) path = u"\\Windows\\" + path;
    size_t slash = path.find_last_of(u"\\/");
    if (path.find(u'.', slash) == std::u16string::npos) path += u".dll";
    return path;
}

// Opens a library installed on the device: a device file that links to a
// host shared object. Null when there is none.
void* OpenDeviceLibrary(const std::u16string& devicePath) {
    std::error_code ec;
    std::filesystem::path host = HostPath(devicePath);
    if (host.empty() || !std::filesystem::is_regular_file(host, ec)) return nullptr;
    void* shared = ::dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    // Why a library that is there does not load (an entry it needs is
    // missing) is worth a line to whoever looks at the phone.
    if (!shared) JournalAppend("cannot load library " + tlw::Utf16ToUtf8(devicePath) + ": " + ::dlerror());
    return shared;
}

struct LoadedTable {
    std::mutex lock;                      // guards the fields below
    std::map<HModule, Loaded> modules;    // by handle
    HModule nextHandle = 0x10000;         // the next handle to give out
};

LoadedTable& Table() {
    static LoadedTable table;
    return table;
}

std::u16string FileNameOf(std::u16string_view name) {
    size_t slash = name.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) name = name.substr(slash + 1);
    std::u16string file(name);
    if (file.find(u'.') == std::u16string::npos) file += u".dll";
    return file;
}

const LibraryInfo* InfoOf(std::u16string_view fileName) {
    for (const LibraryInfo& info : kLibraries)
        if (tlw::EqualsNoCase(info.fileName, fileName)) return &info;
    return nullptr;
}

}  // namespace

HModule LoadLibrary(std::u16string_view name) {
    // The library as the device model spells it.
    std::u16string wanted = FileNameOf(name);
    std::u16string file;
    for (const std::u16string& lib : CurrentDeviceModel().libraries)
        if (tlw::EqualsNoCase(FileNameOf(lib), wanted)) file = FileNameOf(lib);
    if (file.empty() && tlw::EqualsNoCase(wanted, kCoredll)) file = kCoredll;
    void* shared = nullptr;
    if (file.empty()) {
        // Not one of the model's own: a library installed on the device.
        file = DeviceLibraryPath(name);
        LoadedTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        for (auto& [h, loaded] : t.modules) {
            if (loaded.shared && tlw::EqualsNoCase(loaded.fileName, file)) {
                ++loaded.count;
                return h;
            }
        }
    }
    if (file.front() == u'\\') {
        shared = OpenDeviceLibrary(file);
        if (!shared) {
            SetLastError(kErrorModNotFound);
            return 0;
        }
    }
    LoadedTable& t = Table();
    HModule handle = 0;
    {
        std::lock_guard<std::mutex> guard(t.lock);
        for (auto& [h, loaded] : t.modules) {
            if (!shared && tlw::EqualsNoCase(loaded.fileName, file)) {
                ++loaded.count;
                handle = h;
                break;
            }
        }
        if (!handle) {
            handle = t.nextHandle;
            t.nextHandle += 0x10000;
            t.modules[handle] = Loaded{file, shared ? nullptr : InfoOf(file), 1, shared};
        }
    }
    JournalAppend("load library " + tlw::Utf16ToUtf8(file));
    return handle;
}

bool FreeLibrary(HModule module) {
    LoadedTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.modules.find(module);
    if (it == t.modules.end()) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (--it->second.count == 0) {
        if (it->second.shared) ::dlclose(it->second.shared);
        t.modules.erase(it);
    }
    return true;
}

void* GetProcAddress(HModule module, uint32_t ordinal) {
    LoadedTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.modules.find(module);
    if (it != t.modules.end() && it->second.shared && ordinal != 0) {
        auto* table = static_cast<const ExportOrdinal*>(::dlsym(it->second.shared, kExportOrdinalTable));
        for (size_t i = 0; table && i < kMaxExportOrdinals && table[i].ordinal != 0; ++i)
            if (table[i].ordinal == ordinal) return table[i].address;
    }
    if (it != t.modules.end() && it->second.info && ordinal != 0) {
        const LibraryInfo& info = *it->second.info;
        for (size_t i = 0; i < info.entryCount; ++i)
            if (info.entries[i].ordinal == ordinal) return info.entries[i].address;
    }
    SetLastError(it == t.modules.end() ? kErrorInvalidHandle : kErrorProcNotFound);
    return nullptr;
}

void* GetProcAddress(HModule module, std::string_view name) {
    LoadedTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.modules.find(module);
    if (it != t.modules.end() && it->second.shared) {
        std::string symbol(name);
        if (void* address = ::dlsym(it->second.shared, symbol.c_str())) return address;
    }
    if (it != t.modules.end() && it->second.info) {
        const LibraryInfo& info = *it->second.info;
        for (size_t i = 0; i < info.entryCount; ++i)
            if (info.entries[i].name && name == info.entries[i].name) return info.entries[i].address;
    }
    SetLastError(it == t.modules.end() ? kErrorInvalidHandle : kErrorProcNotFound);
    return nullptr;
}

}  // namespace plat
