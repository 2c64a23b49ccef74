#include "common/device/mail_and_data.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "base/text.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "platform/connectivity/config_manager.h"
#include "platform/connectivity/connection_manager.h"
#include "platform/connectivity/ip_helper.h"
#include "platform/connectivity/remote_access.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "platform/process/process.h"
#include "platform/storage/registry.h"

namespace tlw {

const char16_t kPeakFrequencyQueryDocument[] =
    u"<wap-provisioningdoc>    <characteristic type=\"Sync\">       <characteristic type=\"Settings\">          "
    u"<parm-query name=\"PeakFrequency\" />       </characteristic>    </characteristic></wap-provisioningdoc>";
const char16_t kPushDocument[] =
    u"<wap-provisioningdoc>    <characteristic type=\"Sync\">       <characteristic type=\"Settings\">          "
    u"<parm name=\"PeakFrequency\" value=\"-1\"/>          <parm name=\"OffPeakFrequency\" value=\"-1\"/>       "
    u"</characteristic>    </characteristic></wap-provisioningdoc>";
const char16_t kRemoveProxyDocument[] =
    u"<wap-provisioningdoc>    <characteristic type=\"CM_ProxyEntries\">      <nocharacteristic type=\"TlwProxy\"/>"
    u"    </characteristic></wap-provisioningdoc>";

namespace {

constexpr uint32_t kPushMailWaitMs = 5000;   // longest wait for the push-mail worker
constexpr uint32_t kProxyWaitMs = 10000;     // ... for the proxy worker
constexpr uint32_t kSyncStartMs = 1000;      // after starting a synchronisation
constexpr uint32_t kDataOpenDelayMs = 1000;
constexpr uint32_t kConnectionTimeoutMs = 30000;
constexpr uint32_t kRasBufferBytes = 1024;
constexpr uint32_t kAdapterBufferBytes = 640;
constexpr char16_t kSyncProgram[] = u"\\Windows\\repllog.exe";
constexpr char16_t kActiveSyncKey[] = u"SOFTWARE\\Microsoft\\ActiveSync";  // HKCU
constexpr char16_t kRilKey[] = u"Comm\\Cellular\\RIL";                    // HKLM
constexpr char16_t kCellularStateKey[] = u"system\\state\\connections\\cellular";  // HKLM
constexpr char16_t kProvidersKey[] = u"Comm\\ConnMgr\\Providers\\{EF097F4C-DC4B-4c98-8FF6-AEF805DC0E8E}\\";  // HKLM

// Networks the proxy routine never touches.
constexpr const char16_t* kUntouchedNetworks[] = {
    u"{436EF144-B4FB-4863-A041-8F905A62C572}",  // the Internet
    u"{F28D1F74-72BE-4394-A4A7-4E296219390C}",
    u"{7022E968-5A97-4051-BC1C-C578E2FBA5D9}",
    u"{A1182988-0D73-439E-87AD-2A5B369F808B}",
};

// Processes a document; its result is handed to read (when given), then freed.
void Process(const std::u16string& document, const std::function<void(const char16_t*)>& read = nullptr) {
    char16_t* result = nullptr;
    plat::DMProcessConfigXML(document.c_str(), plat::kCfgFlagProcess, &result);
    if (read) read(result);
    delete[] result;
}

// The number after the first value=" of a result; 0 when there is none.
int32_t FrequencyIn(const char16_t* result) {
    if (!result) return 0;
    std::u16string_view text(result);
    size_t at = text.find(u"value=\"");
    if (at == std::u16string_view::npos) return 0;
    std::u16string_view rest = text.substr(at + 7);
    return ParseInt(rest.substr(0, rest.find(u'"')));
}

// Runs work on a worker thread and waits for it at most waitMs; a worker
// that outlives the wait finishes on its own with its own copy of the data.
void RunBounded(std::function<uint32_t()> work, uint32_t waitMs) {
    plat::Handle thread = plat::CreateThread(std::move(work), nullptr);
    if (!thread) return;
    plat::WaitForSingleObject(thread, waitMs);
    plat::CloseHandle(thread);
}

void PushMailWork(int32_t frequency) {
    int32_t current = 0;
    Process(kPeakFrequencyQueryDocument, [&current](const char16_t* result) { current = FrequencyIn(result); });
    std::u16string document;
    if (frequency == 1) {
        plat::ProcessInformation info{};
        if (plat::CreateProcess(kSyncProgram, u"", 0, &info)) {
            plat::CloseHandle(info.thread);
            plat::CloseHandle(info.process);
        }
        plat::Sleep(kSyncStartMs);
        document = kPushDocument;
    } else {
        document = FixedFrequencyDocument(frequency);
    }
    if (frequency != current) Process(document);
    if (frequency == 0) {
        plat::HKey key = 0;
        if (plat::RegOpenKey(plat::kHkeyCurrentUser, kActiveSyncKey, &key) == 0) {
            uint32_t off = 0;
            plat::RegSetValue(key, u"KeepAlive", plat::kRegDword, &off, sizeof off);
            plat::RegCloseKey(key);
        }
    }
}

// Writes Enable of a provider key when the key exists; true when it does.
bool EnableProvider(const std::u16string& key, uint32_t enable) {
    plat::HKey handle = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, key, &handle) != 0) return false;
    plat::RegSetValue(handle, u"Enable", plat::kRegDword, &enable, sizeof enable);
    plat::RegCloseKey(handle);
    return true;
}

