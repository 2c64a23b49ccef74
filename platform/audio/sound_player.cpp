#include "platform/audio/sound_player.h"

#include <mutex>
#include <string>

#include "base/text.h"
#include "platform/storage/file.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

bool KnownSoundKind(std::u16string_view path) {
    size_t dot = path.find_last_of(u'.');
    if (dot == std::u16string_view::npos) return false;
    std::u16string_view ext = path.substr(dot);
    for (const char16_t* known : {u".wav", u".mid", u".wma", u".mp3"})
        if (tlw::EqualsNoCase(ext, known)) return true;
    return false;
}

std::mutex g_lock;
std::u16string g_playing;  // the sound this process started last and did not stop; empty: none

}  // namespace

uint32_t SndPlayAsync(std::u16string_view name) {
    // A sound named without a folder is one of the Windows folder's.
    std::u16string path(name);
    if (name.find(u'\\') == std::u16string_view::npos) path = u"\\Windows\\" + path;
    if (!FileExists(path)) return kSndPlayFileNotFound;
    if (!KnownSoundKind(path)) return kSndPlayUnsupported;
    JournalAppend("sound play " + tlw::Utf16ToUtf8(path));
    std::lock_guard<std::mutex> guard(g_lock);
    g_playing = path;
    return kSndPlayOk;
}

bool SndStop() {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_playing.empty()) return false;
    JournalAppend("sound stop " + tlw::Utf16ToUtf8(g_playing));
    g_playing.clear();
    return true;
}

}  // namespace plat
