// The shell's sound player: plays a sound file of any kind the phone knows
// (.wav, .mid, .wma, .mp3) asynchronously. The simulated phone has no
// loudspeaker: a sound that starts is recorded in the device journal as
// "sound play <device path>", and a sound stopped while it plays as
// "sound stop <device path>". Without play time on the simulated phone, a
// sound counts as playing until it is stopped, another one of the same
// process replaces it, or the process ends.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// Results (HRESULT values).
enum : uint32_t {
    kSndPlayOk = 0,
    kSndPlayFileNotFound = 0x80070002u,   // no such file
    kSndPlayUnsupported = 0x80070032u,    // not a kind of sound the phone plays
};

// Starts playing the file and returns at once. A name without a folder
// ("Alarm1.wav") is looked for in \Windows, as the phone does.
uint32_t SndPlayAsync(std::u16string_view path);

// Stops the sound this process started with SndPlayAsync (SndStop with the
// process scope). True when one was playing; a second stop does nothing.
bool SndStop();

}  // namespace plat
