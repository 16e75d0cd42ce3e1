#include "labelprint/labelreport.h"

#include "labelprint/layoutrun.h"
#include "labelprint/pagesurface.h"
#include "labelprint/papertable.h"
#include "labelprint/slotfont.h"
#include "labelprint/units.h"
#include "platform/designdpi.h"
#include "platform/error.h"

#include <algorithm>

namespace labelprint {

using settings::Slot;

LabelReport::LabelReport() {
    computeLabelWidth();
}

std::array<LineSlot, settings::SlotCount> LabelReport::initialLines() {
    std::array<LineSlot, settings::SlotCount> lines{};
    lines[Slot::Kod].height = 21;
    return lines;
}

void LabelReport::takeSettings(const settings::LayoutSettings& layout) {
    // The label height comes after the margins and the column count because setting it
    // computes the label width again from the page description as it then stands; the column
    // count does so only when it changes, so a new margin alone would leave a stale width.
    // The other steps set values of their own: their order (the switches starting with kod)
    // only follows the print command's list and changes no result.
    topMargin_ = double(layout.nahore) * 10;
    leftMargin_ = double(layout.vlevo) * 10;
    // A margin reset by an earlier run, for want of room, is not carried into this print: each
    // print starts from the settings as they are now.
    rightMargin_ = kFixedMargin;
    bottomMargin_ = kFixedMargin;
    setColumns(layout.sloupce);
    for (int s = 0; s < settings::SlotCount; ++s) {
        setLinePosition(Slot(s), layout.lines[s].top, layout.lines[s].left);
    }
    for (int s = 0; s < settings::SlotCount; ++s) {
        setLineFont(Slot(s), layout.lines[s].font);
    }
    setLabelHeight(double(layout.vyskabunky) * 10);
    frameColour_ = layout.bordercolor;
    background_ = layout.pozadi;
    for (Slot s :
         {Slot::Kod, Slot::Kods, Slot::Nazev, Slot::Cena, Slot::Text1, Slot::Text2, Slot::Text3}) {
        lines_[s].on = layout.lines[s].on;
    }
    for (int s = 0; s < settings::SlotCount; ++s) {
        lines_[s].fit = layout.lines[s].fit;
        lines_[s].barcode = layout.lines[s].barcode;
    }
    specznak_ = layout.specznak;
    setSheet(layout.sheet);
}

void LabelReport::setOrientation(Orientation orientation) {
    if (orientation == orientation_) {
        return;
    }
    orientation_ = orientation;
    computeLabelWidth();
}

double LabelReport::pageWidth() const {
    return orientation_ == Orientation::Portrait ? kA4Width : kA4Length;
}

double LabelReport::pageLength() const {
    return orientation_ == Orientation::Portrait ? kA4Length : kA4Width;
}

void LabelReport::setColumns(int columns) {
    if (columns < 1 || columns == columns_) {
        return;
    }
    columns_ = columns;
    computeLabelWidth();
}

void LabelReport::setLabelHeight(double tenthsMm) {
    labelHeight_ = tenthsMm;
    computeLabelWidth();
}

int LabelReport::bandHeight() const {
    return lengthToDevice(labelHeight_, platform::designDpi());
}

void LabelReport::setLinePosition(Slot slot, std::int32_t topMm, std::int32_t leftMm) {
    const int r = platform::designDpi();
    LineSlot& line = lines_[slot];
    line.top = snapToGrid(double(topMm) * 10, r);
    if (leftMm < 0) {
        line.centred = true;
    } else {
        line.centred = false;
        line.left = snapToGrid(double(leftMm) * 10, r);
    }
}

void LabelReport::setLineFont(Slot slot, const settings::FontDescription& font) {
    LineSlot& line = lines_[slot];
    line.font = font;
    line.height = std::max(line.height, designCellHeight(font) + 1);
}

void LabelReport::computeLabelWidth() {
    // On the design grid: the page and the two margins in whole pixels, the rest truncated.
    const int r = platform::designDpi();
    const long long w = lengthToDevice(pageWidth(), r);
    const long long m = lengthToDevice(leftMargin_ + rightMargin_, r);
    const long long s = (long long)lengthToDevice(columnSpacing_, r) * (columns_ - 1);
    const long long perColumn = (w - m - s) / columns_;
    labelWidth_ = double(perColumn) * kTenthsPerInch / r;
}

void LabelReport::resetMarginsWithoutRoom() {
    if (pageWidth() - leftMargin_ - rightMargin_ < 0) {
        leftMargin_ = 0;
        rightMargin_ = 0;
    }
    if (pageLength() - topMargin_ - bottomMargin_ < 0) {
        topMargin_ = 0;
        bottomMargin_ = 0;
    }
}

void LabelReport::setSheet(const settings::Sheet& sheet) {
    if (sheet.on) {
        if (const auto problem = settings::sheetProblem(sheet)) {
            throw platform::Error(*problem);
        }
    }
    sheet_ = sheet;
    print_.paper = sheet.on ? sheet.paper : settings::SheetPaper::A4;
}

std::vector<QPoint> LabelReport::pagePositions(double paperLength) const {
    std::vector<QPoint> at;
    if (const settings::Sheet* s = sheet()) {
        at.reserve(size_t(s->labelsPerSheet()));
        for (int n = 0; n < s->labelsPerSheet(); ++n) {
            at.emplace_back(s->labelLeft(n), s->labelTop(n));
        }
        return at;
    }
    if (bandHeight() <= 0) {
        return at;
    }
    // The flow of the layout run: down a column until the next label would cross the bottom
    // limit, then the next column.
    const int h = nearest(labelHeight_);
    const double room = pageLength() - (topMargin_ + bottomMargin_);
    const long long step = (long long)nearest(labelWidth_) + nearest(columnSpacing_);
    for (int k = 0; k < columns_; ++k) {
        const long long x = nearest(leftMargin_) + k * step;
        long long y = nearest(topMargin_);
        for (;;) {
            at.emplace_back(int(x), int(y));
            y += h;
            const long long available = nearest(paperLength - bottomMargin_ - double(y));
            if (h > available) {
                if (h <= room) {
                    break;
                }
                // Taller than the room on a page: every label stays in the first column.
                return at;
            }
            if (at.size() > 100000) {
                return at; // labels of a fraction of a tenth: no page holds more in practice
            }
        }
    }
    return at;
}

RunResult LabelReport::run(printlist::RowCursor& rows, PageSurface& surface,
                           const std::function<void()>& beforeLabel) {
    if (inRun()) {
        return {RunStatus::Refused, 0, 0, {}, {}};
    }
    surface_ = &surface;
    cancelledMark_ = false;
    struct Release {
        PageSurface*& surface;
        ~Release() { surface = nullptr; }
    } release{surface_};
    return LayoutRun(*this, rows, surface, beforeLabel).exec();
}

void LabelReport::cancelRun() {
    if (surface_ == nullptr) {
        return;
    }
    cancelledMark_ = true;
    surface_->cancel();
}

} // namespace labelprint
