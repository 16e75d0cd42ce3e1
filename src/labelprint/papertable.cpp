#include "labelprint/papertable.h"

#include "labelprint/units.h"

#include <QSizeF>
#include <algorithm>
#include <array>
#include <cmath>

namespace labelprint {
namespace {

constexpr std::array<Paper, 26> kPapers{{
    {1, "Letter", 215.9, 279.4},
    {2, "Letter Small", 215.9, 279.4},
    {3, "Tabloid", 279.4, 431.8},
    {4, "Ledger", 431.8, 279.4},
    {5, "Legal", 215.9, 355.6},
    {6, "Statement", 139.7, 215.9},
    {7, "Executive", 190.5, 254},
    {8, "A3", 297, 420},
    {9, "A4", 210, 297},
    {10, "A4 Small", 210, 297},
    {11, "A5", 148, 210},
    {12, "B4", 250, 354},
    {13, "B5", 182, 257},
    {14, "Folio", 215.9, 330.2},
    {15, "Quarto", 215, 275},
    {16, "10x14 in", 254, 355.6},
    {17, "11x17 in", 279.4, 431.8},
    {18, "Note", 215.9, 279},
    {19, "Envelope #9", 98.43, 225.4},
    {20, "Envelope #10", 104.8, 241.3},
    {21, "Envelope #11", 114.3, 263.5},
    {22, "Envelope #12", 101.6, 279.4},
    {23, "Envelope #14", 127, 292.1},
    {24, "C size sheet", 100, 100},
    {25, "D size sheet", 100, 100},
    {26, "E size sheet", 100, 100},
}};

} // namespace

std::span<const Paper> paperTable() {
    return kPapers;
}

std::optional<Paper> paperByCode(int code) {
    if (code < 1 || code > int(kPapers.size())) {
        return std::nullopt;
    }
    return kPapers[size_t(code - 1)];
}

std::optional<PaperChoice> recognisePaper(int widthPx, int lengthPx, int dpi,
                                          const std::function<bool(int code)>& offered) {
    if (dpi <= 0) {
        return std::nullopt;
    }
    const double perTenth = dpi / kTenthsPerInch;
    const auto w = std::trunc(widthPx / perTenth / 40.0);
    const auto l = std::trunc(lengthPx / perTenth / 40.0);
    std::optional<PaperChoice> choice;
    for (const Paper& paper : kPapers) {
        const auto pw = std::trunc(paper.width / 4.0);
        const auto pl = std::trunc(paper.length / 4.0);
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
    if (size.id() == id) {
        return true;
    }
    // A printer may name a paper its own way; the size tells.
    const Paper paper = *paperByCode(code);
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return std::abs(mm.width() - paper.width) < 0.5 && std::abs(mm.height() - paper.length) < 0.5;
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
        const Paper table = *paperByCode(kLetterCode);
        paper.code = kLetterCode;
        paper.size = offered.empty() ? QPageSize(QPageSize::Letter) : *letter;
        paper.width = table.width * 10;
        paper.length = table.length * 10;
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

} // namespace labelprint
