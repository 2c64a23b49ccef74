// The configuration manager: provisioning documents (wap-provisioningdoc)
// that query or change the phone's settings. The simulated phone knows two
// kinds of characteristic:
//   Sync / Settings: PeakFrequency and OffPeakFrequency, the mail
//     synchronisation (-1 as items arrive, 0 manual, else minutes); a
//     parm-query answers the current value. Push (-1) keeps the ActiveSync
//     connection alive (HKCU\SOFTWARE\Microsoft\ActiveSync KeepAlive 1), any
//     other peak frequency does not (0).
//   CM_ProxyEntries / NAME: a proxy entry of the connection manager, kept as
//     the key HKLM\Comm\ConnMgr\Providers\{EF097F4C-...}\NAME with the parms
//     as its values (SrcId, DestId, Proxy as text; Type, Enable as numbers);
//     nocharacteristic removes it.
// A document is checked whole before anything changes; each processed
// document is journalled whole ("provisioning <wap-provisioningdoc>...").
#pragma once

#include <cstdint>

namespace plat {

inline constexpr uint32_t kCfgFlagProcess = 0x0001;
inline constexpr char16_t kProxyProvidersKey[] = u"Comm\\ConnMgr\\Providers\\{EF097F4C-DC4B-4c98-8FF6-AEF805DC0E8E}";  // HKLM

// Results (HRESULT).
enum : int32_t {
    kConfigOk = 0,
    kConfigErrorInvalidArg = static_cast<int32_t>(0x80070057),
    kConfigErrorBadXml = static_cast<int32_t>(0x86000001),          // not a well-formed document
    kConfigErrorUnknownCharacteristic = static_cast<int32_t>(0x86000004),
    kConfigErrorBadParameter = static_cast<int32_t>(0x86000005),     // a parm or value the setting does not take
};

// Aygshell ordinal 2021: processes the document. *result gets the result
// document (the queried values filled in), allocated with new[]: the caller
// frees it with delete[]. On failure *result is null and nothing changed.
int32_t DMProcessConfigXML(const char16_t* document, uint32_t flags, char16_t** result);

}  // namespace plat
