// The connection manager: the destination networks the phone knows and
// requests for a connection to one of them.
//
// The destinations are the keys of HKLM\Comm\ConnMgr\Destinations, each with
// its GUID text in the string value DestId ("The Internet" is
// {436EF144-B4FB-4863-A041-8F905A62C572}); `tlwsim init` makes the phone's
// four standard ones. A request for the Internet opens a cellular data
// connection while the phone radio is on; each request is journalled
// ("connection request {GUID}: connected").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// A GUID as the platform's records hold it.
struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
    bool operator==(const Guid&) const = default;
};
static_assert(sizeof(Guid) == 16);

// "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}" both ways (reading
// takes hex digits of either case).
bool ParseGuid(std::u16string_view text, Guid* out);
std::u16string FormatGuid(const Guid& guid);

inline constexpr char16_t kConnMgrDestinationsKey[] = u"Comm\\ConnMgr\\Destinations";  // HKLM
inline constexpr char16_t kDestIdValue[] = u"DestId";
inline constexpr char16_t kInternetDestination[] = u"{436EF144-B4FB-4863-A041-8F905A62C572}";

// Results (HRESULT).
enum : int32_t {
    kConnMgrOk = 0,
    kConnMgrErrorFail = static_cast<int32_t>(0x80004005),
    kConnMgrErrorInvalidArg = static_cast<int32_t>(0x80070057),
};

// One destination network (ordinal 125).
struct ConnMgrDestinationInfo {
    Guid guid;                  // the network
    char16_t description[128];  // its name, terminated
    int32_t secure;             // 1 for a secure network
};

// Cellular-core ordinal 125: the destination of that index. kConnMgrOk, or
// kConnMgrErrorFail past the last one.
int32_t ConnMgrEnumDestinations(uint32_t index, ConnMgrDestinationInfo* info);

// Connection request parameters.
inline constexpr uint32_t kConnMgrParamGuidDestNet = 0x1;
inline constexpr uint32_t kConnMgrFlagProxyHttp = 0x1;
inline constexpr uint32_t kConnMgrFlagProxyWap = 0x2;
inline constexpr uint32_t kConnMgrFlagProxySocks4 = 0x4;
inline constexpr uint32_t kConnMgrFlagProxySocks5 = 0x8;
inline constexpr uint32_t kConnMgrPriorityUserInteractive = 0x8000;

// The request record.
struct ConnMgrConnectionInfo {
    uint32_t size;           // sizeof(ConnMgrConnectionInfo)
    uint32_t params;         // kConnMgrParam*: which fields below count
    uint32_t flags;          // kConnMgrFlagProxy*: proxies the caller can use
    uint32_t priority;       // kConnMgrPriority*
    int32_t exclusive;       // 1: not shared with other requests
    int32_t disabled;        // 1: describe the connection, do not open it
    Guid destination;        // the network wanted
    uint32_t notifyReserved[3];  // the notification window, message and parameter of the phone's record: no notifications here
    uint32_t maxCost;
    uint32_t minReceiveBandwidth;
    uint32_t maxConnectionLatency;
};
static_assert(sizeof(ConnMgrConnectionInfo) == 64, "the connection request record is 64 bytes");

// Status of a request.
enum : uint32_t {
    kConnMgrStatusConnected = 0x10,
    kConnMgrStatusDisconnected = 0x20,
    kConnMgrStatusNoPathToDestination = 0x21,
};

// Cellular-core ordinal 130: asks for the connection and waits for it (at
// most timeoutMs). *connection gets the request's handle (it stays
// requested until released), *status its state. kConnMgrOk when connected.
int32_t ConnMgrEstablishConnectionSync(const ConnMgrConnectionInfo* info, uint32_t* connection, uint32_t timeoutMs,
                                       uint32_t* status);

}  // namespace plat
