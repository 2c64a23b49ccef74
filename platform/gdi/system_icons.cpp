// The system icons, drawn from distance functions in a 32-unit design square
// and rendered at the asked size with anti-aliased edges and real alpha.
#include "platform/gdi/system_icons.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/gdi/gdi.h"

namespace plat {
namespace {

constexpr double kDesign = 32.0;  // the side of the design square, in units
constexpr double kPi = 3.14159265358979323846;

// A shape: the signed distance of a design point to its edge, negative inside.
using Shape = std::function<double(double x, double y)>;

Shape Disc(double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

// A stroke from (x0, y0) to (x1, y1) with round ends.
Shape Stroke(double x0, double y0, double x1, double y1, double width) {
    return [=](double x, double y) {
        double dx = x1 - x0, dy = y1 - y0;
        double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - width / 2;
    };
}

// A stroke along the circle around (cx, cy) from angle `from` clockwise (on
// the screen, y down) to `to`, in degrees, with round ends.
Shape Arc(double cx, double cy, double r, double from, double to, double width) {
    return [=](double x, double y) {
        double a = std::atan2(y - cy, x - cx) * 180.0 / kPi;
        while (a < from) a += 360.0;
        if (a <= to) return std::abs(std::hypot(x - cx, y - cy) - r) - width / 2;
        auto end = [&](double deg) {
            double rad = deg * kPi / 180.0;
            return std::hypot(x - (cx + r * std::cos(rad)), y - (cy + r * std::sin(rad)));
        };
        return std::min(end(from), end(to)) - width / 2;
    };
}

// A triangle with corners rounded by r (corners given clockwise on the screen).
Shape Triangle(double ax, double ay, double bx, double by, double cx, double cy, double r) {
    return [=](double x, double y) {
        const double px[3] = {ax, bx, cx}, py[3] = {ay, by, cy};
        double nearest = 1e9;
        bool inside = true;
        for (int i = 0; i < 3; ++i) {
            int j = (i + 1) % 3;
            double ex = px[j] - px[i], ey = py[j] - py[i];
            double t = std::clamp(((x - px[i]) * ex + (y - py[i]) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
            nearest = std::min(nearest, std::hypot(x - (px[i] + t * ex), y - (py[i] + t * ey)));
            // Clockwise on the screen: inside lies right of every edge.
            if (ex * (y - py[i]) - ey * (x - px[i]) < 0) inside = false;
        }
        return (inside ? -nearest : nearest) - r;
    };
}

Shape Union(std::vector<Shape> parts) {
    return [parts = std::move(parts)](double x, double y) {
        double d = 1e9;
        for (const Shape& s : parts) d = std::min(d, s(x, y));
        return d;
    };
}

// One coloured layer of an icon, painted over the layers before it.
struct Layer {
    Shape shape;
    ColorRef colour;
};

// The layers of each icon, bottom first: a dark rim, the body, the sign.
std::vector<Layer> Layers(SystemIcon which) {
    switch (which) {
    case SystemIcon::kStop:
        return {{Disc(16, 16, 15), Rgb(140, 10, 10)},
                {Disc(16, 16, 13.8), Rgb(214, 40, 36)},
                {Union({Stroke(10.8, 10.8, 21.2, 21.2, 3.8), Stroke(21.2, 10.8, 10.8, 21.2, 3.8)}), Rgb(255, 255, 255)}};
    case SystemIcon::kQuestion:
        return {{Disc(16, 16, 15), Rgb(12, 52, 140)},
                {Disc(16, 16, 13.8), Rgb(40, 100, 210)},
                {Union({Arc(16, 12.2, 4.6, 195, 420, 3.4), Stroke(18.3, 16.2, 16, 18.8, 3.4), Stroke(16, 18.8, 16, 19.6, 3.4),
                        Disc(16, 24.2, 2.1)}),
                 Rgb(255, 255, 255)}};
    case SystemIcon::kExclamation:
        return {{Triangle(16, 2.2, 30.6, 28.6, 1.4, 28.6, 1.6), Rgb(130, 96, 0)},
                {Triangle(16, 4.6, 28.4, 27.2, 3.6, 27.2, 1.0), Rgb(250, 204, 40)},
                {Union({Stroke(16, 11.4, 16, 19.4, 3.4), Disc(16, 23.6, 2.0)}), Rgb(0, 0, 0)}};
    case SystemIcon::kInformation:
    default:
        return {{Disc(16, 16, 15), Rgb(12, 52, 140)},
                {Disc(16, 16, 13.8), Rgb(40, 100, 210)},
                {Union({Disc(16, 9.4, 2.2), Stroke(16, 14.2, 16, 23.8, 3.8)}), Rgb(255, 255, 255)}};
    }
}

}  // namespace

HIcon LoadSystemIcon(SystemIcon which, int32_t size) {
    if (size < 1 || size > 256) return HIcon{};
    std::vector<Layer> layers = Layers(which);
    DibHeader header;
    header.width = size;
    header.height = -size;
    header.bitCount = 32;
    uint8_t* bits = nullptr;
    HBitmap colour = CreateDibSection(Hdc{}, header, &bits);
    HBitmap mask = CreateBitmap(size, size, 1, 1, nullptr);
    if (!colour || !mask || !bits) {
        if (colour) DeleteObject(colour);
        if (mask) DeleteObject(mask);
        return HIcon{};
    }
    const double unitsPerPixel = kDesign / size;
    const int32_t stride = DibStride(size, 32);
    Hdc maskDc = CreateCompatibleDC(Hdc{});
    HBitmap oldMask = SelectObject(maskDc, mask);
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            double ux = (x + 0.5) * unitsPerPixel, uy = (y + 0.5) * unitsPerPixel;
            // Each layer covers the pixel by how far inside its edge the
            // pixel's centre lies, one pixel of blur across the edge.
            double r = 0, g = 0, b = 0, a = 0;
            for (const Layer& layer : layers) {
                double cover = std::clamp(0.5 - layer.shape(ux, uy) / unitsPerPixel, 0.0, 1.0);
                if (cover <= 0) continue;
                double out = cover + a * (1 - cover);
                auto over = [&](double top, double under) { return (top * cover + under * a * (1 - cover)) / out; };
                r = over(RedOf(layer.colour), r);
                g = over(GreenOf(layer.colour), g);
                b = over(BlueOf(layer.colour), b);
                a = out;
            }
            uint8_t* p = bits + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4;
            p[0] = static_cast<uint8_t>(std::lround(b));
            p[1] = static_cast<uint8_t>(std::lround(g));
            p[2] = static_cast<uint8_t>(std::lround(r));
            p[3] = static_cast<uint8_t>(std::lround(a * 255));
            // The mask is white (see-through) where nothing covers the pixel.
            SetPixel(maskDc, x, y, p[3] == 0 ? Rgb(255, 255, 255) : Rgb(0, 0, 0));
        }
    }
    SelectObject(maskDc, oldMask);
    DeleteDC(maskDc);
    IconInfo info;
    info.mask = mask;
    info.color = colour;
    HIcon icon = CreateIconIndirect(info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

}  // namespace plat
