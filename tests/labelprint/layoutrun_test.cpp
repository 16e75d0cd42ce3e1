// Geometry and flow of a layout run. A 254-dpi surface makes one device unit 0.1 mm, so its
// rectangles are the run positions themselves; other resolutions check the device mapping.
#include "labelprint/devicemap.h"
#include "labelprint/labelreport.h"
#include "recordingsurface.h"
#include "rows.h"

#include <gtest/gtest.h>
#include <limits>

namespace labelprint {
namespace {

using test::numberedRows;

settings::LayoutSettings layout(int vlevo, int nahore, int sloupce, int vyskabunky) {
    settings::LayoutSettings s;
    s.vlevo = vlevo;
    s.nahore = nahore;
    s.sloupce = sloupce;
    s.vyskabunky = vyskabunky;
    return s;
}

struct Run {
    RecordingSurface surface{254};
    RunResult result;
};

// Runs `rows` labels on a fresh report set up by `s`.
std::unique_ptr<Run> runOnce(LabelReport& report, const settings::LayoutSettings& s, int rows,
                             int dpi = 254) {
    auto run = std::make_unique<Run>();
    run->surface = RecordingSurface(dpi);
    report.takeSettings(s);
    printlist::RowSet list = numberedRows(rows);
    run->result = report.run(list, run->surface);
    return run;
}

std::vector<int> lefts(const std::vector<QRect>& rects) {
    std::vector<int> out;
    for (const QRect& r : rects) {
        out.push_back(r.left());
    }
    return out;
}

std::vector<int> tops(const std::vector<QRect>& rects) {
    std::vector<int> out;
    for (const QRect& r : rects) {
        out.push_back(r.top());
    }
    return out;
}

TEST(LayoutRun, WorkedExampleThreeColumnsOf37mm) {
    LabelReport report;
    auto run = runOnce(report, layout(10, 10, 3, 37), 50);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 239 * 254.0 / 96); // 632.35
    ASSERT_EQ(run->result.status, RunStatus::Finished);
    EXPECT_EQ(run->result.pages, 3);
    EXPECT_EQ(run->result.labels, 50);
    ASSERT_EQ(run->surface.pages(), 3);
    EXPECT_EQ(run->surface.labelRects(1).size(), 21u);
    EXPECT_EQ(run->surface.labelRects(2).size(), 21u);

    const std::vector<int> column = {100, 470, 840, 1210, 1580, 1950, 2320};
    const auto page1 = run->surface.labelRects(1);
    for (int c = 0; c < 3; ++c) {
        const std::vector<QRect> col(page1.begin() + c * 7, page1.begin() + c * 7 + 7);
        EXPECT_EQ(tops(col), column) << "column " << c + 1;
        EXPECT_EQ(lefts(col), std::vector<int>(7, 100 + 632 * c)) << "column " << c + 1;
    }
    // x = 100, 732, 1364; each label 632.35 wide and 370 high.
    EXPECT_EQ(page1[0], QRect(QPoint(100, 100), QPoint(731, 469)));
    EXPECT_EQ(page1[7].left(), 732);
    EXPECT_EQ(page1[14].left(), 1364);

    const auto page3 = run->surface.labelRects(3);
    ASSERT_EQ(page3.size(), 8u);
    EXPECT_EQ(tops(page3), (std::vector<int>{100, 470, 840, 1210, 1580, 1950, 2320, 100}));
    EXPECT_EQ(lefts(page3), (std::vector<int>{100, 100, 100, 100, 100, 100, 100, 732}));
}

TEST(LayoutRun, DefaultsGiveTenColumnsOf18AndOneRowMoreStartsAPage) {
    LabelReport report;
    auto run = runOnce(report, settings::LayoutSettings{}, 181);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 71 * 254.0 / 96); // 187.85
    ASSERT_EQ(run->result.pages, 2);
    const auto page1 = run->surface.labelRects(1);
    ASSERT_EQ(page1.size(), 180u);
    std::vector<int> columnTops;
    for (int i = 0; i < 18; ++i) {
        columnTops.push_back(100 + 150 * i); // 100 .. 2650
    }
    for (int c = 0; c < 10; ++c) {
        const std::vector<QRect> col(page1.begin() + c * 18, page1.begin() + c * 18 + 18);
        EXPECT_EQ(tops(col), columnTops);
        EXPECT_EQ(lefts(col), std::vector<int>(18, 100 + 188 * c)); // .. 1792
    }
    EXPECT_EQ(run->surface.labelRects(2), (std::vector<QRect>{QRect(100, 100, 188, 150)}));
}

