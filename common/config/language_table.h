// The texts of the selected language and the names of all languages of the
// language file, indexed by three-digit text identifier.
#pragma once

#include <cstdint>

#include "base/fixed_string.h"

namespace tlw {

constexpr int kLanguageSlots = 1000;        // identifiers 1 .. 999; slot 0 unused
constexpr int kLanguageTextCapacity = 80;   // characters per text, terminator included
constexpr int kLanguageNameSlot = 411;      // first slot of the language names
constexpr int kTextDefaultProfileName = 111;  // 111 .. 115: default names of slots 0 .. 4
constexpr int kTextAnyCategory = 170;       // calendar category "any"

struct LanguageTable {
    FixedString<kLanguageTextCapacity> text[kLanguageSlots];  // slot n: text of identifier n
    int32_t languageCount = 0;  // language sections found in the file
};

}  // namespace tlw
