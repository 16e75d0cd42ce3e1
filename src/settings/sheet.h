// A label sheet as it is sold: paper, margins, label size, pitch and the grid of columns and
// rows, all in whole tenths of a millimetre. When switched on it replaces the label width and
// the flow of the layout settings; switched off (the default) it changes nothing.
#pragma once

#include <QString>
#include <optional>

namespace settings {

enum class SheetPaper { A4, Letter };

struct PaperSize {
    int width;  // 0.1 mm, portrait
    int length; // 0.1 mm
};

PaperSize paperSize(SheetPaper paper);
// "A4" or "Letter".
QString paperName(SheetPaper paper);
std::optional<SheetPaper> paperFromName(const QString& name);

struct Sheet {
    bool on = false;
    SheetPaper paper = SheetPaper::A4;
    int left = 10;    // margin from the paper's left edge to the first column
    int top = 10;     // margin from the paper's top edge to the first row
    int width = 520;  // label width
    int height = 295; // label height
    int pitchX = 520; // from one column's left edge to the next
    int pitchY = 295; // from one row's top edge to the next
    int columns = 4;
    int rows = 10;

    bool operator==(const Sheet&) const = default;

    int labelsPerSheet() const { return columns * rows; }
    // Label n of a page (from 0) runs down the columns: column n / rows, row n % rows.
    int labelLeft(int n) const { return left + (n / rows) * pitchX; }
    int labelTop(int n) const { return top + (n % rows) * pitchY; }
};

// The smallest label a sheet may have, each way, in 0.1 mm. It bounds a sheet to a few thousand
// positions (70 × 99 on A4), more than any sheet sold, so no sheet makes a page of millions.
constexpr int kMinLabelSize = 30;

// Why the sheet cannot be printed, as the arch tab shows it; nothing when it can. Checks the
// geometry whether the sheet is on or off.
std::optional<QString> sheetProblem(const Sheet& sheet);
// Why "začít od štítku N" cannot be used with `perSheet` labels on a sheet; nothing when it can.
std::optional<QString> startProblem(int start, int perSheet);

} // namespace settings
