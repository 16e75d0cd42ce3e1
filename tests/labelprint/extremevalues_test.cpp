// Settings at the ends of their 32-bit range, as a hand-edited dravelin.ini, font file or
// snapshot can hold them: every surface gets positions and sizes it can add and subtract
// without overflow, and the run ends normally.
#include "labelprint/devicemap.h"
#include "labelprint/labelreport.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/printersurface.h"
#include "recordingsurface.h"
#include "rows.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

namespace labelprint {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct Extreme {
    const char* name;
    settings::LayoutSettings settings;
};

std::vector<Extreme> extremes() {
    std::vector<Extreme> cases;
    auto add = [&](const char* name, const std::function<void(settings::LayoutSettings&)>& f) {
        settings::LayoutSettings s;
        for (auto& line : s.lines) {
            line.on = true;
        }
        f(s);
        cases.push_back({name, s});
    };
    add("margins at the top of the range", [](auto& s) { s.vlevo = s.nahore = kMax; });
    add("margins at the bottom of the range", [](auto& s) { s.vlevo = s.nahore = kMin; });
    add("label height at the top", [](auto& s) { s.vyskabunky = kMax; });
    add("one column a whole range wide", [](auto& s) { s.vlevo = kMin, s.sloupce = 1; });
    add("columns at the top", [](auto& s) { s.sloupce = kMax; });
    add("line offsets at the top", [](auto& s) {
        for (auto& line : s.lines) {
            line.top = line.left = kMax;
        }
    });
    add("line offsets at the bottom, left-aligned", [](auto& s) {
        for (auto& line : s.lines) {
            line.top = kMin;
            line.left = 0;
        }
    });
    add("font heights at the bottom", [](auto& s) {
        for (auto& line : s.lines) {
            line.font.height = kMin;
        }
    });
    add("font heights at the top, label as high", [](auto& s) {
        s.vyskabunky = kMax;
        for (auto& line : s.lines) {
            line.font.height = kMax;
            line.top = 0;
        }
    });
    return cases;
}

TEST(LayoutRun, ExtremeSettingsGiveDefinedPositionsOnEverySurface) {
    QTemporaryDir dir;
    for (const Extreme& c : extremes()) {
        SCOPED_TRACE(c.name);
        LabelReport report;
        report.takeSettings(c.settings);

        RecordingSurface recorded(1200);
        printlist::RowSet rows = test::numberedRows(3);
        ASSERT_EQ(report.run(rows, recorded).status, RunStatus::Finished);
        for (const SurfaceCall& call : recorded.calls) {
            // Margins beyond the sheet give labels of negative width, as they always have;
            // a position or size that wrapped round would lie far outside these bounds (frame
            // bars sit a bar's thickness beyond a label's edge).
            if (call.kind == SurfaceCall::FillRect) {
                const QRect& r = call.rect;
                const int bar = 100;
                EXPECT_LE(std::abs(r.x()), kDeviceLimit + bar) << ::testing::PrintToString(r);
                EXPECT_LE(std::abs(r.y()), kDeviceLimit + bar) << ::testing::PrintToString(r);
                EXPECT_LE(std::abs(r.width()), 2 * kDeviceLimit + bar)
                    << ::testing::PrintToString(r);
                EXPECT_LE(std::abs(r.height()), 2 * kDeviceLimit + bar)
                    << ::testing::PrintToString(r);
            }
            if (call.kind == SurfaceCall::DrawText) {
                EXPECT_LE(std::abs(call.at.x()), kDeviceLimit);
                EXPECT_LE(std::abs(call.at.y()), kDeviceLimit);
            }
        }

        PreviewDocument document(2100, 2970);
        PreviewSurface preview(document);
        printlist::RowSet previewRows = test::numberedRows(3);
        EXPECT_EQ(report.run(previewRows, preview).status, RunStatus::Finished);
        EXPECT_GE(document.pageCount(), 1);

        PrinterSurface pdf(PrinterSurface::PdfFile{dir.filePath("extreme.pdf")}, {},
                           report.orientation());
        printlist::RowSet pdfRows = test::numberedRows(3);
        EXPECT_EQ(report.run(pdfRows, pdf).status, RunStatus::Finished);
    }
}

TEST(LabelFace, ASizeBeyondTheFontDialogsIsDrawnAtTheLargestSize) {
    settings::FontDescription huge;
    huge.height = kMin;
    settings::FontDescription largest;
    largest.height = -settings::FontDescription::kMaxPointSize * 96 / 72;
    EXPECT_EQ(huge.pointSize(), settings::FontDescription::kMaxPointSize);
    EXPECT_EQ(largest.pointSize(), settings::FontDescription::kMaxPointSize);
    settings::FontDescription reachable; // 512 points, the font dialog's largest
    reachable.height = -683;
    EXPECT_EQ(reachable.pointSize(), 512);
}

} // namespace
} // namespace labelprint
