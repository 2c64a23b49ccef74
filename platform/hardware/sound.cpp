#include "platform/hardware/sound.h"

#include <cstring>
#include <string>

#include "base/text.h"
#include "platform/storage/file.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

// True when the file opens and starts like a wave file: "RIFF", a size,
// "WAVE".
bool IsWaveFile(std::u16string_view path) {
    File file;
    if (!file.Open(path, kGenericRead, kShareRead, kOpenExisting)) return false;
    char header[12] = {};
    uint32_t read = 0;
    if (!file.Read(header, sizeof header, &read) || read != sizeof header) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return true;
}

}  // namespace

bool PlaySoundFile(std::u16string_view path, uint32_t flags) {
    if (!path.empty() && IsWaveFile(path)) {
        JournalAppend("sound " + tlw::Utf16ToUtf8(path));
        return true;
    }
    if (flags & kSndNoDefault) return false;
    JournalAppend("sound default");
    return true;
}

}  // namespace plat
