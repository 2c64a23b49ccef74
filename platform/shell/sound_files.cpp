#include "platform/shell/sound_files.h"

#include <algorithm>
#include <string>

#include "platform/hardware/hardware.h"
#include "platform/storage/file.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

// Folders the shell offers sounds from, in this order.
constexpr const char16_t* kSoundFolders[] = {
    u"\\Windows", u"\\Windows\\Rings", u"\\My Documents\\My Ringtones", u"\\My Documents"};
// Kinds of sound file the phone plays.
constexpr const char16_t* kSoundPatterns[] = {u"*.wav", u"*.mid", u"*.wma", u"*.mp3"};

const char* ProfileName(uint32_t type) {
    switch (type) {
    case kSndTypeVibrate: return "vibrate";
    case kSndTypeNone: return "none";
    default: return "on";
    }
}

void CopyText(std::u16string_view text, char16_t* out, size_t capacity) {
    size_t n = std::min(text.size(), capacity - 1);
    std::copy_n(text.data(), n, out);
    out[n] = 0;
}

}  // namespace

uint32_t SndSetSound(uint32_t event, const SndFileInfo* info, uint32_t flags) {
    (void)flags;  // the simulated shell shows no user interface either way
    if (event != kSndEventAll || !info) return kEInvalidArg;
    uint32_t type = info->soundType;
    if (type != kSndTypeSoundOn && type != kSndTypeVibrate && type != kSndTypeNone) return kEInvalidArg;
    if (!ChangeHardwareState([type](HardwareState& s) { s.soundProfile = type; })) return kEFail;
    JournalAppend(std::string("sound profile ") + ProfileName(type));
    return kSOk;
}

uint32_t SndGetSoundProfile() {
    HardwareState s;
    ReadHardwareState(&s);
    return s.soundProfile;
}

uint32_t SndGetSoundFileList(uint32_t event, uint32_t locations, std::vector<SndFileInfo>* list) {
    (void)event;      // every event is offered the same files
    (void)locations;  // the simulated phone has one storage location
    if (!list) return kEInvalidArg;
    list->clear();
    for (const char16_t* folder : kSoundFolders) {
        std::vector<std::u16string> names;
        for (const char16_t* pattern : kSoundPatterns) {
            FileFinder finder;
            FindData found;
            bool more = finder.First(std::u16string(folder) + u"\\" + pattern, &found);
            for (; more; more = finder.Next(&found))
                if (!(found.attributes & kAttributeDirectory)) names.push_back(found.name);
        }
        std::sort(names.begin(), names.end());
        for (const std::u16string& name : names) {
            SndFileInfo info;
            CopyText(std::u16string(folder) + u"\\" + name, info.path, kSndPathCapacity);
            CopyText(std::u16string_view(name).substr(0, name.find_last_of(u'.')), info.name, kSndNameCapacity);
            info.soundType = kSndTypeFile;
            list->push_back(info);
        }
    }
    return kSOk;
}

}  // namespace plat
