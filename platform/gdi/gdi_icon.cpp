// Icons: made from a mask and a colour bitmap or from ".ico" data (files and
// ICON resources), drawn with their mask or their alpha.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_dib_decode.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/gdi/imaging.h"
#include "platform/kernel/last_error.h"
#include "platform/gdi/resources.h"

namespace plat {
namespace {

using namespace gdi;

uint32_t AddIcon(IconObj icon) {
    Object o;
    o.data = std::move(icon);
    return Add(Kind::kIcon, std::move(o));
}

// Scales an icon's images to width x height by nearest neighbour.
IconObj Scaled(const IconObj& in, int32_t width, int32_t height) {
    if (width == in.width && height == in.height) return in;
    IconObj out = in;
    out.width = width;
    out.height = height;
    size_t n = size_t(width) * size_t(height);
    out.mask.assign(n, 1);
    out.color.assign(n, 0);
    out.alpha.assign(in.hasAlpha ? n : 0, 0);
    for (int32_t y = 0; y < height; ++y) {
        int32_t sy = int32_t((int64_t(2 * y + 1) * in.height) / (2 * int64_t(height)));
        for (int32_t x = 0; x < width; ++x) {
            int32_t sx = int32_t((int64_t(2 * x + 1) * in.width) / (2 * int64_t(width)));
            size_t s = size_t(sy) * size_t(in.width) + size_t(sx), d = size_t(y) * size_t(width) + size_t(x);
            out.mask[d] = in.mask[s];
            out.color[d] = in.color[s];
            if (in.hasAlpha) out.alpha[d] = in.alpha[s];
        }
    }
    return out;
}

// Decodes one entry of an icon file (BMP-coded or PNG-coded).
bool DecodeIconEntry(const uint8_t* data, size_t size, IconObj* out) {
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    IconObj icon;
    if (size >= 8 && std::memcmp(data, kPngSignature, 8) == 0) {
        ArgbImage image;
        if (DecodePngAlways(std::span<const uint8_t>(data, size), &image) != ImagingResult::kOk) return false;
        if (image.width > uint32_t(kMaxBitmapSide) || image.height > uint32_t(kMaxBitmapSide)) return false;
        icon.width = int32_t(image.width);
        icon.height = int32_t(image.height);
        size_t n = size_t(icon.width) * size_t(icon.height);
        icon.color.resize(n);
        icon.alpha.resize(n);
        icon.mask.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* p = image.pixels.data() + 4 * i;
            icon.color[i] = Rgb(p[2], p[1], p[0]);
            icon.alpha[i] = p[3];
            icon.mask[i] = p[3] == 0 ? 1 : 0;
        }
        icon.hasAlpha = true;
    } else {
        DecodedDib dib;
        if (!DecodeDib(data, size, 0, true, &dib)) return false;
        icon.width = dib.width;
        icon.height = dib.height;
        icon.color = std::move(dib.colors);
        icon.mask = std::move(dib.mask);
        icon.hasAlpha = dib.hasAlpha;
        if (dib.hasAlpha) icon.alpha = std::move(dib.alpha);
    }
    *out = std::move(icon);
    return true;
}

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

HIcon CreateIconIndirect(const IconInfo& info) {
    GdiGuard guard(Lock());
    BitmapObj* mask = FindBitmap(info.mask.value);
    if (!mask) return HIcon{};
    BitmapObj* color = nullptr;
    if (info.color) {
        color = FindBitmap(info.color.value);
        if (!color) return HIcon{};
    }
    IconObj icon;
    icon.isIcon = info.icon;
    icon.hotspot = Point{info.xHotspot, info.yHotspot};
    icon.width = mask->width;
    icon.height = color ? mask->height : mask->height / 2;  // a mask-only icon holds AND over XOR
    if (icon.height <= 0 || (color && (color->width != mask->width || color->height != mask->height))) {
        SetLastError(kErrorInvalidParameter);
        return HIcon{};
    }
    size_t n = size_t(icon.width) * size_t(icon.height);
    icon.mask.resize(n);
    icon.color.resize(n);
    bool alphaSource = color && color->dibSection && color->bitCount == 32;
    if (alphaSource) icon.alpha.resize(n);
    for (int32_t y = 0; y < icon.height; ++y) {
        for (int32_t x = 0; x < icon.width; ++x) {
            size_t i = size_t(y) * size_t(icon.width) + size_t(x);
            // A colour mask counts as monochrome: white is see-through.
            icon.mask[i] = ReadPixel(*mask, x, y) == 0xFFFFFFu ? 1 : 0;
            icon.color[i] = color ? ReadPixel(*color, x, y) : ReadPixel(*mask, x, y + icon.height);
            if (alphaSource) {
                icon.alpha[i] = RowAt(*color, y)[size_t(x) * 4 + 3];
                icon.hasAlpha = icon.hasAlpha || icon.alpha[i] != 0;
            }
        }
    }
    if (!icon.hasAlpha) icon.alpha.clear();
    return HIcon{AddIcon(std::move(icon))};
}

bool GetIconInfo(HIcon icon, IconInfo* out) {
    GdiGuard guard(Lock());
    IconObj* ic = FindIcon(icon.value);
    if (!ic || !out) return false;
    uint32_t mask = NewBitmap(ic->width, ic->height, 1, true, false);
    uint32_t color = mask ? NewBitmap(ic->width, ic->height, 32, true, true) : 0;
    if (!color) {
        if (mask) Remove(mask);
        return false;
    }
    BitmapObj* m = FindBitmap(mask);
    BitmapObj* c = FindBitmap(color);
    for (int32_t y = 0; y < ic->height; ++y) {
        for (int32_t x = 0; x < ic->width; ++x) {
            size_t i = size_t(y) * size_t(ic->width) + size_t(x);
            WritePixel(*m, x, y, ic->mask[i] ? 0xFFFFFFu : 0u);
            WritePixel(*c, x, y, ic->color[i]);
            if (ic->hasAlpha) RowAt(*c, y)[size_t(x) * 4 + 3] = ic->alpha[i];
        }
    }
    out->icon = ic->isIcon;
    out->xHotspot = ic->hotspot.x;
    out->yHotspot = ic->hotspot.y;
    out->mask = HBitmap{mask};
    out->color = HBitmap{color};
    return true;
}

Size GetIconSize(HIcon icon) {
    GdiGuard guard(Lock());
    IconObj* ic = FindIcon(icon.value);
    return ic ? Size{ic->width, ic->height} : Size{};
}

bool DestroyIcon(HIcon icon) {
    GdiGuard guard(Lock());
    if (!FindIcon(icon.value)) return false;
    Remove(icon.value);
    return true;
}

HIcon CreateIconFromIco(const uint8_t* data, size_t size, int32_t width, int32_t height) {
    if (!data || size < 6 || U16(data) != 0 || (U16(data + 2) != 1 && U16(data + 2) != 2) || U16(data + 4) == 0 ||
        width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        SetLastError(kErrorInvalidParameter);
        return HIcon{};
    }
    uint32_t count = U16(data + 4);
    if ((size - 6) / 16 < count) {
        SetLastError(kErrorInvalidParameter);
        return HIcon{};
    }
    // The entry nearest the asked size; among equals the deepest.
    auto entrySize = [&](uint32_t i, int32_t* w, int32_t* h) {
        const uint8_t* e = data + 6 + 16 * size_t(i);
        *w = e[0] == 0 ? 256 : e[0];
        *h = e[1] == 0 ? 256 : e[1];
    };
    int32_t wantW = width, wantH = height;
    if (wantW == 0 || wantH == 0) entrySize(0, &wantW, &wantH);
    uint32_t best = 0;
    int64_t bestScore = INT64_MAX;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t w, h;
        entrySize(i, &w, &h);
        int64_t score = (int64_t(std::abs(w - wantW)) + std::abs(h - wantH)) * 64 - U16(data + 6 + 16 * size_t(i) + 6);
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    const uint8_t* entry = data + 6 + 16 * size_t(best);
    uint32_t bytes = U32(entry + 8), offset = U32(entry + 12);
    IconObj icon;
    if (offset > size || size - offset < bytes || !DecodeIconEntry(data + offset, bytes, &icon)) {
        SetLastError(kErrorInvalidParameter);
        return HIcon{};
    }
    icon.isIcon = U16(data + 2) == 1;
    if (width != 0 && height != 0) icon = Scaled(icon, width, height);
    GdiGuard guard(Lock());
    return HIcon{AddIcon(std::move(icon))};
}

HIcon LoadIcon(std::u16string_view module, std::u16string_view name, int32_t width, int32_t height) {
    std::span<const uint8_t> bytes;
    if (!LoadResourceBytes(module, kResourceIcon, name, &bytes)) return HIcon{};
    return CreateIconFromIco(bytes.data(), bytes.size(), width, height);
}

bool DrawIcon(Hdc hdc, int32_t x, int32_t y, HIcon icon) { return DrawIconEx(hdc, x, y, icon, 0, 0, kDiNormal); }

bool DrawIconEx(Hdc hdc, int32_t x, int32_t y, HIcon icon, int32_t width, int32_t height, uint32_t flags) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    IconObj* ic = dc ? FindIcon(icon.value) : nullptr;
    if (!ic) return false;
    if (width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        (flags & kDiNormal) == 0 || x > INT32_MAX - kMaxBitmapSide || y > INT32_MAX - kMaxBitmapSide) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (width == 0) width = ic->width;
    if (height == 0) height = ic->height;
    BitmapObj* target = TargetBitmap(*dc);
    Rect area = Intersect(Rect{x, y, x + width, y + height}, DrawableArea(*dc, *target));
    bool useAlpha = ic->hasAlpha && (flags & kDiNormal) == kDiNormal;
    for (int32_t yy = area.top; yy < area.bottom; ++yy) {
        int32_t sy = int32_t((int64_t(2 * (yy - y) + 1) * ic->height) / (2 * int64_t(height)));
        for (int32_t xx = area.left; xx < area.right; ++xx) {
            int32_t sx = int32_t((int64_t(2 * (xx - x) + 1) * ic->width) / (2 * int64_t(width)));
            size_t i = size_t(sy) * size_t(ic->width) + size_t(sx);
            ColorRef d = ReadPixel(*target, xx, yy);
            if (useAlpha) {
                uint8_t a = ic->alpha[i];
                if (a == 0) continue;
                d = a == 255 ? ic->color[i] : BlendColor(ic->color[i], d, a);
            } else {
                if (flags & kDiMask) d = ic->mask[i] ? d : 0;
                if (flags & kDiImage) d ^= ic->color[i];
            }
            WritePixel(*target, xx, yy, d);
        }
    }
    return true;
}

}  // namespace plat
