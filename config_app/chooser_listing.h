// What the chooser lists for a folder: sub-folders, and in the file modes
// the files (in icon mode only the 16 by 16 PNG and TGA images), folders
// first, each group ordered by name without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/graphics/rgba_image.h"

namespace tlw {

struct ChooserEntry {
    std::u16string name;   // the entry's name, without its folder
    bool folder = false;   // a sub-folder (entering it changes the folder)
    RgbaImage icon;        // icon mode, files: the image itself as the list icon
};

// Lists folder (ending in "\") for a chooser of the mode (FileChooserMode).
// A folder that cannot be read gives an empty listing.
std::vector<ChooserEntry> ListChooserFolder(std::u16string_view folder, int32_t mode, bool iconMode);

// Whether an image of width x height may be a profile icon on a screen of
// dpi dots per inch: 16 by 16 units scaled, but 16 by 16 pixels at 128 dpi.
bool ChooserIconSizeFits(uint32_t width, uint32_t height, int dpi);

// The list icon made of an icon image: pixels with alpha above 127 opaque in
// their colour, the others fully transparent.
RgbaImage MakeListIcon(const RgbaImage& image);

// Orders entries as the listing shows them.
bool ChooserEntryBefore(const ChooserEntry& a, const ChooserEntry& b);

}  // namespace tlw
