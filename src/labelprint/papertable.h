// The standard papers by their codes 1 to 26, how the paper of a recorded page is recognised
// from its size in 4 mm steps, and which paper a page surface takes from its printer.
#pragma once

#include "labelprint/printsettings.h"

#include <QPageSize>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace labelprint {

// A4, the paper the label report asks for: its code in the table and its size in 0.1 mm.
inline constexpr int kA4Code = 9;
inline constexpr double kA4Width = 2100;
inline constexpr double kA4Length = 2970;
inline constexpr int kLetterCode = 1;

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

} // namespace labelprint
