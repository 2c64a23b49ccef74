#include "platform/connectivity/cellular_data.h"

#include <algorithm>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

// Publishes the connections in the state registry; a value is written only
// when it changes, so that watchers hear of real changes only.
void Publish(size_t count) {
    uint32_t stored = 0;
    if (!RegReadDword(kHkeyLocalMachine, kCellularStateKey, u"Count", &stored) || stored != count)
        RegWriteDword(kHkeyLocalMachine, kCellularStateKey, u"Count", static_cast<uint32_t>(count));
    // The adapter stays named after its first connection, as the phone keeps it.
    std::u16string adapters = tlw::Utf8ToUtf16(kCellularAdapterDescription);
    std::u16string storedText;
    if (count && (!RegReadString(kHkeyLocalMachine, kCellularStateKey, u"Adapters", &storedText) || storedText != adapters))
        RegWriteString(kHkeyLocalMachine, kCellularStateKey, u"Adapters", adapters);
}

}  // namespace

std::vector<uint32_t> CellularConnections() {
    HardwareState hw;
    ReadHardwareState(&hw);
    return hw.dataConnections;
}

uint32_t OpenCellularConnection() {
    uint32_t handle = 0;
    size_t count = 0;
    if (!ChangeHardwareState([&](HardwareState& s) {
            handle = s.nextDataConnection++;
            s.dataConnections.push_back(handle);
            count = s.dataConnections.size();
        }))
        return 0;
    Publish(count);
    return handle;
}

bool CloseCellularConnection(uint32_t handle) {
    bool found = false;
    size_t count = 0;
    if (!ChangeHardwareState([&](HardwareState& s) {
            auto it = std::find(s.dataConnections.begin(), s.dataConnections.end(), handle);
            found = it != s.dataConnections.end();
            if (found) s.dataConnections.erase(it);
            count = s.dataConnections.size();
        }))
        return false;
    if (found) Publish(count);
    return found;
}

bool SetCellularConnectionCount(uint32_t count) {
    if (!ChangeHardwareState([count](HardwareState& s) {
            while (s.dataConnections.size() > count) s.dataConnections.pop_back();
            while (s.dataConnections.size() < count) s.dataConnections.push_back(s.nextDataConnection++);
        }))
        return false;
    Publish(count);
    return true;
}

}  // namespace plat
