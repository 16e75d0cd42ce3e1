// Layout runs on a sheet description, starting part way down a sheet, and the alignment page.
// A 254-dpi surface makes one device unit 0.1 mm, so rectangles are the positions themselves.
#include "labelprint/alignmentpage.h"
#include "labelprint/labelreport.h"
#include "labelprint/units.h"
#include "platform/error.h"
#include "recordingsurface.h"
#include "rows.h"
#include "settings/sheetcatalogue.h"
#include "support/sheets.h"

#include <gtest/gtest.h>

namespace labelprint {
namespace {

using test::numberedRows;

using ::test::sheet3651;
using ::test::sheetL7160;

RunResult runRows(LabelReport& report, RecordingSurface& surface, int rows) {
    printlist::RowSet list = numberedRows(rows);
    return report.run(list, surface);
}

// The label rectangle of every label, page by page, with the label outline as drawn (the
// frame's own bars reach 0.1 mm lower, so the background fill is the label itself).
std::vector<QRect> expectedOnSheet(const settings::Sheet& s, int from, int count) {
    std::vector<QRect> out;
    for (int n = from; n < from + count; ++n) {
        out.emplace_back(s.labelLeft(n), s.labelTop(n), s.width, s.height);
    }
    return out;
}

TEST(SheetLayout, FortyLabelsOf3651FillOnePageExactly) {
    LabelReport report;
    settings::LayoutSettings layout;
    layout.sheet = sheet3651();
    report.takeSettings(layout);
    RecordingSurface surface(254);
    const RunResult result = runRows(report, surface, 41);
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(surface.labelRects(1), expectedOnSheet(sheet3651(), 0, 40));
    // Column 4 starts at exactly 1 + 3 x 52 mm, not at the rounded design-grid width.
    EXPECT_EQ(surface.labelRects(1)[30].left(), 1570);
    EXPECT_EQ(surface.labelRects(2), expectedOnSheet(sheet3651(), 0, 1));
}

TEST(SheetLayout, GapsBetweenColumnsAndDeviceMapping) {
    LabelReport report;
    settings::LayoutSettings layout;
    layout.sheet = sheetL7160();
    report.takeSettings(layout);
    // On 600 dpi with a printer's origin offset, as a printer sees it.
    RecordingSurface surface(600);
    surface.originLeftValue = 42;
    surface.originTopValue = 42;
    runRows(report, surface, 21);
    const auto rects = surface.labelRects(1);
    ASSERT_EQ(rects.size(), 21u);
    const auto dev = [](double tenths) { return nearest((tenths - 42) * 600 / 254.0); };
    for (int n = 0; n < 21; ++n) {
        const settings::Sheet s = sheetL7160();
        const QRect want(
            QPoint(dev(s.labelLeft(n)), dev(s.labelTop(n))),
            QPoint(dev(s.labelLeft(n) + s.width) - 1, dev(s.labelTop(n) + s.height) - 1));
        EXPECT_EQ(rects[size_t(n)], want) << "label " << n;
    }
}

TEST(SheetLayout, LineSlotsKeepTheirDesignGridOffsetsInsideTheLabel) {
    // The same label face at two places: on the sheet and in the default flow. Each line keeps
    // the same offset from its label's corner; a centred line follows the sheet's width.
    settings::LayoutSettings layout;
    layout.lines[settings::Kod].left = 3;    // left-aligned, 3 mm on the design grid
    layout.lines[settings::Nazev].left = -1; // centred
    LabelReport plain;
    plain.takeSettings(layout);
    RecordingSurface a(254);
    runRows(plain, a, 1);

    layout.sheet = sheetL7160();
    LabelReport onSheet;
    onSheet.takeSettings(layout);
    RecordingSurface b(254);
    runRows(onSheet, b, 1);

    const auto textAt = [](const RecordingSurface& s, const QString& text) {
        for (const SurfaceCall& c : s.ofKind(SurfaceCall::DrawText)) {
            if (c.text == text) {
                return c.at;
            }
        }
        return QPoint(-1, -1);
    };
    const QPoint plainCorner = a.labelRects(1)[0].topLeft();
    const QPoint sheetCorner = b.labelRects(1)[0].topLeft();
    EXPECT_EQ(sheetCorner, QPoint(72, 151));
    EXPECT_EQ(textAt(b, "K1") - sheetCorner, textAt(a, "K1") - plainCorner);
    EXPECT_EQ(textAt(b, "N1"), QPoint(nearest(72 + 635 / 2.0), 151 + textAt(a, "N1").y() - 100));
}

TEST(SheetLayout, OffLeavesTheFlowAsItWas) {
    // The same settings with the sheet filled in but off give the same calls as never set.
    settings::LayoutSettings layout;
    layout.sheet = sheetL7160();
    layout.sheet.on = false;
    LabelReport a;
    a.takeSettings(layout);
    LabelReport b;
    b.takeSettings(settings::LayoutSettings{});
    RecordingSurface sa(96);
    RecordingSurface sb(96);
    runRows(a, sa, 200);
    runRows(b, sb, 200);
    EXPECT_EQ(sa.labelRects(1), sb.labelRects(1));
    EXPECT_EQ(sa.labelRects(2), sb.labelRects(2));
    EXPECT_EQ(sa.calls.size(), sb.calls.size());
}

TEST(SheetLayout, ImpossibleSheetIsNeverGivenToTheRun) {
    LabelReport report;
    settings::LayoutSettings layout;
    layout.sheet = sheet3651();
    report.takeSettings(layout);
    settings::Sheet wide = sheet3651();
    wide.columns = 5;
    layout.sheet = wide;
    EXPECT_THROW(report.takeSettings(layout), platform::Error);
    // The sheet in force is still the good one.
    ASSERT_NE(report.sheet(), nullptr);
    EXPECT_EQ(*report.sheet(), sheet3651());
    // Off, the same impossible values are only kept, never used.
    wide.on = false;
    layout.sheet = wide;
    report.takeSettings(layout);
    EXPECT_EQ(report.sheet(), nullptr);
}

TEST(SheetLayout, StartPositionSkipsOnlyTheFirstPage) {
    LabelReport report;
    settings::LayoutSettings layout;
    layout.sheet = sheet3651();
    report.takeSettings(layout);
    report.setSkip(6); // "začít od štítku 7"
    RecordingSurface surface(254);
    const RunResult result = runRows(report, surface, 40);
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(surface.labelRects(1), expectedOnSheet(sheet3651(), 6, 34));
    EXPECT_EQ(surface.labelRects(2), expectedOnSheet(sheet3651(), 0, 6));
    // The first label drawn is the first row.
    const auto texts = surface.ofKind(SurfaceCall::DrawText);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, "*K1*");
}

TEST(SheetLayout, PartlyUsedSheetLeavesOutItsUsedPositionsOnTheFirstPageOnly) {
    // Herma 4614: 3 columns x 8 rows of 66 x 33.8 mm from 5.7 / 13 mm, the top four rows
    // already peeled off. Cells are (row, column); labels must land on the free cells in order.
    settings::Sheet herma = settings::findSheet(settings::builtInSheets(), "4614")->sheet;
    ASSERT_EQ(herma.columns, 3);
    ASSERT_EQ(herma.rows, 8);
    using Cells = std::vector<std::pair<int, int>>;
    // The cells of rows `fromRow` to 7 in the fill order.
    const auto cells = [](int fromRow, bool acrossRows) {
        Cells out;
        if (acrossRows) {
            for (int row = fromRow; row < 8; ++row) {
                for (int column = 0; column < 3; ++column) {
                    out.emplace_back(row, column);
                }
            }
        } else {
            for (int column = 0; column < 3; ++column) {
                for (int row = fromRow; row < 8; ++row) {
                    out.emplace_back(row, column);
                }
            }
        }
        return out;
    };
    const auto topRows = [](settings::FillOrder order) {
        settings::Sheet s;
        s.columns = 3;
        s.rows = 8;
        s.order = order;
        settings::UsedPositions used;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) {
                used.insert(s.positionAt(row, column));
            }
        }
        return used;
    };
    Cells rowsWithout17 = cells(4, true);
    rowsWithout17.erase(rowsWithout17.begin() + 4); // label 17 is row 5, column 2
    Cells rowsFrom14 = cells(4, true);
    rowsFrom14.erase(rowsFrom14.begin()); // label 13 is skipped by the start position
    struct Case {
        const char* what;
        settings::FillOrder order;
        settings::UsedPositions used;
        int skip;
        Cells page1;
    };
    const Case cases[] = {
        {"down the columns", settings::FillOrder::Columns, topRows(settings::FillOrder::Columns), 0,
         cells(4, false)},
        {"along the rows", settings::FillOrder::Rows, topRows(settings::FillOrder::Rows), 0,
         cells(4, true)},
        {"1-12,17 along the rows", settings::FillOrder::Rows,
         [] {
             settings::UsedPositions u;
             for (int n = 0; n < 12; ++n) {
                 u.insert(n);
             }
             u.insert(16);
             return u;
         }(),
         0, rowsWithout17},
        {"start 14 with the top rows used", settings::FillOrder::Rows,
         topRows(settings::FillOrder::Rows), 13, rowsFrom14},
        {"every position used",
         settings::FillOrder::Rows,
         [] {
             settings::UsedPositions u;
             for (int n = 0; n < 24; ++n) {
                 u.insert(n);
             }
             return u;
         }(),
         0,
         {}},
    };
    for (const Case& c : cases) {
        herma.order = c.order;
        LabelReport report;
        settings::LayoutSettings layout;
        layout.sheet = herma;
        report.takeSettings(layout);
        report.setSkip(c.skip);
        report.setUsed(c.used);
        RecordingSurface surface(254);
        const RunResult result = runRows(report, surface, int(c.page1.size()) + 1);
        std::vector<QRect> want;
        for (const auto& [row, column] : c.page1) {
            want.emplace_back(57 + column * 660, 130 + row * 338, 660, 338);
        }
        EXPECT_EQ(result.pages, 2) << c.what;
        EXPECT_EQ(surface.labelRects(1), want) << c.what;
        // The next sheet is a fresh one: its first label takes the top-left position.
        EXPECT_EQ(surface.labelRects(2), (std::vector<QRect>{QRect(57, 130, 660, 338)})) << c.what;
        const auto texts = surface.ofKind(SurfaceCall::DrawText);
        ASSERT_FALSE(texts.empty()) << c.what;
        EXPECT_EQ(texts.front().text, "*K1*") << c.what;
    }
}

