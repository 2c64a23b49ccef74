// Bitmaps from ".bmp" data: files given as bytes and BITMAP resources.
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_dib_decode.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"
#include "platform/gdi/resources.h"

namespace plat {

using namespace gdi;

HBitmap CreateBitmapFromBmp(const uint8_t* data, size_t size) {
    DecodedDib dib;
    if (!DecodeBmp(data, size, &dib)) {
        SetLastError(kErrorInvalidParameter);
        return HBitmap{};
    }
    GdiGuard guard(Lock());
    uint32_t handle = NewBitmap(dib.width, dib.height, dib.monochrome ? 1 : 32, true, false);
    if (handle == 0) return HBitmap{};
    BitmapObj* b = FindBitmap(handle);
    for (int32_t y = 0; y < dib.height; ++y)
        for (int32_t x = 0; x < dib.width; ++x)
            WritePixel(*b, x, y, dib.colors[size_t(y) * size_t(dib.width) + size_t(x)]);
    return HBitmap{handle};
}

HBitmap LoadBitmap(std::u16string_view module, std::u16string_view name) {
    std::span<const uint8_t> bytes;
    if (!LoadResourceBytes(module, kResourceBitmap, name, &bytes)) return HBitmap{};
    return CreateBitmapFromBmp(bytes.data(), bytes.size());
}

}  // namespace plat
