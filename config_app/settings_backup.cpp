// The export and import of settings backups, run from the main menu's
// soft-key menu while the main menu shows.
#include "config_app/settings_backup.h"

#include "base/text.h"
#include "common/config/config_file.h"
#include "common/config/legacy_config.h"
#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "platform/controls/message_box.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"
#include "platform/storage/locale.h"

namespace tlw {
namespace {

// Language texts: the captions and the three messages.
constexpr int32_t kTextExportCaption = 5;
constexpr int32_t kTextImportCaption = 6;
constexpr int32_t kTextImported = 800;
constexpr int32_t kTextNotABackup = 801;
constexpr int32_t kTextExported = 807;

// Failures the language file has no text for.
constexpr char16_t kExportFailed[] = u"The backup file could not be written. Nothing was saved.";
constexpr char16_t kImportUnreadable[] = u"The backup file could not be opened. Nothing was changed.";

// Back to the main menu once a dialog has closed; its rows are built again
// since an import may have changed the language.
void ReturnToMainMenu(ConfigAppState& app) {
    FitMainWindow(app);
    ShowPage(app, kPageMainMenu);
}

}  // namespace

std::u16string BackupFileName(const plat::SystemTime& date) {
    return u"Tlw_Backup_" + plat::FormatDateString(date, u"yyyy_MM_dd");
}

bool IsBackupPath(std::u16string_view path) {
    return path.size() >= 4 && EqualsNoCase(path.substr(path.size() - 4), u".tlw");
}

void ExportSettings(ConfigAppState& app) {
    ChooserFunction chooser = Chooser();
    if (!chooser) return;
    ChooserRequest request;
    request.mode = ChooserMode::kSave;
    request.title = kExportTitle;
    request.fileName = BackupFileName(plat::GetLocalTime());
    request.extension = kBackupExtension;
    request.typeText = kBackupTypeText;
    app.page = kPageExport;
    std::u16string chosen;
    bool picked = chooser(app, request, &chosen);
    ReturnToMainMenu(app);
    if (!picked) return;
    if (!WriteConfiguration(true, plat::WideToAnsi(chosen), app.model, app.language)) {
        plat::MessageBox(app.mainWindow, kExportFailed, Text(app, kTextExportCaption),
                         plat::kMbOk | plat::kMbIconHand);
        return;
    }
    plat::MessageBox(app.mainWindow, Text(app, kTextExported), Text(app, kTextExportCaption),
                     plat::kMbOk | plat::kMbIconAsterisk);
}

void ImportSettings(ConfigAppState& app) {
    ChooserFunction chooser = Chooser();
    if (!chooser) return;
    ChooserRequest request;
    request.mode = ChooserMode::kLoad;
    request.title = kImportTitle;
    app.page = kPageImport;
    std::u16string chosen;
    bool picked = chooser(app, request, &chosen);
    ReturnToMainMenu(app);
    if (!picked) return;
    if (!IsBackupPath(chosen)) {
        plat::MessageBox(app.mainWindow, Text(app, kTextNotABackup), Text(app, kTextImportCaption),
                         plat::kMbOk | plat::kMbIconExclamation);
        return;
    }
    // A file that went away (or cannot be read) after it was chosen would
    // leave only the defaults to write over the live configuration: refuse
    // it instead, changing nothing.
    plat::File file;
    if (!file.Open(chosen, plat::kGenericRead, plat::kShareRead, plat::kOpenExisting)) {
        plat::MessageBox(app.mainWindow, kImportUnreadable, Text(app, kTextImportCaption),
                         plat::kMbOk | plat::kMbIconHand);
        return;
    }
    file.Close();
    ReadAnyConfigurationAndLanguage(app.model, app.language, true, chosen);
    UpdateEditableTodaySlots(app);
    if (!SaveConfiguration(app)) return;
    NotifyConfigurationSaved();
    // A backup from a phone of the other screen class names its default skin.
    FitDefaultSkin(app);
    ClearManualProfile();
    NotifyConfigurationSaved();
    RememberSavedAddOns(app);
    ShowPage(app, kPageMainMenu);
    plat::MessageBox(app.mainWindow, Text(app, kTextImported), Text(app, kTextImportCaption),
                     plat::kMbOk | plat::kMbIconAsterisk);
}

}  // namespace tlw
