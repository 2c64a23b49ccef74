#include "common/graphics/icon_store.h"

#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"

namespace tlw {

std::u16string IconStoreFolder(std::u16string_view iconStoreRoot) {
    std::u16string folder = JoinSkinPath(iconStoreRoot, IsHighResolution() ? kIconStoreVga : kIconStoreQvga);
    folder.push_back(u'\\');
    return folder;
}

std::u16string LargeIconPath(std::u16string_view iconPath) {
    std::size_t cut = iconPath.size() > 4 ? iconPath.size() - 4 : 0;
    std::u16string path(iconPath.substr(0, cut));
    path += u"_large";
    path += iconPath.substr(cut);
    return path;
}

std::u16string GenericIconPath(std::u16string_view iconFolder, bool large) {
    return JoinSkinPath(iconFolder, large ? kGenericLargeIcon : kGenericIcon);
}

}  // namespace tlw
