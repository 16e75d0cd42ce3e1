#include "labelprint/units.h"

#include <cmath>
#include <limits>

namespace labelprint {

int nearest(double v) {
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (std::isnan(v)) {
        return 0;
    }
    double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) {
        r += 1.0;
    }
    if (r <= lo) {
        return std::numeric_limits<int>::min();
    }
    if (r >= hi) {
        return std::numeric_limits<int>::max();
    }
    return int(r);
}

int lengthToDevice(double tenthsMm, int dpi) {
    return nearest(tenthsMm * dpi / kTenthsPerInch);
}

double deviceToLength(double device, int dpi) {
    return device * kTenthsPerInch / dpi;
}

double snapToGrid(double tenthsMm, int dpi) {
    return double(lengthToDevice(tenthsMm, dpi)) * kTenthsPerInch / dpi;
}

} // namespace labelprint
