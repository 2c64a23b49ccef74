#include "platform/audio/media_player.h"

#include <map>
#include <mutex>
#include <string>

#include "base/text.h"
#include "platform/storage/file.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

// One player object of this process.
struct Player {
    uint32_t references = 1;  // reference count; freed at 0
    bool playing = false;     // a file was started and not yet stopped
    bool repeating = false;   // ... with the Repeat preference on
};

// The player objects of this process, by handle.
struct PlayerTable {
    std::mutex lock;                          // guards everything below
    std::map<MediaPlayerHandle, Player> players;
    MediaPlayerHandle next = 1;               // the handle the next player gets
};

PlayerTable& Table() {
    static PlayerTable table;
    return table;
}

bool PlayableKind(std::u16string_view path) {
    size_t dot = path.find_last_of(u'.');
    if (dot == std::u16string_view::npos) return false;
    std::u16string_view ext = path.substr(dot);
    for (const char16_t* known : {u".wav", u".mid", u".wma", u".mp3", u".wmv", u".asf"})
        if (tlw::EqualsNoCase(ext, known)) return true;
    return false;
}

}  // namespace

uint32_t CreateMediaPlayer(std::u16string_view classId, MediaPlayerHandle* out) {
    if (!out) return kMediaPlayerInvalidArg;
    *out = 0;
    if (!tlw::EqualsNoCase(classId, kMediaPlayerClassId)) return kMediaPlayerClassNotRegistered;
    PlayerTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    MediaPlayerHandle handle = table.next++;
    table.players.emplace(handle, Player{});
    *out = handle;
    return kMediaPlayerOk;
}

uint32_t MediaPlayerPlay(MediaPlayerHandle player, std::u16string_view path) {
    PlayerTable& table = Table();
    {
        std::lock_guard<std::mutex> guard(table.lock);
        if (!table.players.count(player)) return kMediaPlayerInvalidArg;
    }
    if (!FileExists(path)) return kMediaPlayerFileNotFound;
    if (!PlayableKind(path)) return kMediaPlayerUnsupported;
    uint32_t repeat = 0;
    RegReadDword(kHkeyCurrentUser, kMediaPlayerPreferencesKey, kMediaPlayerRepeatValue, &repeat);
    bool stopFirst = false;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.players.find(player);
        if (it == table.players.end()) return kMediaPlayerInvalidArg;
        stopFirst = it->second.playing && it->second.repeating;
        it->second.playing = true;
        it->second.repeating = repeat != 0;
    }
    if (stopFirst) JournalAppend("media player stop");
    JournalAppend("media player play " + tlw::Utf16ToUtf8(path) + (repeat != 0 ? " repeating" : ""));
    return kMediaPlayerOk;
}

bool MediaPlayerIsRepeating(MediaPlayerHandle player) {
    PlayerTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.players.find(player);
    return it != table.players.end() && it->second.playing && it->second.repeating;
}

uint32_t MediaPlayerAddRef(MediaPlayerHandle player) {
    PlayerTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.players.find(player);
    if (it == table.players.end()) return 0;
    return ++it->second.references;
}

uint32_t MediaPlayerRelease(MediaPlayerHandle player) {
    PlayerTable& table = Table();
    bool stopped = false;
    uint32_t left = 0;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.players.find(player);
        if (it == table.players.end()) return 0;
        left = --it->second.references;
        if (left == 0) {
            // A file played once has long ended; only a repeating one is
            // still audible and stops now.
            stopped = it->second.playing && it->second.repeating;
            table.players.erase(it);
        }
    }
    if (stopped) JournalAppend("media player stop");
    return left;
}

}  // namespace plat
