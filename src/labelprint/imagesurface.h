// A page surface painting into an image at a chosen resolution, with the drawing code the print
// uses: for samples drawn to scale and for checking what a reader makes of a symbol.
#pragma once

#include "labelprint/pagesurface.h"

#include <QImage>
#include <QPainter>

namespace labelprint {

class ImageSurface : public PageSurface {
  public:
    // Paints into `image` until the surface is gone; no smoothing of edges, as on a printer.
    ImageSurface(QImage& image, int dpi);

    int dpiX() const override { return dpi_; }
    int dpiY() const override { return dpi_; }
    double originLeft() const override { return 0; }
    double originTop() const override { return 0; }
    double paperWidth() const override;
    double paperLength() const override;
    bool beginDocument() override { return true; }
    void beginPage() override {}
    void finishPage() override {}
    void endDocument() override {}
    void abortDocument() override {}
    void fillRect(const QRect& rect, const QColor& colour) override;
    void selectFont(const settings::FontDescription& font) override;
    void selectFontAt(const settings::FontDescription& font, int size) override;
    int textCellHeight(const QString& text) override;
    void drawText(QPoint at, TextAnchor anchor, const QString& text, const QColor& colour) override;

  private:
    QPainter painter_;
    int dpi_;
    QSize size_;
};

} // namespace labelprint
