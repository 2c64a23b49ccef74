// The remote-access service: the open dial-up and cellular connections and
// hanging them up. On the simulated phone these are the cellular data
// connections (platform/connectivity/cellular_data.h). Each hang-up is
// journalled ("RAS hang up Cellular Line").
#pragma once

#include <cstdint>

namespace plat {

using HRasConn = uint32_t;

// Errors of the remote-access calls.
inline constexpr uint32_t kErrorBufferTooSmall = 603;
inline constexpr uint32_t kErrorInvalidSize = 632;

// One open connection as RasEnumConnections lists it.
struct RasConn {
    uint32_t size;            // in: sizeof(RasConn) in the first entry
    HRasConn handle;          // the connection
    char16_t entryName[21];   // its phone-book entry, terminated
};
static_assert(sizeof(RasConn) == 52, "the connection entry is 52 bytes");

// Lists the open connections into buffer (*bytes its size; the first entry's
// size field must be 52). *count gets the number listed. 0 on success;
// kErrorInvalidSize for a wrong size field, kErrorBufferTooSmall (with the
// bytes needed in *bytes) when they do not fit.
uint32_t RasEnumConnections(RasConn* buffer, uint32_t* bytes, uint32_t* count);
// Hangs the connection up: 0, or kErrorInvalidHandle.
uint32_t RasHangUp(HRasConn connection);

}  // namespace plat
