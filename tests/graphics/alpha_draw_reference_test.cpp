// The alpha drawing routines against a plain one-pixel-at-a-time reference:
// random images, areas and clip rectangles on every kind of surface a DC can
// draw on, compared byte for byte (row padding and the unused fourth byte
// included).
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/graphics/alpha_draw.h"
#include "common/graphics/blend_rows.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

// Every source, destination and alpha value through the row kernels gives
// what BlendChannel gives.
TEST(BlendRows, EveryValueBlendsLikeBlendChannel) {
    std::vector<uint8_t> row(256 * 4);
    for (uint32_t pixelBytes : {3u, 4u}) {
        for (uint32_t s = 0; s < 256; ++s) {
            for (uint32_t a = 0; a < 256; ++a) {
                for (uint32_t d = 0; d < 256; ++d)
                    std::memset(row.data() + d * pixelBytes, static_cast<int>(d), pixelBytes);
                SolidSource solid;
                PrepareSolidSource(&solid, pixelBytes, static_cast<uint8_t>(s), static_cast<uint8_t>(s),
                                   static_cast<uint8_t>(s), static_cast<uint8_t>(a));
                BlendSolidRow(row.data(), solid, 256);
                for (uint32_t d = 0; d < 256; ++d) {
                    const uint8_t* p = row.data() + d * pixelBytes;
                    ASSERT_EQ(p[0], BlendChannel(s, d, a)) << "s " << s << " d " << d << " a " << a;
                    ASSERT_EQ(p[2], p[0]);
                    if (pixelBytes == 4) ASSERT_EQ(p[3], 0);
                }
            }
        }
    }
}

enum class SurfaceKind { kDib24TopDown, kDib24BottomUp, kDib32TopDown, kDib32BottomUp, kDeviceBitmap };

std::string KindName(SurfaceKind kind) {
    switch (kind) {
    case SurfaceKind::kDib24TopDown: return "24-bit top-down section";
    case SurfaceKind::kDib24BottomUp: return "24-bit bottom-up section";
    case SurfaceKind::kDib32TopDown: return "32-bit top-down section";
    case SurfaceKind::kDib32BottomUp: return "32-bit bottom-up section";
    case SurfaceKind::kDeviceBitmap: return "device bitmap";
    }
    return "";
}