void ProxyWork(const std::u16string& wanted) {
    Process(kRemoveProxyDocument);
    bool httpEnabled = false;
    plat::ConnMgrDestinationInfo info{};
    for (uint32_t index = 0; plat::ConnMgrEnumDestinations(index, &info) == plat::kConnMgrOk; ++index) {
        std::u16string network = plat::FormatGuid(info.guid);
        bool untouched = false;
        for (const char16_t* guid : kUntouchedNetworks) untouched = untouched || network == guid;
        if (untouched) continue;
        uint32_t enable = network == wanted ? 1 : 0;
        if (EnableProvider(kProvidersKey + (u"HTTP-" + network), enable) && enable) httpEnabled = true;
        EnableProvider(kProvidersKey + (u"SOCKS-" + network), enable);
    }
    if (!httpEnabled) Process(CreateProxyDocument(wanted));
}

}  // namespace

std::u16string FixedFrequencyDocument(int32_t minutes) {
    std::u16string n = Format(u"%d", {minutes});
    return u"<wap-provisioningdoc>    <characteristic type=\"Sync\">       <characteristic type=\"Settings\">          "
           u"<parm name=\"PeakFrequency\" value=\"" + n + u"\"/>          <parm name=\"OffPeakFrequency\" value=\"" + n +
           u"\"/>       </characteristic>    </characteristic></wap-provisioningdoc>";
}

std::u16string CreateProxyDocument(std::u16string_view networkGuid) {
    return u"<wap-provisioningdoc>    <characteristic type=\"CM_ProxyEntries\">      <characteristic type=\"TlwProxy\"> "
           u"\t\t\t<parm name=\"SrcId\" value=\"" + std::u16string(networkGuid) +
           u"\"/> \t\t\t<parm name=\"DestId\" value=\"{436EF144-B4FB-4863-A041-8F905A62C572}\" /> \t\t\t<parm "
           u"name=\"Type\" value=\"0\" /> \t\t\t<parm name=\"Enable\" value=\"1\" /> \t\t\t<parm name=\"Proxy\" value=\"" +
           kOwnProxy + u"\" />       </characteristic>    </characteristic></wap-provisioningdoc>";
}

void SetPushMail(int32_t frequency) {
    RunBounded([frequency]() -> uint32_t {
        PushMailWork(frequency);
        return 0;
    }, kPushMailWaitMs);
}

void HangUpDataCalls() {
    std::vector<plat::RasConn> entries(kRasBufferBytes / sizeof(plat::RasConn));
    entries[0].size = sizeof(plat::RasConn);
    uint32_t bytes = static_cast<uint32_t>(entries.size() * sizeof(plat::RasConn));
    uint32_t count = 0;
    if (plat::RasEnumConnections(entries.data(), &bytes, &count) == 0)
        for (uint32_t i = 0; i < count && i < entries.size(); ++i) plat::RasHangUp(entries[i].handle);

    uint32_t packet = 0;
    plat::RegReadDword(plat::kHkeyLocalMachine, kRilKey, u"Packet", &packet);
    if (packet != 1) return;
    uint32_t size = kAdapterBufferBytes;
    std::vector<plat::IpAdapterInfo> adapters(size / sizeof(plat::IpAdapterInfo) + 1);
    uint32_t rc = plat::GetAdaptersInfo(adapters.data(), &size);
    if (rc == plat::kErrorBufferOverflow) {
        adapters.assign(size / sizeof(plat::IpAdapterInfo) + 1, plat::IpAdapterInfo{});
        rc = plat::GetAdaptersInfo(adapters.data(), &size);
    }
    if (rc != 0) return;
    std::u16string cellular;
    plat::RegReadString(plat::kHkeyLocalMachine, kCellularStateKey, u"Adapters", &cellular);
    for (const plat::IpAdapterInfo* a = adapters.data(); a; a = a->next) {
        if (Utf8ToUtf16(a->description) != cellular) continue;
        plat::IpAdapterIndexMap map{};
        map.index = a->index;
        std::u16string name = Utf8ToUtf16(a->adapterName);
        std::copy_n(name.data(), std::min<size_t>(name.size(), 127), map.name);
        plat::IpReleaseAddress(&map);
        break;
    }
}

void OpenDataConnection() {
    plat::Sleep(kDataOpenDelayMs);
    if (IsCradled()) return;
    plat::ConnMgrConnectionInfo info{};
    info.size = sizeof info;
    info.params = plat::kConnMgrParamGuidDestNet;
    info.flags = plat::kConnMgrFlagProxyHttp | plat::kConnMgrFlagProxyWap | plat::kConnMgrFlagProxySocks4 |
                 plat::kConnMgrFlagProxySocks5;
    info.priority = plat::kConnMgrPriorityUserInteractive;
    plat::ParseGuid(plat::kInternetDestination, &info.destination);
    // The request stays open so that the connection stays requested.
    uint32_t connection = 0, status = 0;
    plat::ConnMgrEstablishConnectionSync(&info, &connection, kConnectionTimeoutMs, &status);
}

void SetProxy(std::u16string_view networkGuid) {
    std::u16string wanted(networkGuid);
    RunBounded([wanted]() -> uint32_t {
        ProxyWork(wanted);
        return 0;
    }, kProxyWaitMs);
}

}  // namespace tlw
