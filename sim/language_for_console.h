// The language table as the programs load it after reading the configuration
// (default profile names, the "any" calendar category).
#pragma once

#include "common/config/config_model.h"
#include "common/config/language_table.h"

namespace sim {

// Loads the device's language file into language for model's `language`
// option and fills the empty default profile names.
void LoadConsoleLanguage(tlw::ConfigModel& model, tlw::LanguageTable& language);

}  // namespace sim
