// Playing a sound file, as the phone's sound player does. The simulated phone
// has no loudspeaker: a sound that plays is recorded in the device journal as
// "sound <device path>" (or "sound default" for the system's default sound).
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// Flags of PlaySoundFile.
enum : uint32_t {
    kSndSync = 0x0000,       // return when the sound has played
    kSndAsync = 0x0001,      // return at once; the sound plays on
    kSndNoDefault = 0x0002,  // a missing or unplayable file plays nothing
    kSndFilename = 0x00020000,  // path names a file (the only source supported)
};

// Plays the wave file at the device path. A file that is missing or not a
// RIFF/WAVE file plays the default sound instead, unless kSndNoDefault is
// given; then nothing plays and the result is false (last error set).
bool PlaySoundFile(std::u16string_view path, uint32_t flags);

}  // namespace plat
