#include "platform/connectivity/connection_manager.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "base/text.h"
#include "platform/connectivity/cellular_data.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Reads count hex digits at text[pos].
bool Hex(std::u16string_view text, size_t pos, size_t count, uint32_t* out) {
    uint32_t v = 0;
    for (size_t i = 0; i < count; ++i) {
        int d = HexValue(text[pos + i]);
        if (d < 0) return false;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    *out = v;
    return true;
}

std::atomic<uint32_t> g_nextRequest{1};  // handles of connection requests

}  // namespace

bool ParseGuid(std::u16string_view text, Guid* out) {
    if (text.size() != 38 || text[0] != u'{' || text[37] != u'}' || text[9] != u'-' || text[14] != u'-' ||
        text[19] != u'-' || text[24] != u'-')
        return false;
    Guid g{};
    uint32_t v = 0;
    if (!Hex(text, 1, 8, &g.data1)) return false;
    if (!Hex(text, 10, 4, &v)) return false;
    g.data2 = static_cast<uint16_t>(v);
    if (!Hex(text, 15, 4, &v)) return false;
    g.data3 = static_cast<uint16_t>(v);
    const size_t starts[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!Hex(text, starts[i], 2, &v)) return false;
        g.data4[i] = static_cast<uint8_t>(v);
    }
    *out = g;
    return true;
}

std::u16string FormatGuid(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1, g.data2, g.data3,
                  g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return tlw::Utf8ToUtf16(text);
}

int32_t ConnMgrEnumDestinations(uint32_t index, ConnMgrDestinationInfo* info) {
    if (!info) return kConnMgrErrorInvalidArg;
    HKey key = 0;
    if (RegOpenKey(kHkeyLocalMachine, kConnMgrDestinationsKey, &key) != 0) return kConnMgrErrorFail;
    // Only keys with a readable network GUID count as destinations.
    uint32_t found = 0;
    int32_t result = kConnMgrErrorFail;
    std::u16string name;
    for (uint32_t i = 0; RegEnumKey(key, i, &name) == 0; ++i) {
        std::u16string guidText;
        Guid guid;
        if (!RegReadString(kHkeyLocalMachine, std::u16string(kConnMgrDestinationsKey) + u"\\" + name, kDestIdValue,
                           &guidText) ||
            !ParseGuid(guidText, &guid))
            continue;
        if (found++ != index) continue;
        *info = ConnMgrDestinationInfo{};
        info->guid = guid;
        std::copy_n(name.data(), std::min<size_t>(name.size(), 127), info->description);
        result = kConnMgrOk;
        break;
    }
    RegCloseKey(key);
    return result;
}

int32_t ConnMgrEstablishConnectionSync(const ConnMgrConnectionInfo* info, uint32_t* connection, uint32_t /*timeoutMs*/,
                                       uint32_t* status) {
    if (!info || !connection || !status || info->size != sizeof(ConnMgrConnectionInfo) ||
        !(info->params & kConnMgrParamGuidDestNet))
        return kConnMgrErrorInvalidArg;
    std::u16string destination = FormatGuid(info->destination);
    *connection = g_nextRequest++;
    HardwareState hw;
    ReadHardwareState(&hw);
    const char* outcome = nullptr;
    if (!tlw::EqualsNoCase(destination, kInternetDestination)) {
        *status = kConnMgrStatusNoPathToDestination;
        outcome = "no path to the destination";
    } else if (hw.phoneState == 0) {
        *status = kConnMgrStatusDisconnected;
        outcome = "not connected (phone radio off)";
    } else {
        *status = kConnMgrStatusConnected;
        if (hw.dataConnections.empty() && !OpenCellularConnection()) {
            *status = kConnMgrStatusDisconnected;
            outcome = "not connected";
        }
    }
    JournalAppend("connection request " + tlw::Utf16ToUtf8(destination) + ": " + (outcome ? outcome : "connected"));
    return *status == kConnMgrStatusConnected ? kConnMgrOk : kConnMgrErrorFail;
}

}  // namespace plat
