// A label sheet as it is sold: paper, margins, label size, pitch and the grid of columns and
// rows, all in whole tenths of a millimetre. When switched on it replaces the label width and
// the flow of the layout settings; switched off (the default) it changes nothing.
#pragma once

#include <QString>
#include <optional>
#include <set>

namespace settings {

enum class SheetPaper { A4, Letter };

// How labels follow one another on a sheet: down each column first (the flow of the default
// layout), or along each row first.
enum class FillOrder { Columns, Rows };

struct PaperSize {
    int width;  // 0.1 mm, portrait
    int length; // 0.1 mm
};

// From the paper table (settings/paper.h).
PaperSize paperSize(SheetPaper paper);
// "A4" or "Letter".
QString paperName(SheetPaper paper);
// The paper's code in the paper table.
int paperCode(SheetPaper paper);
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
    FillOrder order = FillOrder::Columns;

    bool operator==(const Sheet&) const = default;

    int labelsPerSheet() const { return columns * rows; }
    // Label n of a page (from 0) in the fill order: down the columns it is in column n / rows,
    // row n % rows; along the rows in row n / columns, column n % columns.
    int columnOf(int n) const { return order == FillOrder::Rows ? n % columns : n / rows; }
    int rowOf(int n) const { return order == FillOrder::Rows ? n / columns : n % rows; }
    // The label number (from 0) of the position in `row` and `column`.
    int positionAt(int row, int column) const {
        return order == FillOrder::Rows ? row * columns + column : column * rows + row;
    }
    int labelLeft(int n) const { return left + columnOf(n) * pitchX; }
    int labelTop(int n) const { return top + rowOf(n) * pitchY; }
};

// The smallest label a sheet may have, each way, in 0.1 mm. It bounds a sheet to a few thousand
// positions (70 × 99 on A4), more than any sheet sold, so no sheet makes a page of millions.
constexpr int kMinLabelSize = 30;

// Label positions of the first sheet that are already used (peeled off), as label numbers from
// 0 in the sheet's fill order; labels skip them.
using UsedPositions = std::set<int>;

// Why the sheet cannot be printed, as the arch tab shows it; nothing when it can. Checks the
// geometry whether the sheet is on or off.
std::optional<QString> sheetProblem(const Sheet& sheet);
// Whether "začít od štítku N" can be used with `perSheet` labels on a sheet: 1 always can.
bool startFits(int start, int perSheet);
// Why "začít od štítku N" cannot be used with `perSheet` labels on a sheet; nothing when it can.
std::optional<QString> startProblem(int start, int perSheet);
// Why no label can go on the first sheet when "začít od štítku `start`" and the `used` positions
// leave no position free; nothing when one is free.
std::optional<QString> usedProblem(const Sheet& sheet, int start, const UsedPositions& used);
// How many positions of the first sheet stay free for labels.
int freePositions(const Sheet& sheet, int start, const UsedPositions& used);

} // namespace settings
