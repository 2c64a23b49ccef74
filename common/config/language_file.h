// The language loader: fills the language table from the language file (a
// section "[Name]" per language, then lines "NNN=text"), and gives unnamed
// default profiles the default names of the selected language.
#pragma once

#include <string_view>

#include "common/config/language_table.h"
#include "common/config/options.h"
#include "common/config/profile.h"

namespace tlw {

// The loader reads the file through a window of this many bytes and moves
// the window on once the read position passes kLanguageWindowLimit.
constexpr int kLanguageWindowBytes = 4090;
constexpr int kLanguageWindowLimit = 4000;
// Longest language name; a longer one does not count as a section.
constexpr int kMaxLanguageNameLength = 30;

// Loads the language file of the path set (application data +
// "\Korvel\Tallowin\Language.ini") into language, selecting the section
// numbered options.language; then names every profile of slots 0 ... 4 whose
// name is empty with text 111 + slot. When the file cannot be opened nothing
// changes at all.
void LoadLanguage(ProfileTable& profiles, LanguageTable& language, const Options& options);

// The same from the file at devicePath.
void LoadLanguageFile(std::u16string_view devicePath, ProfileTable& profiles, LanguageTable& language,
                      const Options& options);

}  // namespace tlw
