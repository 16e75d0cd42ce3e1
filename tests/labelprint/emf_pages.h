// Test pages recorded through the preview surface: one label with a background, a frame and two
// texts at known device positions, and a run of several such pages.
#pragma once

#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>

namespace labelprint::testpages {

inline const QRect kLabel(100, 50, 200, 70); // device units, right/bottom exclusive
inline const QColor kBackground(255, 240, 160);
inline const QColor kFrame(0, 0, 200);
inline const QColor kTextColour(0, 0, 0);
inline const QColor kCentreColour(220, 0, 0);
inline const QPoint kLeftText(110, 58);
inline const QPoint kCentreText(200, 90);

settings::FontDescription testFont(int pointSize = 12);
// Draws the label on the surface's current page; `text` goes top-left, "MID" top-centre.
void drawLabel(PreviewSurface& surface, const QString& text);
// A finished run of `pages` pages into the document, each with its own text "Page n".
void recordRun(PreviewDocument& document, int pages);
QByteArray recordPage(const QString& text);
QImage play(const QByteArray& page, double scale = 1.0);
// Smallest rectangle holding every pixel of `colour` (give or take `tolerance` per channel)
// inside `area`.
QRect colourBox(const QImage& image, const QColor& colour, const QRect& area, int tolerance = 60);

} // namespace labelprint::testpages
