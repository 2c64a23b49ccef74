#include "platform/connectivity/ip_helper.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/connectivity/cellular_data.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

IpAdapterInfo MakeAdapter(const char* name, const char* description, uint32_t index, uint32_t type,
                          const char* address, const char* mask, uint8_t lastByte) {
    IpAdapterInfo a{};
    std::strncpy(a.adapterName, name, sizeof a.adapterName - 1);
    std::strncpy(a.description, description, sizeof a.description - 1);
    a.addressLength = 6;
    const uint8_t mac[6] = {0x00, 0x50, 0xBF, 0x10, 0x20, lastByte};
    std::memcpy(a.address, mac, 6);
    a.index = index;
    a.type = type;
    a.dhcpEnabled = 1;
    std::strncpy(a.ipAddress, address, sizeof a.ipAddress - 1);
    std::strncpy(a.ipMask, mask, sizeof a.ipMask - 1);
    return a;
}

std::vector<IpAdapterInfo> CurrentAdapters() {
    std::vector<IpAdapterInfo> list;
    DeviceModel model = CurrentDeviceModel();
    HardwareState hw;
    ReadHardwareState(&hw);
    if (model.hasPhone) {
        bool connected = !hw.dataConnections.empty();
        list.push_back(MakeAdapter(kCellularAdapterName, kCellularAdapterDescription, kCellularAdapterIndex, 23,
                                   connected ? "10.128.0.17" : "0.0.0.0", connected ? "255.255.255.255" : "0.0.0.0",
                                   0x02));
    }
    if (model.hasWifi && hw.wifiState != 0)
        list.push_back(MakeAdapter("WLAN1", "Wireless LAN adapter", 3, 71, "192.168.1.23", "255.255.255.0", 0x03));
    uint32_t cradled = 0;
    RegReadDword(kHkeyLocalMachine, u"System\\State\\Hardware", u"Cradled", &cradled);
    if (cradled == 1)
        list.push_back(MakeAdapter("RNDISFN1", "USB network adapter", 4, 6, "169.254.2.2", "255.255.255.0", 0x04));
    return list;
}

}  // namespace

uint32_t GetAdaptersInfo(IpAdapterInfo* buffer, uint32_t* size) {
    if (!size) return kErrorInvalidParameter;
    std::vector<IpAdapterInfo> adapters = CurrentAdapters();
    if (adapters.empty()) return kErrorNoData;
    uint32_t needed = static_cast<uint32_t>(adapters.size() * sizeof(IpAdapterInfo));
    if (!buffer || *size < needed) {
        *size = needed;
        return kErrorBufferOverflow;
    }
    for (size_t i = 0; i < adapters.size(); ++i) {
        adapters[i].next = i + 1 < adapters.size() ? &buffer[i + 1] : nullptr;
        std::memcpy(&buffer[i], &adapters[i], sizeof(IpAdapterInfo));
    }
    return 0;
}

uint32_t IpReleaseAddress(const IpAdapterIndexMap* adapter) {
    if (!adapter) return kErrorInvalidParameter;
    for (const IpAdapterInfo& a : CurrentAdapters()) {
        const char16_t* end = std::find(std::begin(adapter->name), std::end(adapter->name), u'\0');
        std::u16string_view name(adapter->name, static_cast<size_t>(end - adapter->name));
        if (a.index != adapter->index || tlw::Utf8ToUtf16(a.adapterName) != name) continue;
        JournalAppend(std::string("release IP address of ") + a.adapterName);
        if (a.index == kCellularAdapterIndex) SetCellularConnectionCount(0);
        return 0;
    }
    return kErrorInvalidParameter;
}

}  // namespace plat
