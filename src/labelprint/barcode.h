// Native barcodes for a line slot: the slot's text encoded by zint and drawn as filled
// rectangles whose modules and edges fall on whole device dots, so every surface (preview,
// printer, PDF, prepared pages) carries the same bars and none of them is stretched.
#pragma once

#include "labelprint/pagesurface.h"
#include "settings/fontdescription.h"
#include "settings/layoutsettings.h"
#include "settings/slotoptions.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace labelprint {

using settings::BarcodeKind;
using settings::BarcodeOptions;

// The command-line name of a kind ("ean13", "ean8", "code128", "code39", "qr", "datamatrix";
// "text" for a plain text slot).
QString barcodeKindName(BarcodeKind kind);
// The kind named `name` (case-insensitive), or nothing for an unknown name.
std::optional<BarcodeKind> barcodeKindFromName(const QString& name);

// What a slot's text becomes before encoding: the kods slot loses the specznak that adding a
// label puts at both ends, so a list made for the barcode font prints the same code.
QString barcodeData(settings::Slot slot, const QString& text, const QString& specznak);

// An encoded symbol in module units (one unit = one module), quiet zones included.
struct BarcodeSymbol {
    struct Text {
        QString text;
        double centreX = 0; // centre of the text in modules
    };
    double width = 0;  // modules, quiet zones included
    double height = 0; // modules, text excluded
    bool linear = true;
    std::vector<QRectF> bars;
    std::vector<Text> texts;
    // Top of the human-readable text: the bottom of the shortest bars, in modules.
    double textTop = 0;
};

// The symbol, or zint's reason for refusing the data.
struct BarcodeResult {
    std::optional<BarcodeSymbol> symbol;
    QString reason;
    bool ok() const { return symbol.has_value(); }
};

// Encodes `data` with zint. `kind` must not be Text. EAN-13 takes 12 digits (the check digit is
// added) or 13 (the check digit is verified); EAN-8 takes 7 or 8 the same way.
BarcodeResult encodeBarcode(const BarcodeOptions& options, const QString& data);

// Whole device dots per module: max(1, round(X × dpi / 25.4)).
int moduleDots(int moduleWidth, int dpi);

// Where a symbol lands on a surface, in device units.
struct BarcodePlacement {
    QRect area;      // bars and quiet zones
    int textTop = 0; // top of the human-readable text cells
};

// Lays the symbol out for a surface at `at`: its top-left corner, or the middle of its top edge
// for TextAnchor::TopCentre.
BarcodePlacement placeBarcode(const BarcodeSymbol& symbol, const BarcodeOptions& options,
                              const PageSurface& surface, QPoint at, TextAnchor anchor);

// Draws the symbol: the bars as rectangles of `colour` in one fillRects(), the digits in
// `font` in one drawCentredTexts().
// Returns the area the bars and quiet zones take.
QRect drawBarcode(PageSurface& surface, const BarcodeSymbol& symbol, const BarcodeOptions& options,
                  QPoint at, TextAnchor anchor, const settings::FontDescription& font,
                  const QColor& colour);

// For EAN kinds: true when X, once rounded to whole dots at `dpi`, lies outside 80-200 % of
// the nominal 0.33 mm, which scanners at a till may not read.
bool eanModuleOutOfRange(const BarcodeOptions& options, int dpi);

} // namespace labelprint