// A surface of random content selected into a memory DC. Its snapshot is the
// raw memory of a DIB section, or 4 bytes per pixel (blue, green, red, 0)
// read with GetPixel from a device bitmap.
class Surface {
public:
    Surface(SurfaceKind kind, int32_t width, int32_t height, std::mt19937& random)
        : kind_(kind), width_(width), height_(height) {
        if (kind == SurfaceKind::kDeviceBitmap) {
            bitmap_ = plat::CreateCompatibleBitmap(plat::Hdc{}, width, height);
        } else {
            plat::DibHeader header;
            header.width = width;
            const bool topDown = kind == SurfaceKind::kDib24TopDown || kind == SurfaceKind::kDib32TopDown;
            header.height = topDown ? -height : height;
            header.bitCount = kind == SurfaceKind::kDib24TopDown || kind == SurfaceKind::kDib24BottomUp ? 24 : 32;
            bitmap_ = plat::CreateDibSection(plat::Hdc{}, header, &bits_);
        }
        dc_ = plat::CreateCompatibleDC(plat::Hdc{});
        previous_ = plat::SelectObject(dc_, bitmap_);
        plat::BitmapDesc desc;
        plat::GetBitmapInfo(bitmap_, &desc);
        stride_ = desc.stride;
        topDown_ = desc.topDown;
        pixelBytes_ = kind == SurfaceKind::kDeviceBitmap ? 4 : desc.bitCount / 8u;
        if (bits_) {
            for (int32_t i = 0; i < stride_ * height; ++i) bits_[i] = static_cast<uint8_t>(random());
        } else {
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x) plat::SetPixel(dc_, x, y, random() & 0xFFFFFF);
        }
    }
    ~Surface() {
        plat::SelectObject(dc_, previous_);
        plat::DeleteDC(dc_);
        plat::DeleteObject(bitmap_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool Valid() const { return bitmap_ && dc_ && (kind_ == SurfaceKind::kDeviceBitmap || bits_ != nullptr); }
    plat::Hdc Dc() const { return dc_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    std::vector<uint8_t> Snapshot() const {
        if (bits_) return std::vector<uint8_t>(bits_, bits_ + static_cast<std::size_t>(stride_) * height_);
        std::vector<uint8_t> out(static_cast<std::size_t>(width_) * height_ * 4);
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x) {
                plat::ColorRef c = plat::GetPixel(dc_, x, y);
                uint8_t* p = out.data() + Offset(x, y);
                p[0] = static_cast<uint8_t>(c >> 16);
                p[1] = static_cast<uint8_t>(c >> 8);
                p[2] = static_cast<uint8_t>(c);
                p[3] = 0;
            }
        return out;
    }

    // Where pixel (x, y) lies in a snapshot.
    std::size_t Offset(int32_t x, int32_t y) const {
        if (!bits_) return (static_cast<std::size_t>(y) * width_ + x) * 4;
        const int32_t row = topDown_ ? y : height_ - 1 - y;
        return static_cast<std::size_t>(row) * stride_ + static_cast<std::size_t>(x) * pixelBytes_;
    }

    // The reference: one pixel of a snapshot under a source pixel.
    void Blend(std::vector<uint8_t>& picture, int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue,
               uint8_t alpha) const {
        uint8_t* p = picture.data() + Offset(x, y);
        p[0] = BlendChannel(blue, p[0], alpha);
        p[1] = BlendChannel(green, p[1], alpha);
        p[2] = BlendChannel(red, p[2], alpha);
        if (pixelBytes_ == 4) p[3] = 0;
    }

private:
    SurfaceKind kind_;         // what the DC draws on
    int32_t width_;            // pixels
    int32_t height_;           // rows
    int32_t stride_ = 0;       // bytes per memory row of a section
    bool topDown_ = true;      // memory row 0 is the top row
    uint32_t pixelBytes_ = 3;  // bytes per pixel in a snapshot
    uint8_t* bits_ = nullptr;  // a section's memory
    plat::HBitmap bitmap_;     // the surface
    plat::HBitmap previous_;   // the DC's bitmap before it
    plat::Hdc dc_;             // memory DC holding it
};

// Alpha 0 and 255 each a quarter of the time, any value otherwise.
uint8_t RandomAlpha(std::mt19937& random) {
    switch (random() % 4) {
    case 0: return 0;
    case 1: return 255;
    default: return static_cast<uint8_t>(random());
    }
}

// Widths up to 150 pixels: runs shorter and longer than the widest vectors
// (64 pixels), and never a whole number of them by design.
RgbaImage RandomImage(std::mt19937& random) {
    RgbaImage image;
    const uint32_t width = 1 + random() % 150, height = 1 + random() % 12;
    CreateSolidImage(&image, width, height, MakeColour(0, 0, 0), 255);
    for (std::size_t k = 0; k < image.alpha.size(); ++k) {
        image.red[k] = static_cast<uint8_t>(random());
        image.green[k] = static_cast<uint8_t>(random());
        image.blue[k] = static_cast<uint8_t>(random());
        image.alpha[k] = RandomAlpha(random);
    }
    return image;
}

// The clip rectangle of the next drawing: the whole surface or a random part.
struct Clip {
    int32_t left, top, right, bottom;
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
};

Clip RandomClip(std::mt19937& random, Surface& surface) {
    plat::ResetClipRect(surface.Dc());
    Clip clip{0, 0, surface.Width(), surface.Height()};
    if (random() % 2 == 0) return clip;
    clip.left = static_cast<int32_t>(random() % surface.Width());
    clip.top = static_cast<int32_t>(random() % surface.Height());
    clip.right = clip.left + 1 + static_cast<int32_t>(random() % (surface.Width() - clip.left));
    clip.bottom = clip.top + 1 + static_cast<int32_t>(random() % (surface.Height() - clip.top));
    plat::IntersectClipRect(surface.Dc(), clip.left, clip.top, clip.right, clip.bottom);
    return clip;
}

int32_t RandomIn(std::mt19937& random, int32_t low, int32_t high) {
    return low + static_cast<int32_t>(random() % static_cast<uint32_t>(high - low + 1));
}

// Runs a check once with every instruction set the kernels were built for
// that this processor has, each chosen as if it were the best one.
template <typename Check>
void ForEachVectorTarget(Check check) {
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        check();
    }
    hwy::SetSupportedTargetsForTest(0);
}

class AlphaDrawReference : public ::testing::TestWithParam<SurfaceKind> {
protected:
    std::mt19937 random_{static_cast<uint32_t>(GetParam()) * 7919u + 17u};
};

TEST_P(AlphaDrawReference, DrawImageRepeatsAndClipsLikeTheReference) {
    Surface surface(GetParam(), 203, 23, random_);
    ASSERT_TRUE(surface.Valid());
    ForEachVectorTarget([&] {
        for (int round = 0; round < 20; ++round) {
            RgbaImage image = RandomImage(random_);
            const Clip clip = RandomClip(random_, surface);
            const int32_t x = RandomIn(random_, -60, 205), y = RandomIn(random_, -10, 25);
            const int32_t width = random_() % 3 == 0 ? kImageSize : RandomIn(random_, 0, 300);
            const int32_t height = random_() % 3 == 0 ? kImageSize : RandomIn(random_, 0, 30);
            const int32_t w = width == kImageSize ? static_cast<int32_t>(image.width) : width;
            const int32_t h = height == kImageSize ? static_cast<int32_t>(image.height) : height;
            std::vector<uint8_t> expected = surface.Snapshot();
            for (int32_t dy = y; dy < y + h; ++dy)
                for (int32_t dx = x; dx < x + w; ++dx) {
                    if (!clip.Contains(dx, dy)) continue;
                    const std::size_t k = PixelIndex(image, static_cast<uint32_t>(dx - x) % image.width,
                                                     static_cast<uint32_t>(dy - y) % image.height);
                    surface.Blend(expected, dx, dy, image.red[k], image.green[k], image.blue[k], image.alpha[k]);
                }
            ASSERT_TRUE(DrawImage(image, surface.Dc(), x, y, width, height));
            ASSERT_EQ(surface.Snapshot(), expected) << KindName(GetParam()) << ", round " << round;
        }
    });
}

