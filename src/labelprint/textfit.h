// Fitting a slot's text to its label: the font size and line breaks a fit rule chooses, and
// whether the text still does not fit. Decided from font metrics taken at one reference size
// and scaled, never from a surface, so the preview, the printer, PDF files and the batch tool
// choose the same size and breaks for the same label.
#pragma once

#include "settings/fontdescription.h"
#include "settings/slotoptions.h"

#include <QFontMetricsF>
#include <QStringList>
#include <array>

namespace labelprint {

// A slot font's metrics at the reference size, and lengths at any size scaled from them.
class FitFont {
  public:
    explicit FitFont(const settings::FontDescription& font);

    // The advance width of `text` at `size` (0.1 pt), in 0.1 mm.
    double width(const QString& text, int size) const;
    // The height of one line's text cell at `size`, in 0.1 mm.
    double cellHeight(int size) const;
    // The width of `text` in reference units, for callers that scale one measure many times.
    double referenceWidth(const QString& text) const;
    // 0.1 mm per reference unit at `size`.
    static double scale(int size);

  private:
    QFontMetricsF metrics_;
    // Advances of the characters of Latin scripts, measured once each; -1: not yet.
    mutable std::array<double, 0x250> advances_;
};

// Where a slot's text may go on its label, all in 0.1 mm from the label's top-left corner.
struct FitBox {
    double labelWidth = 0;
    double labelHeight = 0;
    bool centred = true;
    double left = 0; // unused when centred
    double top = 0;
    // The slot height: lines that do not fit it (plus 0.1 mm) are cut, unless the rule wraps.
    double slotHeight = 0;
};

struct TextFit {
    int size = 0;          // the chosen font size in 0.1 pt
    QStringList lines;     // the lines to draw, from the top; lines cut off are not in it
    double lineHeight = 0; // 0.1 mm between line tops at the chosen size
    bool overflow = false; // some text runs past the label's edge or is cut off
};

// A text field's lines: line feeds dropped, carriage returns end a line.
QStringList textLines(QString text);

// The fit of `text` under `rule` for a slot whose font is `font` (measured by `metrics`).
// Shrinking goes down from the font's own size in 0.5 pt steps to the rule's minimum; wrapping
// breaks at spaces into at most the rule's lines and shrinks when it must. When nothing fits,
// the smallest size is chosen and the fit overflows. Off keeps the font's size and the text's
// own lines and only tells whether they fit.
TextFit fitText(const QString& text, const settings::FontDescription& font, const FitFont& metrics,
                const settings::FitRule& rule, const FitBox& box);

} // namespace labelprint
