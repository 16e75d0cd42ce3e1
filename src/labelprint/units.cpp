#include "labelprint/units.h"

#include <cmath>

namespace labelprint {

int nearest(double v) {
    const double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5) {
        return int(r) + 1;
    }
    if (diff < 0.5) {
        return int(r);
    }
    return std::fmod(r, 2.0) == 0.0 ? int(r) : int(r) + 1;
}

int lengthToDevice(double tenthsMm, int dpi) { return nearest(tenthsMm * dpi / 254.0); }

double deviceToLength(double device, int dpi) { return device * 254.0 / dpi; }

} // namespace labelprint
