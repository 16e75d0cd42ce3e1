#include "labelprint/imagesurface.h"

#include "labelprint/slotfont.h"

#include <algorithm>
#include <cmath>

namespace labelprint {

ImageSurface::ImageSurface(QImage& image, int dpi)
    : painter_(&image), dpi_(dpi), size_(image.size()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

double ImageSurface::paperWidth() const {
    return size_.width() * 254.0 / dpi_;
}

double ImageSurface::paperLength() const {
    return size_.height() * 254.0 / dpi_;
}

void ImageSurface::fillRect(const QRect& rect, const QColor& colour) {
    painter_.fillRect(rect, colour);
}

void ImageSurface::selectFont(const settings::FontDescription& font) {
    selectFontAt(font, font.pointSize() * 10);
}

void ImageSurface::selectFontAt(const settings::FontDescription& font, int size) {
    QFont f = toQFont(font);
    f.setPixelSize(std::max(1, int(std::lround(size / 10.0 * dpi_ / 72.0))));
    painter_.setFont(f);
}

int ImageSurface::textCellHeight(const QString& /*text*/) {
    return painter_.fontMetrics().height();
}

void ImageSurface::drawText(QPoint at, TextAnchor anchor, const QString& text,
                            const QColor& colour) {
    const QFontMetrics m = painter_.fontMetrics();
    const int w = m.horizontalAdvance(text);
    const int x = anchor == TextAnchor::TopCentre ? at.x() - w / 2 : at.x();
    painter_.setPen(colour);
    painter_.drawText(QPoint(x, at.y() + m.ascent()), text);
}

} // namespace labelprint
