// The label face with fit rules: fitted lines drawn at the chosen size with the reference line
// spacing, and the labels whose text does not fit counted by the run, rules on or off.
#include "labelprint/labelreport.h"
#include "labelprint/textfit.h"
#include "recordingsurface.h"
#include "rows.h"

#include <gtest/gtest.h>

namespace labelprint {
namespace {

using settings::Slot;
using Mode = settings::FitRule::Mode;

const QString kLong = QStringLiteral("Jogurt bílý smetanový s příchutí lesního ovoce 150 g");

// Only the name line, 2 mm from the top, on labels of three columns (63.3 x 37 mm).
settings::LayoutSettings nameOnly(Mode mode, int left = -1) {
    settings::LayoutSettings s;
    for (auto& line : s.lines) {
        line.on = false;
    }
    s.sloupce = 3;
    s.vyskabunky = 37;
    s.lines[Slot::Nazev].on = true;
    s.lines[Slot::Nazev].top = 2;
    s.lines[Slot::Nazev].left = left;
    s.lines[Slot::Nazev].fit.mode = mode;
    return s;
}

printlist::RowSet names(const QStringList& values) {
    std::vector<QStringList> rows;
    for (const QString& v : values) {
        rows.push_back({"", "", v, "", "", "", ""});
    }
    return printlist::RowSet(test::fieldNames(), std::move(rows));
}

TEST(FitFace, FittedLinesAtTheChosenSizeAndReferenceSpacing) {
    struct Case {
        Mode mode;
        int left;
        int lines;
    };
    for (const Case c : {Case{Mode::Shrink, -1, 1}, Case{Mode::Shrink, 3, 1},
                         Case{Mode::Wrap, -1, 2}, Case{Mode::Wrap, 3, 2}}) {
        SCOPED_TRACE(int(c.mode) * 100 + c.left);
        LabelReport report;
        report.takeSettings(nameOnly(c.mode, c.left));
        RecordingSurface surface(254); // one device unit is 0.1 mm
        printlist::RowSet rows = names({kLong});
        const RunResult run = report.run(rows, surface);
        EXPECT_TRUE(run.overflows.empty());

        const auto fonts = surface.ofKind(SurfaceCall::SelectFont);
        const auto texts = surface.ofKind(SurfaceCall::DrawText);
        ASSERT_EQ(fonts.size(), 1u);
        ASSERT_EQ(int(texts.size()), c.lines);
        const int size = fonts[0].size;
        // Too wide for one line at 8 pt: shrunk, or wrapped at the font's own size.
        EXPECT_EQ(size, c.mode == Mode::Wrap ? 80 : size);
        EXPECT_LT(size, c.mode == Mode::Shrink ? 80 : 81);
        EXPECT_EQ(size % 5, 0);
        QStringList drawn;
        const FitFont metrics(report.line(Slot::Nazev).font);
        const double room = report.labelWidth() - (c.left < 0 ? 0 : report.line(Slot::Nazev).left);
        for (size_t i = 0; i < texts.size(); ++i) {
            drawn << texts[i].text;
            EXPECT_LE(metrics.width(texts[i].text, size), room) << texts[i].text.toStdString();
            EXPECT_EQ(texts[i].anchor, c.left < 0 ? TextAnchor::TopCentre : TextAnchor::TopLeft);
            EXPECT_EQ(texts[i].at.x(), texts[0].at.x());
            EXPECT_NEAR(texts[i].at.y() - texts[0].at.y(), i * metrics.cellHeight(size), 0.5);
        }
        EXPECT_EQ(drawn.join(' '), kLong);
        // Half a point larger would not have fitted.
        if (c.mode == Mode::Shrink) {
            EXPECT_GT(metrics.width(kLong, size + 5), room);
        }
    }
}

TEST(FitFace, RunCountsTheLabelsThatDoNotFitWithEveryRuleOff) {
    settings::LayoutSettings s = nameOnly(Mode::Off);
    s.lines[Slot::Cena].on = true;
    s.lines[Slot::Cena].top = 30;
    LabelReport report;
    report.takeSettings(s);
    RecordingSurface surface(254);
    std::vector<QStringList> rows = {
        {"", "", "Mléko", "12,90", "", "", ""},
        {"", "", kLong, "12,90", "", "", ""},           // past the label's edges
        {"", "", "Mléko\rčerstvé", "9,90", "", "", ""}, // the second line cut by the slot
        {"", "", "Mléko\r", "9,90\r", "", "", ""},      // empty lines cut: nothing lost
        {"", "", kLong, kLong, "", "", ""},
    };
    printlist::RowSet list(test::fieldNames(), std::move(rows));
    const RunResult run = report.run(list, surface);
    const unsigned nazev = 1u << unsigned(Slot::Nazev);
    const unsigned cena = 1u << unsigned(Slot::Cena);
    // Down the first column of page 1: labels 37 mm high from the 10 mm margin.
    const double w = report.labelWidth();
    EXPECT_EQ(run.overflows,
              (std::vector<Overflow>{{2, nazev, 1, QRectF(100, 470, w, 370)},
                                     {3, nazev, 1, QRectF(100, 840, w, 370)},
                                     {5, nazev | cena, 1, QRectF(100, 1580, w, 370)}}));
    // Drawn as ever: the long name whole, at its own size.
    const auto texts = surface.ofKind(SurfaceCall::DrawText);
    EXPECT_EQ(texts[2].text, kLong);
    for (const SurfaceCall& f : surface.ofKind(SurfaceCall::SelectFont)) {
        EXPECT_EQ(f.size, 80);
    }

    EXPECT_EQ(run.problems[LabelProblem::Overflow].labels, 3);
    EXPECT_EQ(run.problems[LabelProblem::Overflow].firstLabel, 2);

    // A caller that wants only the number gets it without the list.
    report.setKeepOverflows(false);
    const RunResult counted = report.run(list, surface);
    EXPECT_TRUE(counted.overflows.empty());
    EXPECT_EQ(counted.problems[LabelProblem::Overflow].labels, 3);
    report.setKeepOverflows(true);

    // An empty list: one blank label, nothing to fit.
    printlist::RowSet empty(test::fieldNames(), {});
    EXPECT_TRUE(report.run(empty, surface).overflows.empty());
}

} // namespace
} // namespace labelprint
