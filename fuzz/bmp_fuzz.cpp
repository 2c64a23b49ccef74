// Fuzz target: bitmaps from ".bmp" data (icon files have their own target).
// Any input must give a bitmap or fail cleanly; a bitmap has a size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::HBitmap bitmap = plat::CreateBitmapFromBmp(data, size);
    if (!bitmap) return 0;
    plat::BitmapDesc desc;
    if (!plat::GetBitmapInfo(bitmap, &desc) || desc.width <= 0 || desc.height <= 0 || desc.stride <= 0) std::abort();
    plat::DeleteObject(bitmap);
    return 0;
}