TEST_P(AlphaDrawReference, DrawImagePartTakesOnlySourcePixelsInsideTheImage) {
    Surface surface(GetParam(), 187, 19, random_);
    ASSERT_TRUE(surface.Valid());
    ForEachVectorTarget([&] {
        for (int round = 0; round < 20; ++round) {
            RgbaImage image = RandomImage(random_);
            const Clip clip = RandomClip(random_, surface);
            const int32_t x = RandomIn(random_, -40, 188), y = RandomIn(random_, -8, 20);
            const int32_t width = RandomIn(random_, 0, 200), height = RandomIn(random_, 0, 20);
            const int32_t sourceX = RandomIn(random_, -20, 140), sourceY = RandomIn(random_, -5, 14);
            const int32_t sourceWidth = RandomIn(random_, 0, 170), sourceHeight = RandomIn(random_, 0, 16);
            std::vector<uint8_t> expected = surface.Snapshot();
            for (int32_t j = 0; j < std::min(width, sourceWidth); ++j)
                for (int32_t i = 0; i < std::min(height, sourceHeight); ++i) {
                    const int32_t sx = sourceX + j, sy = sourceY + i;
                    if (sx < 0 || sy < 0 || sx >= static_cast<int32_t>(image.width) ||
                        sy >= static_cast<int32_t>(image.height) || !clip.Contains(x + j, y + i))
                        continue;
                    const std::size_t k = PixelIndex(image, static_cast<uint32_t>(sx), static_cast<uint32_t>(sy));
                    surface.Blend(expected, x + j, y + i, image.red[k], image.green[k], image.blue[k], image.alpha[k]);
                }
            ASSERT_TRUE(DrawImagePart(image, surface.Dc(), x, y, width, height, sourceX, sourceY, sourceWidth,
                                      sourceHeight));
            ASSERT_EQ(surface.Snapshot(), expected) << KindName(GetParam()) << ", round " << round;
        }
    });
}

TEST_P(AlphaDrawReference, FillAndCrossFadeBlendLikeTheReference) {
    Surface surface(GetParam(), 170, 21, random_);
    Surface source(SurfaceKind::kDib24BottomUp, 170, 21, random_);
    ASSERT_TRUE(surface.Valid() && source.Valid());
    const std::vector<uint8_t> sourcePixels = source.Snapshot();
    ForEachVectorTarget([&] {
        for (int round = 0; round < 20; ++round) {
            const Clip clip = RandomClip(random_, surface);
            const int32_t x = RandomIn(random_, -40, 171), y = RandomIn(random_, -8, 22);
            const int32_t width = RandomIn(random_, 0, 220), height = RandomIn(random_, 0, 25);
            const uint8_t alpha = RandomAlpha(random_);
            std::vector<uint8_t> expected = surface.Snapshot();
            const bool fill = round % 2 == 0;
            const Colour colour = random_() & 0xFFFFFF;
            // Nothing at all happens with alpha 0: not even the fourth byte changes.
            for (int32_t dy = y; alpha != 0 && dy < y + height; ++dy)
                for (int32_t dx = x; dx < x + width; ++dx) {
                    if (!clip.Contains(dx, dy)) continue;
                    if (fill) {
                        surface.Blend(expected, dx, dy, ColourRed(colour), ColourGreen(colour), ColourBlue(colour), alpha);
                    } else {
                        const uint8_t* q = sourcePixels.data() + source.Offset(dx, dy);
                        surface.Blend(expected, dx, dy, q[2], q[1], q[0], alpha);
                    }
                }
            ASSERT_TRUE(fill ? FillAreaWithAlpha(surface.Dc(), x, y, width, height, colour, alpha)
                             : CrossFade(surface.Dc(), x, y, width, height, source.Dc(), alpha));
            ASSERT_EQ(surface.Snapshot(), expected) << KindName(GetParam()) << ", round " << round;
        }
    });
}

INSTANTIATE_TEST_SUITE_P(EverySurface, AlphaDrawReference,
                         ::testing::Values(SurfaceKind::kDib24TopDown, SurfaceKind::kDib24BottomUp,
                                           SurfaceKind::kDib32TopDown, SurfaceKind::kDib32BottomUp,
                                           SurfaceKind::kDeviceBitmap));

}  // namespace
}  // namespace tlw
