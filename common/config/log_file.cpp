#include "common/config/log_file.h"

#include <string>

#include "common/config/registry_key.h"
#include "base/text.h"
#include "platform/kernel/clock.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"
#include "platform/storage/locale.h"
#include "platform/storage/registry.h"

namespace tlw {

uint32_t QueryLogMode() {
    int64_t size = plat::FileSize(kLogFile);
    if (size >= 0 && size / 1024 > 100) {
        plat::DeleteFile(kLogBackFile);
        // A failed rename keeps logging into the current file.
        plat::MoveFile(kLogFile, kLogBackFile, false);
    }
    uint32_t mode = 0;
    plat::RegReadDword(plat::kHkeyCurrentUser, kTallowinKey, u"LogMode", &mode);
    return mode;
}

void WriteLog(std::u16string_view message, bool stamp) {
    std::u16string stampText;
    if (stamp) {
        plat::SystemTime now = plat::GetLocalTime();
        // Each part is formatted into a 30-character buffer.
        std::u16string date = plat::GetShortDateString(now).substr(0, 29);
        std::u16string time = plat::FormatTimeString(now, u"HH:mm:ss").substr(0, 29);
        stampText = date + u" " + time;
    }
    std::u16string line = Format(u"%s %s\r\n", {message, stampText});
    std::string bytes = plat::WideToAnsi(line);
    // At most 512 bytes go out; a longer line is cut but keeps its line end,
    // so that the next line does not run into it.
    if (bytes.size() > 512) {
        bytes.resize(510);
        bytes += "\r\n";
    }
    plat::AppendFile(kLogFile, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

}  // namespace tlw