TEST(SheetLayout, StartPositionInTheDefaultFlow) {
    // Default settings: 18 labels of 15 mm to a column. Skipping 20 starts in column 2, row 3.
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    report.setSkip(20);
    RecordingSurface surface(254);
    runRows(report, surface, 3);
    const auto rects = surface.labelRects(1);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].topLeft(), QPoint(100 + 188, 100 + 2 * 150));

    // Never past the page: at most the page's positions less one are left empty.
    LabelReport big;
    big.takeSettings(settings::LayoutSettings{});
    big.setSkip(100000);
    RecordingSurface s2(254);
    runRows(big, s2, 2);
    EXPECT_EQ(s2.pages(), 2);
    ASSERT_EQ(s2.labelRects(1).size(), 1u);
    EXPECT_EQ(s2.labelRects(1)[0].topLeft(), QPoint(100 + 9 * 188, 100 + 17 * 150));
}

TEST(SheetLayout, PagePositionsAreWhereTheRunPutsLabels) {
    struct Case {
        int vlevo, nahore, sloupce, vyskabunky;
    };
    for (const Case c :
         {Case{10, 10, 10, 15}, Case{10, 10, 3, 37}, Case{0, 0, 1, 287}, Case{5, 20, 4, 30}}) {
        settings::LayoutSettings layout;
        layout.vlevo = c.vlevo;
        layout.nahore = c.nahore;
        layout.sloupce = c.sloupce;
        layout.vyskabunky = c.vyskabunky;
        LabelReport report;
        report.takeSettings(layout);
        const auto positions = report.pagePositions(2970);
        RecordingSurface surface(254);
        runRows(report, surface, int(positions.size()) + 1);
        const auto rects = surface.labelRects(1);
        ASSERT_EQ(rects.size(), positions.size()) << c.sloupce << " columns of " << c.vyskabunky;
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].topLeft(), positions[i]);
        }
        EXPECT_EQ(surface.labelRects(2).size(), 1u);
    }
}

