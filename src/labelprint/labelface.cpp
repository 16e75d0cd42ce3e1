#include "labelprint/labelface.h"

#include "labelprint/devicemap.h"
#include "labelprint/labelreport.h"
#include "labelprint/pagesurface.h"
#include "labelprint/units.h"
#include "platform/colour.h"
#include "platform/designdpi.h"
#include "printlist/rowcursor.h"

#include <algorithm>

namespace labelprint {

using settings::Slot;

namespace {

constexpr std::array<Slot, settings::SlotCount> kDrawingOrder = {
    Slot::Kods, Slot::Kod, Slot::Nazev, Slot::Cena, Slot::Text1, Slot::Text2, Slot::Text3};

} // namespace

LabelFace::LabelFace(const LabelReport& report, PageSurface& surface,
                     const printlist::RowCursor& rows)
    : report_(report), surface_(surface), rows_(rows), width_(report.drawnWidth()),
      height_(report.drawnHeight()), alwaysDrawn_(report.sheet() != nullptr) {
    for (int s = 0; s < settings::SlotCount; ++s) {
        fields_[s] = rows.fieldIndex(settings::slotNames()[s]);
    }
}

LabelProblemSet LabelFace::draw(double x, double y, bool hasRow) {
    LabelProblemSet problems = 0;
    overflowSlots_ = 0;
    if (!alwaysDrawn_ && report_.bandHeight() <= 0) {
        return problems;
    }
    const DeviceMap map = DeviceMap::of(surface_);
    const int left = map.x(x);
    const int top = map.y(y);
    const int right = map.x(x + width_);
    const int bottom = map.y(y + height_);
    surface_.fillRect(QRect(left, top, right - left, bottom - top),
                      platform::toQColor(report_.background()));
    for (Slot slot : kDrawingOrder) {
        const LineSlot& line = report_.line(slot);
        if (!line.on) {
            continue;
        }
        if (line.barcode.kind == settings::BarcodeKind::Text) {
            if (drawLine(slot, x, y, hasRow)) {
                if (overflowSlots_ == 0) {
                    notes_[size_t(LabelProblem::Overflow)] = {int(slot), QString()};
                }
                overflowSlots_ |= 1u << unsigned(slot);
                problems |= problemBit(LabelProblem::Overflow);
            }
        } else if (hasRow && !drawSymbol(slot, x, y)) {
            // A blank label (an empty list) has no code to get wrong.
            if ((problems & problemBit(LabelProblem::BadBarcode)) == 0) {
                notes_[size_t(LabelProblem::BadBarcode)] = {int(slot),
                                                            encoded_[slot].result.reason};
            }
            problems |= problemBit(LabelProblem::BadBarcode);
        }
    }
    // The frame reaches 0.1 mm below the label, so it meets the next label's top bar.
    drawFrame(left, top, right, map.y(y + height_ + 1));
    return problems;
}

bool LabelFace::drawSymbol(Slot slot, double x, double y) {
    const LineSlot& line = report_.line(slot);
    Encoded& encoded = encoded_[slot];
    const QString data = barcodeData(slot, rows_.field(fields_[slot]), report_.specznak());
    if (!encoded.done || encoded.data != data) {
        encoded.result = encodeBarcode(line.barcode, data);
        encoded.data = data;
        encoded.done = true;
    }
    // Placed as a text line is: the top offset, and the left offset or the label's middle.
    const DeviceMap map = DeviceMap::of(surface_);
    const double anchorX = line.centred ? x + width_ / 2 : x + line.left;
    const QPoint at(map.x(anchorX), map.y(y + line.top));
    const TextAnchor anchor = line.centred ? TextAnchor::TopCentre : TextAnchor::TopLeft;
    if (!encoded.result.ok()) {
        if (surface_.marksProblems()) {
            drawBadCodeMarker(slot, at, anchor);
        }
        return false;
    }
    drawBarcode(surface_, *encoded.result.symbol, line.barcode, at, anchor, line.font,
                platform::toQColor(line.font.colour));
    return true;
}

void LabelFace::drawBadCodeMarker(Slot slot, QPoint at, TextAnchor anchor) {
    const LineSlot& line = report_.line(slot);
    const settings::BarcodeOptions& o = line.barcode;
    // About the room the symbol would take: a typical width in modules for the kind, as high
    // as the bars (or square for a matrix).
    int modules = 90;
    switch (o.kind) {
    case settings::BarcodeKind::Ean13:
        modules = 113;
        break;
    case settings::BarcodeKind::Ean8:
        modules = 81;
        break;
    case settings::BarcodeKind::Qr:
        modules = 29;
        break;
    case settings::BarcodeKind::DataMatrix:
        modules = 14;
        break;
    default:
        break;
    }
    const bool matrix =
        o.kind == settings::BarcodeKind::Qr || o.kind == settings::BarcodeKind::DataMatrix;
    const int width = modules * moduleDots(o.moduleWidth, surface_.dpiX());
    const int height = matrix
                           ? modules * moduleDots(o.moduleWidth, surface_.dpiY())
                           : std::max(1, nearest(o.barHeight * surface_.dpiY() / kTenthsPerInch));
    const int left = anchor == TextAnchor::TopCentre ? at.x() - width / 2 : at.x();
    const QColor red(255, 0, 0);
    const int t = std::max(1, nearest(surface_.dpiX() / 72.0));
    surface_.fillRect(QRect(left, at.y(), width, t), red);
    surface_.fillRect(QRect(left, at.y() + height - t, width, t), red);
    surface_.fillRect(QRect(left, at.y(), t, height), red);
    surface_.fillRect(QRect(left + width - t, at.y(), t, height), red);
    surface_.selectFont(line.font);
    surface_.drawText(QPoint(left + width / 2, at.y() + 2 * t), TextAnchor::TopCentre,
                      QStringLiteral("neplatný kód"), red);
}

const FitFont& LabelFace::fitFont(Slot slot) {
    if (!fitFonts_[slot]) {
        fitFonts_[slot] = std::make_unique<FitFont>(report_.line(slot).font);
    }
    return *fitFonts_[slot];
}

bool LabelFace::drawLine(Slot slot, double x, double y, bool hasRow) {
    const LineSlot& line = report_.line(slot);
    const QString text = hasRow ? rows_.field(fields_[slot]) : QString();
    // The fit is decided alike for every surface; with the rule off it only tells whether the
    // line fits, and the line is drawn as it always was.
    TextFit fit;
    if (!text.isEmpty()) {
        const FitBox box{width_,    height_,  line.centred,
                         line.left, line.top, deviceToLength(line.height, platform::designDpi())};
        fit = fitText(text, line.font, fitFont(slot), line.fit, box);
        if (line.fit.mode != settings::FitRule::Mode::Off) {
            drawFitted(line, fit, x, y);
            return fit.overflow;
        }
    }
    surface_.selectFont(line.font);
    const double lineHeight =
        deviceToLength(surface_.textCellHeight(QStringLiteral("W")), surface_.dpiY());
    const double slotHeight = deviceToLength(line.height, platform::designDpi());
    const double y0 = y + line.top;
    const double anchorX = line.centred ? x + width_ / 2 : x + line.left;
    const TextAnchor anchor = line.centred ? TextAnchor::TopCentre : TextAnchor::TopLeft;
    const DeviceMap map = DeviceMap::of(surface_);
    const QColor colour = platform::toQColor(line.font.colour);
    const auto drawAt = [&](int i, const QString& part) {
        // A line is drawn only when its whole cell fits the slot height plus 0.1 mm.
        if (y0 + (i + 1) * lineHeight > y0 + slotHeight + 1) {
            return false;
        }
        if (!part.isEmpty()) {
            surface_.drawText(QPoint(map.x(anchorX), map.y(y0 + i * lineHeight)), anchor, part,
                              colour);
        }
        return true;
    };
    // Most fields are one line: no list of lines to build for them.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        drawAt(0, text);
        return fit.overflow;
    }
    const QStringList lines = textLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        if (!drawAt(i, lines[i])) {
            break;
        }
    }
    return fit.overflow;
}

