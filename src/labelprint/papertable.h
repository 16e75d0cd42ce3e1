// The standard papers by their codes 1 to 26, and how the paper of a recorded page is
// recognised from its size in 4 mm steps.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <span>

namespace labelprint {

struct Paper {
    int code;
    const char* name;
    double width; // mm, portrait
    double length;
};

std::span<const Paper> paperTable();
// Code 0 and codes outside the table give nothing.
std::optional<Paper> paperByCode(int code);

struct PaperChoice {
    int code = 0;
    bool landscape = false;
};

// The paper of a page `widthPx` x `lengthPx` device units at `dpi`: both sides in whole 4 mm
// steps are compared with every paper the printer offers, portrait then landscape, codes 1 to
// 26 in order, and the last match wins. Nothing when no offered paper matches.
std::optional<PaperChoice> recognisePaper(int widthPx, int lengthPx, int dpi,
                                          const std::function<bool(int code)>& offered);

} // namespace labelprint
