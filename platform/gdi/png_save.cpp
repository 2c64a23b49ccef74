// Saving bitmaps, device contexts and decoded images as PNG files on the
// host through libpng.
#include "platform/gdi/png_save.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Encodes rows of 8-bit RGB or RGBA into an open file. Only trivially
// destructible locals live here (libpng leaves by longjmp on errors).
bool EncodeRows(std::FILE* file, uint32_t width, uint32_t height, bool alpha, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// libpng's writer into a byte vector.
void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void FlushNothing(png_structp) {}

// Encodes 8-bit RGB rows into memory (as EncodeRows).
bool EncodeRowsToMemory(std::vector<uint8_t>* out, uint32_t width, uint32_t height, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, FlushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Packs 0x00RRGGBB pixels as RGB bytes.
std::vector<uint8_t> PackRgb(const uint32_t* pixels, size_t count) {
    std::vector<uint8_t> out(count * 3);
    for (size_t i = 0; i < count; ++i) {
        out[i * 3] = uint8_t(pixels[i] >> 16);
        out[i * 3 + 1] = uint8_t(pixels[i] >> 8);
        out[i * 3 + 2] = uint8_t(pixels[i]);
    }
    return out;
}

// Writes a whole image held as tightly packed rows (3 or 4 bytes a pixel).
bool WritePng(const std::filesystem::path& hostPath, uint32_t width, uint32_t height, bool alpha,
              std::vector<uint8_t>& pixels) {
    if (width == 0 || height == 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    size_t stride = size_t(width) * (alpha ? 4 : 3);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y) rows[y] = pixels.data() + size_t(y) * stride;
    std::FILE* file = std::fopen(hostPath.c_str(), "wb");
    if (!file) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    bool ok = EncodeRows(file, width, height, alpha, rows.data());
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(hostPath, ec);
        SetLastError(kErrorDiskFull);
    }
    return ok;
}

// Copies a bitmap record's pixels as RGB rows, top row first.
std::vector<uint8_t> RgbRows(const gdi::BitmapObj& b) {
    std::vector<uint8_t> out(size_t(b.width) * size_t(b.height) * 3);
    uint8_t* p = out.data();
    for (int32_t y = 0; y < b.height; ++y) {
        for (int32_t x = 0; x < b.width; ++x) {
            ColorRef c = gdi::ReadPixel(b, x, y);
            *p++ = RedOf(c);
            *p++ = GreenOf(c);
            *p++ = BlueOf(c);
        }
    }
    return out;
}

}  // namespace

bool SaveBitmapPng(HBitmap bitmap, const std::filesystem::path& hostPath) {
    std::vector<uint8_t> pixels;
    uint32_t width, height;
    {
        gdi::GdiGuard guard(gdi::Lock());
        gdi::BitmapObj* b = gdi::FindBitmap(bitmap.value);
        if (!b) return false;
        pixels = RgbRows(*b);
        width = uint32_t(b->width);
        height = uint32_t(b->height);
    }
    return WritePng(hostPath, width, height, false, pixels);
}

bool SaveDcPng(Hdc hdc, const std::filesystem::path& hostPath) {
    std::vector<uint8_t> pixels;
    uint32_t width, height;
    {
        gdi::GdiGuard guard(gdi::Lock());
        gdi::DcObj* dc = gdi::FindDc(hdc);
        if (!dc) return false;
        const gdi::BitmapObj* b = gdi::TargetBitmap(*dc);
        pixels = RgbRows(*b);
        width = uint32_t(b->width);
        height = uint32_t(b->height);
    }
    return WritePng(hostPath, width, height, false, pixels);
}

bool SaveArgbPng(const ArgbImage& image, const std::filesystem::path& hostPath) {
    if (image.pixels.size() != size_t(image.width) * size_t(image.height) * 4) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::vector<uint8_t> pixels(image.pixels.size());
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = image.pixels[i + 2];
        pixels[i + 1] = image.pixels[i + 1];
        pixels[i + 2] = image.pixels[i];
        pixels[i + 3] = image.pixels[i + 3];
    }
    return WritePng(hostPath, image.width, image.height, true, pixels);
}

bool SaveRgbPng(int32_t width, int32_t height, const uint32_t* pixels, const std::filesystem::path& hostPath) {
    if (width <= 0 || height <= 0 || !pixels) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::vector<uint8_t> rgb = PackRgb(pixels, size_t(width) * size_t(height));
    return WritePng(hostPath, uint32_t(width), uint32_t(height), false, rgb);
}

bool EncodeRgbPng(int32_t width, int32_t height, const uint32_t* pixels, std::vector<uint8_t>* out) {
    if (width <= 0 || height <= 0 || !pixels || !out) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::vector<uint8_t> rgb = PackRgb(pixels, size_t(width) * size_t(height));
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) rows[size_t(y)] = rgb.data() + size_t(y) * size_t(width) * 3;
    out->clear();
    return EncodeRowsToMemory(out, uint32_t(width), uint32_t(height), rows.data());
}

}  // namespace plat
