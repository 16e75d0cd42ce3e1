// Maps report positions (0.1 mm from the paper's edge) onto a page surface's device units.
#pragma once

#include "labelprint/pagesurface.h"
#include "labelprint/units.h"

#include <algorithm>

namespace labelprint {

// Device positions stay within this many units of the origin: kilometres beyond any sheet at
// any resolution, and small enough that sums and differences of positions and sizes fit an
// int. Whatever lies that far off the paper prints nothing either way.
inline constexpr int kDeviceLimit = 1 << 28;

struct DeviceMap {
    int dpiX = 96;
    int dpiY = 96;
    double originLeft = 0;
    double originTop = 0;

    static DeviceMap of(const PageSurface& surface) {
        return {surface.dpiX(), surface.dpiY(), surface.originLeft(), surface.originTop()};
    }
    int x(double tenthsMm) const {
        return limit(nearest((tenthsMm - originLeft) * dpiX / kTenthsPerInch));
    }
    int y(double tenthsMm) const {
        return limit(nearest((tenthsMm - originTop) * dpiY / kTenthsPerInch));
    }
    static int limit(int device) { return std::clamp(device, -kDeviceLimit, kDeviceLimit); }
};

} // namespace labelprint
