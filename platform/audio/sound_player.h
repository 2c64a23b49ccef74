// The shell's sound player: plays a sound file of any kind the phone knows
// (.wav, .mid, .wma, .mp3) asynchronously. The simulated phone has no
// loudspeaker: a sound that starts is recorded in the device journal as
// "sound play <device path>".
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

}  // namespace plat
