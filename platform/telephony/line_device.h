// Telephony line devices: the application's line interface (initialise,
// negotiate an API version, open, close, shut down). The simulated phone has
// one line device, 0, the cellular line, on models with a phone radio.
//
// Each initialised application and each open line is kept in a table of the
// process together with its callback, callback instance, privileges and
// media modes, so that line events (call states) can be delivered to the
// lines opened for monitoring. Opening and closing is journalled
// ("line 0 open, owner, media 0x10").
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

using HLineApp = uint32_t;  // an initialised line application; 0 none
using HLine = uint32_t;     // an open line; 0 none

// Results: 0 on success, else one of these.
enum : int32_t {
    kLineErrBadDeviceId = static_cast<int32_t>(0x80000002),
    kLineErrIncompatibleApiVersion = static_cast<int32_t>(0x8000000C),
    kLineErrInvalAppHandle = static_cast<int32_t>(0x80000015),
    kLineErrInvalLineHandle = static_cast<int32_t>(0x8000002B),
    kLineErrInvalParam = static_cast<int32_t>(0x80000032),
    kLineErrInvalPointer = static_cast<int32_t>(0x80000035),
    kLineErrInvalPrivSelect = static_cast<int32_t>(0x80000036),
    kLineErrNoDevice = static_cast<int32_t>(0x80000040),
    kLineErrOperationFailed = static_cast<int32_t>(0x80000048),
    kLineErrResourceUnavail = static_cast<int32_t>(0x8000004B),
};

// API versions the line interface supports.
inline constexpr uint32_t kTapiVersionLowest = 0x00010004;
inline constexpr uint32_t kTapiVersionHighest = 0x00040000;

// Initialisation options (LineInitializeExParams::options).
inline constexpr uint32_t kLineInitializeExOptionUseHiddenWindow = 1;
inline constexpr uint32_t kLineInitializeExOptionUseEvent = 2;

// Privileges and media modes of LineOpen.
inline constexpr uint32_t kLineCallPrivilegeNone = 1;
inline constexpr uint32_t kLineCallPrivilegeMonitor = 2;
inline constexpr uint32_t kLineCallPrivilegeOwner = 4;
inline constexpr uint32_t kLineMediaModeInteractiveVoice = 0x04;
inline constexpr uint32_t kLineMediaModeDataModem = 0x10;

// The initialisation parameter record.
struct LineInitializeExParams {
    uint32_t totalSize;     // size of the record the caller gives
    uint32_t neededSize;    // out
    uint32_t usedSize;      // out
    uint32_t options;       // kLineInitializeExOption*
    uint32_t eventHandle;   // out with the event option (unused on the simulated phone)
    uint32_t completionKey; // completion-port option only
};
static_assert(sizeof(LineInitializeExParams) == 24, "the initialisation record is 24 bytes");

// A line event for the application's callback: device, message, the
// callback instance given to LineOpen, three parameters.
using LineCallback = void (*)(uint32_t device, uint32_t message, uintptr_t instance, uintptr_t param1,
                              uintptr_t param2, uintptr_t param3);

// Initialises the application: *numDevices gets the number of line devices,
// *apiVersion must hold the highest version the application knows (at least
// kTapiVersionLowest). params may be null; its totalSize must be at least 24.
int32_t LineInitializeEx(HLineApp* app, void* instance, LineCallback callback, const char16_t* appName,
                         uint32_t* numDevices, uint32_t* apiVersion, LineInitializeExParams* params);
// The version both sides support (the highest in low ... high).
int32_t LineNegotiateApiVersion(HLineApp app, uint32_t device, uint32_t low, uint32_t high, uint32_t* apiVersion,
                                void* extensionId);
// Opens a line of the device with the privileges and media modes.
int32_t LineOpen(HLineApp app, uint32_t device, HLine* line, uint32_t apiVersion, uint32_t extVersion,
                 uintptr_t callbackInstance, uint32_t privileges, uint32_t mediaModes, const void* callParams);
int32_t LineClose(HLine line);
// Closes the application's lines and forgets it.
int32_t LineShutdown(HLineApp app);

// For the services on top of an open line: true when the line is open; the
// device it belongs to in *device.
bool LookupLine(HLine line, uint32_t* device);

// The open lines of an application that receive call events (monitor or
// owner privilege), each with its device, callback instance and the
// application's callback; false for an application that is not initialised.
struct EventLine;
bool EventLinesOf(HLineApp app, std::vector<EventLine>* out);

}  // namespace plat
