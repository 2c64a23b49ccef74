// Loading RgbaImages from files and from a deliverable's resources: PNG
// through the platform imaging component, TGA through the decoder of this
// library. Results are COM-style: kImageOk (0) or kImageFail (E_FAIL).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "common/graphics/rgba_image.h"

namespace tlw {

constexpr int32_t kImageOk = 0;
constexpr int32_t kImageFail = static_cast<int32_t>(0x80004005u);  // E_FAIL

// The largest image file read into memory.
constexpr int64_t kMaxLoadedFileBytes = 64 * 1024 * 1024;

// Creates the process's imaging component (at start-up) and releases it (at
// shut-down). PNG images load only between the two, and only when the
// device has the component; StartImaging returns whether PNG support is on.
// TGA images load either way.
bool StartImaging();
void StopImaging();
bool ImagingStarted();

// Loads a file by its ending: ".png" (any case) through the imaging
// component, ".tga" (any case) through the TGA decoder; any other ending,
// a path of 4 characters or fewer, a missing or bad file fail. On failure the
// image is empty.
int32_t LoadImageFile(RgbaImage* image, std::u16string_view path);

// Loads a resource of the module (empty: any module of the process): type
// "PNG" first when the imaging component is on, else (or when that resource
// is missing or bad) type "TARGA".
int32_t LoadImageResource(RgbaImage* image, std::u16string_view module, std::u16string_view name);

// Decoders from memory, as the two loaders use them.
int32_t LoadPngFromMemory(RgbaImage* image, std::span<const uint8_t> data);
int32_t LoadTgaFromMemory(RgbaImage* image, std::span<const uint8_t> data);

}  // namespace tlw
