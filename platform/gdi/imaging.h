// The platform imaging component: PNG decoding into 32-bit ARGB, not
// premultiplied (bytes blue, green, red, alpha per pixel, rows top-down,
// width x 4 bytes per row). A device model may lack the component; then
// every decode fails with kImagingUnavailable and callers fall back to
// formats they decode themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace plat {

// A decoded image.
struct ArgbImage {
    uint32_t width = 0;           // pixels per row
    uint32_t height = 0;          // rows
    std::vector<uint8_t> pixels;  // width * height * 4 bytes: B, G, R, A; row 0 at the top
};

// The largest width or height accepted, and the most pixels in all (64 MB
// of decoded image); bigger images fail with kTooLarge before anything is
// allocated for them.
constexpr uint32_t kMaxImageDimension = 16384;
constexpr uint64_t kMaxImagePixelCount = 16u * 1024u * 1024u;
// The largest file DecodePngFile reads.
constexpr int64_t kMaxImageFileBytes = 64 * 1024 * 1024;

enum class ImagingResult {
    kOk = 0,              // decoded; *out holds the image
    kUnavailable = 1,     // the device has no imaging component
    kFileError = 2,       // the file could not be opened or read (last error set)
    kBadData = 3,         // not a PNG, truncated or corrupt
    kTooLarge = 4,        // dimensions or file beyond the limits above
    kOutOfMemory = 5,     // the pixels could not be allocated
};

// Whether this device has the imaging component (default yes).
bool ImagingAvailable();
void SetImagingAvailable(bool available);

// Decodes a PNG held in memory. Any PNG colour type and depth is accepted
// (palette, grey, transparency chunk, 16 bits are converted; interlaced
// images too). On failure *out is left empty.
ImagingResult DecodePng(std::span<const uint8_t> data, ArgbImage* out);
// Decodes the PNG file at a device path.
ImagingResult DecodePngFile(std::u16string_view devicePath, ArgbImage* out);

// The same decoder without the availability check, for the platform's own
// use (PNG-coded icons).
ImagingResult DecodePngAlways(std::span<const uint8_t> data, ArgbImage* out);

}  // namespace plat
