#include "common/graphics/alpha_draw.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "common/graphics/blend_rows.h"
#include "common/graphics/dib_surface.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

// A rectangle in device pixels, right and bottom exclusive.
struct Area {
    int32_t left = 0;    // first column
    int32_t top = 0;     // first row
    int32_t right = 0;   // first column outside
    int32_t bottom = 0;  // first row outside
};

inline int32_t AreaWidth(const Area& a) { return a.right - a.left; }
inline int32_t AreaHeight(const Area& a) { return a.bottom - a.top; }

// The part of (x, y, width, height) that drawing on hdc can change: the area
// cut to the DC's clip box. False when nothing of it is visible.
bool VisibleArea(plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, Area* out) {
    if (width <= 0 || height <= 0) return false;
    plat::Rect clip = plat::GetClipBox(hdc);
    int64_t left = std::max<int64_t>(x, clip.left);
    int64_t top = std::max<int64_t>(y, clip.top);
    int64_t right = std::min<int64_t>(int64_t{x} + width, clip.right);
    int64_t bottom = std::min<int64_t>(int64_t{y} + height, clip.bottom);
    if (left >= right || top >= bottom) return false;
    *out = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
    return true;
}

inline void Intersect(Area* a, const Area& b) {
    a->left = std::max(a->left, b.left);
    a->top = std::max(a->top, b.top);
    a->right = std::min(a->right, b.right);
    a->bottom = std::min(a->bottom, b.bottom);
}

// The pixels of an area to blend in place: image row y of the area starts at
// first + y * pitch.
struct PixelRows {
    uint8_t* first = nullptr;  // the area's top-left pixel
    std::ptrdiff_t pitch = 0;  // bytes from one image row to the next (negative when bottom-up)
    uint32_t pixelBytes = 3;   // 3 (blue, green, red) or 4 (and an unused byte)
    uint32_t width = 0;        // pixels per row
    uint32_t height = 0;       // rows
};

inline uint8_t* Row(const PixelRows& rows, uint32_t y) {
    return rows.first + static_cast<std::ptrdiff_t>(y) * rows.pitch;
}

// When hdc draws on a DIB section of 24 or 32 bits, its memory is the place
// to blend: no copy of the area out and back is needed.
bool SectionRows(plat::Hdc hdc, const Area& area, PixelRows* out) {
    plat::HBitmap bitmap = plat::GetCurrentBitmap(hdc);
    plat::BitmapDesc desc;
    if (!bitmap || !plat::GetBitmapInfo(bitmap, &desc) || !desc.dibSection || desc.bits == nullptr ||
        (desc.bitCount != 24 && desc.bitCount != 32))
        return false;
    if (area.left < 0 || area.top < 0 || area.right > desc.width || area.bottom > desc.height) return false;
    const int32_t memoryRow = desc.topDown ? area.top : desc.height - 1 - area.top;
    out->pixelBytes = desc.bitCount / 8u;
    out->first = desc.bits + static_cast<std::ptrdiff_t>(memoryRow) * desc.stride +
                 static_cast<std::ptrdiff_t>(area.left) * out->pixelBytes;
    out->pitch = desc.topDown ? desc.stride : -static_cast<std::ptrdiff_t>(desc.stride);
    out->width = static_cast<uint32_t>(AreaWidth(area));
    out->height = static_cast<uint32_t>(AreaHeight(area));
    return true;
}

// Lets blend() change the area of hdc: in place on a DIB section, otherwise
// on a copy of the area in a top-down surface that is written back after
// (and freed in every case).
template <typename BlendFn>
bool BlendArea(plat::Hdc hdc, const Area& area, BlendFn blend) {
    PixelRows rows;
    if (SectionRows(hdc, area, &rows)) {
        blend(rows);
        return true;
    }
    DibSurface surface;
    if (!CreateDibSurface(&surface, static_cast<uint32_t>(AreaWidth(area)),
                          static_cast<uint32_t>(AreaHeight(area)), true))
        return false;
    bool ok = CaptureDcArea(&surface, hdc, area.left, area.top);
    if (ok) {
        rows.first = surface.bits;
        rows.pitch = DibSurfaceStride(surface);
        rows.pixelBytes = 3;
        rows.width = surface.width;
        rows.height = surface.height;
        blend(rows);
        ok = WriteDcArea(surface, hdc, area.left, area.top);
    }
    FreeDibSurface(&surface);
    return ok;
}

