// The media player object: an in-process player that plays one sound or
// media file and is released when no longer needed.
//
// A program creates it by its class identifier, hands it a file to play and
// releases it. The player honours the user's "Repeat" preference
// (HKCU\Software\Microsoft\MediaPlayer\Preferences, DWORD `Repeat`, non-zero:
// play the file over and over) as it stood when playing started. The
// simulated phone has no loudspeaker: a start is recorded in the device
// journal as "media player play <device path>" (with " repeating" when the
// preference was on); a repeating file stops when it is replaced or its
// player is freed, recorded as "media player stop".
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// The media player's class identifier.
inline constexpr char16_t kMediaPlayerClassId[] = u"{6BF52A4F-394A-11D3-B153-00C04F79FAA6}";

// The preference key (under HKCU) and value the player reads.
inline constexpr char16_t kMediaPlayerPreferencesKey[] = u"Software\\Microsoft\\MediaPlayer\\Preferences";
inline constexpr char16_t kMediaPlayerRepeatValue[] = u"Repeat";

// Results (HRESULT values).
enum : uint32_t {
    kMediaPlayerOk = 0,
    kMediaPlayerClassNotRegistered = 0x80040154u,  // no object of that class
    kMediaPlayerInvalidArg = 0x80070057u,          // a bad player or a null out pointer
    kMediaPlayerFileNotFound = 0x80070002u,        // no such file
    kMediaPlayerUnsupported = 0x80070032u,         // not a kind of file the player plays
};

// A media player object; 0 is none.
using MediaPlayerHandle = uintptr_t;

// Creates a player of the class (matched without regard to case). Its
// reference count starts at 1.
uint32_t CreateMediaPlayer(std::u16string_view classId, MediaPlayerHandle* out);

// Starts playing the file (a device path) and returns at once; a file that
// is already playing on this player is stopped first.
uint32_t MediaPlayerPlay(MediaPlayerHandle player, std::u16string_view path);

// True while the player plays a file with the Repeat preference on (a file
// played once has ended by the time anyone asks; the simulated phone has no
// play time).
bool MediaPlayerIsRepeating(MediaPlayerHandle player);

// Counts a reference up / down; at zero the player stops and is freed.
// Release returns the remaining count, 0 also for an unknown player.
uint32_t MediaPlayerAddRef(MediaPlayerHandle player);
uint32_t MediaPlayerRelease(MediaPlayerHandle player);

}  // namespace plat
