#include "sim/language_for_console.h"

#include "common/config/language_file.h"

namespace sim {

void LoadConsoleLanguage(tlw::ConfigModel& model, tlw::LanguageTable& language) {
    tlw::LoadLanguage(model.profiles, language, model.options);
}

}  // namespace sim
