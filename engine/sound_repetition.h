// Repetition of missed-event sounds: while a notification of a repeating
// sound event stays on the screen, the engine plays its sound again at
// growing intervals (60 s, then 120 s, 180 s ... up to every 30 minutes),
// and on a Palm Treo keeps the notification LED blinking.
//
// The shell tells the engine that its shown notifications changed (the
// watched Active "ID" value, message TLWM_NOTIFICATION); the engine drives
// the repetition with its own wake-ups "2263" ... "2266" (slots 1 ... 4)
// and ends the LED with "2267".
#pragma once

#include <cstdint>
#include <string_view>

#include "base/fixed_string.h"
#include "platform/audio/media_player.h"
#include "platform/notify/user_notify.h"

namespace tlw {

struct EngineState;

inline constexpr int kRepetitionSlotCount = 6;     // sound events 0 ... 5
inline constexpr int kFirstRepeatingSlot = 1;      // slots 1 ... 4 repeat
inline constexpr int kLastRepeatingSlot = 4;
inline constexpr int32_t kFirstRepeatInterval = 60;   // seconds to the first repetition
inline constexpr int32_t kRepeatIntervalStep = 60;    // added after each repetition ...
inline constexpr int32_t kLongestRepeatInterval = 1800;  // ... until it reaches this

// One sound event's repetition.
struct RepetitionSlot {
    bool repeat = false;           // the displayed profile repeats this event's sound
    bool led = false;              // ... keeps the LED blinking for it (Treo)
    bool active = false;           // a notification of the event is shown and repeated now
    bool activeBefore = false;     // ... was at the last check
    bool ledActive = false;        // the LED blinks for it now
    bool ledActiveBefore = false;  // ... did at the last check
    int32_t interval = kFirstRepeatInterval;  // seconds to the next repetition
    FixedString<40> classId;       // its notification class; empty for slots 0 and 5
    plat::NotificationHandle repeatWakeUp = 0;  // pending repetition wake-up; 0 none
    plat::NotificationHandle ledEndWakeUp = 0;  // pending LED-end wake-up; 0 none
};

// The repetition state of the engine record.
struct RepetitionState {
    RepetitionSlot slots[kRepetitionSlotCount];  // by sound event
    plat::MediaPlayerHandle mediaPlayer = 0;      // the player of the last sound; 0 none
};

// Sets up the slots: their notification classes (the Treo's own class for
// text messages) and first intervals. Needs the engine's OEM flags.
void InitRepetitionSlots(EngineState& engine);

// Takes the repeat and LED wishes of the profile into the slots; returns
// whether any slot wants repetition or the LED, and then starts the
// repetition of notifications already on screen. A profile that is no
// profile or silent (volMaster 0) wants neither, and any repetition in
// progress stops, as does the repetition of a slot the profile no longer
// repeats.
bool ComputeRepetition(EngineState& engine, int32_t profile);

// Looks at the shown notifications and starts or stops each slot's
// repetition and LED.
void CheckShownNotifications(EngineState& engine);

// Schedules the slot's next repetition; with play, also plays its sound
// now (a wake-up of a slot that is no longer active plays nothing).
void RepeatSlot(EngineState& engine, int slot, bool play);

// Sets the notification LED blinking for the slot (scheduling its end after
// the event's LED duration) or off.
void SetNotificationLed(EngineState& engine, int slot, bool on);

// The LED-end wake-up arrived: the LED goes off.
void EndNotificationRepetition(EngineState& engine);
// Shut-down on a Treo: the LED goes off.
void StopNotificationRepetition(EngineState& engine);
// Frees the media player of the last sound.
void ReleaseMediaPlayer(EngineState& engine);

// True for the arguments of the repetition wake-ups, "2263" ... "2267".
bool IsRepetitionWakeUpArgument(std::u16string_view arguments);

}  // namespace tlw
