// The imaging component: PNG decoding through libpng into 32-bit ARGB (not
// premultiplied). libpng reports errors by longjmp; the functions that call
// it hold only trivially destructible locals, and every allocation happens
// outside them once the header's sizes have been checked. What libpng
// allocates itself is bounded too (LimitReading).
#include "platform/gdi/imaging.h"

#include <png.h>

#include <atomic>
#include <csetjmp>
#include <cstring>
#include <new>

#include "platform/storage/file.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

std::atomic<bool> g_imagingAvailable{true};  // the device has the component

constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;  // most libpng allocates for one chunk
constexpr png_uint_32 kMaxAncillaryChunks = 32;                // ancillary chunks libpng keeps

// Where libpng reads from.
struct MemoryReader {
    const uint8_t* data;  // the PNG bytes
    size_t size;          // their count
    size_t pos;           // next byte to hand out
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > r->size - r->pos) png_error(png, "truncated");
    std::memcpy(out, r->data + r->pos, count);
    r->pos += count;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Reads the header and, for an image within the size limits, sets the
// conversions to 8-bit B, G, R, A. Returns false on a libpng error.
bool ReadHeader(png_structp png, png_infop info, uint32_t* width, uint32_t* height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colorType, nullptr, nullptr, nullptr);
    *width = w;
    *height = h;
    if (w > kMaxImageDimension || h > kMaxImageDimension) return true;  // refused by the caller
    if (depth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(w) * 4) png_error(png, "unexpected row size");
    return true;
}

// Reads every row into the prepared row pointers.
bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// The sides an image's header declares, read from the bytes (the header is
// the first chunk of every PNG). False when the data holds no header.
bool DeclaredSize(std::span<const uint8_t> data, uint32_t* width, uint32_t* height) {
    if (data.size() < 24 || std::memcmp(data.data() + 12, "IHDR", 4) != 0) return false;
    auto be32 = [&](size_t at) {
        return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 | data[at + 3];
    };
    *width = be32(16);
    *height = be32(20);
    return true;
}

// Bounds what libpng may allocate while it reads. Only the chunks the
// decoder uses are read: the header, palette, transparency, image data and
// end. Every other ancillary chunk (text, profiles, histograms, ...) is
// skipped unread; a text chunk may claim up to 2 GB, and libpng would take
// room for the claim before finding the data short. What remains is held
// to a few megabytes a chunk and a few ancillary chunks, and the sides to
// the decoder's own limits.
void LimitReading(png_structp png) {
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxAncillaryChunks);
    png_set_user_limits(png, kMaxImageDimension, kMaxImageDimension);
}

// Frees libpng's structures however the decode ends.
struct ReadStructs {
    png_structp png = nullptr;  // libpng's decoder
    png_infop info = nullptr;   // the image's header
    ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

bool ImagingAvailable() { return g_imagingAvailable; }
void SetImagingAvailable(bool available) { g_imagingAvailable = available; }

ImagingResult DecodePngAlways(std::span<const uint8_t> data, ArgbImage* out) {
    if (!out) return ImagingResult::kBadData;
    *out = ArgbImage{};
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return ImagingResult::kBadData;
    ReadStructs s;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!s.png) return ImagingResult::kOutOfMemory;
    s.info = png_create_info_struct(s.png);
    if (!s.info) return ImagingResult::kOutOfMemory;
    LimitReading(s.png);
    MemoryReader reader{data.data(), data.size(), 0};
    png_set_read_fn(s.png, &reader, ReadFromMemory);

    uint32_t width = 0, height = 0;
    if (!ReadHeader(s.png, s.info, &width, &height)) {
        // libpng refuses sides beyond the limits itself; say why.
        if (DeclaredSize(data, &width, &height) && (width > kMaxImageDimension || height > kMaxImageDimension))
            return ImagingResult::kTooLarge;
        return ImagingResult::kBadData;
    }
    if (width == 0 || height == 0) return ImagingResult::kBadData;
    if (width > kMaxImageDimension || height > kMaxImageDimension) return ImagingResult::kTooLarge;
    if (uint64_t(width) * height > kMaxImagePixelCount) return ImagingResult::kTooLarge;
    // Both sides are at most 2^14, so 4 * width * height fits 64 bits easily.
    size_t stride = size_t(width) * 4;
    ArgbImage image;
    std::vector<png_bytep> rows;
    try {
        image.pixels.resize(stride * height);
        rows.resize(height);
    } catch (const std::bad_alloc&) {
        return ImagingResult::kOutOfMemory;
    }
    for (uint32_t y = 0; y < height; ++y) rows[y] = image.pixels.data() + size_t(y) * stride;
    if (!ReadRows(s.png, rows.data())) return ImagingResult::kBadData;
    image.width = width;
    image.height = height;
    *out = std::move(image);
    return ImagingResult::kOk;
}

ImagingResult DecodePng(std::span<const uint8_t> data, ArgbImage* out) {
    if (out) *out = ArgbImage{};
    if (!ImagingAvailable()) return ImagingResult::kUnavailable;
    return DecodePngAlways(data, out);
}

ImagingResult DecodePngFile(std::u16string_view devicePath, ArgbImage* out) {
    if (out) *out = ArgbImage{};
    if (!ImagingAvailable()) return ImagingResult::kUnavailable;
    File file;
    if (!file.Open(devicePath, kGenericRead, kShareRead, kOpenExisting)) return ImagingResult::kFileError;
    int64_t size = file.Size();
    if (size < 0) return ImagingResult::kFileError;
    if (size > kMaxImageFileBytes) return ImagingResult::kTooLarge;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        return ImagingResult::kOutOfMemory;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        uint32_t got = 0;
        if (!file.Read(bytes.data() + done, uint32_t(bytes.size() - done), &got)) return ImagingResult::kFileError;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return DecodePngAlways(bytes, out);
}

}  // namespace plat
