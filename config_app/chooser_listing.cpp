// Enumerates one folder for the chooser.
#include "config_app/chooser_listing.h"

#include <algorithm>

#include "base/text.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "config_app/file_chooser.h"
#include "platform/storage/file.h"

namespace tlw {

namespace {

bool EndsWithNoCase(std::u16string_view text, std::u16string_view end) {
    return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

// An icon-mode candidate: a PNG or TGA image of the size a profile icon has
// on this screen. Its list icon is filled in when it qualifies.
bool LoadIconCandidate(std::u16string_view path, RgbaImage* icon) {
    RgbaImage image;
    if (LoadImageFile(&image, path) != kImageOk) return false;
    if (!ChooserIconSizeFits(image.width, image.height, ScreenDpiX())) return false;
    *icon = MakeListIcon(image);
    return true;
}

}  // namespace

bool ChooserIconSizeFits(uint32_t width, uint32_t height, int dpi) {
    int side = dpi == 128 ? 16 : ScaleLength(16, dpi, false, false);
    return width == static_cast<uint32_t>(side) && height == static_cast<uint32_t>(side);
}

RgbaImage MakeListIcon(const RgbaImage& image) {
    RgbaImage icon;
    if (!CopyImage(&icon, image)) return icon;
    for (std::size_t i = 0; i < icon.alpha.size(); ++i) {
        if (icon.alpha[i] > 127) {
            icon.alpha[i] = 255;
        } else {
            icon.alpha[i] = 0;
            icon.red[i] = icon.green[i] = icon.blue[i] = 0;
        }
    }
    return icon;
}

bool ChooserEntryBefore(const ChooserEntry& a, const ChooserEntry& b) {
    if (a.folder != b.folder) return a.folder;
    std::size_t n = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = FoldCase(a.name[i]), y = FoldCase(b.name[i]);
        if (x != y) return x < y;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name;  // names that differ only in case keep a fixed order
}

std::vector<ChooserEntry> ListChooserFolder(std::u16string_view folder, int32_t mode, bool iconMode) {
    std::vector<ChooserEntry> entries;
    std::u16string pattern(folder);
    pattern.append(u"*.*");
    plat::FileFinder finder;
    plat::FindData found;
    for (bool more = finder.First(pattern, &found); more; more = finder.Next(&found)) {
        ChooserEntry entry;
        entry.name = found.name;
        entry.folder = (found.attributes & plat::kAttributeDirectory) != 0;
        if (!entry.folder) {
            if (mode == kChooserFolder) continue;
            if (iconMode) {
                if (!EndsWithNoCase(entry.name, u".png") && !EndsWithNoCase(entry.name, u".tga")) continue;
                std::u16string path(folder);
                path.append(entry.name);
                if (!LoadIconCandidate(path, &entry.icon)) continue;
            }
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), ChooserEntryBefore);
    return entries;
}

}  // namespace tlw
