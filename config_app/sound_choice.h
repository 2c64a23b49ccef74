// The sound files the profile editor offers for one sound event: the
// device's default first ("Windows predet.wav"), then the ring tones (event
// 0) or the notification sounds (events 1 to 5) the device has.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlw {

// The entry that stands for the device's own sound of the event.
inline constexpr char16_t kDefaultSoundName[] = u"Windows predet.wav";
// Most entries a choice row holds.
constexpr int kMaxSoundChoices = 256;

struct SoundChoices {
    std::vector<std::u16string> names;  // file names as stored in the profile; [0] the default
};

// Lists the device's sounds for the event: the catalogue of the ring tones
// or of the notification sounds, without repeated names, after the default
// entry, at most kMaxSoundChoices in all.
SoundChoices ListSoundChoices(int32_t event);

// The entry to select for a stored file name: its index, or 0 (the default
// entry) when the device does not offer it.
int SelectedSoundChoice(const SoundChoices& choices, std::u16string_view stored);

// Where the file of an offered name is, for playing it to the user: the
// Windows folder, its Rings folder, or wherever the shell's sound list has
// it. Empty for the default entry and for a name no longer on the device.
std::u16string SoundFilePath(std::u16string_view name);

// Plays an offered sound to the user, stopping the one played before; the
// default entry stops the previous one and plays nothing.
void PreviewSound(std::u16string_view name);
// Stops the sound being previewed (leaving the editor).
void StopSoundPreview();

}  // namespace tlw
