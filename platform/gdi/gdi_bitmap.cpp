// Bitmaps: device bitmaps, monochrome bitmaps and DIB sections, their
// descriptions, and copying rows in and out as DIBs.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {

int32_t DibStride(int32_t width, uint16_t bitCount) {
    if (width <= 0 || (bitCount != 1 && bitCount != 24 && bitCount != 32)) return 0;
    int64_t stride = ((int64_t(width) * bitCount + 31) / 32) * 4;
    return stride > INT32_MAX ? 0 : int32_t(stride);
}

namespace gdi {

uint32_t NewBitmap(int32_t width, int32_t height, uint16_t bitCount, bool topDown, bool dibSection) {
    int32_t stride = DibStride(width, bitCount);
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide || stride == 0 ||
        int64_t(stride) * height > kMaxBitmapBytes) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    BitmapObj b;
    b.width = width;
    b.height = height;
    b.stride = stride;
    b.bitCount = bitCount;
    b.topDown = topDown;
    b.dibSection = dibSection;
    try {
        b.storage.assign(size_t(stride) * size_t(height), 0);
    } catch (const std::bad_alloc&) {
        SetLastError(kErrorNotEnoughMemory);
        return 0;
    }
    Object o;
    o.data = std::move(b);
    return Add(Kind::kBitmap, std::move(o));
}

}  // namespace gdi

using namespace gdi;

HBitmap CreateCompatibleBitmap(Hdc hdc, int32_t width, int32_t height) {
    GdiGuard guard(Lock());
    bool mono = false;
    if (hdc) {
        DcObj* dc = FindDc(hdc);
        if (!dc) return HBitmap{};
        mono = TargetBitmap(*dc)->bitCount == 1;
    }
    if (width == 0 || height == 0) return HBitmap{NewBitmap(1, 1, 1, true, false)};  // as the phone does
    return HBitmap{NewBitmap(width, height, mono ? 1 : 32, true, false)};
}

HBitmap CreateBitmap(int32_t width, int32_t height, uint32_t planes, uint32_t bitCount,
                     const void* bits) {
    if (planes != 1 || (bitCount != 1 && bitCount != 24 && bitCount != 32)) {
        SetLastError(kErrorInvalidParameter);
        return HBitmap{};
    }
    GdiGuard guard(Lock());
    uint32_t handle = NewBitmap(width, height, bitCount == 1 ? 1 : 32, true, false);
    if (handle == 0 || !bits) return HBitmap{handle};
    BitmapObj* b = FindBitmap(handle);
    // Input rows are padded to 2 bytes.
    size_t inStride = ((size_t(width) * bitCount + 15) / 16) * 2;
    const uint8_t* in = static_cast<const uint8_t*>(bits);
    size_t step = bitCount / 8;
    for (int32_t y = 0; y < height; ++y, in += inStride) {
        if (bitCount == 1) {
            std::memcpy(RowAt(*b, y), in, (size_t(width) + 7) / 8);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = in + size_t(x) * step;
            WritePixel(*b, x, y, Rgb(p[2], p[1], p[0]));
        }
    }
    return HBitmap{handle};
}

HBitmap CreateDibSection(Hdc hdc, const DibHeader& header, uint8_t** bits) {
    GdiGuard guard(Lock());
    if (hdc && !FindDc(hdc)) return HBitmap{};
    if (header.bitCount != 24 && header.bitCount != 32) {
        SetLastError(kErrorInvalidParameter);
        return HBitmap{};
    }
    int32_t height = header.height == INT32_MIN ? 0 : std::abs(header.height);
    uint32_t handle = NewBitmap(header.width, height, header.bitCount, header.height < 0, true);
    if (handle != 0 && bits) *bits = FindBitmap(handle)->storage.data();
    return HBitmap{handle};
}

bool GetBitmapInfo(HBitmap bitmap, BitmapDesc* out) {
    GdiGuard guard(Lock());
    BitmapObj* b = FindBitmap(bitmap.value);
    if (!b || !out) return false;
    out->width = b->width;
    out->height = b->height;
    out->stride = b->stride;
    out->bitCount = b->bitCount;
    out->dibSection = b->dibSection;
    out->topDown = b->topDown;
    out->bits = b->dibSection ? b->storage.data() : nullptr;
    return true;
}

bool GetDibSectionPixels(HBitmap bitmap, BitmapDesc* out) {
    BitmapDesc desc;
    if (!GetBitmapInfo(bitmap, &desc)) return false;
    if (!desc.dibSection) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (out) *out = desc;
    return true;
}

namespace {

// Checks a DIB header against a bitmap and the row range; returns the
// number of rows to copy (0 when none or invalid).
int32_t RowsToCopy(const BitmapObj& b, int32_t startRow, int32_t rowCount, const DibHeader& header,
                   const void* bits) {
    int32_t height = header.height == INT32_MIN ? 0 : std::abs(header.height);
    if (!bits || header.width != b.width || height != b.height || DibStride(header.width, header.bitCount) == 0 ||
        header.bitCount == 1 || startRow < 0 || rowCount <= 0 || startRow >= b.height) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    return std::min(rowCount, b.height - startRow);
}

// The bitmap row (0 = top) of DIB scan line `scan` of a header.
int32_t BitmapRowOf(const BitmapObj& b, const DibHeader& header, int32_t scan) {
    return header.height < 0 ? scan : b.height - 1 - scan;
}

}  // namespace

int32_t GetDiBits(HBitmap bitmap, int32_t startRow, int32_t rowCount, uint8_t* bits,
                  const DibHeader& header) {
    GdiGuard guard(Lock());
    BitmapObj* b = FindBitmap(bitmap.value);
    if (!b) return 0;
    int32_t rows = RowsToCopy(*b, startRow, rowCount, header, bits);
    int32_t stride = DibStride(header.width, header.bitCount);
    size_t step = header.bitCount / 8;
    for (int32_t i = 0; i < rows; ++i) {
        int32_t y = BitmapRowOf(*b, header, startRow + i);
        uint8_t* out = bits + size_t(i) * size_t(stride);
        std::memset(out, 0, size_t(stride));
        for (int32_t x = 0; x < b->width; ++x) {
            ColorRef c = ReadPixel(*b, x, y);
            uint8_t* p = out + size_t(x) * step;
            p[0] = BlueOf(c);
            p[1] = GreenOf(c);
            p[2] = RedOf(c);
        }
    }
    return rows;
}

int32_t SetDiBits(HBitmap bitmap, int32_t startRow, int32_t rowCount, const uint8_t* bits,
                  const DibHeader& header) {
    GdiGuard guard(Lock());
    BitmapObj* b = FindBitmap(bitmap.value);
    if (!b) return 0;
    int32_t rows = RowsToCopy(*b, startRow, rowCount, header, bits);
    int32_t stride = DibStride(header.width, header.bitCount);
    size_t step = header.bitCount / 8;
    for (int32_t i = 0; i < rows; ++i) {
        int32_t y = BitmapRowOf(*b, header, startRow + i);
        const uint8_t* in = bits + size_t(i) * size_t(stride);
        for (int32_t x = 0; x < b->width; ++x) {
            const uint8_t* p = in + size_t(x) * step;
            WritePixel(*b, x, y, Rgb(p[2], p[1], p[0]));
        }
    }
    return rows;
}

}  // namespace plat
