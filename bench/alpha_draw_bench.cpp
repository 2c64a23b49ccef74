// Alpha drawing and image decoding, the work behind every skinned paint.
//
// Drawing runs at VGA size (480 x 640) on a 24-bit DIB section in a memory
// DC, as the Today item and the popup menu draw off screen: draw image (one
// full-screen image, and a 32 x 32 icon tiled over the screen) and fill with
// alpha. Each reports pixels per second (items processed). Beside them, in
// the same run, the same area with pixman's OVER compositing (premultiplied
// 32-bit source over a 32-bit destination, where pixman is installed) and a
// plain memcpy of the area's 32-bit pixels, as the floor of what any
// compositing can cost. Decoding: a skin image of the VGA default skin as
// PNG (through the imaging component) and as TGA (uncompressed and
// run-length encoded).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/graphics/alpha_draw.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/tga_decoder.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/imaging.h"

#ifdef TLW_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {

constexpr int32_t kWidth = 480;   // VGA portrait screen
constexpr int32_t kHeight = 640;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

// A 24-bit top-down DIB section selected into a memory DC, filled grey.
class Target {
public:
    Target() {
        plat::DibHeader header;
        header.width = kWidth;
        header.height = -kHeight;
        header.bitCount = 24;
        uint8_t* bits = nullptr;
        bitmap_ = plat::CreateDibSection(plat::Hdc{}, header, &bits);
        if (bits) std::memset(bits, 0x80, static_cast<std::size_t>(plat::DibStride(kWidth, 24)) * kHeight);
        dc_ = plat::CreateCompatibleDC(plat::Hdc{});
        old_ = plat::SelectObject(dc_, bitmap_);
    }
    ~Target() {
        plat::SelectObject(dc_, old_);
        plat::DeleteDC(dc_);
        plat::DeleteObject(bitmap_);
    }
    plat::Hdc Dc() const { return dc_; }

private:
    plat::HBitmap bitmap_;  // the section
    plat::HBitmap old_;     // the DC's first bitmap
    plat::Hdc dc_;          // memory DC holding the section
};

// An image whose alpha runs through every value, so that all three cases of
// the blend (keep, replace, mix) occur.
tlw::RgbaImage GradientImage(uint32_t width, uint32_t height) {
    tlw::RgbaImage image;
    tlw::CreateSolidImage(&image, width, height, tlw::MakeColour(30, 120, 220), 255);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            std::size_t k = tlw::PixelIndex(image, x, y);
            image.alpha[k] = static_cast<uint8_t>((x * 7 + y * 3) & 0xFF);
            image.red[k] = static_cast<uint8_t>(x);
        }
    return image;
}

void BM_DrawImageFullScreen(benchmark::State& state) {
    Target target;
    tlw::RgbaImage image = GradientImage(kWidth, kHeight);
    for (auto _ : state) benchmark::DoNotOptimize(tlw::DrawImage(image, target.Dc(), 0, 0));
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_DrawImageFullScreen);

void BM_DrawImageTiledIcon(benchmark::State& state) {
    Target target;
    tlw::RgbaImage image = GradientImage(32, 32);
    for (auto _ : state) benchmark::DoNotOptimize(tlw::DrawImage(image, target.Dc(), 0, 0, kWidth, kHeight));
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_DrawImageTiledIcon);

void BM_FillAreaWithAlpha(benchmark::State& state) {
    Target target;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            tlw::FillAreaWithAlpha(target.Dc(), 0, 0, kWidth, kHeight, tlw::MakeColour(255, 255, 255), 100));
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_FillAreaWithAlpha);

// The floor: copying the area's pixels once, 4 bytes each.
void BM_MemcpyArea(benchmark::State& state) {
    std::vector<uint32_t> from(static_cast<std::size_t>(kPixels), 0x11223344u), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_MemcpyArea);

#ifdef TLW_HAVE_PIXMAN
// pixman's OVER of a premultiplied image with the same alpha pattern.
void BM_PixmanOverImage(benchmark::State& state) {
    tlw::RgbaImage image = GradientImage(kWidth, kHeight);
    std::vector<uint32_t> source(static_cast<std::size_t>(kPixels)), destination(source.size(), 0xFF808080u);
    for (std::size_t k = 0; k < source.size(); ++k) {
        uint32_t a = image.alpha[k];
        auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
        source[k] = (a << 24) | (pre(image.red[k]) << 16) | (pre(image.green[k]) << 8) | pre(image.blue[k]);
    }
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, destination.data(), kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_PixmanOverImage);

