// The wave-out (waveform output) devices and their volume, and the audio
// driver's reload of its settings from the registry.
//
// The simulated phone has one wave-out device. Its volume is kept with the
// hardware state; every change is recorded in the device journal as
// "wave-out N volume 0xXXXXXXXX", and a reload as "audio reload from
// registry".
#pragma once

#include <cstdint>

namespace plat {

// Results of the wave-out calls.
enum : uint32_t {
    kMmSysErrNoError = 0,       // done
    kMmSysErrError = 1,         // the state could not be read or stored
    kMmSysErrBadDeviceId = 2,   // no such device
    kMmSysErrInvalParam = 11,   // a null pointer
};

// The number of wave-out devices.
uint32_t WaveOutGetNumDevs();

// Sets / reads the volume of wave-out device `device`: left channel in the
// low 16 bits, right channel in the high 16 bits.
uint32_t WaveOutSetVolume(uint32_t device, uint32_t volume);
uint32_t WaveOutGetVolume(uint32_t device, uint32_t* volume);

// The audio driver rereads its settings from HKCU\ControlPanel\Volume: the
// system volume `Volume` becomes the volume of every wave-out device (a
// missing value leaves them). Journalled as "audio reload from registry".
void AudioUpdateFromRegistry();

}  // namespace plat