void LabelFace::drawFitted(const LineSlot& line, const TextFit& fit, double x, double y) {
    surface_.selectFontAt(line.font, fit.size);
    const DeviceMap map = DeviceMap::of(surface_);
    const double anchorX = line.centred ? x + width_ / 2 : x + line.left;
    const TextAnchor anchor = line.centred ? TextAnchor::TopCentre : TextAnchor::TopLeft;
    const QColor colour = platform::toQColor(line.font.colour);
    // Line tops follow the reference cell, so every surface breaks and spaces the lines alike.
    for (int i = 0; i < fit.lines.size(); ++i) {
        if (!fit.lines[i].isEmpty()) {
            surface_.drawText(QPoint(map.x(anchorX), map.y(y + line.top + i * fit.lineHeight)),
                              anchor, fit.lines[i], colour);
        }
    }
}

void LabelFace::drawFrame(int left, int top, int right, int bottom) {
    const int tx = std::max(1, nearest(surface_.dpiX() / 72.0));
    const int ty = std::max(1, nearest(surface_.dpiY() / 72.0));
    const QColor colour = platform::toQColor(report_.frameColour());
    const int width = right - left;
    const int height = bottom - top;
    surface_.fillRect(QRect(left, top, width, ty), colour);
    surface_.fillRect(QRect(left, bottom - ty, width, ty), colour);
    surface_.fillRect(QRect(left, top, tx, height), colour);
    surface_.fillRect(QRect(right - tx, top, tx, height), colour);
}

} // namespace labelprint
