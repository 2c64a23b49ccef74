#include "common/graphics/screen_scale.h"

#include <cstdlib>
#include <mutex>

#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

// The scale of this process: read once from the platform at first use.
struct ScreenScaleState {
    std::mutex lock;           // guards the fields below
    bool initialised = false;  // dpi and flag have been read
    int dpiX = 96;             // logical dots per inch, horizontal
    int dpiY = 96;             // logical dots per inch, vertical
    bool forceDouble = false;  // every length is doubled, whatever the dpi
};

ScreenScaleState& State() {
    static ScreenScaleState state;
    return state;
}

// Below this horizontal dpi, keep-small lengths are not scaled.
constexpr int kKeepSmallBelowDpi = 136;

// The values in force, read from the platform first when needed.
struct ScaleValues {
    int dpiX;          // horizontal dots per inch
    int dpiY;          // vertical dots per inch
    bool forceDouble;  // every length doubled
};

ScaleValues Initialised(bool forceDouble) {
    ScreenScaleState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.initialised) {
        s.initialised = true;
        s.dpiX = plat::GetScreenDpiX();
        s.dpiY = plat::GetScreenDpiY();
        // A platform without a sensible answer counts as a 96-dpi screen.
        if (s.dpiX <= 0) s.dpiX = 96;
        if (s.dpiY <= 0) s.dpiY = 96;
        s.forceDouble = forceDouble;
    }
    return {s.dpiX, s.dpiY, s.forceDouble};
}

}  // namespace

void InitScreenScale(bool forceDouble) { Initialised(forceDouble); }

void ResetScreenScale() {
    ScreenScaleState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.initialised = false;
}

int ScaleLength(int v, int dpi, bool forceDouble, bool keepSmall) {
    if (forceDouble) return v * 2;
    if (keepSmall && dpi < kKeepSmallBelowDpi) return v;
    long long magnitude = std::llabs(static_cast<long long>(v));
    long long scaled = (magnitude * dpi + 48) / 96;
    return static_cast<int>(v < 0 ? -scaled : scaled);
}

int ScaleX(int v, bool keepSmall) {
    ScaleValues s = Initialised(false);
    return ScaleLength(v, s.dpiX, s.forceDouble, keepSmall);
}

int ScaleY(int v, bool keepSmall) {
    ScaleValues s = Initialised(false);
    return ScaleLength(v, s.dpiY, s.forceDouble, keepSmall);
}

int ScreenDpiX() { return Initialised(false).dpiX; }
int ScreenDpiY() { return Initialised(false).dpiY; }

ResolutionClass GetResolutionClass() {
    return ScaleX(1, false) == 1 ? ResolutionClass::kQvga : ResolutionClass::kVga;
}

bool IsHighResolution() { return GetResolutionClass() == ResolutionClass::kVga; }

}  // namespace tlw
