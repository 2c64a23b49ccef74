// An engine record on a temporary device with a virtual clock, for
// in-process tests of the decision procedure.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/config/registry_state.h"
#include "engine/engine_actions.h"
#include "engine/engine_state.h"
#include "platform/kernel/clock.h"
#include "platform/notify/user_notify.h"
#include "support/temp_device.h"

namespace tlw::testing {

// Trigger results the tests set; the evaluators below return them.
struct FakeTriggers {
    int32_t calendar = kNoDecision;
    int32_t power = kNoDecision;
    int32_t location = kNoDecision;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the clock at a local time "YYYY-MM-DDTHH:MM:SS".
    void SetClock(const char* time);
    // Replaces the model with n enabled manual profiles named P0, P1, ...
    Profile& AddProfile(int32_t eventType, bool override = false);
    // A time profile with slot 0 at "HH:MM" on every day.
    Profile& AddTimeProfile(const char16_t* start, bool override = false);
    // Saves the model as the configuration file (the engine rereads it when a
    // manual choice is cancelled), then processes a parameter or command.
    void Process(int32_t parameter);
    void Command(int32_t command);
    // Pending wake-ups of the engine: "argument@HH:MM:SS".
    std::vector<std::string> WakeUps();
    // Fires the wake-ups due at the clock's time, as the device does (the
    // program they start is not installed here: only their removal counts).
    void FireDueWakeUps();

    static FakeTriggers fake;  // what the evaluators return
    TempDevice device;
    std::unique_ptr<EngineState> engine;
};

}  // namespace tlw::testing
