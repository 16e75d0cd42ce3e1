// The target of a layout run: a preview surface that records EMF pages, a printer surface that
// paints on a QPrinter, or a recording surface in tests. The layout run and the label face talk
// to nothing else, so preview, print and batch output come from the same code.
#pragma once

#include "settings/fontdescription.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

namespace labelprint {

enum class TextAnchor { TopLeft, TopCentre };

class PageSurface {
  public:
    virtual ~PageSurface() = default;

    // Resolution in dots per inch.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // Origin offsets in 0.1 mm: where device (0, 0) lies, measured from the paper's edge.
    virtual double originLeft() const = 0;
    virtual double originTop() const = 0;
    // Paper size in 0.1 mm, in the current orientation.
    virtual double paperWidth() const = 0;
    virtual double paperLength() const = 0;

    // Document and pages. beginPage() starts the next page; the run calls finishPage() on
    // the page before, and on the last page before endDocument(), once per page: a surface that
    // shows pages as they come announces them there. A false return from beginDocument() means
    // nothing can be drawn; a surface that knows why (no printer, output not writable) throws
    // platform::Error with the reason instead, out of the run.
    virtual bool beginDocument() = 0;
    virtual void beginPage() = 0;
    virtual void finishPage() = 0;
    virtual void endDocument() = 0;
    virtual void abortDocument() = 0;

    // Drawing, in device units of the current page.
    virtual void fillRect(const QRect& rect, const QColor& colour) = 0;
    // Many rectangles of one colour, such as the bars of a barcode: as many fillRect() calls,
    // unless the surface can fill them at once.
    virtual void fillRects(const std::vector<QRect>& rects, const QColor& colour) {
        for (const QRect& r : rects) {
            fillRect(r, colour);
        }
    }
    // Selects the slot font at its point size for this surface's resolution.
    virtual void selectFont(const settings::FontDescription& font) = 0;
    // Selects the slot font at `size` (0.1 pt) instead of its own size, for a fitted line.
    virtual void selectFontAt(const settings::FontDescription& font, int size) = 0;
    // Height of the text cell of `text` in the selected font, in device units.
    virtual int textCellHeight(const QString& text) = 0;
    // Draws with a transparent background; `at` is the top-left or top-centre of the text cell.
    virtual void drawText(QPoint at, TextAnchor anchor, const QString& text,
                          const QColor& colour) = 0;
    // Single lines in the selected font, each drawn with its text cell's top-centre at `at`,
    // such as a barcode's digits: as many drawText() calls, unless the surface can draw them
    // at once.
    struct CentredText {
        QPoint at;
        QString text;
    };
    virtual void drawCentredTexts(const std::vector<CentredText>& texts, const QColor& colour) {
        for (const CentredText& t : texts) {
            drawText(t.at, TextAnchor::TopCentre, t.text, colour);
        }
    }

    // A surface for the eye (the preview) marks a label's problems where they are, such as a
    // code that cannot be encoded; printers and files leave the place empty.
    virtual bool marksProblems() const { return false; }

    // Progress notifications; surfaces that show nothing ignore them.
    virtual void progress(int /*percent*/) {}

    // The cancelled flag: checked by the layout run before each label.
    bool cancelled() const { return cancelled_; }
    void cancel() { cancelled_ = true; }

  private:
    bool cancelled_ = false;
};

} // namespace labelprint
