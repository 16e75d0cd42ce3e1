// A line slot drawn as a barcode on a label: placed as its text would be, bad codes left out
// of the paper, marked on the preview, counted by the run, and a stop at the first one where a
// front end wants it.
#include "labelprint/barcode.h"
#include "labelprint/labelreport.h"
#include "recordingsurface.h"
#include "rows.h"

#include <gtest/gtest.h>

namespace labelprint {
namespace {

using settings::Slot;

settings::LayoutSettings kodsOnly(int top, int left, settings::BarcodeKind kind) {
    settings::LayoutSettings s;
    for (auto& line : s.lines) {
        line.on = false;
    }
    s.lines[Slot::Kods].on = true;
    s.lines[Slot::Kods].top = top;
    s.lines[Slot::Kods].left = left;
    s.lines[Slot::Kods].barcode.kind = kind;
    return s;
}

printlist::RowSet kodsRows(const QStringList& codes) {
    std::vector<QStringList> rows;
    for (const QString& code : codes) {
        rows.push_back({code, "k", "n", "c", "", "", ""});
    }
    return printlist::RowSet(test::fieldNames(), std::move(rows));
}

// The calls between a label's background and its four frame bars.
std::vector<SurfaceCall> body(const RecordingSurface& s) {
    std::vector<SurfaceCall> drawn;
    for (const SurfaceCall& c : s.calls) {
        if (c.kind == SurfaceCall::FillRect || c.kind == SurfaceCall::DrawText) {
            drawn.push_back(c);
        }
    }
    EXPECT_GE(drawn.size(), 5u);
    return {drawn.begin() + 1, drawn.end() - 4};
}

// The symbol's anchor is the text's: the same point and anchor for a left offset and for a
// centred line, on the design grid, and the bars and digits are those of the code without the
// specznak, drawn there.
TEST(BarcodeFace, TheSymbolTakesTheTextsPlace) {
    for (const int left : {5, -1}) {
        SCOPED_TRACE(left);
        const printlist::RowSet rows = kodsRows({"*859123456789*"});
        LabelReport asText;
        RecordingSurface textSurface(600);
        asText.takeSettings(kodsOnly(2, left, settings::BarcodeKind::Text));
        printlist::RowSet r1 = rows;
        asText.run(r1, textSurface);
        const auto texts = textSurface.ofKind(SurfaceCall::DrawText);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "*859123456789*"); // a text slot draws as it always did

        LabelReport asCode;
        RecordingSurface codeSurface(600);
        const settings::LayoutSettings layout = kodsOnly(2, left, settings::BarcodeKind::Ean13);
        asCode.takeSettings(layout);
        printlist::RowSet r2 = rows;
        const RunResult result = asCode.run(r2, codeSurface);
        EXPECT_EQ(result.problems[LabelProblem::BadBarcode].labels, 0);

        const BarcodeOptions& o = layout.lines[Slot::Kods].barcode;
        const BarcodeResult symbol = encodeBarcode(o, QStringLiteral("859123456789"));
        ASSERT_TRUE(symbol.ok());
        RecordingSurface expected(600);
        drawBarcode(expected, *symbol.symbol, o, texts[0].at, texts[0].anchor,
                    layout.lines[Slot::Kods].font, Qt::black);
        const auto drawn = body(codeSurface);
        ASSERT_EQ(drawn.size(), expected.calls.size() - 1); // less the font selection
        size_t i = 0;
        for (const SurfaceCall& want : expected.calls) {
            if (want.kind == SurfaceCall::SelectFont) {
                continue;
            }
            EXPECT_EQ(drawn[i].kind, want.kind);
            EXPECT_EQ(drawn[i].rect, want.rect);
            EXPECT_EQ(drawn[i].at, want.at);
            EXPECT_EQ(drawn[i].text, want.text);
            ++i;
        }
        EXPECT_FALSE(expected.ofKind(SurfaceCall::DrawText).empty());
    }
}

// Rows 2 and 3 cannot be encoded (a letter, a wrong check digit): paper gets only their
// backgrounds and frames, a marking surface a red marker, and the run counts both with the
// first one's row and the encoder's reason. A blank label of an empty list is no bad code.
TEST(BarcodeFace, BadCodesAreLeftOutMarkedAndCounted) {
    const QStringList codes = {"*8591234567893*", "*85912345678X*", "*8591234567890*",
                               "*859123456789*"};
    for (const bool marks : {false, true}) {
        SCOPED_TRACE(marks);
        LabelReport report;
        report.takeSettings(kodsOnly(1, -1, settings::BarcodeKind::Ean13));
        RecordingSurface surface(300);
        surface.marks = marks;
        printlist::RowSet rows = kodsRows(codes);
        const RunResult result = report.run(rows, surface);
        EXPECT_EQ(result.status, RunStatus::Finished);
        EXPECT_EQ(result.labels, 4);
        const ProblemTally& bad = result.problems[LabelProblem::BadBarcode];
        EXPECT_EQ(bad.labels, 2);
        EXPECT_EQ(bad.firstLabel, 2);
        EXPECT_EQ(bad.first.slot, int(Slot::Kods));
        EXPECT_EQ(bad.first.reason,
                  encodeBarcode(report.line(Slot::Kods).barcode, "85912345678X").reason);
        EXPECT_FALSE(bad.first.reason.isEmpty());

        const QColor red(255, 0, 0);
        int redFills = 0;
        int markerTexts = 0;
        for (const SurfaceCall& c : surface.calls) {
            redFills += c.kind == SurfaceCall::FillRect && c.colour == red;
            markerTexts +=
                c.kind == SurfaceCall::DrawText && c.text == QStringLiteral("neplatný kód");
        }
        EXPECT_EQ(redFills, marks ? 8 : 0);
        EXPECT_EQ(markerTexts, marks ? 2 : 0);
        // Labels 1 and 4 carry bars and the digits; the other two nothing else on paper.
        const size_t groups =
            encodeBarcode(report.line(Slot::Kods).barcode, "859123456789").symbol->texts.size();
        ASSERT_GT(groups, 0u);
        EXPECT_EQ(surface.ofKind(SurfaceCall::DrawText).size(), 2 * groups + (marks ? 2u : 0u));
    }

    LabelReport report;
    report.takeSettings(kodsOnly(1, -1, settings::BarcodeKind::Ean13));
    RecordingSurface surface(300);
    printlist::RowSet none = kodsRows({});
    EXPECT_EQ(report.run(none, surface).problems[LabelProblem::BadBarcode].labels, 0);
}

// A front end that never prints a bad code stops the run at the first one: the document is
// aborted and the tally names that label.
TEST(BarcodeFace, AStopAtBadCodesAbortsAtTheFirst) {
    LabelReport report;
    report.takeSettings(kodsOnly(1, -1, settings::BarcodeKind::Ean13));
    report.setStopAt(problemBit(LabelProblem::BadBarcode));
    RecordingSurface surface(300);
    printlist::RowSet rows =
        kodsRows({"*8591234567893*", "*859123456789*", "*85912345*", "*8591234567893*"});
    const RunResult result = report.run(rows, surface);
    EXPECT_EQ(result.status, RunStatus::Aborted);
    EXPECT_EQ(result.labels, 3);
    EXPECT_EQ(result.problems[LabelProblem::BadBarcode].firstLabel, 3);
    EXPECT_EQ(surface.ofKind(SurfaceCall::AbortDocument).size(), 1u);
    EXPECT_TRUE(surface.ofKind(SurfaceCall::EndDocument).empty());
}

} // namespace
} // namespace labelprint
