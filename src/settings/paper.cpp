#include "settings/paper.h"

#include <array>
#include <cmath>

namespace settings {
namespace {

constexpr std::array<Paper, 26> kPapers{{
    kLetter,
    {2, "Letter Small", 2159, 2794},
    {3, "Tabloid", 2794, 4318},
    {4, "Ledger", 4318, 2794},
    {5, "Legal", 2159, 3556},
    {6, "Statement", 1397, 2159},
    {7, "Executive", 1905, 2540},
    {8, "A3", 2970, 4200},
    kA4,
    {10, "A4 Small", 2100, 2970},
    {11, "A5", 1480, 2100},
    {12, "B4", 2500, 3540},
    {13, "B5", 1820, 2570},
    {14, "Folio", 2159, 3302},
    {15, "Quarto", 2150, 2750},
    {16, "10x14 in", 2540, 3556},
    {17, "11x17 in", 2794, 4318},
    {18, "Note", 2159, 2790},
    {19, "Envelope #9", 984, 2254},
    {20, "Envelope #10", 1048, 2413},
    {21, "Envelope #11", 1143, 2635},
    {22, "Envelope #12", 1016, 2794},
    {23, "Envelope #14", 1270, 2921},
    {24, "C size sheet", 1000, 1000},
    {25, "D size sheet", 1000, 1000},
    {26, "E size sheet", 1000, 1000},
}};

// paperByCode() finds a paper by its place.
constexpr bool numberedInOrder() {
    for (size_t i = 0; i < kPapers.size(); ++i) {
        if (kPapers[i].code != int(i + 1)) {
            return false;
        }
    }
    return true;
}
static_assert(numberedInOrder());

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

bool isPaper(const Paper& paper, double width, double length) {
    return std::abs(width - paper.width) < kPaperTolerance &&
           std::abs(length - paper.length) < kPaperTolerance;
}

} // namespace settings
