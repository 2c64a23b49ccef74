#include "platform/hardware/stream_driver.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "base/text.h"
#include "platform/hardware/backlight.h"
#include "platform/hardware/device_model.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

// A driver's control-code handler: true when it took the code (the last
// error set otherwise).
using ControlHandler = bool (*)(uint32_t code, const void* input, uint32_t inputSize, void* output,
                                uint32_t outputSize, uint32_t* returned);

// Drivers the simulated phone implements.
struct DriverInfo {
    const char16_t* name;    // "BKL1:"
    ControlHandler control;  // its control codes
};
const DriverInfo kDrivers[] = {
    {u"BKL1:", &BacklightDriverControl},
};

// An open driver of this process.
struct OpenDriver {
    std::string name;        // as the model spells it, for the journal
    ControlHandler control;  // null: a driver without simulated codes
};

struct DriverTable {
    std::mutex lock;                          // guards the fields below
    std::map<DriverHandle, OpenDriver> open;  // by handle
    DriverHandle next = 0x2000;               // the next handle to give out
};

DriverTable& Table() {
    static DriverTable table;
    return table;
}

}  // namespace

DriverHandle CreateDriverFile(std::u16string_view name, uint32_t access) {
    (void)access;  // every simulated driver is opened for reading and writing
    DeviceModel model = CurrentDeviceModel();
    for (const std::u16string& driver : model.drivers) {
        if (!tlw::EqualsNoCase(driver, name)) continue;
        ControlHandler control = nullptr;
        for (const DriverInfo& info : kDrivers)
            if (tlw::EqualsNoCase(info.name, name)) control = info.control;
        DriverTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        DriverHandle handle = t.next++;
        t.open[handle] = OpenDriver{tlw::Utf16ToUtf8(driver), control};
        return handle;
    }
    SetLastError(kErrorDevNotExist);
    return 0;
}

bool DeviceIoControl(DriverHandle driver, uint32_t code, const void* input, uint32_t inputSize, void* output,
                     uint32_t outputSize, uint32_t* returned) {
    OpenDriver open;
    {
        DriverTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.open.find(driver);
        if (it == t.open.end()) {
            SetLastError(kErrorInvalidHandle);
            return false;
        }
        open = it->second;
    }
    char line[96];
    std::snprintf(line, sizeof line, "%s control 0x%08X", open.name.c_str(), code);
    std::string effect = line;
    if (input && inputSize >= 4) {
        uint32_t value = 0;
        std::memcpy(&value, input, 4);
        effect += " input " + std::to_string(value);
    }
    JournalAppend(effect);
    if (returned) *returned = 0;
    if (!open.control) {
        SetLastError(kErrorNotSupported);
        return false;
    }
    return open.control(code, input, inputSize, output, outputSize, returned);
}

bool CloseDriverFile(DriverHandle driver) {
    DriverTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (t.open.erase(driver)) return true;
    SetLastError(kErrorInvalidHandle);
    return false;
}

}  // namespace plat
