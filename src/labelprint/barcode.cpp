#include "labelprint/barcode.h"

#include "settings/barcodestore.h"

#include <zint.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace labelprint {

namespace {

// zint's symbology for a kind; EAN-13 and EAN-8 are chosen by eanSymbology().
int symbology(BarcodeKind kind) {
    switch (kind) {
    case BarcodeKind::Ean13:
    case BarcodeKind::Ean8:
        return BARCODE_EANX;
    case BarcodeKind::Code128:
        return BARCODE_CODE128;
    case BarcodeKind::Code39:
        return BARCODE_CODE39;
    case BarcodeKind::Qr:
        return BARCODE_QRCODE;
    case BarcodeKind::DataMatrix:
        return BARCODE_DATAMATRIX;
    case BarcodeKind::Text:
        break;
    }
    return 0;
}

bool isEan(BarcodeKind kind) {
    return kind == BarcodeKind::Ean13 || kind == BarcodeKind::Ean8;
}

// zint pads a short EAN with zeros and tells EAN-8 from EAN-13 by length alone, so a code of
// digits must have its kind's length, with or without the check digit. Returns zint's
// symbology for the data, or 0 with the fault in `fault`. Other characters are left to zint,
// which names them; a longer EAN-13 too.
int eanSymbology(BarcodeKind kind, const QString& data, QString& fault) {
    const QString main = data.section(QLatin1Char('+'), 0, 0);
    if (main.isEmpty() ||
        !std::all_of(main.begin(), main.end(), [](QChar c) { return c.isDigit(); })) {
        return BARCODE_EANX;
    }
    const bool ean13 = kind == BarcodeKind::Ean13;
    const int digits = ean13 ? 12 : 7;
    if (main.size() == digits || (ean13 && main.size() > digits + 1)) {
        return BARCODE_EANX;
    }
    if (main.size() == digits + 1) {
        return BARCODE_EANX_CHK; // zint verifies the check digit given
    }
    fault = QStringLiteral("%1 needs %2 digits or %3 with the check digit, not %4")
                .arg(ean13 ? QStringLiteral("EAN-13") : QStringLiteral("EAN-8"))
                .arg(digits)
                .arg(digits + 1)
                .arg(main.size());
    return 0;
}

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

// One symbol per thread, cleared before each code: creating one zeroes some 30 kB, which a
// run of 100,000 labels would do 100,000 times.
zint_symbol* clearedSymbol() {
    thread_local std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (symbol) {
        ZBarcode_Clear(symbol.get());
    }
    return symbol.get();
}

// Millimetres from 0.01 mm and device dots from millimetres.
double mmOf(int hundredths) {
    return hundredths / 100.0;
}
int dotsOf(double mm, int dpi) {
    return static_cast<int>(std::lround(mm * dpi / 25.4));
}

} // namespace

QString barcodeKindName(BarcodeKind kind) {
    return settings::barcodeKindName(kind);
}

std::optional<BarcodeKind> barcodeKindFromName(const QString& name) {
    return settings::barcodeKindFromName(name);
}

QString barcodeData(settings::Slot slot, const QString& text, const QString& specznak) {
    if (slot != settings::Kods || specznak.isEmpty() || text.size() < 2 * specznak.size() ||
        !text.startsWith(specznak) || !text.endsWith(specznak)) {
        return text;
    }
    return text.mid(specznak.size(), text.size() - 2 * specznak.size());
}

BarcodeResult encodeBarcode(const BarcodeOptions& options, const QString& data) {
    BarcodeResult result;
    if (options.kind == BarcodeKind::Text) {
        result.reason = QStringLiteral("a text slot has no symbol");
        return result;
    }
    int zintSymbology = symbology(options.kind);
    if (isEan(options.kind)) {
        zintSymbology = eanSymbology(options.kind, data, result.reason);
        if (zintSymbology == 0) {
            return result;
        }
    }
    zint_symbol* symbol = clearedSymbol();
    if (symbol == nullptr) {
        result.reason = QStringLiteral("out of memory");
        return result;
    }
    const bool linear = options.kind != BarcodeKind::Qr && options.kind != BarcodeKind::DataMatrix;
    // Every input is set again, as ZBarcode_Create() leaves it where this code does not choose:
    // an encode may have put the size it chose into them.
    symbol->symbology = zintSymbology;
    symbol->option_1 = -1;
    symbol->option_2 = 0;
    symbol->option_3 = 0;
    symbol->eci = 0;
    symbol->whitespace_width = 0;
    symbol->whitespace_height = 0;
    symbol->border_width = 0;
    symbol->height = 0;
    symbol->output_options = BARCODE_QUIET_ZONES;
    // The data is UTF-8; zint refuses what the symbology cannot carry.
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = options.digits ? 1 : 0;
    // Vector output at scale 0.5 has one unit per module.
    symbol->scale = 0.5f;
    if (linear && options.moduleWidth > 0) {
        symbol->height = static_cast<float>(options.barHeight * 10.0 / options.moduleWidth);
    }
    const QByteArray bytes = data.toUtf8();
    const int encoded =
        ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<int>(bytes.size()));
    if (encoded >= ZINT_ERROR) {
        result.reason = QString::fromUtf8(symbol->errtxt);
        return result;
    }
    if (ZBarcode_Buffer_Vector(symbol, 0) >= ZINT_ERROR || !symbol->vector) {
        result.reason = QString::fromUtf8(symbol->errtxt);
        return result;
    }
    BarcodeSymbol out;
    out.linear = linear;
    out.width = symbol->vector->width;
    double bottom = 0;
    double shortest = -1;
    size_t rects = 0;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        ++rects;
    }
    out.bars.reserve(rects);
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        out.bars.emplace_back(r->x, r->y, r->width, r->height);
        bottom = std::max(bottom, double(r->y + r->height));
        shortest = shortest < 0 ? r->y + r->height : std::min(shortest, double(r->y + r->height));
    }
    out.height = linear ? bottom : symbol->vector->height;
    out.textTop = std::max(0.0, shortest);
    for (const zint_vector_string* s = symbol->vector->strings; s; s = s->next) {
        BarcodeSymbol::Text t;
        t.text = QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length);
        // halign: 0 centre, 1 left end, 2 right end at x.
        t.centreX = s->x + (s->halign == 1 ? s->width / 2 : s->halign == 2 ? -s->width / 2 : 0);
        out.texts.push_back(t);
    }
    result.symbol = std::move(out);
    return result;
}

