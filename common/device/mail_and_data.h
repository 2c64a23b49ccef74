// Push mail, the cellular data connection and the proxy of a network, all
// through the platform: provisioning documents to the configuration manager
// for mail synchronisation and proxy entries, the connection manager,
// remote access and the IP helper for the data connection. (The operations
// themselves are declared with the other device operations,
// common/device/device_operations.h.)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tlw {

// The documents, exactly as they are sent.
extern const char16_t kPeakFrequencyQueryDocument[];
extern const char16_t kPushDocument[];
extern const char16_t kRemoveProxyDocument[];
// The fixed-frequency document for a number of minutes (0: manual).
std::u16string FixedFrequencyDocument(int32_t minutes);
// The document creating the own proxy entry for a network.
std::u16string CreateProxyDocument(std::u16string_view networkGuid);

// The proxy the own entry names: host label and port.
inline constexpr char16_t kOwnProxy[] = u"tlwproxy:1159";

}  // namespace tlw