// Label rectangles of the worked example's first label and of the first label of column 3 on
// other resolutions, with and without the printable-area offsets of a printer.
TEST(LayoutRun, DeviceCoordinatesFollowResolutionAndOrigin) {
    struct Case {
        int dpi;
        double origin;
        QRect first;
        QRect column3;
    };
    const Case cases[] = {
        {96, 0, QRect(QPoint(38, 38), QPoint(276, 177)), QRect(QPoint(516, 38), QPoint(754, 177))},
        {600, 0, QRect(QPoint(236, 236), QPoint(1729, 1109)),
         QRect(QPoint(3222, 236), QPoint(4715, 1109))},
        {600, 42, QRect(QPoint(137, 137), QPoint(1630, 1010)),
         QRect(QPoint(3123, 137), QPoint(4616, 1010))},
    };
    for (const Case& c : cases) {
        LabelReport report;
        report.takeSettings(layout(10, 10, 3, 37));
        RecordingSurface surface(c.dpi);
        surface.originLeftValue = c.origin;
        surface.originTopValue = c.origin;
        printlist::RowSet rows = numberedRows(15);
        report.run(rows, surface);
        const auto rects = surface.labelRects(1);
        ASSERT_EQ(rects.size(), 15u);
        EXPECT_EQ(rects[0], c.first) << c.dpi << " dpi, origin " << c.origin;
        EXPECT_EQ(rects[14], c.column3) << c.dpi << " dpi, origin " << c.origin;
    }
}

TEST(LayoutRun, EmptyListGivesOneBlankLabel) {
    LabelReport report;
    auto run = runOnce(report, settings::LayoutSettings{}, 0);
    EXPECT_EQ(run->result.status, RunStatus::Finished);
    EXPECT_EQ(run->result.pages, 1);
    EXPECT_EQ(run->surface.labelRects(1), (std::vector<QRect>{QRect(100, 100, 188, 150)}));
    EXPECT_TRUE(run->surface.ofKind(SurfaceCall::DrawText).empty());
    EXPECT_TRUE(run->surface.ofKind(SurfaceCall::Progress).empty());
    // Background plus four frame bars.
    EXPECT_EQ(run->surface.ofKind(SurfaceCall::FillRect).size(), 5u);
}

TEST(LayoutRun, ColumnCountBelowOneKeepsThePreviousCount) {
    LabelReport report;
    auto first = runOnce(report, layout(10, 10, 0, 15), 20);
    EXPECT_EQ(report.columns(), 10);
    EXPECT_EQ(first->surface.labelRects(1)[18].left(), 288); // second of 10 columns

    runOnce(report, layout(10, 10, 3, 15), 1);
    auto later = runOnce(report, layout(10, 10, -4, 15), 20);
    EXPECT_EQ(report.columns(), 3);
    EXPECT_EQ(later->surface.labelRects(1)[18].left(), 732);
}

TEST(LayoutRun, OneColumnStartsAPageWhenTheNextLabelCrossesTheBottom) {
    LabelReport report;
    auto run = runOnce(report, layout(10, 10, 1, 15), 19);
    EXPECT_EQ(run->result.pages, 2);
    EXPECT_EQ(run->surface.labelRects(1).size(), 18u);
    EXPECT_EQ(run->surface.labelRects(2), (std::vector<QRect>{QRect(100, 100, 1900, 150)}));
}

TEST(LayoutRun, ZeroLabelHeightGivesOnePageWithNothingDrawn) {
    LabelReport report;
    auto run = runOnce(report, layout(10, 10, 10, 0), 30);
    EXPECT_EQ(run->result.pages, 1);
    EXPECT_EQ(run->result.labels, 30);
    EXPECT_TRUE(run->surface.ofKind(SurfaceCall::FillRect).empty());
    EXPECT_TRUE(run->surface.ofKind(SurfaceCall::DrawText).empty());
}