int moduleDots(int moduleWidth, int dpi) {
    return std::max(1, dotsOf(mmOf(moduleWidth), dpi));
}

namespace {

// Module units to device units from the symbol's corner: x in whole modules, y in whole modules
// for a matrix symbol and in real length for the bars of a linear one, each rounded once.
struct ModuleMap {
    int dotsX;
    int dotsY;
    double linearY; // dots per module unit of height for linear symbols
    bool linear;

    ModuleMap(const BarcodeSymbol& symbol, const BarcodeOptions& options,
              const PageSurface& surface)
        : dotsX(moduleDots(options.moduleWidth, surface.dpiX())),
          dotsY(moduleDots(options.moduleWidth, surface.dpiY())),
          linearY(mmOf(options.moduleWidth) * surface.dpiY() / 25.4), linear(symbol.linear) {}

    int x(double modules) const { return static_cast<int>(std::lround(modules * dotsX)); }
    int y(double modules) const {
        return static_cast<int>(std::lround(modules * (linear ? linearY : dotsY)));
    }
};

} // namespace

BarcodePlacement placeBarcode(const BarcodeSymbol& symbol, const BarcodeOptions& options,
                              const PageSurface& surface, QPoint at, TextAnchor anchor) {
    const ModuleMap map(symbol, options, surface);
    const int width = map.x(symbol.width);
    const int left = anchor == TextAnchor::TopCentre ? at.x() - width / 2 : at.x();
    BarcodePlacement placement;
    placement.area = QRect(left, at.y(), width, std::max(1, map.y(symbol.height)));
    placement.textTop = at.y() + map.y(symbol.textTop);
    return placement;
}

QRect drawBarcode(PageSurface& surface, const BarcodeSymbol& symbol, const BarcodeOptions& options,
                  QPoint at, TextAnchor anchor, const settings::FontDescription& font,
                  const QColor& colour) {
    const ModuleMap map(symbol, options, surface);
    const BarcodePlacement placement = placeBarcode(symbol, options, surface, at, anchor);
    const QPoint origin = placement.area.topLeft();
    std::vector<QRect> bars;
    bars.reserve(symbol.bars.size());
    for (const QRectF& bar : symbol.bars) {
        const int x0 = map.x(bar.left());
        const int x1 = map.x(bar.left() + bar.width());
        const int y0 = map.y(bar.top());
        const int y1 = map.y(bar.top() + bar.height());
        bars.emplace_back(origin.x() + x0, origin.y() + y0, x1 - x0, std::max(1, y1 - y0));
    }
    surface.fillRects(bars, colour);
    if (!symbol.texts.empty()) {
        surface.selectFont(font);
        std::vector<PageSurface::CentredText> texts;
        texts.reserve(symbol.texts.size());
        for (const BarcodeSymbol::Text& t : symbol.texts) {
            texts.push_back({QPoint(origin.x() + map.x(t.centreX), placement.textTop), t.text});
        }
        surface.drawCentredTexts(texts, colour);
    }
    return placement.area;
}

bool eanModuleOutOfRange(const BarcodeOptions& options, int dpi) {
    if (!isEan(options.kind) || dpi <= 0) {
        return false;
    }
    const double drawn = moduleDots(options.moduleWidth, dpi) * 25.4 / dpi;
    return drawn < 0.8 * 0.33 - 1e-9 || drawn > 2.0 * 0.33 + 1e-9;
}

} // namespace labelprint
