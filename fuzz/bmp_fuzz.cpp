// Fuzz target: bitmaps from ".bmp" data and icons from ".ico" data. Any
// input must give an object or fail cleanly.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::HBitmap bitmap = plat::CreateBitmapFromBmp(data, size);
    if (bitmap) plat::DeleteObject(bitmap);
    plat::HIcon icon = plat::CreateIconFromIco(data, size, 16, 16);
    if (icon) plat::DestroyIcon(icon);
    return 0;
}
