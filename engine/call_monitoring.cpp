// Call monitoring: the phone line opened for monitoring so that a profile
// can answer offered calls by itself (`radio`[2] 3 or 4) and have the
// platform's call service run when a call becomes active (3 or 5).
#include "common/config/registry_state.h"
#include "common/device/phone_radio.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_main.h"
#include "engine/engine_messages.h"
#include "engine/later_parts.h"
#include "platform/telephony/line_device.h"
#include "platform/telephony/line_events.h"

namespace tlw {
namespace {

constexpr char16_t kTelephonyAppName[] = u"Tallowd.exe";
constexpr uint32_t kRequestedApiVersion = 0x40000;
constexpr uint32_t kLowestLineVersion = 0x20000;
constexpr uint32_t kTalkKeyDelaySeconds = 5;

bool WantsCallMonitoring(const EngineState& engine) {
    const ProfileTable& t = engine.model.profiles;
    for (int i = 0; i < t.count && i < kMaxProfiles; ++i) {
        int32_t phone = t.profiles[i].radio[kRadioPhone];
        if (phone == 3 || phone == 4 || phone == 5) return true;
    }
    return false;
}

// The phone setting of the running profile, or -1 when none runs.
int32_t RunningPhoneSetting(const EngineState& engine) {
    int32_t running = ReadRunningProfile();
    if (!IsProfileIndex(engine, running)) return -1;
    return engine.model.profiles.profiles[running].radio[kRadioPhone];
}

// The line callback: runs on the engine window's thread (hidden-window
// delivery), so the parameters are processed like any other message.
void OnLineEvent(uint32_t, uint32_t message, uintptr_t, uintptr_t state, uintptr_t, uintptr_t) {
    if (message != plat::kLineCallState) return;
    EngineState& engine = Engine();
    if (state == plat::kLineCallStateOffering) {
        ProcessParameter(engine, kParamCallOffered);
    } else if (state == plat::kLineCallStateConnected) {
        LogDetail(engine, u"Call active...");
        ProcessParameter(engine, kParamCallActive);
    }
}

}  // namespace

bool OpenCallMonitoring(EngineState& engine) {
    if (!WantsCallMonitoring(engine)) return false;
    if (engine.callMonitoring) return true;  // opened once
    plat::LineInitializeExParams params{sizeof(plat::LineInitializeExParams), 0, 0,
                                        plat::kLineInitializeExOptionUseHiddenWindow, 0, 0};
    uint32_t version = kRequestedApiVersion;
    uint32_t devices = 0;
    if (plat::LineInitializeEx(&engine.lineApp, nullptr, OnLineEvent, kTelephonyAppName, &devices, &version,
                               &params) != 0) {
        engine.lineApp = 0;
        return false;
    }
    engine.lineCount = devices < kMaxMonitoredLines ? devices : kMaxMonitoredLines;
    int32_t last = -1;
    for (uint32_t j = 0; j < engine.lineCount; ++j) {
        uint32_t negotiated = 0;
        if (plat::LineNegotiateApiVersion(engine.lineApp, j, kLowestLineVersion, kRequestedApiVersion, &negotiated,
                                          nullptr) != 0)
            continue;
        last = plat::LineOpen(engine.lineApp, j, &engine.lines[j], negotiated, 0, 0, plat::kLineCallPrivilegeOwner,
                              plat::kLineMediaModeInteractiveVoice, nullptr);
        if (last != 0) engine.lines[j] = 0;
    }
    if (last != 0) {
        // Nothing to monitor: let the telephony go again.
        plat::LineShutdown(engine.lineApp);
        engine.lineApp = 0;
        engine.lineCount = 0;
        return false;
    }
    return plat::LineSetAppPriority(kTelephonyAppName, plat::kLineMediaModeInteractiveVoice, nullptr, 0, nullptr, 1) == 0;
}

void CloseCallMonitoring(EngineState& engine) {
    if (engine.callMonitoring) {
        plat::LineSetAppPriority(kTelephonyAppName, plat::kLineMediaModeInteractiveVoice, nullptr, 0, nullptr, 0);
        for (uint32_t j = 0; j < engine.lineCount; ++j) {
            if (engine.lines[j]) plat::LineClose(engine.lines[j]);
            engine.lines[j] = 0;
        }
        plat::LineShutdown(engine.lineApp);
        engine.lineApp = 0;
        engine.lineCount = 0;
    }
    engine.callMonitoring = false;
}

void HandleCallOffered(EngineState& engine) {
    int32_t phone = RunningPhoneSetting(engine);
    if (phone == 3 || phone == 4) PressTalkKey(kTalkKeyDelaySeconds);
}

void HandleCallActive(EngineState& engine) {
    int32_t phone = RunningPhoneSetting(engine);
    if (phone == 3 || phone == 5) CallOssvcs218();
}

}  // namespace tlw
