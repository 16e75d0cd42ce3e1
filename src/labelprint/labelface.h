// Draws one label's face on a page surface: the background, the switched-on lines of the row in
// slot order, then the frame, inside the label rectangle the layout run placed.
#pragma once

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
    // line is empty.
    void draw(double x, double y, bool hasRow);
    // Whether the label draw() drew last has text that does not fit: past the label's edge,
    // cut off by its slot or the label's height, or wrapped past its lines.
    bool overflowed() const { return overflowed_; }
    // The slots whose text did not fit on that label, one bit per slot.
    unsigned overflowSlots() const { return overflowSlots_; }

  private:
    // True when the line's text does not fit.
    bool drawLine(settings::Slot slot, double x, double y, bool hasRow);
    void drawFitted(const LineSlot& line, const TextFit& fit, double x, double y);
    const FitFont& fitFont(settings::Slot slot);
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
    bool overflowed_ = false;
    unsigned overflowSlots_ = 0;
};

} // namespace labelprint
