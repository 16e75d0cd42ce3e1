#include "labelprint/alignmentpage.h"

#include "labelprint/devicemap.h"
#include "labelprint/pagesurface.h"

#include <algorithm>

namespace labelprint {
namespace {

constexpr double kCrossArm = 30; // 3 mm on each side of the corner

} // namespace

RunResult printAlignmentPage(LabelReport& report, PageSurface& surface) {
    if (report.inRun()) {
        return {RunStatus::Refused, 0, 0, {}, {}};
    }
    report.resetMarginsWithoutRoom();
    if (!surface.beginDocument()) {
        return {RunStatus::NoOutput, 0, 0, {}, {}};
    }
    const std::vector<QPoint> positions = report.pagePositions(surface.paperLength());
    surface.beginPage();
    const DeviceMap map = DeviceMap::of(surface);
    // Hairlines a printer still shows: a quarter of a point, at least one device unit.
    const int tx = std::max(1, nearest(surface.dpiX() / 288.0));
    const int ty = std::max(1, nearest(surface.dpiY() / 288.0));
    const double w = report.drawnWidth();
    const double h = report.drawnHeight();
    const QColor outline(Qt::black);
    for (const QPoint& p : positions) {
        const int left = map.x(p.x());
        const int top = map.y(p.y());
        const int right = map.x(p.x() + w);
        const int bottom = map.y(p.y() + h);
        surface.fillRect(QRect(left, top, right - left, ty), outline);
        surface.fillRect(QRect(left, bottom - ty, right - left, ty), outline);
        surface.fillRect(QRect(left, top, tx, bottom - top), outline);
        surface.fillRect(QRect(right - tx, top, tx, bottom - top), outline);
        // The cross is centred on the corner, so half of it lies outside the label.
        const int armX0 = map.x(p.x() - kCrossArm);
        const int armX1 = map.x(p.x() + kCrossArm);
        const int armY0 = map.y(p.y() - kCrossArm);
        const int armY1 = map.y(p.y() + kCrossArm);
        surface.fillRect(QRect(armX0, top - ty / 2, armX1 - armX0, std::max(1, ty)), outline);
        surface.fillRect(QRect(left - tx / 2, armY0, std::max(1, tx), armY1 - armY0), outline);
    }
    surface.finishPage();
    surface.endDocument();
    return {RunStatus::Finished, 1, int(positions.size()), {}, {}};
}

} // namespace labelprint
