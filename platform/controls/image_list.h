// Image lists: numbered images of one size, drawn by index (the list view's
// row icons, the shell's system image list of small icons).
//
// Images are added from a bitmap strip (a bitmap of n images side by
// side, with an optional mask strip or a colour that means transparent) or
// from an icon, and kept as icons of the list's size. Handles are this
// process's; every call on a handle that is no (longer an) image list
// fails (false, -1 or no icon) with kErrorInvalidHandle.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"

namespace plat {

struct HImageList {
    uint32_t value = 0;  // 0 = none
    explicit operator bool() const { return value != 0; }
    friend bool operator==(HImageList a, HImageList b) { return a.value == b.value; }
};

// ImageList_Create flags.
constexpr uint32_t ILC_MASK = 0x0001;     // images have transparent parts
constexpr uint32_t ILC_COLOR = 0x0000;
constexpr uint32_t ILC_COLOR16 = 0x0010;
constexpr uint32_t ILC_COLOR24 = 0x0018;
constexpr uint32_t ILC_COLOR32 = 0x0020;

// ImageList_Draw styles.
constexpr uint32_t ILD_NORMAL = 0x0000;
constexpr uint32_t ILD_TRANSPARENT = 0x0001;
constexpr uint32_t ILD_MASK = 0x0010;      // the mask only, black where the image is
constexpr uint32_t ILD_FOCUS = 0x0002;
constexpr uint32_t ILD_SELECTED = 0x0004;  // blended half with the highlight colour

// An empty list of width x height images (both 1 to 256). `initial` and
// `grow` are accepted for the caller's sake; the list grows as needed. No
// list (kErrorInvalidParameter) for a bad size.
HImageList ImageList_Create(int32_t width, int32_t height, uint32_t flags, int32_t initial, int32_t grow);
bool ImageList_Destroy(HImageList list);

// Adds the images of a strip (its width a multiple of the image width; a
// narrower strip adds one image, padded). mask: a monochrome strip, white
// where transparent; none: opaque. Returns the first new index, -1 on failure.
int32_t ImageList_Add(HImageList list, HBitmap image, HBitmap mask);
// The same, the pixels of `transparent` colour being transparent.
int32_t ImageList_AddMasked(HImageList list, HBitmap image, ColorRef transparent);
// Adds (index -1) or replaces an image by an icon, scaled to the list's
// size. Returns its index, -1 on failure.
int32_t ImageList_ReplaceIcon(HImageList list, int32_t index, HIcon icon);
inline int32_t ImageList_AddIcon(HImageList list, HIcon icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// Removes one image (the later ones move down) or, for -1, all.
bool ImageList_Remove(HImageList list, int32_t index);
inline bool ImageList_RemoveAll(HImageList list) { return ImageList_Remove(list, -1); }

int32_t ImageList_GetImageCount(HImageList list);
bool ImageList_GetIconSize(HImageList list, int32_t* width, int32_t* height);
// A new icon of the image (the caller destroys it).
HIcon ImageList_GetIcon(HImageList list, int32_t index, uint32_t flags);

// Draws image `index` with its top-left corner at (x, y).
bool ImageList_Draw(HImageList list, int32_t index, Hdc hdc, int32_t x, int32_t y, uint32_t style);

}  // namespace plat