TEST(AlignmentPage, OutlinesEveryPositionWithACrossAtItsCorner) {
    LabelReport report;
    settings::LayoutSettings layout;
    layout.sheet = sheetL7160();
    report.takeSettings(layout);
    RecordingSurface surface(254);
    const RunResult result = printAlignmentPage(report, surface);
    EXPECT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(result.pages, 1);
    EXPECT_EQ(result.labels, 21);
    EXPECT_EQ(surface.pages(), 1);
    EXPECT_EQ(surface.ofKind(SurfaceCall::DrawText).size(), 0u);
    const auto fills = surface.ofKind(SurfaceCall::FillRect);
    ASSERT_EQ(fills.size(), 21u * 6);
    const settings::Sheet s = sheetL7160();
    for (int n = 0; n < 21; ++n) {
        const QRect top = fills[size_t(6 * n)].rect;
        const QRect right = fills[size_t(6 * n + 3)].rect;
        const QRect crossH = fills[size_t(6 * n + 4)].rect;
        const QRect crossV = fills[size_t(6 * n + 5)].rect;
        EXPECT_EQ(top.topLeft(), QPoint(s.labelLeft(n), s.labelTop(n)));
        EXPECT_EQ(top.width(), s.width);
        EXPECT_EQ(right.right(), s.labelLeft(n) + s.width - 1);
        EXPECT_EQ(right.height(), s.height);
        // 3 mm to either side of the corner.
        EXPECT_EQ(crossH.left(), s.labelLeft(n) - 30);
        EXPECT_EQ(crossH.width(), 60);
        EXPECT_EQ(crossV.top(), s.labelTop(n) - 30);
        EXPECT_EQ(crossV.height(), 60);
    }
    const auto order = surface.calls;
    EXPECT_EQ(order.front().kind, SurfaceCall::BeginDocument);
    EXPECT_EQ(order.back().kind, SurfaceCall::EndDocument);
}

TEST(AlignmentPage, DefaultFlowAndNoOutput) {
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    RecordingSurface surface(96);
    EXPECT_EQ(printAlignmentPage(report, surface).labels, 180);
    RecordingSurface refusing(96);
    refusing.acceptDocument = false;
    EXPECT_EQ(printAlignmentPage(report, refusing).status, RunStatus::NoOutput);
}

} // namespace
} // namespace labelprint
