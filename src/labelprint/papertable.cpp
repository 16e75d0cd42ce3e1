#include "labelprint/papertable.h"

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
    const double perTenth = dpi / 254.0;
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

} // namespace labelprint