// pixman's OVER of a solid colour with alpha 100, like the fill above.
void BM_PixmanOverSolid(benchmark::State& state) {
    std::vector<uint32_t> destination(static_cast<std::size_t>(kPixels), 0xFF808080u);
    pixman_color_t colour = {static_cast<uint16_t>(100 * 257), static_cast<uint16_t>(100 * 257),
                             static_cast<uint16_t>(100 * 257), static_cast<uint16_t>(100 * 257)};
    pixman_image_t* src = pixman_image_create_solid_fill(&colour);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, destination.data(), kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_PixmanOverSolid);
#endif

// ---------------------------------------------------------------------------
// Decoding a skin image.

// The largest image of the VGA default skin that every table uses.
std::vector<uint8_t> SkinPng() {
    std::filesystem::path path = std::filesystem::path(__FILE__).parent_path().parent_path() / "assets" /
                                 "skins" / "Default_VGA" / "switch_active_wifi_large.png";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The same picture as a 32-bit top-down TGA, uncompressed or run-length
// encoded (runs of equal pixels, raw packets otherwise, cut at row ends).
std::vector<uint8_t> SkinTga(bool rle) {
    plat::ArgbImage argb;
    if (plat::DecodePng(SkinPng(), &argb) != plat::ImagingResult::kOk) return {};
    std::vector<uint8_t> out(18, 0);
    out[2] = rle ? 10 : 2;
    out[12] = argb.width & 0xFF;
    out[13] = argb.width >> 8;
    out[14] = argb.height & 0xFF;
    out[15] = argb.height >> 8;
    out[16] = 32;
    out[17] = 0x20;
    auto pixel = [&](uint32_t x, uint32_t y) { return argb.pixels.data() + (std::size_t{y} * argb.width + x) * 4; };
    for (uint32_t y = 0; y < argb.height; ++y) {
        uint32_t x = 0;
        while (x < argb.width) {
            if (!rle) {
                out.insert(out.end(), pixel(x, y), pixel(x, y) + 4);
                ++x;
                continue;
            }
            uint32_t run = 1;
            while (x + run < argb.width && run < 128 && std::memcmp(pixel(x, y), pixel(x + run, y), 4) == 0) ++run;
            if (run > 1) {
                out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
                out.insert(out.end(), pixel(x, y), pixel(x, y) + 4);
            } else {
                uint32_t raw = 1;
                while (x + raw < argb.width && raw < 128 &&
                       std::memcmp(pixel(x + raw - 1, y), pixel(x + raw, y), 4) != 0)
                    ++raw;
                out.push_back(static_cast<uint8_t>(raw - 1));
                out.insert(out.end(), pixel(x, y), pixel(x + raw - 1, y) + 4);
                run = raw;
            }
            x += run;
        }
    }
    return out;
}

void DecodeTgaBench(benchmark::State& state, bool rle) {
    std::vector<uint8_t> tga = SkinTga(rle);
    tlw::RgbaImage image;
    if (tlw::DecodeTga(tga.data(), tga.size(), &image) != tlw::TgaStatus::kOk) {
        state.SkipWithError("cannot make the TGA");
        return;
    }
    int64_t pixels = int64_t{image.width} * image.height;
    for (auto _ : state) benchmark::DoNotOptimize(tlw::DecodeTga(tga.data(), tga.size(), &image));
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(tga.size()));
}

void BM_DecodeTgaSkinImage(benchmark::State& state) { DecodeTgaBench(state, false); }
BENCHMARK(BM_DecodeTgaSkinImage);

void BM_DecodeTgaRleSkinImage(benchmark::State& state) { DecodeTgaBench(state, true); }
BENCHMARK(BM_DecodeTgaRleSkinImage);

void BM_DecodePngSkinImage(benchmark::State& state) {
    std::vector<uint8_t> png = SkinPng();
    tlw::StartImaging();
    tlw::RgbaImage image;
    if (tlw::LoadPngFromMemory(&image, png) != tlw::kImageOk) {
        state.SkipWithError("cannot decode the skin image");
        return;
    }
    int64_t pixels = int64_t{image.width} * image.height;
    for (auto _ : state) benchmark::DoNotOptimize(tlw::LoadPngFromMemory(&image, png));
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(png.size()));
    tlw::StopImaging();
}
BENCHMARK(BM_DecodePngSkinImage);

}  // namespace

BENCHMARK_MAIN();
