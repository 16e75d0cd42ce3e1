// Which paper a page surface takes from its printer or PDF file, which papers a printer offers,
// and how the paper of a recorded page is recognised from its size in 4 mm steps. The papers
// themselves, in 0.1 mm, are the table of settings/paper.h.
#pragma once

#include "labelprint/printsettings.h"
#include "settings/paper.h"

#include <QPageSize>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPrinterInfo;

namespace labelprint {

using settings::Paper;
using settings::paperByCode;
using settings::paperTable;

// A4, the paper the label report asks for: its code in the table and its size in 0.1 mm.
inline constexpr int kA4Code = settings::kA4.code;
inline constexpr double kA4Width = settings::kA4.width;
inline constexpr double kA4Length = settings::kA4.length;
inline constexpr int kLetterCode = settings::kLetter.code;

// Which paper codes a printer offers.
using PaperOffer = std::function<bool(int code)>;

// The papers of the table that `printer` offers, by their size within the table's tolerance.
// No printer at all (null) offers A4 alone.
PaperOffer offeredPapers(const QPrinterInfo& printer);

struct PaperChoice {
    int code = 0;
    bool landscape = false;
};

// The paper of a page `widthPx` x `lengthPx` device units at `dpi`: both sides in whole 4 mm
// steps are compared with every paper the printer offers, portrait then landscape, codes 1 to
// 26 in order, and the last match wins. Nothing when no offered paper matches.
std::optional<PaperChoice> recognisePaper(int widthPx, int lengthPx, int dpi,
                                          const PaperOffer& offered);

// The paper a page surface takes from its printer.
struct SurfacePaper {
    int code = kA4Code;      // in the paper table; 0 for the printer's own paper
    QPageSize size;          // what the printer is asked for
    double width = kA4Width; // 0.1 mm, in the orientation
    double length = kA4Length;
};

// A4 when the printer offers it; otherwise the printer's own default paper. A printer that
// reports no sizes, or a default that is no real paper, is taken as offering A4, and so is no
// printer at all (`offered` empty, `defaultSize` invalid). A Letter sheet (`wanted`) takes
// Letter where A4 would be taken, when the printer offers it or reports no sizes.
SurfacePaper choosePaper(const std::vector<QPageSize>& offered, const QPageSize& defaultSize,
                         Orientation orientation,
                         settings::SheetPaper wanted = settings::SheetPaper::A4);

// The paper a surface takes from `printer` (null: no printer); `wanted` as in choosePaper().
SurfacePaper paperOfPrinter(const QPrinterInfo& printer, Orientation orientation,
                            settings::SheetPaper wanted = settings::SheetPaper::A4);

// The paper of a print's output, and so of the preview that shows it beforehand: a PDF file
// (`toFile`) is written on the sheet's own paper, as with no printer, whichever printer is
// selected; a printer takes the paper of paperOfPrinter().
SurfacePaper paperOfOutput(const QPrinterInfo& printer, bool toFile, Orientation orientation,
                           settings::SheetPaper wanted);

} // namespace labelprint
