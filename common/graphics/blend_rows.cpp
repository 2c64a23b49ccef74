#include "common/graphics/blend_rows.h"

// The image kernel is built once for every instruction set Highway targets
// and picks the best the processor has at run time: this file is compiled
// again for each of them (HWY_TARGET_INCLUDE).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "common/graphics/blend_rows.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include <algorithm>
#include <cstring>

#include "common/graphics/blend.h"

HWY_BEFORE_NAMESPACE();
namespace tlw {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// Without vectors the caller blends every pixel one at a time.
size_t ImageVectors(uint8_t*, uint32_t, const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t) {
    return 0;
}
#else
// BlendChannel on one vector of bytes, in 16-bit lanes: s*a + d*(255-a) + 128
// is at most 65153 and t + (t >> 8) at most 65407, so nothing overflows.
template <class D8, class V8 = hn::Vec<D8>>
HWY_INLINE V8 MixVectors(D8 d8, V8 source, V8 destination, V8 alpha) {
    const hn::Half<D8> half;
    const hn::Rebind<uint16_t, decltype(half)> d16;
    const hn::Rebind<int16_t, decltype(half)> i16;
    const auto k255 = hn::Set(d16, 255);
    const auto k128 = hn::Set(d16, 128);
    auto mix = [&](auto s8, auto d8h, auto a8) {
        const auto s = hn::PromoteTo(d16, s8), d = hn::PromoteTo(d16, d8h), a = hn::PromoteTo(d16, a8);
        const auto t = hn::Add(hn::Add(hn::Mul(s, a), hn::Mul(d, hn::Sub(k255, a))), k128);
        return hn::DemoteTo(half, hn::BitCast(i16, hn::ShiftRight<8>(hn::Add(t, hn::ShiftRight<8>(t)))));
    };
    const auto lower = mix(hn::LowerHalf(half, source), hn::LowerHalf(half, destination), hn::LowerHalf(half, alpha));
    const auto upper = mix(hn::UpperHalf(half, source), hn::UpperHalf(half, destination), hn::UpperHalf(half, alpha));
    return hn::Combine(d8, upper, lower);
}

// Whole vectors of pixels from pixel `from` on, with the vectors of d8;
// returns the first pixel not blended.
template <class D8>
HWY_INLINE size_t ImageVectorsOf(D8 d8, uint8_t* HWY_RESTRICT destination, uint32_t pixelBytes,
                                 const uint8_t* HWY_RESTRICT red, const uint8_t* HWY_RESTRICT green,
                                 const uint8_t* HWY_RESTRICT blue, const uint8_t* HWY_RESTRICT alpha, size_t from,
                                 size_t count) {
    const size_t lanes = hn::Lanes(d8);
    size_t i = from;
    if (pixelBytes == 3) {
        for (; i + lanes <= count; i += lanes) {
            hn::Vec<D8> b, g, r;
            hn::LoadInterleaved3(d8, destination + 3 * i, b, g, r);
            const auto a = hn::LoadU(d8, alpha + i);
            b = MixVectors(d8, hn::LoadU(d8, blue + i), b, a);
            g = MixVectors(d8, hn::LoadU(d8, green + i), g, a);
            r = MixVectors(d8, hn::LoadU(d8, red + i), r, a);
            hn::StoreInterleaved3(b, g, r, d8, destination + 3 * i);
        }
        return i;
    }
    const auto zero = hn::Zero(d8);
    for (; i + lanes <= count; i += lanes) {
        hn::Vec<D8> b, g, r, x;
        hn::LoadInterleaved4(d8, destination + 4 * i, b, g, r, x);
        const auto a = hn::LoadU(d8, alpha + i);
        b = MixVectors(d8, hn::LoadU(d8, blue + i), b, a);
        g = MixVectors(d8, hn::LoadU(d8, green + i), g, a);
        r = MixVectors(d8, hn::LoadU(d8, red + i), r, a);
        hn::StoreInterleaved4(b, g, r, zero, d8, destination + 4 * i);
    }
    return i;
}

// The widest vectors first, then 16-byte ones for what is left (short runs,
// such as the rows of a small repeated image, rarely fill a wide vector);
// returns how many pixels it blended, the rest (fewer than 16) is left to
// the caller.
size_t ImageVectors(uint8_t* HWY_RESTRICT destination, uint32_t pixelBytes, const uint8_t* HWY_RESTRICT red,
                    const uint8_t* HWY_RESTRICT green, const uint8_t* HWY_RESTRICT blue,
                    const uint8_t* HWY_RESTRICT alpha, size_t count) {
    const hn::ScalableTag<uint8_t> wide;
    size_t done = ImageVectorsOf(wide, destination, pixelBytes, red, green, blue, alpha, 0, count);
    if (hn::Lanes(wide) > 16) {
        const hn::CappedTag<uint8_t, 16> narrow;
        done = ImageVectorsOf(narrow, destination, pixelBytes, red, green, blue, alpha, done, count);
    }
    return done;
}
#endif

}  // namespace HWY_NAMESPACE
}  // namespace tlw
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tlw {
namespace {

// The solid and same-alpha kernels: the source laid out byte for byte like
// the destination (channel values and alphas), blended in one plain loop
// over the bytes that the compiler vectorises; a step's buffers stay in the
// first-level cache.
constexpr uint32_t kStep = kBlendStep;

// BlendChannel on runs of bytes, in 16-bit arithmetic: s*a + d*(255-a) + 128
// is at most 65153 and t + (t >> 8) at most 65407, so nothing overflows.
// Built for the baseline and, where the processor has it, for AVX2. The
// clones' resolver runs while the program is being loaded, before the thread
// checker of a ThreadSanitizer build is set up, and would crash there: that
// build has the baseline loop alone.
#if defined(__SANITIZE_THREAD__)
#define TLW_MIX_BYTES_CLONES
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TLW_MIX_BYTES_CLONES
#endif
#endif
#ifndef TLW_MIX_BYTES_CLONES
#define TLW_MIX_BYTES_CLONES [[gnu::target_clones("avx2", "default")]]
#endif
TLW_MIX_BYTES_CLONES
void MixBytes(uint8_t* __restrict destination, const uint8_t* __restrict source,
              const uint8_t* __restrict alpha, uint32_t count) {
    for (uint32_t k = 0; k < count; ++k) {
        const uint16_t a = alpha[k];
        const uint16_t t = static_cast<uint16_t>(source[k] * a + destination[k] * (255 - a) + 128);
        destination[k] = static_cast<uint8_t>((t + (t >> 8)) >> 8);
    }
}

HWY_EXPORT(ImageVectors);

}  // namespace

void BlendImageRow(uint8_t* destination, uint32_t pixelBytes, const uint8_t* red, const uint8_t* green,
                   const uint8_t* blue, const uint8_t* alpha, uint32_t count) {
    const size_t done =
        HWY_DYNAMIC_DISPATCH(ImageVectors)(destination, pixelBytes, red, green, blue, alpha, count);
    for (size_t i = done; i < count; ++i) {
        uint8_t* p = destination + i * pixelBytes;
        p[0] = BlendChannel(blue[i], p[0], alpha[i]);
        p[1] = BlendChannel(green[i], p[1], alpha[i]);
        p[2] = BlendChannel(red[i], p[2], alpha[i]);
        if (pixelBytes == 4) p[3] = 0;
    }
}

void PrepareSolidSource(SolidSource* solid, uint32_t pixelBytes, uint8_t red, uint8_t green, uint8_t blue,
                        uint8_t alpha) {
    const uint8_t channels[4] = {blue, green, red, 0};
    const uint8_t alphas[4] = {alpha, alpha, alpha, 255};
    solid->pixelBytes = pixelBytes;
    for (uint32_t i = 0; i < kStep; ++i)
        for (uint32_t c = 0; c < pixelBytes; ++c) {
            solid->source[i * pixelBytes + c] = channels[c];
            solid->alpha[i * pixelBytes + c] = alphas[c];
        }
}

void BlendSolidRow(uint8_t* destination, const SolidSource& solid, uint32_t count) {
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(kStep, count - done);
        MixBytes(destination + std::size_t{done} * solid.pixelBytes, solid.source, solid.alpha, n * solid.pixelBytes);
        done += n;
    }
}

void BlendBgrRow(uint8_t* destination, const SolidSource& solid, const uint8_t* source, uint32_t count) {
    alignas(32) uint8_t spread[kStep * 4];
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(kStep, count - done);
        const uint8_t* from = source + std::size_t{done} * 3;
        if (solid.pixelBytes == 3) {
            MixBytes(destination + std::size_t{done} * 3, from, solid.alpha, n * 3);
        } else {
            for (uint32_t i = 0; i < n; ++i) {
                spread[4 * i] = from[3 * i];
                spread[4 * i + 1] = from[3 * i + 1];
                spread[4 * i + 2] = from[3 * i + 2];
                spread[4 * i + 3] = 0;
            }
            MixBytes(destination + std::size_t{done} * 4, spread, solid.alpha, n * 4);
        }
        done += n;
    }
}

}  // namespace tlw

#endif  // HWY_ONCE
