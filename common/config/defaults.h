// The defaults every read of the configuration starts from: five profiles
// (silent, night, day, car, flight mode), the options and the item tables.
#pragma once

#include "common/config/config_model.h"
#include "common/config/language_table.h"

namespace tlw {

// Fills the whole model with its defaults. With fileOpen false (no
// configuration file could be opened) the five profiles also get their
// icons from the icon store of options.iconStore. Profile names, headphones,
// repeat, flash, flash_time, network_GUID and the location table are left
// as they are.
void ApplyDefaults(ConfigModel& model, const LanguageTable& language, bool fileOpen);

}  // namespace tlw
