// Settings backups: the main menu's export and import. A backup is the
// configuration file written to a path of the user's choice (extension
// ".tlw"); importing reads one back and makes it the live configuration.
#pragma once

#include <string>
#include <string_view>

#include "config_app/config_app_state.h"
#include "platform/kernel/clock.h"

namespace tlw {

inline constexpr char16_t kExportTitle[] = u"Export Tlw Settings";
inline constexpr char16_t kImportTitle[] = u"Import Tlw Settings";
inline constexpr char16_t kBackupTypeText[] = u"Tlw Settings Backup (tlw)";
inline constexpr char16_t kBackupExtension[] = u"tlw";

// The name an export offers on a date: "Tlw_Backup_2010_09_16".
std::u16string BackupFileName(const plat::SystemTime& date);
// True when a chosen path names a backup: its last four characters are
// ".tlw", the extension compared in lower case.
bool IsBackupPath(std::u16string_view path);

// Export: the save dialog, then the working configuration written to the
// chosen file. The live configuration file is not touched.
void ExportSettings(ConfigAppState& app);
// Import: the open dialog, then the chosen backup read (the current layout,
// else the older one), written as the live configuration, the manual
// profile cleared, and the engine and the Today plug-in told to reload.
void ImportSettings(ConfigAppState& app);

}  // namespace tlw
