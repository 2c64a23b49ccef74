// Builds the sound-file choice of the profile editor from the device's
// sound catalogue.
#include "config_app/sound_choice.h"

#include <algorithm>
#include <memory>

#include "common/device/device_operations.h"
#include "platform/audio/sound_player.h"
#include "platform/shell/sound_files.h"
#include "platform/storage/file.h"

namespace tlw {

SoundChoices ListSoundChoices(int32_t event) {
    SoundChoices choices;
    choices.names.emplace_back(kDefaultSoundName);
    // The catalogue holds 256 paths' worth of names: too large for the stack.
    auto catalogue = std::make_unique<SoundCatalogue>();
    ListSoundFiles(catalogue.get(), event == 0);
    for (int i = 0; i < catalogue->count && static_cast<int>(choices.names.size()) < kMaxSoundChoices; ++i) {
        std::u16string name(catalogue->entries[i].name.View());
        // The same file in two folders would be two entries the user cannot
        // tell apart; the engine resolves the name anyway.
        if (name.empty() || std::find(choices.names.begin(), choices.names.end(), name) != choices.names.end())
            continue;
        choices.names.push_back(std::move(name));
    }
    return choices;
}

std::u16string SoundFilePath(std::u16string_view name) {
    if (name.empty() || name == kDefaultSoundName || name.find(u'\\') != std::u16string_view::npos) return {};
    for (std::u16string_view folder : {u"\\Windows\\", u"\\Windows\\Rings\\"}) {
        std::u16string path = std::u16string(folder) + std::u16string(name);
        if (plat::FileExists(path)) return path;
    }
    std::vector<plat::SndFileInfo> list;
    if (plat::SndGetSoundFileList(plat::kSndEventAll, plat::kSndLocationAll, &list) != plat::kSOk) return {};
    for (const plat::SndFileInfo& info : list) {
        if (info.soundType != plat::kSndTypeFile) continue;
        std::u16string_view path(info.path);
        std::size_t slash = path.find_last_of(u'\\');
        if (path.substr(slash == std::u16string_view::npos ? 0 : slash + 1) == name) return std::u16string(path);
    }
    return {};
}

void PreviewSound(std::u16string_view name) {
    plat::SndStop();
    std::u16string path = SoundFilePath(name);
    if (!path.empty()) plat::SndPlayAsync(path);
}

void StopSoundPreview() { plat::SndStop(); }

int SelectedSoundChoice(const SoundChoices& choices, std::u16string_view stored) {
    for (std::size_t i = 0; i < choices.names.size(); ++i)
        if (choices.names[i] == stored) return static_cast<int>(i);
    return 0;
}

}  // namespace tlw