// Reads rows [top, top + rows) of a bitmap as top-down 24-bit pixels.
bool ReadBitmapRows(plat::HBitmap bitmap, const plat::BitmapDesc& desc, int32_t top, int32_t rows,
                    std::vector<uint8_t>* out, int32_t* stride) {
    *stride = plat::DibStride(desc.width, 24);
    if (*stride <= 0 || rows <= 0) return false;
    try {
        out->assign(static_cast<std::size_t>(*stride) * static_cast<std::size_t>(rows), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    plat::DibHeader header;
    header.width = desc.width;
    header.height = -desc.height;
    header.bitCount = 24;
    return plat::GetDiBits(bitmap, top, rows, out->data(), header) == rows;
}

}  // namespace

bool DrawImage(const RgbaImage& image, plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!ImageHasPixels(image)) return false;
    if (width == kImageSize) width = static_cast<int32_t>(image.width);
    if (height == kImageSize) height = static_cast<int32_t>(image.height);
    Area area;
    if (!VisibleArea(hdc, x, y, width, height, &area)) return true;  // nothing of it can be seen
    const uint32_t iw = image.width, ih = image.height;
    // Offsets of the visible area inside the (tiled) image.
    const uint32_t firstColumn = static_cast<uint32_t>(area.left - x) % iw;
    const uint32_t firstRow = static_cast<uint32_t>(area.top - y) % ih;
    return BlendArea(hdc, area, [&](const PixelRows& rows) {
        uint32_t sy = firstRow;
        for (uint32_t row = 0; row < rows.height; ++row) {
            uint8_t* p = Row(rows, row);
            const std::size_t base = static_cast<std::size_t>(sy) * iw;
            // The row in runs of consecutive source pixels, one per repetition.
            uint32_t sx = firstColumn;
            for (uint32_t col = 0; col < rows.width;) {
                const uint32_t n = std::min(rows.width - col, iw - sx);
                BlendImageRow(p + std::size_t{col} * rows.pixelBytes, rows.pixelBytes, image.red.data() + base + sx,
                              image.green.data() + base + sx, image.blue.data() + base + sx,
                              image.alpha.data() + base + sx, n);
                col += n;
                sx = 0;
            }
            if (++sy == ih) sy = 0;
        }
    });
}

bool DrawImagePart(const RgbaImage& image, plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height,
                   int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight) {
    if (!ImageHasPixels(image)) return false;
    const int32_t iw = static_cast<int32_t>(image.width), ih = static_cast<int32_t>(image.height);
    if (width == kImageSize) width = iw;
    if (height == kImageSize) height = ih;
    if (sourceWidth == kImageSize) sourceWidth = iw;
    if (sourceHeight == kImageSize) sourceHeight = ih;
    int32_t drawWidth = std::min(width, sourceWidth);
    int32_t drawHeight = std::min(height, sourceHeight);
    Area area;
    if (!VisibleArea(hdc, x, y, drawWidth, drawHeight, &area)) return true;
    // Only the destination pixels whose source lies inside the image change.
    // Computed in 64 bits; a non-empty result lies inside the visible area
    // and so fits 32 bits again.
    int64_t left = std::max<int64_t>(area.left, int64_t{x} - sourceX);
    int64_t top = std::max<int64_t>(area.top, int64_t{y} - sourceY);
    int64_t right = std::min<int64_t>(area.right, int64_t{x} - sourceX + iw);
    int64_t bottom = std::min<int64_t>(area.bottom, int64_t{y} - sourceY + ih);
    if (left >= right || top >= bottom) return true;
    area = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
    // Source column and row of the area's top-left pixel.
    const std::size_t firstColumn = static_cast<std::size_t>(left - x + sourceX);
    const std::size_t firstRow = static_cast<std::size_t>(top - y + sourceY);
    return BlendArea(hdc, area, [&](const PixelRows& rows) {
        for (uint32_t row = 0; row < rows.height; ++row) {
            const std::size_t base = (firstRow + row) * image.width + firstColumn;
            BlendImageRow(Row(rows, row), rows.pixelBytes, image.red.data() + base, image.green.data() + base,
                          image.blue.data() + base, image.alpha.data() + base, rows.width);
        }
    });
}

bool FillAreaWithAlpha(plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, Colour colour,
                       uint8_t alpha) {
    Area area;
    if (!VisibleArea(hdc, x, y, width, height, &area)) return true;
    if (alpha == 0) return true;
    const uint8_t red = ColourRed(colour), green = ColourGreen(colour), blue = ColourBlue(colour);
    return BlendArea(hdc, area, [&](const PixelRows& rows) {
        auto solid = std::make_unique<SolidSource>();
        PrepareSolidSource(solid.get(), rows.pixelBytes, red, green, blue, alpha);
        for (uint32_t row = 0; row < rows.height; ++row) BlendSolidRow(Row(rows, row), *solid, rows.width);
    });
}

