// The label report qr1: the page description, the label band with its seven line slots and the
// print settings, all kept from one print command to the next, and the layout run that lays the
// print list out onto a page surface.
#pragma once

#include "labelprint/labelproblem.h"
#include "labelprint/lineslot.h"
#include "labelprint/overflow.h"
#include "labelprint/printsettings.h"
#include "settings/layoutsettings.h"

#include <QPoint>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace printlist {
class RowCursor;
}

namespace labelprint {

class PageSurface;

enum class RunStatus {
    Finished, // the last page was finished and the document ended (also after a cancel flag)
    Aborted,  // the cancelled mark was set: the document was aborted
    Refused,  // the report was already in a layout run
    NoOutput, // the surface could not begin a document (no printer, output not writable)
};

struct RunResult {
    RunStatus status = RunStatus::Refused;
    int pages = 0;
    int labels = 0;
    // Labels laid out with a problem, by kind.
    ProblemTallies problems{};
    // The labels laid out so far with text that does not fit, in run order; empty when the
    // report keeps no overflows (their number is in `problems`).
    std::vector<Overflow> overflows;
};

class LabelReport {
  public:
    LabelReport();
    LabelReport(const LabelReport&) = delete;
    LabelReport& operator=(const LabelReport&) = delete;

    // The print command's steps 1 to 8 (tiskbClick): margins, columns, line positions, fonts,
    // label height, colours and switches, in that order.
    void takeSettings(const settings::LayoutSettings& layout);

    // Page description, lengths in 0.1 mm.
    Orientation orientation() const { return orientation_; }
    // Swaps page width and length and computes the label width again.
    void setOrientation(Orientation orientation);
    double pageWidth() const;
    double pageLength() const;
    double topMargin() const { return topMargin_; }
    double leftMargin() const { return leftMargin_; }
    double bottomMargin() const { return bottomMargin_; }
    double rightMargin() const { return rightMargin_; }
    double columnSpacing() const { return columnSpacing_; }
    void setTopMargin(double v) { topMargin_ = v; }
    void setLeftMargin(double v) { leftMargin_ = v; }
    int columns() const { return columns_; }
    // A count below 1 or equal to the current one is ignored; a change computes the label
    // width again.
    void setColumns(int columns);

    // The label band.
    double labelHeight() const { return labelHeight_; }
    // Always computes the label width again from the page description as it now stands.
    void setLabelHeight(double tenthsMm);
    double labelWidth() const { return labelWidth_; }
    // The band's height in whole design pixels; a band of 0 or less is never drawn.
    int bandHeight() const;
    std::int32_t frameColour() const { return frameColour_; }
    std::int32_t background() const { return background_; }
    void setFrameColour(std::int32_t colour) { frameColour_ = colour; }
    void setBackground(std::int32_t colour) { background_ = colour; }

    const LineSlot& line(settings::Slot slot) const { return lines_[slot]; }
    // Top and left settings in whole millimetres; a negative left centres the line.
    void setLinePosition(settings::Slot slot, std::int32_t topMm, std::int32_t leftMm);
    // Copies the font; the slot grows to hold its text cell on the design grid.
    void setLineFont(settings::Slot slot, const settings::FontDescription& font);
    void setLineOn(settings::Slot slot, bool on) { lines_[slot].on = on; }
    // How the slot's text is fitted to the label's width.
    void setLineFit(settings::Slot slot, const settings::FitRule& fit) { lines_[slot].fit = fit; }
    // Draws the slot as a barcode of the options' kind, or as text for kind Text.
    void setLineBarcode(settings::Slot slot, const settings::BarcodeOptions& barcode) {
        lines_[slot].barcode = barcode;
    }
    // The character the add command puts around the goods code in kods; a kods barcode is
    // encoded without it.
    const QString& specznak() const { return specznak_; }
    void setSpecznak(const QString& specznak) { specznak_ = specznak; }

    // The sheet description: when on, it gives every label's place and size and when a page is
    // full. Throws platform::Error with the arch tab's text for a sheet that is on but cannot
    // be printed, and then keeps the sheet it had.
    void setSheet(const settings::Sheet& sheet);
    // The sheet in force, or null when it is off.
    const settings::Sheet* sheet() const { return sheet_.on ? &sheet_ : nullptr; }
    // Positions left empty at the start of the first page ("začít od štítku N" is N - 1).
    int skip() const { return skip_; }
    void setSkip(int positions) { skip_ = std::max(0, positions); }
    // Positions of the first page of a sheet that labels leave out, already used on a partly
    // used sheet; the default flow has none.
    const settings::UsedPositions& used() const { return used_; }
    void setUsed(const settings::UsedPositions& positions) { used_ = positions; }
    // The top-left corners (0.1 mm) of the label positions of one page, in flow order, on a
    // paper `paperLength` long. Empty when a label is never drawn (band of 0 design pixels).
    std::vector<QPoint> pagePositions(double paperLength) const;
    // The size of one label as it is drawn, in 0.1 mm.
    double drawnWidth() const { return sheet() ? sheet_.width : labelWidth_; }
    double drawnHeight() const { return sheet() ? sheet_.height : labelHeight_; }

    PrintSettings& printSettings() { return print_; }
    const PrintSettings& printSettings() const { return print_; }

    // Lays the list view out from its first row onto `surface`. `beforeLabel` runs before each
    // label, where the program lets waiting window events be handled; the batch tool and the
    // tests pass none. A report already in a run refuses at once.
    RunResult run(printlist::RowCursor& rows, PageSurface& surface,
                  const std::function<void()>& beforeLabel = {});
    bool inRun() const { return surface_ != nullptr; }
    // Stops the run before its next label and aborts its document: sets the cancelled mark and
    // the running surface's cancelled flag. Does nothing outside a run.
    void cancelRun();
    bool cancelledMark() const { return cancelledMark_; }
    // Problems that stop a run at the first label that has one: its document is aborted, as by
    // cancelRun(), and the result's tally names that label. None by default.
    LabelProblemSet stopAt() const { return stopAt_; }
    void setStopAt(LabelProblemSet problems) { stopAt_ = problems; }
    // Whether a run lists each label whose text does not fit (the preview outlines them); a
    // caller that needs only their number turns it off, so a long run does not grow with them.
    bool keepsOverflows() const { return keepOverflows_; }
    void setKeepOverflows(bool keep) { keepOverflows_ = keep; }

    // Called by the layout run: margins that leave no room on the page become 0.
    void resetMarginsWithoutRoom();

  private:
    void computeLabelWidth();

    Orientation orientation_ = Orientation::Portrait;
    double topMargin_ = 100;
    double leftMargin_ = 100;
    // The right and bottom margins are not settings: 10 mm, unless a run resets them.
    static constexpr double kFixedMargin = 100;
    double bottomMargin_ = kFixedMargin;
    double rightMargin_ = kFixedMargin;
    double columnSpacing_ = 0;
    int columns_ = 10;

    double labelHeight_ = 150;
    double labelWidth_ = 0;
    std::int32_t frameColour_ = 0;
    std::int32_t background_ = 16777215;
    std::array<LineSlot, settings::SlotCount> lines_ = initialLines();

    PrintSettings print_;
    settings::Sheet sheet_;
    int skip_ = 0;
    settings::UsedPositions used_;
    QString specznak_ = QStringLiteral("*");
    LabelProblemSet stopAt_ = 0;
    bool keepOverflows_ = true;

    PageSurface* surface_ = nullptr;
    bool cancelledMark_ = false;

    static std::array<LineSlot, settings::SlotCount> initialLines();
};

} // namespace labelprint
