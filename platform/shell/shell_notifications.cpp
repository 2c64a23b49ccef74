#include "platform/shell/shell_notifications.h"

#include <algorithm>
#include <cstdlib>

#include "base/text.h"
#include "platform/audio/sound_player.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

constexpr char16_t kSoundSettingsKey[] = u"ControlPanel\\Notifications\\";  // + class, under HKCU
constexpr uint32_t kOptionSound = 0x1;  // the class plays its sound

std::u16string ClassKey(std::u16string_view classId) {
    return std::u16string(kShellNotificationsKey) + u"\\" + std::u16string(classId);
}

// The next number: one above the last one the Active value published. Read
// and published in the same store transaction, so two processes never take
// the same number.
uint32_t NextNumber() {
    uint32_t last = 0;
    RegReadDword(kHkeyLocalMachine, kShellNotificationsActiveKey, kShellNotificationsActiveValue, &last);
    return last + 1 == 0 ? 1 : last + 1;
}

bool ParseNumber(std::u16string_view text, uint32_t* out) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    if (v == 0 || v > 0xFFFFFFFFu) return false;
    *out = static_cast<uint32_t>(v);
    return true;
}

// The sound file the class's `Wave` names: a bare name is a .wav file of
// the Windows folder, a path is taken as it stands.
std::u16string SoundFileOf(std::u16string_view wave) {
    if (wave.find(u'\\') != std::u16string_view::npos) return std::u16string(wave);
    return u"\\Windows\\" + std::u16string(wave) + u".wav";
}

void PlayClassSound(std::u16string_view classId) {
    std::u16string key = std::u16string(kSoundSettingsKey) + std::u16string(classId);
    uint32_t options = 0;
    std::u16string wave;
    if (!RegReadDword(kHkeyCurrentUser, key, u"Options", &options) || !(options & kOptionSound)) return;
    if (!RegReadString(kHkeyCurrentUser, key, u"Wave", &wave) || wave.empty()) return;
    HardwareState hw;
    if (ReadHardwareState(&hw) && hw.soundProfile != 0) return;  // vibrate or silent
    SndPlayAsync(SoundFileOf(wave));
}

// The last error as a store body's result: never success for a failed call.
uint32_t Failed() {
    uint32_t error = GetLastError();
    return error == kErrorSuccess ? kErrorInvalidData : error;
}

}  // namespace

bool IsNotificationClassId(std::u16string_view id) {
    static constexpr size_t kGroups[] = {8, 4, 4, 4, 12};
    if (id.size() != 38 || id.front() != u'{' || id.back() != u'}') return false;
    size_t at = 1;
    for (size_t g = 0; g < std::size(kGroups); ++g) {
        for (size_t i = 0; i < kGroups[g]; ++i, ++at) {
            char16_t c = id[at];
            bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
            if (!hex) return false;
        }
        if (g + 1 < std::size(kGroups) && id[at++] != u'-') return false;
    }
    return at == 37;
}

uint32_t ShowShellNotification(std::u16string_view classId, std::u16string_view title, std::u16string_view text) {
    if (!IsNotificationClassId(classId)) return 0;
    uint32_t id = 0;
    // Numbering, the shown key and the Active value are one transaction: a
    // failure leaves nothing behind, and a watcher of Active hears of the new
    // number only once the key it announces is there.
    uint32_t error = store::Write([&](store::Transaction&) -> uint32_t {
        id = NextNumber();
        std::u16string key = ClassKey(classId) + u"\\" + tlw::Utf8ToUtf16(std::to_string(id));
        std::u16string time = tlw::Utf8ToUtf16(FormatDeviceTime(GetLocalTime()));
        if (!RegWriteString(kHkeyLocalMachine, key, u"Title", title) ||
            !RegWriteString(kHkeyLocalMachine, key, u"Text", text) ||
            !RegWriteString(kHkeyLocalMachine, key, u"Time", time) ||
            !RegWriteDword(kHkeyLocalMachine, kShellNotificationsActiveKey, kShellNotificationsActiveValue, id))
            return Failed();
        return kErrorSuccess;
    });
    if (error != kErrorSuccess) {
        SetLastError(error);
        return 0;
    }
    JournalAppend("notification " + std::to_string(id) + " of " + tlw::Utf16ToUtf8(classId) + " shown");
    PlayClassSound(classId);
    return id;
}

bool DismissShellNotification(uint32_t id) {
    std::u16string classId;
    uint32_t error = store::Write([&](store::Transaction&) -> uint32_t {
        std::vector<ShellNotification> shown;
        if (!ListShellNotifications(&shown)) return Failed();
        auto it = std::find_if(shown.begin(), shown.end(), [id](const ShellNotification& n) { return n.id == id; });
        if (it == shown.end()) return kErrorFileNotFound;
        classId = it->classId;
        HKey classKey = 0;
        if (uint32_t status = RegOpenKey(kHkeyLocalMachine, ClassKey(classId), &classKey); status != 0) return status;
        uint32_t status = RegDeleteKey(classKey, tlw::Utf8ToUtf16(std::to_string(id)));
        RegCloseKey(classKey);
        if (status != 0) return status;
        if (!RegWriteDword(kHkeyLocalMachine, kShellNotificationsActiveKey, kShellNotificationsActiveValue, NextNumber()))
            return Failed();
        return kErrorSuccess;
    });
    if (error != kErrorSuccess) {
        SetLastError(error);
        return false;
    }
    JournalAppend("notification " + std::to_string(id) + " of " + tlw::Utf16ToUtf8(classId) + " dismissed");
    return true;
}

bool ListShellNotifications(std::vector<ShellNotification>* out) {
    out->clear();
    HKey root = 0;
    if (RegOpenKey(kHkeyLocalMachine, kShellNotificationsKey, &root) != 0) return true;  // none shown yet
    std::u16string className;
    for (uint32_t i = 0; RegEnumKey(root, i, &className) == 0; ++i) {
        if (!IsNotificationClassId(className)) continue;  // "Active" and other shell keys
        HKey classKey = 0;
        if (RegOpenKey(root, className, &classKey) != 0) continue;
        std::u16string name;
        for (uint32_t j = 0; RegEnumKey(classKey, j, &name) == 0; ++j) {
            ShellNotification n;
            if (!ParseNumber(name, &n.id)) continue;
            n.classId = className;
            std::u16string key = ClassKey(className) + u"\\" + name;
            RegReadString(kHkeyLocalMachine, key, u"Title", &n.title);
            RegReadString(kHkeyLocalMachine, key, u"Text", &n.text);
            std::u16string time;
            RegReadString(kHkeyLocalMachine, key, u"Time", &time);
            n.time = tlw::Utf16ToUtf8(time);
            out->push_back(std::move(n));
        }
        RegCloseKey(classKey);
    }
    RegCloseKey(root);
    std::sort(out->begin(), out->end(), [](const ShellNotification& a, const ShellNotification& b) { return a.id < b.id; });
    return true;
}

}  // namespace plat
