#include "common/config/config_load.h"

#include "common/config/config_file.h"
#include "common/config/language_file.h"

namespace tlw {

bool ReadConfigurationAndLanguage(ConfigModel& model, LanguageTable& language, bool import,
                                  std::u16string_view importPath) {
    bool hadTexts = language.languageCount > 0;
    bool result = ReadConfiguration(import, model, language, importPath);
    LoadLanguage(model.profiles, language, model.options);
    if (!hadTexts && language.languageCount > 0) {
        result = ReadConfiguration(import, model, language, importPath);
        LoadLanguage(model.profiles, language, model.options);
    }
    return result;
}

}  // namespace tlw
