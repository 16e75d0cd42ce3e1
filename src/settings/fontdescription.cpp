#include "settings/fontdescription.h"

#include <algorithm>
#include <cmath>

namespace settings {

void FontDescription::setFace(const QString& name) {
    if (!name.isEmpty()) {
        face = name.left(kMaxFaceLength);
    }
}

int FontDescription::pointSize() const {
    const double points = std::abs(double(height)) * 72.0 / 96.0;
    return int(std::nearbyint(std::min(points, double(kMaxPointSize))));
}

} // namespace settings
