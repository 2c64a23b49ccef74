#include "platform/audio/wave_out.h"

#include <cstdio>
#include <string>

#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

constexpr uint32_t kWaveOutDevices = 1;  // the phone's one loudspeaker output
constexpr char16_t kVolumeKey[] = u"ControlPanel\\Volume";  // under HKCU

std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

}  // namespace

uint32_t WaveOutGetNumDevs() { return kWaveOutDevices; }

uint32_t WaveOutSetVolume(uint32_t device, uint32_t volume) {
    if (device >= kWaveOutDevices) return kMmSysErrBadDeviceId;
    if (!ChangeHardwareState([volume](HardwareState& s) { s.waveOutVolume = volume; })) return kMmSysErrError;
    JournalAppend("wave-out " + std::to_string(device) + " volume " + Hex(volume));
    return kMmSysErrNoError;
}

uint32_t WaveOutGetVolume(uint32_t device, uint32_t* volume) {
    if (!volume) return kMmSysErrInvalParam;
    if (device >= kWaveOutDevices) return kMmSysErrBadDeviceId;
    HardwareState s;
    if (!ReadHardwareState(&s)) return kMmSysErrError;
    *volume = s.waveOutVolume;
    return kMmSysErrNoError;
}

void AudioUpdateFromRegistry() {
    JournalAppend("audio reload from registry");
    uint32_t volume = 0;
    if (!RegReadDword(kHkeyCurrentUser, kVolumeKey, u"Volume", &volume)) return;
    ChangeHardwareState([volume](HardwareState& s) { s.waveOutVolume = volume; });
}

}  // namespace plat
