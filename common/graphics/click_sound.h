// The button click of the skinned popup menu and the Today item: the wave
// file "TlwButton.wav" of the chosen skin, or of the default skin of the
// resolution class when the chosen skin has none.
#pragma once

#include <string>
#include <string_view>

#include "common/graphics/skin.h"

namespace tlw {

inline constexpr char16_t kClickSoundFile[] = u"TlwButton.wav";

// The click sound file: the `skin` folder's TlwButton.wav when that file can
// be opened, else the default skin's.
std::u16string ClickSoundPath(const SkinSource& source);

// Plays the click asynchronously when both the `tdy_sound` option and the
// sound bit (value 4 of the volume settings' Mute value, as IsSoundMuted
// reports it) are set. Returns whether a sound was started.
bool PlayButtonClick(const SkinSource& source, bool tdySound, bool soundBitSet);

}  // namespace tlw
