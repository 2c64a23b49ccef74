#include "common/graphics/click_sound.h"

#include "platform/storage/file.h"
#include "platform/hardware/sound.h"

namespace tlw {

std::u16string ClickSoundPath(const SkinSource& source) {
    // The chosen skin folder is used whether or not skins are switched on:
    // with skins off it holds the default skin's folder anyway.
    if (!source.skin.empty()) {
        std::u16string path = JoinSkinPath(source.skin, kClickSoundFile);
        plat::File file;
        if (file.Open(path, plat::kGenericRead, plat::kShareRead, plat::kOpenExisting)) return path;
    }
    return JoinSkinPath(DefaultSkinFolder(source.skinsFolder), kClickSoundFile);
}

bool PlayButtonClick(const SkinSource& source, bool tdySound, bool soundBitSet) {
    if (!tdySound || !soundBitSet) return false;
    return plat::PlaySoundFile(ClickSoundPath(source), plat::kSndAsync | plat::kSndFilename | plat::kSndNoDefault);
}

}  // namespace tlw
