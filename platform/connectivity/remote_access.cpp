#include "platform/connectivity/remote_access.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/connectivity/cellular_data.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"

namespace plat {

uint32_t RasEnumConnections(RasConn* buffer, uint32_t* bytes, uint32_t* count) {
    if (!buffer || !bytes || !count) return kErrorInvalidParameter;
    if (*bytes < sizeof(RasConn) || buffer->size != sizeof(RasConn)) return kErrorInvalidSize;
    std::vector<uint32_t> connections = CellularConnections();
    uint32_t needed = static_cast<uint32_t>(connections.size() * sizeof(RasConn));
    if (needed > *bytes) {
        *bytes = needed;
        *count = 0;
        return kErrorBufferTooSmall;
    }
    for (size_t i = 0; i < connections.size(); ++i) {
        RasConn entry{};
        entry.size = sizeof(RasConn);
        entry.handle = connections[i];
        std::u16string_view name = kCellularEntryName;
        std::copy_n(name.data(), std::min<size_t>(name.size(), 20), entry.entryName);
        std::memcpy(&buffer[i], &entry, sizeof entry);
    }
    *bytes = needed;
    *count = static_cast<uint32_t>(connections.size());
    return 0;
}

uint32_t RasHangUp(HRasConn connection) {
    if (!CloseCellularConnection(connection)) return kErrorInvalidHandle;
    JournalAppend("RAS hang up " + tlw::Utf16ToUtf8(kCellularEntryName));
    return 0;
}

}  // namespace plat
