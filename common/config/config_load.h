// Reading the configuration together with the language file, as every
// program does at start-up and on reload.
#pragma once

#include <string_view>

#include "common/config/config_model.h"
#include "common/config/language_table.h"

namespace tlw {

// Reads the configuration (or, with import, importPath), then loads the
// language the configuration selects and fills empty default names. When
// the texts were not loaded before (the first read of a program), the
// configuration is read once more so that the defaults that come from texts
// ("-" names, the "any" calendar category) have them. Returns the reader's
// result.
bool ReadConfigurationAndLanguage(ConfigModel& model, LanguageTable& language, bool import = false,
                                  std::u16string_view importPath = {});

}  // namespace tlw