bool CrossFade(plat::Hdc destination, int32_t x, int32_t y, int32_t width, int32_t height, plat::Hdc source,
               uint8_t alpha) {
    Area area, sourceArea;
    if (!VisibleArea(destination, x, y, width, height, &area)) return true;
    if (!VisibleArea(source, x, y, width, height, &sourceArea)) return true;
    Intersect(&area, sourceArea);
    if (area.left >= area.right || area.top >= area.bottom || alpha == 0) return true;
    DibSurface top;
    if (!CreateDibSurface(&top, static_cast<uint32_t>(AreaWidth(area)), static_cast<uint32_t>(AreaHeight(area)),
                          true))
        return false;
    bool ok = CaptureDcArea(&top, source, area.left, area.top) &&
              BlendArea(destination, area, [&](const PixelRows& rows) {
                  auto solid = std::make_unique<SolidSource>();
                  PrepareSolidSource(solid.get(), rows.pixelBytes, 0, 0, 0, alpha);
                  for (uint32_t row = 0; row < rows.height; ++row)
                      BlendBgrRow(Row(rows, row), *solid, DibSurfaceRow(top, row), rows.width);
              });
    FreeDibSurface(&top);
    return ok;
}

bool FlattenOntoBitmap(RgbaImage* image, int32_t x, int32_t y, plat::HBitmap bitmap, int32_t width,
                       int32_t height) {
    if (!ImageHasPixels(*image)) return false;
    plat::BitmapDesc desc;
    if (!plat::GetBitmapInfo(bitmap, &desc)) return false;
    // Image pixels (j, i) with 0 <= j < width, 0 <= i < height, inside the
    // image, whose bitmap pixel (x + j, y + i) exists.
    int64_t j0 = std::max<int64_t>(0, -int64_t{x}), i0 = std::max<int64_t>(0, -int64_t{y});
    int64_t j1 = std::min<int64_t>({width, image->width, int64_t{desc.width} - x});
    int64_t i1 = std::min<int64_t>({height, image->height, int64_t{desc.height} - y});
    if (j0 >= j1 || i0 >= i1) return true;
    std::vector<uint8_t> rows;
    int32_t stride = 0;
    if (!ReadBitmapRows(bitmap, desc, static_cast<int32_t>(y + i0), static_cast<int32_t>(i1 - i0), &rows, &stride))
        return false;
    for (int64_t i = i0; i < i1; ++i) {
        const uint8_t* q = rows.data() + static_cast<std::size_t>(i - i0) * static_cast<std::size_t>(stride) +
                           static_cast<std::size_t>(x + j0) * 3;
        for (int64_t j = j0; j < j1; ++j, q += 3) {
            std::size_t k = PixelIndex(*image, static_cast<uint32_t>(j), static_cast<uint32_t>(i));
            uint8_t a = image->alpha[k];
            image->red[k] = BlendChannel(image->red[k], q[2], a);
            image->green[k] = BlendChannel(image->green[k], q[1], a);
            image->blue[k] = BlendChannel(image->blue[k], q[0], a);
            image->alpha[k] = 255;
        }
    }
    return true;
}

bool ImageFromBitmapWithColourKey(RgbaImage* image, plat::HBitmap bitmap, Colour key) {
    FreeImage(image);
    plat::BitmapDesc desc;
    if (!plat::GetBitmapInfo(bitmap, &desc) || desc.width <= 0 || desc.height <= 0) return false;
    std::vector<uint8_t> rows;
    int32_t stride = 0;
    if (!ImageSizeAllowed(static_cast<uint32_t>(desc.width), static_cast<uint32_t>(desc.height)) ||
        !ReadBitmapRows(bitmap, desc, 0, desc.height, &rows, &stride))
        return false;
    if (!CreateSolidImage(image, static_cast<uint32_t>(desc.width), static_cast<uint32_t>(desc.height),
                          MakeColour(0, 0, 0), 255))
        return false;
    for (uint32_t i = 0; i < image->height; ++i) {
        const uint8_t* q = rows.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(stride);
        for (uint32_t j = 0; j < image->width; ++j, q += 3) {
            std::size_t k = PixelIndex(*image, j, i);
            image->blue[k] = q[0];
            image->green[k] = q[1];
            image->red[k] = q[2];
            if (MakeColour(q[2], q[1], q[0]) == key) image->alpha[k] = 0;
        }
    }
    return true;
}

}  // namespace tlw
