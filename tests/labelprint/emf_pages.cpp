#include "emf_pages.h"

#include "labelprint/emfplayer.h"

#include <QPainter>
#include <cstdlib>

namespace labelprint::testpages {

settings::FontDescription testFont(int pointSize) {
    settings::FontDescription f;
    f.face = QStringLiteral("DejaVu Sans");
    f.height = -(pointSize * 96 + 36) / 72;
    return f;
}

void drawLabel(PreviewSurface& surface, const QString& text) {
    surface.fillRect(kLabel, kBackground);
    surface.selectFont(testFont());
    surface.drawText(kLeftText, TextAnchor::TopLeft, text, kTextColour);
    surface.drawText(kCentreText, TextAnchor::TopCentre, QStringLiteral("MID"), kCentreColour);
    const QRect& r = kLabel;
    surface.fillRect(QRect(r.left(), r.top(), r.width(), 1), kFrame);
    surface.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), kFrame);
    surface.fillRect(QRect(r.left(), r.top(), 1, r.height()), kFrame);
    surface.fillRect(QRect(r.right(), r.top(), 1, r.height()), kFrame);
}

void recordRun(PreviewDocument& document, int pages) {
    PreviewSurface surface(document);
    surface.beginDocument();
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) {
            surface.finishPage();
        }
        surface.beginPage();
        drawLabel(surface, QStringLiteral("Page %1").arg(p));
    }
    surface.finishPage();
    surface.endDocument();
}

QByteArray recordPage(const QString& text) {
    PreviewDocument document;
    PreviewSurface surface(document);
    surface.beginDocument();
    surface.beginPage();
    drawLabel(surface, text);
    surface.endDocument();
    return document.pageDrawing(1).value();
}

QImage play(const QByteArray& page, double scale) {
    const QSize size(int(794 * scale), int(1123 * scale));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    emf::playEmf(page, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QRect colourBox(const QImage& image, const QColor& colour, const QRect& area, int tolerance) {
    QRect box;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

} // namespace labelprint::testpages
