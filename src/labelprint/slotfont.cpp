#include "labelprint/slotfont.h"

#include "labelprint/units.h"
#include "platform/designdpi.h"

#include <QFontMetrics>
#include <QImage>
#include <algorithm>

namespace labelprint {

QFont toQFont(const settings::FontDescription& font) {
    QFont f(font.face);
    // A height of 0 has no point size of its own; the smallest legible one stands in.
    f.setPointSize(std::max(1, font.pointSize()));
    f.setBold((font.style & settings::Bold) != 0);
    f.setItalic((font.style & settings::Italic) != 0);
    f.setUnderline((font.style & settings::Underline) != 0);
    f.setStrikeOut((font.style & settings::StrikeOut) != 0);
    return f;
}

int designCellHeight(const settings::FontDescription& font) {
    const int r = platform::designDpi();
    // A 1x1 image is the cheapest paint device that reports a chosen resolution.
    QImage grid(1, 1, QImage::Format_ARGB32);
    // 10000 tenths of a millimetre make a metre.
    const int dotsPerMetre = int(r * 10000 / kTenthsPerInch + 0.5);
    grid.setDotsPerMeterX(dotsPerMetre);
    grid.setDotsPerMeterY(dotsPerMetre);
    return QFontMetrics(toQFont(font), &grid).height();
}

} // namespace labelprint
