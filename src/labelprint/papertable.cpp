#include "labelprint/papertable.h"

#include "labelprint/units.h"

#include <QPrinterInfo>
#include <QSizeF>
#include <algorithm>
#include <cmath>

namespace labelprint {
namespace {

// Whether a printer's `size` is `paper` of the table, by its size (printers give papers
// portrait).
bool hasSizeOf(const QPageSize& size, const Paper& paper) {
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return settings::isPaper(paper, mm.width() * 10, mm.height() * 10);
}

} // namespace

PaperOffer offeredPapers(const QPrinterInfo& printer) {
    if (printer.isNull()) {
        return [](int code) { return code == kA4Code; };
    }
    return [sizes = printer.supportedPageSizes()](int code) {
        const auto paper = paperByCode(code);
        return paper && std::any_of(sizes.begin(), sizes.end(),
                                    [&](const QPageSize& size) { return hasSizeOf(size, *paper); });
    };
}

std::optional<PaperChoice> recognisePaper(int widthPx, int lengthPx, int dpi,
                                          const PaperOffer& offered) {
    if (dpi <= 0) {
        return std::nullopt;
    }
    const double perTenth = dpi / kTenthsPerInch;
    const auto w = std::trunc(widthPx / perTenth / 40.0);
    const auto l = std::trunc(lengthPx / perTenth / 40.0);
    std::optional<PaperChoice> choice;
    for (const Paper& paper : paperTable()) {
        const auto pw = std::trunc(paper.width / 40.0);
        const auto pl = std::trunc(paper.length / 40.0);
        if (w == pw && l == pl && offered(paper.code)) {
            choice = PaperChoice{paper.code, false};
        }
        if (l == pw && w == pl && offered(paper.code)) {
            choice = PaperChoice{paper.code, true};
        }
    }
    return choice;
}

namespace {

// A size that a page can be laid out on: positive both ways.
bool realPaper(const QPageSize& size) {
    if (!size.isValid()) {
        return false;
    }
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return mm.width() > 0 && mm.height() > 0;
}

// Whether `size` is the paper of `code` in the table, whose size is `id` to Qt.
bool isPaper(const QPageSize& size, int code, QPageSize::PageSizeId id) {
    // A printer may name a paper its own way; the size tells.
    return size.id() == id || hasSizeOf(size, *paperByCode(code));
}

// The offered paper of `code`: under its own name when the printer has that, since a printer
// may offer the same size under several names (Letter and AnsiA).
std::vector<QPageSize>::const_iterator findPaper(const std::vector<QPageSize>& offered, int code,
                                                 QPageSize::PageSizeId id) {
    const QString key = QPageSize(id).key();
    const auto named = std::find_if(offered.begin(), offered.end(),
                                    [&](const QPageSize& p) { return p.key() == key; });
    if (named != offered.end()) {
        return named;
    }
    return std::find_if(offered.begin(), offered.end(),
                        [&](const QPageSize& p) { return isPaper(p, code, id); });
}

} // namespace

SurfacePaper choosePaper(const std::vector<QPageSize>& offered, const QPageSize& defaultSize,
                         Orientation orientation, settings::SheetPaper wanted) {
    SurfacePaper paper;
    paper.size = QPageSize(QPageSize::A4);
    const auto a4 = findPaper(offered, kA4Code, QPageSize::A4);
    const auto letter = findPaper(offered, kLetterCode, QPageSize::Letter);
    if (wanted == settings::SheetPaper::Letter && (offered.empty() || letter != offered.end())) {
        paper.code = kLetterCode;
        paper.size = offered.empty() ? QPageSize(QPageSize::Letter) : *letter;
        paper.width = settings::kLetter.width;
        paper.length = settings::kLetter.length;
    } else if (a4 != offered.end()) {
        paper.size = *a4;
    } else if (!offered.empty() && realPaper(defaultSize)) {
        const QSizeF mm = defaultSize.size(QPageSize::Millimeter);
        paper.code = 0;
        paper.size = defaultSize;
        paper.width = mm.width() * 10;
        paper.length = mm.height() * 10;
    }
    if (orientation == Orientation::Landscape) {
        std::swap(paper.width, paper.length);
    }
    return paper;
}

SurfacePaper paperOfPrinter(const QPrinterInfo& printer, Orientation orientation,
                            settings::SheetPaper wanted) {
    if (printer.isNull()) {
        return choosePaper({}, QPageSize(), orientation, wanted);
    }
    const QList<QPageSize> offered = printer.supportedPageSizes();
    return choosePaper({offered.begin(), offered.end()}, printer.defaultPageSize(), orientation,
                       wanted);
}

SurfacePaper paperOfOutput(const QPrinterInfo& printer, bool toFile, Orientation orientation,
                           settings::SheetPaper wanted) {
    return paperOfPrinter(toFile ? QPrinterInfo() : printer, orientation, wanted);
}

} // namespace labelprint
