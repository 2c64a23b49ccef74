// Ring tones and notification sounds: the sound file, ring script and
// notification options of the six sound events in the sounds and
// notifications control panel's keys, and the catalogue of sound files.
#include <algorithm>
#include <string>

#include "common/device/device_operations.h"
#include "common/device/device_registry.h"
#include "platform/hardware/os_version.h"
#include "platform/shell/sound_files.h"
#include "platform/storage/file.h"

namespace tlw {
namespace {

constexpr const char16_t* kRingToneKeys[] = {
    u"ControlPanel\\Sounds\\RingTone0",
    u"ControlPanel\\Sounds\\PlmORingTone1",
    u"ControlPanel\\Sounds\\PlmORingTone2",
    u"ControlPanel\\Sounds\\PlmORingTone3",
};
// The notification key of events 1 ... 5 (index 0 unused).
constexpr const char16_t* kEventKeys[kSoundEventCount] = {
    nullptr,
    u"ControlPanel\\Notifications\\{C3465585-39EF-4c9b-B2A3-5558BF27BFB0}",
    u"ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}",
    u"ControlPanel\\Notifications\\{A877D65A-239C-47a7-9304-0D347F580408}",
    u"ControlPanel\\Notifications\\{A877D660-239C-47a7-9304-0D347F580408}",
    u"ControlPanel\\Notifications\\{15F11F90-8A5F-454c-89FC-BA9B7AAB0CAD}",
};
// Event 1's sound also goes to this key.
constexpr char16_t kEvent1SecondKey[] = u"ControlPanel\\Notifications\\{3C781384-05F3-4035-A8F9-C23F19A93AF0}";

constexpr const char16_t* kRingScripts[8] = {
    u"apw3r", u"c50apw3c150r", u"p", u"av3w3r", u"av0pw3r", u"v3w3apw3r", u"a", u"pw3av3w3r",
};
constexpr uint32_t kStyleOptions[7] = {1, 9, 11, 3, 10, 2, 0};
constexpr uint32_t kFlashMinutes[8] = {5, 10, 15, 20, 30, 45, 60, 0};

enum : uint32_t {
    kOptionFlash = 0x4,
    kOptionRepeat = 0x10,
    kOptionAlwaysEvent5 = 0x40000000,
    kOptionPreserved = 0x20000000,
};

// The platform's version classes that decide the form of a sound value and
// the notification catalogue.
struct PlatformClass {
    bool atLeast52 = false;       // Windows CE 5.2 or later
    bool fullPathBuild = false;   // ... with build 19000 or later
};

PlatformClass ClassOfPlatform() {
    plat::OsVersionInfo v;
    PlatformClass c;
    if (!plat::GetVersionEx(&v) || v.platformId != plat::kVerPlatformWinCe) return c;
    c.atLeast52 = v.majorVersion >= 5 && v.minorVersion >= 2;
    c.fullPathBuild = c.atLeast52 && v.buildNumber >= 19000;
    return c;
}

bool FindsFile(std::u16string_view path) {
    plat::FileFinder finder;
    plat::FindData found;
    return finder.First(path, &found) && !(found.attributes & plat::kAttributeDirectory);
}

// The file name part of a path (after its last backslash).
std::u16string_view FileNamePart(std::u16string_view path) {
    size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

// Appends the files that one search pattern finds, while room is left.
void AppendSearch(SoundCatalogue* catalogue, std::u16string_view pattern) {
    plat::FileFinder finder;
    plat::FindData found;
    for (bool more = finder.First(pattern, &found); more; more = finder.Next(&found)) {
        if (catalogue->count >= kSoundCatalogueCapacity) return;
        if (found.attributes & plat::kAttributeDirectory) continue;
        SoundCatalogueEntry& e = catalogue->entries[catalogue->count];
        e.position = static_cast<uint32_t>(catalogue->count);
        e.name = found.name;
        ++catalogue->count;
    }
}

// Appends the file name of every file of the shell's sound-file list.
void AppendShellList(SoundCatalogue* catalogue) {
    std::vector<plat::SndFileInfo> list;
    if (plat::SndGetSoundFileList(plat::kSndEventAll, plat::kSndLocationAll, &list) != plat::kSOk) return;
    for (const plat::SndFileInfo& info : list) {
        if (catalogue->count >= kSoundCatalogueCapacity) return;
        if (info.soundType != plat::kSndTypeFile) continue;
        SoundCatalogueEntry& e = catalogue->entries[catalogue->count];
        e.position = static_cast<uint32_t>(catalogue->count);
        e.name = FileNamePart(info.path);
        ++catalogue->count;
    }
}

void SetRingToneSound(PathString* name) {
    std::u16string file(name->View());
    std::u16string path = u"\\Windows\\" + file;
    if (!FindsFile(path)) {
        path = u"\\Windows\\Rings\\" + file;
        if (!FindsFile(path)) {
            // Elsewhere on the device (a storage card, My Documents): the
            // shell knows every sound file; the last one of that name wins.
            std::vector<plat::SndFileInfo> list;
            plat::SndGetSoundFileList(plat::kSndEventAll, plat::kSndLocationAll, &list);
            for (const plat::SndFileInfo& info : list)
                if (info.soundType == plat::kSndTypeFile && FileNamePart(info.path) == file) path = info.path;
        }
    }
    *name = path;
    for (const char16_t* key : kRingToneKeys) WriteDeviceString(plat::kHkeyCurrentUser, key, u"Sound", name->View());
}

void SetNotificationSound(int32_t event, std::u16string_view name) {
    std::u16string value;
    bool wma = !name.empty() && (name.back() == u'A' || name.back() == u'a');
    if (wma || ClassOfPlatform().fullPathBuild) {
        value = u"\\Windows\\" + std::u16string(name);
        plat::File file;
        if (!file.Open(value, plat::kGenericRead, plat::kShareRead, plat::kOpenExisting))
            value = u"\\Windows\\rings\\" + std::u16string(name);
    } else {
        value = std::u16string(name.substr(0, name.find(u'.')));
    }
    WriteDeviceString(plat::kHkeyCurrentUser, kEventKeys[event], u"Wave", value);
    if (event == 1) WriteDeviceString(plat::kHkeyCurrentUser, kEvent1SecondKey, u"Wave", value);
}

}  // namespace

int32_t ListSoundFiles(SoundCatalogue* catalogue, bool ringTones) {
    catalogue->count = 0;
    if (ringTones) {
        for (const char16_t* pattern : {u"\\windows\\*.mid", u"\\windows\\rings\\*.mid", u"\\windows\\*.wma",
                                        u"\\windows\\rings\\*.wma", u"\\windows\\rings\\*.mp3",
                                        u"\\windows\\rings\\*.wav"})
            AppendSearch(catalogue, pattern);
        AppendShellList(catalogue);
        return catalogue->count;
    }
    AppendSearch(catalogue, u"\\windows\\*.wav");
    PlatformClass c = ClassOfPlatform();
    if (c.fullPathBuild) {
        for (const char16_t* pattern :
             {u"\\windows\\*.wma", u"\\windows\\rings\\*.wma", u"\\windows\\rings\\*.mp3", u"\\windows\\rings\\*.wav"})
            AppendSearch(catalogue, pattern);
    } else if (c.atLeast52) {
        AppendSearch(catalogue, u"\\windows\\*.wma");
    }
    return catalogue->count;
}

void SetEventSound(int32_t event, PathString* name) {
    if (event == 0) SetRingToneSound(name);
    else if (event > 0 && event < kSoundEventCount) SetNotificationSound(event, name->View());
}

void SetEventOptions(int32_t event, int32_t style, bool repeat, bool flash, int32_t flashTime) {
    if (event == 0) {
        if (style < 0 || style > 7) return;  // no script for an unknown style
        for (const char16_t* key : kRingToneKeys)
            WriteDeviceString(plat::kHkeyCurrentUser, key, u"Script", kRingScripts[style]);
        return;
    }
    if (event < 0 || event >= kSoundEventCount) return;
    uint32_t options = style >= 0 && style <= 6 ? kStyleOptions[style] : 0;
    if (event == 5) {
        options |= kOptionAlwaysEvent5;
        if (repeat) options |= kOptionRepeat;
    }
    uint32_t minutes = 0;
    if (flash) {
        options |= kOptionFlash;
        minutes = flashTime >= 0 && flashTime <= 7 ? kFlashMinutes[flashTime] : 5;
    }
    const char16_t* key = kEventKeys[event];
    if (!DeviceKeyExists(plat::kHkeyCurrentUser, key)) return;
    uint32_t old = 0;
    if (ReadDeviceDword(plat::kHkeyCurrentUser, key, u"Options", &old) && (old & kOptionPreserved))
        options |= kOptionPreserved;
    WriteDeviceDword(plat::kHkeyCurrentUser, key, u"Options", options);
    if (flash) WriteDeviceDword(plat::kHkeyCurrentUser, key, u"Duration", minutes);
    uint32_t vibrate = 0;
    if (ReadDeviceDword(plat::kHkeyCurrentUser, key, u"VibrateWithRingerOn", &vibrate))
        WriteDeviceDword(plat::kHkeyCurrentUser, key, u"VibrateWithRingerOn", style >= 2 && style <= 5 ? 1u : 0u);
}

}  // namespace tlw