TEST(LayoutRun, LabelReachingExactlyTheBottomLimitFits) {
    // Top 700, 31 mm labels: the seventh ends at 2560 + 310 = 2870, the bottom limit.
    LabelReport report;
    auto run = runOnce(report, layout(10, 70, 2, 31), 8);
    const auto rects = run->surface.labelRects(1);
    ASSERT_EQ(rects.size(), 8u);
    EXPECT_EQ(rects[6].top(), 2560);
    EXPECT_EQ(rects[6].left(), 100);
    EXPECT_EQ(rects[7].top(), 700);
    EXPECT_NE(rects[7].left(), 100);
}

TEST(LayoutRun, MarginsWithoutRoomAreResetForThatPrintOnly) {
    LabelReport report;
    auto wide = runOnce(report, layout(201, 10, 10, 15), 1);
    EXPECT_EQ(report.leftMargin(), 0);
    EXPECT_EQ(report.rightMargin(), 0);
    EXPECT_EQ(wide->surface.labelRects(1).at(0).left(), 0);

    // The next print starts from the settings as they are now: both margins 10 mm again.
    auto next = runOnce(report, layout(10, 10, 10, 15), 1);
    EXPECT_EQ(report.rightMargin(), 100);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 71 * 254.0 / 96); // (794 - 76) / 10, as at start
    EXPECT_EQ(next->surface.labelRects(1).at(0).left(), 100);

    auto tall = runOnce(report, layout(10, 288, 10, 15), 20);
    EXPECT_EQ(report.topMargin(), 0);
    EXPECT_EQ(report.bottomMargin(), 0);
    // Bottom limit 2970: 19 labels of 150 fit in a column from y = 0.
    EXPECT_EQ(tall->surface.labelRects(1).at(18).top(), 2700);
    EXPECT_EQ(tall->surface.labelRects(1).at(19).top(), 0);

    // And the bottom limit is 2870 again: 18 labels from y = 100.
    auto after = runOnce(report, layout(10, 10, 10, 15), 20);
    EXPECT_EQ(report.bottomMargin(), 100);
    EXPECT_EQ(after->surface.labelRects(1).at(17).top(), 2650);
    EXPECT_EQ(after->surface.labelRects(1).at(18).top(), 100);
}

TEST(LayoutRun, LabelTallerThanThePageFlowsDownPageOne) {
    LabelReport report;
    auto run = runOnce(report, layout(10, 10, 3, 280), 3);
    EXPECT_EQ(run->result.pages, 1);
    EXPECT_EQ(tops(run->surface.labelRects(1)), (std::vector<int>{100, 2900, 5700}));
    EXPECT_EQ(lefts(run->surface.labelRects(1)), (std::vector<int>{100, 100, 100}));
}

TEST(LayoutRun, NegativeMarginsAreUsedUnchanged) {
    LabelReport report;
    auto run = runOnce(report, layout(-5, -3, 10, 15), 2);
    // M = nearest((-50 + 100) x 96 / 254) = 19, so w = (794 - 19) / 10 = 77.
    EXPECT_DOUBLE_EQ(report.labelWidth(), 77 * 254.0 / 96);
    EXPECT_EQ(run->surface.labelRects(1).at(0), QRect(-50, -30, 204, 150));
    EXPECT_EQ(run->surface.labelRects(1).at(1).top(), 120);
}

TEST(LayoutRun, ExtremeSettingsStayOnOnePageWithoutOverflow) {
    // Nothing limits the spin fields: a label of 214748364.7 cm never fits, so every label
    // flows down page 1; positions stop at the device limit instead of wrapping around.
    LabelReport report;
    auto run = runOnce(report,
                       layout(10, 10, std::numeric_limits<std::int32_t>::max(),
                              std::numeric_limits<std::int32_t>::max()),
                       3);
    EXPECT_EQ(run->result.status, RunStatus::Finished);
    EXPECT_EQ(run->result.pages, 1);
    const auto rects = run->surface.labelRects(1);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].top(), 100);
    EXPECT_EQ(rects[1].top(), kDeviceLimit);
    EXPECT_EQ(rects[0].left(), 100);
}

