// The SIM PIN the user stores in the configuration program and the engine
// offers when the SIM asks for it: ProfileFlags (the encoded PIN, 15 for
// none) and ProfileFlags2 (1 long form, 0 short form) of the Tallowin key.
//
// Long form (6 to 8 digits): digit i in bits 4i ... 4i+3 as the digit plus
// kSimPinLongOffset, a zero nibble ending the PIN. Short form (4 or 5
// digits): digit i in bits 5i ... 5i+4 as the digit XOR kSimPinShortMask,
// the number of digits in bits 28 ... 31. Older installations stored four
// characters, one a byte XOR kSimPinLegacyMask, which read with 9 in bits
// 28 ... 31; that form is only read.
#pragma once

#include <cstdint>
#include <string_view>

namespace tlw {

inline constexpr uint32_t kSimPinLongOffset = 1;     // keeps every digit's nibble non-zero
inline constexpr uint32_t kSimPinShortMask = 0x15;   // 5 bits
inline constexpr uint32_t kSimPinLegacyMask = 0xA5;  // 8 bits: a digit's byte reads 0x9?
// The placeholder of an empty PIN field.
inline constexpr char16_t kNoSimPinText[] = u"    ";
// Room DecodeSimPin needs: 8 digits and the terminator.
inline constexpr size_t kSimPinBufferSize = 9;

// `DecodeSimPin`: fills buffer (at least 9 characters) with the stored PIN
// and returns true; otherwise leaves four blanks and returns false: the key
// cannot be read, no PIN is stored, or the stored value is not a PIN of the
// forms above (it is never offered to the SIM then).
bool DecodeSimPin(char16_t* buffer);

// `EncodeSimPin`: stores the PIN, creating the key when missing. Four blanks
// (the empty field) or an empty text store 15, "no PIN". A PIN must be 4 to
// 8 digits; anything else is refused with false and stores nothing, so that
// the PIN kept so far is not lost.
bool EncodeSimPin(std::u16string_view pin);

}  // namespace tlw
