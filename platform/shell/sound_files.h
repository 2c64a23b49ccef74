// The shell's sound calls: the global sound profile (set-sound for the
// "all events" event) and the list of the device's sound files.
//
// The sound profile is hardware state; each change is recorded in the
// device journal as "sound profile on|vibrate|none". The list is built from
// the folders where the phone keeps sounds, on every storage location.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

// Capacities of a sound-file record, in characters with the terminator.
constexpr uint32_t kSndPathCapacity = 260;
constexpr uint32_t kSndNameCapacity = 260;

// Sound types of a sound-file record.
enum : uint32_t {
    kSndTypeSoundOn = 0,  // sounds on (set-sound of the global profile)
    kSndTypeFile = 1,     // a sound file (the list)
    kSndTypeVibrate = 2,  // vibrate only
    kSndTypeNone = 3,     // silent
};

// Sound events; 0 is every event at once, the global sound profile.
enum : uint32_t { kSndEventAll = 0 };
// Storage locations the list searches; all of them.
enum : uint32_t { kSndLocationAll = 3 };
// Set-sound option: show no user interface.
constexpr uint32_t kSndSuppressUi = 1;

// The shell's sound-file record.
struct SndFileInfo {
    char16_t path[kSndPathCapacity] = {};  // full device path of the file (empty for a profile change)
    char16_t name[kSndNameCapacity] = {};  // display name: the file name without extension
    uint32_t soundType = kSndTypeFile;     // kSndType* value
};
static_assert(sizeof(SndFileInfo) == 2 * (260 + 260) + 4, "the shell's record layout");

// Results (HRESULT values).
enum : uint32_t { kSOk = 0, kEInvalidArg = 0x80070057u, kEFail = 0x80004005u };

// Sets the sound of an event. Only the global profile (kSndEventAll) can be
// set, with type kSndTypeSoundOn, kSndTypeVibrate or kSndTypeNone;
// kEInvalidArg for anything else, kEFail when the state cannot be stored.
uint32_t SndSetSound(uint32_t event, const SndFileInfo* info, uint32_t flags);

// The global sound profile (kSndTypeSoundOn, kSndTypeVibrate or kSndTypeNone).
uint32_t SndGetSoundProfile();

// Every sound file (.wav, .mid, .wma, .mp3) the phone offers for an event,
// from "\Windows", "\Windows\Rings", "\My Documents\My Ringtones" and
// "\My Documents", each folder sorted by name; every record has type
// kSndTypeFile. kEInvalidArg for a null list; the list is empty when no
// folder holds a sound.
uint32_t SndGetSoundFileList(uint32_t event, uint32_t locations, std::vector<SndFileInfo>* list);

}  // namespace plat
