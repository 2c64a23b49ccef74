// The ring tones and notification sounds of a fresh simulated phone, and
// the registry of its sounds and notifications panel.
//
// "\Windows" and "\Windows\Rings" receive short playable wave files (tones
// made here: 8 kHz, 8-bit mono PCM), small MIDI songs, and placeholder .wma
// and .mp3 files. The registry gets the volume panel's values, the shell's
// sound-mode values, the ring tone and the five notification keys, each
// only where the device model has not already set it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// One tone of a generated sound: a frequency (0: a rest) and its length.
struct Tone {
    uint32_t hertz;  // pitch; 0 is silence
    uint32_t ms;     // length in milliseconds
};

// A RIFF/WAVE file of the tones, 8000 samples a second, 8-bit mono.
std::vector<uint8_t> MakeWave(const std::vector<Tone>& tones);
// A type-0 standard MIDI file playing the notes (MIDI note numbers, 0 a
// rest) at a quarter note each.
std::vector<uint8_t> MakeMidi(const std::vector<uint8_t>& notes);

// Installs the sound files and the sound registry. False with a message
// when a file or value cannot be written.
bool InstallSounds(std::string* error);

}  // namespace sim
