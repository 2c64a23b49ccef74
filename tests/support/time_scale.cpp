#include "support/time_scale.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

double TimeScale() {
    static const double scale = [] {
        const char* text = std::getenv("TLW_TIME_SCALE");
        if (!text || !*text) return 1.0;
        char* end = nullptr;
        double value = std::strtod(text, &end);
        if (*end != 0 || !(value >= 1.0) || value > 1000.0) {
            std::fprintf(stderr, "TLW_TIME_SCALE=%s is not a number from 1 to 1000: deadlines are not scaled\n", text);
            return 1.0;
        }
        return value;
    }();
    return scale;
}

int ScaledMs(int milliseconds) {
    double scaled = milliseconds * TimeScale();
    return scaled >= INT_MAX ? INT_MAX : static_cast<int>(scaled);
}
