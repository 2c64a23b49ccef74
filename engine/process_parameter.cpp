// ProcessParameter: the engine's one decision procedure.
#include <optional>

#include "common/config/registry_state.h"
#include "common/config/log_file.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_messages.h"
#include "engine/time_schedule.h"
#include "engine/wake_ups.h"
#include "platform/notify/user_notify.h"
#include "common/device/device_operations.h"
#include "platform/power/power_state.h"
#include "platform/storage/device_store.h"

namespace tlw {
namespace {

// Class and argument of a parameter.
struct ParameterClass {
    int32_t kind;      // 10, 100, 200 or the parameter itself
    int32_t argument;  // offset within the class, else 0
};

ParameterClass Classify(int32_t parameter) {
    if (parameter >= 100 && parameter <= 199) return {100, parameter - 100};
    if (parameter >= 200 && parameter <= 299) return {200, parameter - 200};
    if (parameter >= 10 && parameter <= 14) return {10, parameter - 10};
    return {parameter, 0};
}

bool ManualActive() {
    int32_t manual = ReadManualProfile();
    return manual != kNoProfile && manual == ReadRunningProfile();
}

// The running profile is of trigger kind `kind` (2 calendar, 3 power, 4 location).
bool RunningKind(const EngineState& engine, int32_t kind) {
    int32_t running = ReadRunningProfile();
    return running != kNoProfile && IsProfileIndex(engine, running) &&
           engine.model.profiles.profiles[running].eventType == kind;
}

bool Overrides(const EngineState& engine, int32_t profile) {
    return IsProfileIndex(engine, profile) && engine.model.profiles.profiles[profile].override;
}

// A trigger's profile against a manual choice or a running profile of a
// stronger kind: it wins only with `override`. A winner cancels a running
// manual choice; a loser leaves nothing decided.
int32_t Contest(EngineState& engine, int32_t found, bool contested) {
    bool manual = ManualActive();
    if (contested && !Overrides(engine, found)) return kNoDecision;
    if (manual) SetManualProfile(engine, kNoProfile, false);
    return found;
}

// The stored manual time-out lies in the past (0: no time-out runs).
bool ManualTimeOutEnded() {
    uint32_t stored = ReadManualTimeOut();
    plat::SystemTime end;
    if (stored == 0 || !DecodeManualTimeOut(stored, &end)) return false;
    return plat::CompareSystemTime(end, plat::GetLocalTime()) <= 0;
}

// The parameters that run the whole decision procedure.
bool IsFullEvaluation(int32_t kind) {
    return kind == kParamKeepManual || kind == kParamReevaluate || kind == kParamSkipCalendar ||
           kind == kParamSkipPower || kind == kParamSkipLocation;
}

int32_t ValidOrNone(const EngineState& engine, int32_t index) {
    return IsProfileIndex(engine, index) ? index : kNoProfile;
}

int32_t FullEvaluation(EngineState& engine, int32_t kind) {
    bool noTimeProfiles = NoTimeProfiles(engine);
    int32_t running = ReadRunningProfile();
    int32_t manual = ReadManualProfile();

    // A manual choice whose activation waited for a call. The 500 of the
    // retry its postponement scheduled applies it, while it is still the
    // recorded choice and its time-out has not ended; that retry has fired,
    // so it is no longer pending. Any other 500 (back to automatic, unlock,
    // reload, the end of a watched program, the end of its time-out) drops
    // it with its retry, and cancels it as a running manual choice would be.
    if (kind == kParamReevaluate && engine.delayedManualProfile != kNoProfile) {
        bool pending = engine.delayedManualProfile == manual && manual != running && IsProfileIndex(engine, manual);
        bool retryPending = WakeUpPending(engine.delayedRetry);
        bool isRetry = engine.delayedRetry != 0 && !retryPending;
        if (retryPending) plat::ClearUserNotification(engine.delayedRetry);
        engine.delayedRetry = 0;  // used once; a new postponement schedules another
        if (isRetry && pending && !ManualTimeOutEnded()) {
            RescheduleTimeWakeUps(engine, false);
            return manual;
        }
        engine.delayedManualProfile = kNoProfile;
        if (pending && !noTimeProfiles) SetManualProfile(engine, kNoProfile, false);
        manual = ReadManualProfile();
    }
    if (kind == kParamReevaluate && (manual == running || running == kNoProfile) && !noTimeProfiles)
        SetManualProfile(engine, kNoProfile, false);
    RescheduleTimeWakeUps(engine, false);

    int32_t candidate = kNoDecision;
    if (kind != kParamSkipCalendar) {
        candidate = engine.triggers.calendar(engine);
        if (candidate != kNoDecision && kind != kParamReevaluate) {
            bool contested = ManualActive() || (RunningKind(engine, kEventPower) && kind != kParamSkipPower);
            if (contested && !Overrides(engine, candidate)) candidate = kNoDecision;
            if (kind == kParamKeepManual && ManualActive()) candidate = kNoDecision;
        }
    }
    if (candidate == kNoDecision && kind != kParamSkipPower) {
        candidate = engine.triggers.power(engine, false);
        if (candidate != kNoDecision && kind != kParamReevaluate) {
            bool contested = ManualActive() ||
                             (RunningKind(engine, kEventOutlook) && kind != kParamSkipCalendar && kind != kParamKeepManual);
            if (contested && !Overrides(engine, candidate)) candidate = kNoDecision;
        }
    }
    if (candidate == kNoDecision && kind != kParamSkipLocation) {
        candidate = engine.triggers.location(engine);
        if (candidate != kNoDecision && kind != kParamReevaluate) {
            bool contested = ManualActive() ||
                             (RunningKind(engine, kEventOutlook) && kind != kParamSkipCalendar && kind != kParamKeepManual) ||
                             (RunningKind(engine, kEventPower) && kind != kParamSkipPower);
            if (contested && !Overrides(engine, candidate)) candidate = kNoDecision;
        }
    }
    if (candidate == kNoDecision && noTimeProfiles) {
        candidate = ValidOrNone(engine, ReadLastManualProfile());
        SetManualProfile(engine, candidate, false);
    }
    if (candidate == kNoDecision) candidate = SlotInEffectNow(engine.model.profiles, plat::GetLocalTime());
    if (candidate == kNoDecision) candidate = kNoProfile;
    return candidate;
}

void ApplyDecision(EngineState& engine, int32_t decision) {
    if (decision == kNoDecision) {
        if (ReadRunningProfile() == kNoProfile) {
            WriteLocked(false);
            engine.locked = false;
            ActivateProfile(engine, ValidOrNone(engine, ReadLastManualProfile()));
        }
        return;
    }
    if (decision == kNoProfile) {
        WriteLocked(false);
        decision = ValidOrNone(engine, ReadLastManualProfile());
    }
    engine.locked = ReadLocked();
    if (engine.locked) {
        LogEvent(engine, u"PREVIOUS PROFILE LOCKED. NOT activating Profile:%d", {decision});
        return;
    }
    ActivateProfile(engine, decision);
    if (IsProfileIndex(engine, decision) && engine.model.profiles.profiles[decision].lockOnActivation) {
        WriteLocked(true);
        engine.locked = true;
        engine.model.profiles.profiles[decision].lockOnActivation = false;
        if (ReadManualTimeOut() != 0) {
            WriteManualTimeOut(0);
            SetManualProfile(engine, decision, true);
        }
    }
}

}  // namespace

bool NoTimeProfiles(const EngineState& engine) { return !HasEnabledProfileOfKind(engine, kEventTime); }

bool HasEnabledProfileOfKind(const EngineState& engine, int32_t kind) {
    const ProfileTable& t = engine.model.profiles;
    for (int i = 0; i < t.count && i < kMaxProfiles; ++i)
        if (t.profiles[i].enabled && t.profiles[i].eventType == kind) return true;
    return false;
}

bool IsProfileIndex(const EngineState& engine, int32_t index) {
    return index >= 0 && index < engine.model.profiles.count && index < kMaxProfiles;
}

void ProcessParameter(EngineState& engine, int32_t parameter) {
    ParameterClass c = Classify(parameter);
    // A full evaluation reads and writes the device store many times before
    // it decides, and again while it applies the decision and closes: those
    // calls join one transaction, which the store ends by itself should the
    // evaluation wait or message another program. A profile that is
    // activated ends it first (ActivateProfile).
    std::optional<plat::store::Batch> decisionBatch;
    if (IsFullEvaluation(c.kind)) decisionBatch.emplace();

    engine.logMode = QueryLogMode();
    LogEvent(engine, u"Processing parameter, Param:%d, Instance=%08X, Version=%d",
             {parameter, engine.instance, kEngineVersion});
    plat::PowerPolicyNotify(plat::kPpnUnattendedMode, 1);

    int32_t decision = kNoDecision;
    int32_t nested = 0;  // 701, 702 or 703 when a reduced evaluation follows
    switch (c.kind) {
    case 100:
        // A number that names no profile of the table chooses nothing.
        if (IsProfileIndex(engine, c.argument)) {
            SetManualProfile(engine, c.argument, false);
            decision = c.argument;
        }
        break;
    case 200: {
        RescheduleTimeWakeUps(engine, false);
        // A slot of a profile the table does not hold (a stale wake-up, a
        // mistyped command line) starts nothing and cancels nothing.
        if (!IsProfileIndex(engine, c.argument)) break;
        bool contested = ManualActive() || RunningKind(engine, kEventPower) || RunningKind(engine, kEventOutlook) ||
                         RunningKind(engine, kEventLocation);
        decision = Contest(engine, c.argument, contested);
        break;
    }
    case 10: {
        int32_t found = engine.triggers.power(engine, c.argument != 0);
        if (found != kNoDecision) {
            decision = Contest(engine, found, ManualActive() || RunningKind(engine, kEventOutlook));
        } else if (!ManualActive()) {
            nested = kParamSkipPower;
        }
        break;
    }
    case kParamLocation: {
        int32_t found = engine.triggers.location(engine);
        if (found != kNoDecision)
            decision = Contest(engine, found,
                               ManualActive() || RunningKind(engine, kEventOutlook) || RunningKind(engine, kEventPower));
        if (decision == kNoDecision && RunningKind(engine, kEventLocation)) nested = kParamSkipLocation;
        break;
    }
    case kParamCalendarDue: {
        int32_t found = engine.triggers.calendar(engine);
        if (found != kNoDecision)
            decision = Contest(engine, found, ManualActive() || RunningKind(engine, kEventPower));
        break;
    }
    case kParamCalendarChanged:
        decision = engine.triggers.calendar(engine);
        if (decision == kNoDecision && RunningKind(engine, kEventOutlook)) nested = kParamSkipCalendar;
        break;
    case kParamMidnight:
        RescheduleTimeWakeUps(engine, true);
        RescheduleCalendarWakeUp(engine);
        break;
    case kParamBacklight:
        ApplySavedBacklight(engine);
        break;
    case kParamCallActive:
        HandleCallActive(engine);
        break;
    case kParamCallOffered:
        HandleCallOffered(engine);
        break;
    case kParamTimeoutChanged:
        SetManualProfile(engine, ReadRunningProfile(), true);
        break;
    case kParamKeepManual:
    case kParamReevaluate:
    case kParamSkipCalendar:
    case kParamSkipPower:
    case kParamSkipLocation:
        decision = FullEvaluation(engine, c.kind);
        break;
    default:
        break;
    }

    if (nested != 0) {
        decisionBatch.reset();
        ProcessParameter(engine, nested);
        plat::PowerPolicyNotify(plat::kPpnUnattendedMode, 0);
        return;
    }
    ApplyDecision(engine, decision);

    // The closing reads and the end of unattended mode (joining the
    // decision's batch when it still runs).
    plat::store::Batch endBatch;
    int32_t running = ReadRunningProfile();
    if (running >= 100 || !IsProfileIndex(engine, running)) {
        LogEvent(engine, u"Normal Exiting: Profile:%d  Manual:%d", {running, ReadManualProfile()});
    } else {
        const Profile& p = engine.model.profiles.profiles[running];
        LogEvent(engine, u"Normal Exiting: Profile:%d %s, Type:%d, Manual:%d",
                 {running, p.name.View(), p.eventType, ReadManualProfile()});
    }
    LogEvent(engine, u"================================================================", {}, false);
    plat::PowerPolicyNotify(plat::kPpnUnattendedMode, 0);
}

}  // namespace tlw
