// Maps report positions (0.1 mm from the paper's edge) onto a page surface's device units.
#pragma once

#include "labelprint/pagesurface.h"
#include "labelprint/units.h"

namespace labelprint {

struct DeviceMap {
    int dpiX = 96;
    int dpiY = 96;
    double originLeft = 0;
    double originTop = 0;

    static DeviceMap of(const PageSurface& surface) {
        return {surface.dpiX(), surface.dpiY(), surface.originLeft(), surface.originTop()};
    }
    int x(double tenthsMm) const { return nearest((tenthsMm - originLeft) * dpiX / kTenthsPerInch); }
    int y(double tenthsMm) const { return nearest((tenthsMm - originTop) * dpiY / kTenthsPerInch); }
};

} // namespace labelprint