TEST(LayoutRun, LandscapeSwapsThePageAndUsesTheSurfacePaperLength) {
    LabelReport report;
    report.setOrientation(Orientation::Landscape);
    RecordingSurface surface(254);
    surface.paperWidthValue = 2970;
    surface.paperLengthValue = 2100;
    report.takeSettings(settings::LayoutSettings{});
    // W = nearest(2970 x 96 / 254) = 1123, so w = (1123 - 76) / 10 = 104.
    EXPECT_DOUBLE_EQ(report.labelWidth(), 104 * 254.0 / 96);
    printlist::RowSet rows = numberedRows(13);
    report.run(rows, surface);
    // Bottom limit 2000: 12 labels of 150 from y = 100.
    const auto rects = surface.labelRects(1);
    EXPECT_EQ(rects.at(11).top(), 1750);
    EXPECT_EQ(rects.at(12), QRect(375, 100, 275, 150));
}

TEST(LayoutRun, AnnouncesProgressAndPages) {
    LabelReport report;
    auto run = runOnce(report, layout(10, 10, 1, 150), 7); // 1 label per page
    std::vector<int> progress;
    for (const auto& c : run->surface.ofKind(SurfaceCall::Progress)) {
        progress.push_back(c.value);
    }
    EXPECT_EQ(progress, (std::vector<int>{14, 28, 42, 57, 71, 85, 100}));
    std::vector<int> finished;
    for (const auto& c : run->surface.ofKind(SurfaceCall::FinishPage)) {
        finished.push_back(c.value);
    }
    EXPECT_EQ(finished, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(run->surface.calls.back().kind, SurfaceCall::EndDocument);
    EXPECT_EQ(run->surface.ofKind(SurfaceCall::FinishPage).size(), 7u);
}

TEST(LayoutRun, CancelledFlagStopsBeforeTheNextLabelAndEndsNormally) {
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    RecordingSurface surface(254);
    // The flag is raised while label 181 opens page 2: that label is still drawn.
    surface.onBeginPage = [&](int page) {
        if (page == 2) {
            surface.cancel();
        }
    };
    printlist::RowSet rows = numberedRows(400);
    const RunResult result = report.run(rows, surface);
    EXPECT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(result.labels, 181);
    EXPECT_EQ(surface.labelRects(2).size(), 1u);
    EXPECT_EQ(surface.ofKind(SurfaceCall::FinishPage).size(), 2u);
    EXPECT_EQ(surface.calls.back().kind, SurfaceCall::EndDocument);
}

TEST(LayoutRun, CancelledMarkAbortsTheDocument) {
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    RecordingSurface surface(254);
    surface.onBeginPage = [&](int page) {
        if (page == 2) {
            report.cancelRun();
        }
    };
    printlist::RowSet rows = numberedRows(400);
    const RunResult result = report.run(rows, surface);
    EXPECT_EQ(result.status, RunStatus::Aborted);
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(surface.ofKind(SurfaceCall::FinishPage).size(), 1u);
    EXPECT_TRUE(surface.ofKind(SurfaceCall::EndDocument).empty());
    EXPECT_EQ(surface.calls.back().kind, SurfaceCall::AbortDocument);
    EXPECT_FALSE(report.inRun());

    // The mark belongs to that run: the next one runs to its end.
    RecordingSurface again(254);
    printlist::RowSet more = numberedRows(3);
    EXPECT_EQ(report.run(more, again).status, RunStatus::Finished);
}

TEST(LayoutRun, ReportInARunRefusesAnotherAndCallsBeforeEachLabel) {
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    RecordingSurface surface(254);
    RecordingSurface second(254);
    printlist::RowSet rows = numberedRows(5);
    printlist::RowSet other = numberedRows(5);
    int calls = 0;
    RunStatus nested = RunStatus::Finished;
    const RunResult result = report.run(rows, surface, [&] {
        ++calls;
        nested = report.run(other, second).status;
    });
    EXPECT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(nested, RunStatus::Refused);
    EXPECT_TRUE(second.calls.empty());
}

TEST(LayoutRun, SurfaceThatCannotBeginGivesNoOutput) {
    LabelReport report;
    RecordingSurface surface(254);
    surface.acceptDocument = false;
    printlist::RowSet rows = numberedRows(5);
    const RunResult result = report.run(rows, surface);
    EXPECT_EQ(result.status, RunStatus::NoOutput);
    EXPECT_EQ(surface.calls.size(), 1u);
    EXPECT_FALSE(report.inRun());
}

} // namespace
} // namespace labelprint
