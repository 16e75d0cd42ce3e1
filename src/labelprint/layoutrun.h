// One pass of the label report over the print list: places one label per row down the columns
// and across the pages of a page surface, draws each label's face and announces pages and
// progress.
#pragma once

#include "labelprint/labelreport.h"

#include <functional>
#include <optional>

namespace labelprint {

class LayoutRun {
  public:
    LayoutRun(LabelReport& report, printlist::RowCursor& rows, PageSurface& surface,
              const std::function<void()>& beforeLabel);
    RunResult exec();

  private:
    void place(int h);
    // Places label `n` (from 0) of the current page of a sheet, starting a page when needed.
    void placeOnSheet(const settings::Sheet& sheet, int& n);
    // Leaves the first positions of page 1 empty; never more than the page holds minus one.
    int skipPositions(int h, bool drawn);
    void nextColumn();
    void startPage();

    LabelReport& report_;
    printlist::RowCursor& rows_;
    PageSurface& surface_;
    const std::function<void()>& beforeLabel_;

    // Run positions in whole 0.1 mm; wide enough for labels that flow far below the paper.
    long long x_ = 0;
    std::optional<long long> y_;
    long long columnTop_ = 0;
    int column_ = 0;
    int pages_ = 0;
    double paperLength_ = 0;
};

} // namespace labelprint
