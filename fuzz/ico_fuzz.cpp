// Fuzz target: the icon-file reader. Any input gives an icon or fails
// cleanly; an icon asked for at 16 x 16 is 16 x 16, one asked for at its own
// size has a size, and its mask and colour bitmaps have the icon's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/gdi.h"

namespace {

void Check(plat::HIcon icon, int32_t width, int32_t height) {
    if (!icon) return;
    plat::Size size = plat::GetIconSize(icon);
    if (width != 0 && (size.cx != width || size.cy != height)) std::abort();
    if (size.cx <= 0 || size.cy <= 0) std::abort();
    plat::IconInfo info;
    if (!plat::GetIconInfo(icon, &info)) std::abort();
    for (plat::HBitmap bitmap : {info.mask, info.color}) {
        if (!bitmap) continue;
        plat::BitmapDesc desc;
        if (!plat::GetBitmapInfo(bitmap, &desc) || desc.width != size.cx || desc.height != size.cy) std::abort();
        plat::DeleteObject(bitmap);
    }
    plat::DestroyIcon(icon);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(plat::CreateIconFromIco(data, size, 16, 16), 16, 16);
    Check(plat::CreateIconFromIco(data, size, 0, 0), 0, 0);
    return 0;
}
