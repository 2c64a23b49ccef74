// Reading and writing the configuration file "\Korvel\Tallowd.ini" in the
// documents folder (and settings backups in the same layout).
#pragma once

#include <string>
#include <string_view>

#include "common/config/config_model.h"
#include "common/config/language_table.h"

namespace tlw {

// The version marker that tells this layout from the older one.
inline constexpr char16_t kConfigVersionMarker[] = u"VERSION 2.0";

// Sets the fields that depend on the screen and the device's folders (the
// skin and icon store of the screen's resolution class, skin off, Today
// sound on); every reader calls it before the defaults.
void PrepareModel(ConfigModel& model);

// Fills the whole model: the defaults first, then what the file holds.
// Without import it reads the configuration file, or its backup when the
// configuration file cannot be opened; with import it reads importPath and
// nothing else. Returns false when the file lacks the version marker (or an
// import file cannot be opened); the model then holds the defaults without
// the default icons, and the caller may try the older layout.
bool ReadConfiguration(bool import, ConfigModel& model, const LanguageTable& language,
                       std::u16string_view importPath = {});

// Fills the whole model from a configuration file's content held in memory,
// read exactly as ReadConfiguration reads an opened file. Returns false when
// the content lacks the version marker.
bool ReadConfigurationText(std::string_view content, ConfigModel& model, const LanguageTable& language);

// Writes the model. Without exportFile it writes the configuration file,
// keeping the previous content as the backup file; with it, the given file
// (a path in the ANSI code page). The file is replaced only once its new
// content is complete. Returns false when nothing was written.
bool WriteConfiguration(bool exportFile, std::string_view exportPath, const ConfigModel& model,
                        const LanguageTable& language);

// The file's content for the model, exactly as the writer writes it: ANSI
// code page, CR LF line ends.
std::string FormatConfiguration(const ConfigModel& model, const LanguageTable& language);

}  // namespace tlw
