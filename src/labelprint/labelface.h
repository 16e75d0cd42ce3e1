// Draws one label's face on a page surface: the background, the switched-on lines of the row in
// slot order, then the frame, inside the label rectangle the layout run placed.
#pragma once

#include "labelprint/barcode.h"
#include "labelprint/labelproblem.h"
#include "labelprint/lineslot.h"
#include "labelprint/textfit.h"
#include "settings/layoutsettings.h"

#include <array>
#include <memory>

namespace printlist {
class RowCursor;
}

namespace labelprint {

class LabelReport;
class PageSurface;

class LabelFace {
  public:
    // Field positions are looked up once; the row set's current row is read at each draw.
    LabelFace(const LabelReport& report, PageSurface& surface, const printlist::RowCursor& rows);

    // (x, y): the label's top-left corner in 0.1 mm from the paper's edge. Without a row every
    // line is empty. Returns the label's problems; note() tells about each.
    LabelProblemSet draw(double x, double y, bool hasRow);
    // The first slot's note of a problem the last draw() returned.
    const ProblemNote& note(LabelProblem problem) const { return notes_[size_t(problem)]; }
    // The slots whose text did not fit on the label draw() drew last (past the label's edge,
    // cut off by its slot or the label's height, or wrapped past its lines), one bit per slot.
    unsigned overflowSlots() const { return overflowSlots_; }

  private:
    // True when the line's text does not fit.
    bool drawLine(settings::Slot slot, double x, double y, bool hasRow);
    void drawFitted(const LineSlot& line, const TextFit& fit, double x, double y);
    const FitFont& fitFont(settings::Slot slot);
    // A barcode slot: its symbol, or on a surface that marks problems a marker in its place.
    // False when the data cannot be encoded.
    bool drawSymbol(settings::Slot slot, double x, double y);
    void drawBadCodeMarker(settings::Slot slot, QPoint at, TextAnchor anchor);
    void drawFrame(int left, int top, int right, int bottom);

    const LabelReport& report_;
    PageSurface& surface_;
    const printlist::RowCursor& rows_;
    std::array<int, settings::SlotCount> fields_{};
    // The label's size as drawn: the sheet's when it is on, else the report's label.
    double width_ = 0;
    double height_ = 0;
    bool alwaysDrawn_ = false;
    // Reference metrics of each slot's font, made when the slot first has text.
    std::array<std::unique_ptr<FitFont>, settings::SlotCount> fitFonts_;
    unsigned overflowSlots_ = 0;
    // The last data each barcode slot encoded and what came of it: runs of equal codes (copies
    // of one label) are encoded once.
    struct Encoded {
        bool done = false;
        QString data;
        BarcodeResult result;
    };
    std::array<Encoded, settings::SlotCount> encoded_{};
    std::array<ProblemNote, kLabelProblemKinds> notes_{};
};

} // namespace labelprint
