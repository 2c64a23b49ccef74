#include "common/graphics/rounded_rect.h"

#include <algorithm>
#include <cmath>

#include "common/graphics/dib_surface.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

inline void Put(uint8_t* p, Colour c) {
    p[0] = ColourBlue(c);
    p[1] = ColourGreen(c);
    p[2] = ColourRed(c);
}

inline Colour Get(const uint8_t* p) { return MakeColour(p[2], p[1], p[0]); }

// The body colour of a row: gloss at the top, a shade on the last body row.
Colour BodyColourOfRow(int32_t row, int32_t height, Colour body, bool highlight) {
    if (!highlight) return body;
    constexpr Colour kWhite = MakeColour(255, 255, 255);
    constexpr Colour kBlack = MakeColour(0, 0, 0);
    if (row == height - 2 && height > 3) return BlendColour(body, kBlack, kShadeAlpha);
    if (row == 1) return BlendColour(kWhite, body, kHighlightEdgeAlpha);
    if (row < height / 2) return BlendColour(kWhite, body, kHighlightBandAlpha);
    return body;
}

// The alpha of the border colour for a pixel whose centre lies `distance`
// pixels from the corner curve; 0 beyond the last band.
uint8_t EdgeAlpha(double distance) {
    int band = static_cast<int>(distance / 0.4);
    return band < 4 ? kCornerEdgeAlphas[band] : 0;
}

}  // namespace

bool DrawRoundedRect(plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, Colour body,
                     Colour border, bool highlight) {
    if (width <= 0 || height <= 0) return true;
    // Work on the whole rectangle: the corners depend on its full size. The
    // platform's copies clip whatever lies outside the device context.
    DibSurface surface;
    if (!CreateDibSurface(&surface, static_cast<uint32_t>(width), static_cast<uint32_t>(height), true)) return false;
    bool ok = CaptureDcArea(&surface, hdc, x, y);
    if (ok) {
        const int32_t radius = std::min({kRoundedCornerPixels, width / 2, height / 2});
        const double curve = radius - 0.5;  // the border line's centre in the corners
        for (int32_t row = 0; row < height; ++row) {
            uint8_t* p = DibSurfaceRow(surface, static_cast<uint32_t>(row));
            const Colour rowBody = BodyColourOfRow(row, height, body, highlight);
            const bool edgeRow = row == 0 || row == height - 1;
            const bool cornerRow = row < radius || row >= height - radius;
            for (int32_t col = 0; col < width; ++col, p += 3) {
                const bool cornerColumn = col < radius || col >= width - radius;
                if (cornerRow && cornerColumn) {
                    double cx = col < radius ? radius : width - radius;
                    double cy = row < radius ? radius : height - radius;
                    double e = std::hypot(col + 0.5 - cx, row + 0.5 - cy) - curve;
                    Colour base = e < 0 ? rowBody : Get(p);
                    uint8_t a = EdgeAlpha(std::fabs(e));
                    if (e >= 0 && a == 0) continue;  // outside the curve: the background stays
                    Put(p, a == 0 ? base : BlendColour(border, base, a));
                } else if (edgeRow || col == 0 || col == width - 1) {
                    Put(p, border);
                } else {
                    Put(p, rowBody);
                }
            }
        }
        ok = WriteDcArea(surface, hdc, x, y);
    }
    FreeDibSurface(&surface);
    return ok;
}

}  // namespace tlw
