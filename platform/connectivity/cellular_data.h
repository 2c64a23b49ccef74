// The phone's cellular data connections: the remote-access connections over
// the cellular line, kept in the hardware state, and what the phone publishes
// about them in its state registry (HKLM\System\State\Connections\Cellular:
// Count, and Adapters, the description of the adapter that carried them,
// written with the first connection and kept). The
// connection manager opens one, remote access hangs them up, releasing the
// cellular adapter's address drops them all; `tlwsim hw data=...` sets them.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

// The cellular adapter as the adapter list describes it.
inline constexpr char kCellularAdapterName[] = "CELLULAR1";
inline constexpr char kCellularAdapterDescription[] = "Cellular Line";
inline constexpr uint32_t kCellularAdapterIndex = 2;
// The remote-access entry name of a cellular connection.
inline constexpr char16_t kCellularEntryName[] = u"Cellular Line";
inline constexpr char16_t kCellularStateKey[] = u"System\\State\\Connections\\Cellular";  // HKLM

// Handles of the open connections, oldest first.
std::vector<uint32_t> CellularConnections();
// Opens one more connection and publishes it; its handle, 0 on failure.
uint32_t OpenCellularConnection();
// Closes the connection; false when there is no such connection.
bool CloseCellularConnection(uint32_t handle);
// Makes exactly count connections (closing the newest or opening more).
bool SetCellularConnectionCount(uint32_t count);

}  // namespace plat
