#include "platform/telephony/line_device.h"

#include <map>
#include <mutex>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/hardware/device_model.h"
#include "platform/storage/journal.h"
#include "platform/telephony/line_events.h"

namespace plat {
namespace {

struct LineApp {
    LineCallback callback = nullptr;  // receives the line events
    void* instance = nullptr;         // the application's instance
    uint32_t apiVersion = 0;          // asked for at initialisation
};

struct OpenLine {
    HLineApp app = 0;              // the application that opened it
    uint32_t device = 0;           // its line device
    uint32_t privileges = 0;       // kLineCallPrivilege*
    uint32_t mediaModes = 0;       // kLineMediaMode*
    uintptr_t callbackInstance = 0;  // handed to the callback with every event
};

struct LineTable {
    std::mutex lock;                   // guards the fields below
    std::map<HLineApp, LineApp> apps;  // initialised applications
    std::map<HLine, OpenLine> lines;   // open lines
    uint32_t next = 1;                 // next handle of either kind
};

LineTable& Table() {
    static LineTable table;
    return table;
}

uint32_t DeviceCount() { return CurrentDeviceModel().hasPhone ? 1 : 0; }

std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", v);
    return text;
}

}  // namespace

int32_t LineInitializeEx(HLineApp* app, void* instance, LineCallback callback, const char16_t* /*appName*/,
                         uint32_t* numDevices, uint32_t* apiVersion, LineInitializeExParams* params) {
    if (!app || !numDevices || !apiVersion) return kLineErrInvalPointer;
    if (*apiVersion < kTapiVersionLowest) return kLineErrIncompatibleApiVersion;
    if (params) {
        if (params->totalSize < sizeof(LineInitializeExParams)) return kLineErrInvalParam;
        params->neededSize = params->usedSize = sizeof(LineInitializeExParams);
    }
    LineTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    HLineApp handle = t.next++;
    t.apps[handle] = LineApp{callback, instance, *apiVersion};
    *app = handle;
    *numDevices = DeviceCount();
    if (*apiVersion > kTapiVersionHighest) *apiVersion = kTapiVersionHighest;
    AttachLineEvents(handle, params ? params->options : 0);
    return 0;
}

int32_t LineNegotiateApiVersion(HLineApp app, uint32_t device, uint32_t low, uint32_t high, uint32_t* apiVersion,
                                void* /*extensionId*/) {
    if (!apiVersion) return kLineErrInvalPointer;
    {
        LineTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        if (!t.apps.count(app)) return kLineErrInvalAppHandle;
    }
    if (device >= DeviceCount()) return kLineErrBadDeviceId;
    if (low > high || high < kTapiVersionLowest || low > kTapiVersionHighest) return kLineErrIncompatibleApiVersion;
    *apiVersion = high < kTapiVersionHighest ? high : kTapiVersionHighest;
    return 0;
}

int32_t LineOpen(HLineApp app, uint32_t device, HLine* line, uint32_t apiVersion, uint32_t /*extVersion*/,
                 uintptr_t callbackInstance, uint32_t privileges, uint32_t mediaModes, const void* /*callParams*/) {
    if (!line) return kLineErrInvalPointer;
    if (device >= DeviceCount()) return kLineErrBadDeviceId;
    if (apiVersion < kTapiVersionLowest || apiVersion > kTapiVersionHighest) return kLineErrIncompatibleApiVersion;
    if (privileges == 0 || (privileges & ~(kLineCallPrivilegeNone | kLineCallPrivilegeMonitor | kLineCallPrivilegeOwner)))
        return kLineErrInvalPrivSelect;
    if ((privileges & kLineCallPrivilegeOwner) && mediaModes == 0) return kLineErrInvalParam;
    HLine handle = 0;
    {
        LineTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        if (!t.apps.count(app)) return kLineErrInvalAppHandle;
        handle = t.next++;
        t.lines[handle] = OpenLine{app, device, privileges, mediaModes, callbackInstance};
    }
    *line = handle;
    std::string how = (privileges & kLineCallPrivilegeOwner) ? "owner" : (privileges & kLineCallPrivilegeMonitor) ? "monitor" : "none";
    JournalAppend("line " + std::to_string(device) + " open, " + how + ", media " + Hex(mediaModes));
    return 0;
}

int32_t LineClose(HLine line) {
    uint32_t device = 0;
    {
        LineTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.lines.find(line);
        if (it == t.lines.end()) return kLineErrInvalLineHandle;
        device = it->second.device;
        t.lines.erase(it);
    }
    JournalAppend("line " + std::to_string(device) + " closed");
    return 0;
}

int32_t LineShutdown(HLineApp app) {
    std::vector<HLine> open;
    {
        LineTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        if (!t.apps.count(app)) return kLineErrInvalAppHandle;
        for (const auto& [handle, line] : t.lines)
            if (line.app == app) open.push_back(handle);
    }
    for (HLine line : open) LineClose(line);
    DetachLineEvents(app);
    LineTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.apps.erase(app);
    return 0;
}

bool EventLinesOf(HLineApp app, std::vector<EventLine>* out) {
    out->clear();
    LineTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto a = t.apps.find(app);
    if (a == t.apps.end()) return false;
    for (const auto& [handle, line] : t.lines)
        if (line.app == app && (line.privileges & (kLineCallPrivilegeMonitor | kLineCallPrivilegeOwner)))
            out->push_back(EventLine{line.device, line.callbackInstance, a->second.callback});
    return true;
}

bool LookupLine(HLine line, uint32_t* device) {
    LineTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.lines.find(line);
    if (it == t.lines.end()) return false;
    if (device) *device = it->second.device;
    return true;
}

}  // namespace plat
