// Reading configuration files of the older layout: no version marker, each
// profile a run of attribute-like fields ("name=\"Night\" enabled=\"X"
// ...) with most flags coded as single characters. Only the configuration
// program reads it, when the current reader finds no version marker; its
// next save writes the current layout.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/config/config_model.h"
#include "common/config/language_table.h"

namespace tlw {

// The file is read in windows of this many bytes; each profile is read from
// a window that starts at its marker.
constexpr uint32_t kLegacyWindowBytes = 4090;

// Reads up to kLegacyWindowBytes bytes of the file from a byte offset (fewer
// at its end, none past it).
using LegacyWindowReader = std::function<std::string(uint64_t offset)>;

// Fills the profiles and options of the model from a file of the older
// layout, read through window. The model must hold the defaults already;
// a field the file lacks keeps them. A file without any profile marker
// keeps the default profiles. The location table is left as it is (the
// older layout has none).
void ParseLegacyConfiguration(const LegacyWindowReader& window, ConfigModel& model, const LanguageTable& language);

// The whole read: the defaults as the current reader sets them, then the
// file. Without import it reads the configuration file (or its backup when
// that cannot be opened); with import, importPath. With no file to open the
// model holds the defaults with five profiles.
void ReadLegacyConfiguration(bool import, ConfigModel& model, const LanguageTable& language,
                             std::u16string_view importPath = {});

// The configuration program's read: the current layout, and when the file
// lacks the version marker, the older layout; then the language the file
// selects. Returns false when the older layout was read (the next save
// writes the current one).
bool ReadAnyConfigurationAndLanguage(ConfigModel& model, LanguageTable& language, bool import = false,
                                     std::u16string_view importPath = {});

}  // namespace tlw
