#include "common/graphics/image_loader.h"

#include <atomic>
#include <new>
#include <vector>

#include "common/graphics/tga_decoder.h"
#include "base/text.h"
#include "platform/storage/file.h"
#include "platform/gdi/imaging.h"
#include "platform/gdi/resources.h"

namespace tlw {
namespace {

// Whether this process holds the imaging component.
std::atomic<bool> g_imagingStarted{false};

bool EndsWithNoCase(std::u16string_view text, std::u16string_view ending) {
    return text.size() >= ending.size() && EqualsNoCase(text.substr(text.size() - ending.size()), ending);
}

bool PngAvailable() { return g_imagingStarted.load() && plat::ImagingAvailable(); }

// Moves a decoded ARGB image (bytes blue, green, red, alpha) into the planes.
int32_t FromArgb(RgbaImage* image, const plat::ArgbImage& argb) {
    if (argb.pixels.size() != static_cast<std::size_t>(argb.width) * argb.height * 4) return kImageFail;
    if (!AllocateImage(image, argb.width, argb.height)) return kImageFail;
    const uint8_t* p = argb.pixels.data();
    std::size_t count = image->alpha.size();
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        image->blue[i] = p[0];
        image->green[i] = p[1];
        image->red[i] = p[2];
        image->alpha[i] = p[3];
    }
    return kImageOk;
}

// Reads a whole file of at most kMaxLoadedFileBytes.
bool ReadWholeFile(std::u16string_view path, std::vector<uint8_t>* out) {
    plat::File file;
    if (!file.Open(path, plat::kGenericRead, plat::kShareRead, plat::kOpenExisting)) return false;
    int64_t size = file.Size();
    if (size < 0 || size > kMaxLoadedFileBytes) return false;
    try {
        out->resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::size_t done = 0;
    while (done < out->size()) {
        uint32_t got = 0;
        if (!file.Read(out->data() + done, static_cast<uint32_t>(out->size() - done), &got)) return false;
        if (got == 0) break;
        done += got;
    }
    out->resize(done);  // a file that shrank while being read is decoded as it was read
    return true;
}

// A PNG starts with its 8-byte signature and the IHDR chunk, whose first
// fields are the width and height (big-endian). Images beyond the library's
// limits are refused before the decoder allocates anything for them.
bool PngSizeAllowed(std::span<const uint8_t> data) {
    if (data.size() < 24) return true;  // too short to say; the decoder refuses it
    auto be32 = [&](std::size_t at) {
        return (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) | (uint32_t{data[at + 2]} << 8) |
               uint32_t{data[at + 3]};
    };
    return ImageSizeAllowed(be32(16), be32(20));
}

}  // namespace

bool StartImaging() {
    g_imagingStarted = true;
    return plat::ImagingAvailable();
}

void StopImaging() { g_imagingStarted = false; }

bool ImagingStarted() { return PngAvailable(); }

int32_t LoadPngFromMemory(RgbaImage* image, std::span<const uint8_t> data) {
    FreeImage(image);
    if (!PngAvailable()) return kImageFail;
    if (!PngSizeAllowed(data)) return kImageFail;
    plat::ArgbImage argb;
    if (plat::DecodePng(data, &argb) != plat::ImagingResult::kOk) return kImageFail;
    return FromArgb(image, argb);
}

int32_t LoadTgaFromMemory(RgbaImage* image, std::span<const uint8_t> data) {
    return DecodeTga(data.data(), data.size(), image) == TgaStatus::kOk ? kImageOk : kImageFail;
}

int32_t LoadImageFile(RgbaImage* image, std::u16string_view path) {
    FreeImage(image);
    if (path.size() <= 4) return kImageFail;
    bool png = EndsWithNoCase(path, u".png");
    if (!png && !EndsWithNoCase(path, u".tga")) return kImageFail;
    if (png && !PngAvailable()) return kImageFail;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return kImageFail;
    return png ? LoadPngFromMemory(image, bytes) : LoadTgaFromMemory(image, bytes);
}

int32_t LoadImageResource(RgbaImage* image, std::u16string_view module, std::u16string_view name) {
    FreeImage(image);
    auto find = [&](std::u16string_view type, std::span<const uint8_t>* bytes) {
        return module.empty() ? plat::LoadResourceBytes(type, name, bytes)
                              : plat::LoadResourceBytes(module, type, name, bytes);
    };
    std::span<const uint8_t> bytes;
    if (PngAvailable() && find(plat::kResourcePng, &bytes) && LoadPngFromMemory(image, bytes) == kImageOk)
        return kImageOk;
    if (find(plat::kResourceTarga, &bytes)) return LoadTgaFromMemory(image, bytes);
    return kImageFail;
}

}  // namespace tlw
