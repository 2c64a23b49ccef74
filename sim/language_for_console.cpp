#include "sim/language_for_console.h"

namespace sim {

void LoadConsoleLanguage(tlw::ConfigModel& model, tlw::LanguageTable& language) {
    (void)model;
    (void)language;
}

}  // namespace sim
