// Label sheets as they are sold, printed onto the real cups-pdf queue: every label's frame is
// measured on a raster of the PDF against the sheet's cut lines, and the words of the PDF
// (pdftotext -bbox) say which label stands where.
#include "labelprint/alignmentpage.h"
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "labelprint/windows/tiskunit.h"
#include "pdfprobe.h"
#include "printlist/rowset.h"
#include "settings/sheetcatalogue.h"

#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using labelprint::LabelReport;
using labelprint::PrinterSurface;
using labelprint::RunStatus;
using settings::Sheet;
using settings::Slot;

printlist::RowSet rows(int n) {
    QStringList names;
    for (const QString& s : settings::slotNames()) {
        names << s;
    }
    std::vector<QStringList> list;
    for (int i = 1; i <= n; ++i) {
        const QString code = QStringLiteral("L%1").arg(100 + i);
        list.push_back({"*" + code + "*", code, "", "", "", "", ""});
    }
    return printlist::RowSet(names, std::move(list));
}

// Only kod, small, 2 mm from the label's top-left corner: the middle of each label stays
// free for measuring its frame.
settings::LayoutSettings withSheet(const Sheet& sheet) {
    settings::LayoutSettings s;
    for (auto& line : s.lines) {
        line.on = false;
    }
    s.lines[Slot::Kod].on = true;
    s.lines[Slot::Kod].top = 2;
    s.lines[Slot::Kod].left = 2;
    s.lines[Slot::Kod].font.face = "DejaVu Sans";
    s.lines[Slot::Kod].font.height = -11;
    s.lines[Slot::Kod].font.colour = 0;
    s.sheet = sheet;
    return s;
}

// The inked band that crosses `at` along a line, searched within 1.5 mm of it: its start and
// end in 0.1 mm. `vertical` scans down at x = `across`, else right at y = `across`.
std::optional<std::pair<double, double>> band(const e2e::Raster& r, double at, double across,
                                              bool vertical) {
    const auto ink = [&](double p) { return vertical ? r.inked(across, p) : r.inked(p, across); };
    const double step = r.pixel();
    double first = -1;
    for (double p = at - 15; p <= at + 15; p += step) {
        if (ink(p)) {
            first = p;
            break;
        }
    }
    if (first < 0) {
        return std::nullopt;
    }
    double last = first;
    while (ink(last + step)) {
        last += step;
    }
    return std::pair{first, last + step};
}

// Where the printed frame puts a cut line: the outer edge of a frame bar, or the middle of the
// two bars where neighbouring labels touch.
struct Frame {
    double left, top, right, bottom;
};

// Labels `from` to `from + count - 1` were printed; only printed neighbours share a cut line.
Frame measure(const e2e::Raster& r, const Sheet& s, int n, int from, int count) {
    const auto printed = [&](int m) { return m >= from && m < from + count; };
    const double x = s.labelLeft(n);
    const double y = s.labelTop(n);
    const double midX = x + s.width * 0.6;
    const double midY = y + s.height * 0.6;
    const bool touchX = s.pitchX == s.width;
    const bool touchY = s.pitchY == s.height;
    const int col = n / s.rows;
    const int row = n % s.rows;
    const auto edge = [&](std::optional<std::pair<double, double>> b, bool start, bool shared) {
        if (!b) {
            return -1000.0;
        }
        return shared ? (b->first + b->second) / 2 : (start ? b->first : b->second);
    };
    Frame f;
    f.left = edge(band(r, x, midY, false), true, touchX && col > 0 && printed(n - s.rows));
    f.right = edge(band(r, x + s.width, midY, false), false,
                   touchX && col < s.columns - 1 && printed(n + s.rows));
    f.top = edge(band(r, y, midX, true), true, touchY && row > 0 && printed(n - 1));
    f.bottom = edge(band(r, y + s.height, midX, true), false,
                    touchY && row < s.rows - 1 && printed(n + 1));
    return f;
}

class SheetPrinting : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::outDir().isEmpty()) << "DRAVELIN_E2E_OUT is not set";
        ASSERT_EQ(QPrinterInfo::defaultPrinterName(), "dravelin-pdf");
    }
    void TearDown() override {
        if (!qEnvironmentVariableIsSet("DRAVELIN_E2E_KEEP")) {
            for (const QString& f : produced) {
                QFile::remove(f);
            }
        }
    }

    // Prints `count` rows (or the alignment page when `count` is 0) and returns the PDF.
    QString print(const Sheet& sheet, int count, int skip, const char* what) {
        LabelReport report;
        report.takeSettings(withSheet(sheet));
        report.setSkip(skip);
        title = e2e::uniqueTitle(what);
        report.printSettings().title = title;
        PrinterSurface surface(report.printSettings(), report.orientation());
        printlist::RowSet list = rows(count);
        const auto result = count == 0 ? labelprint::printAlignmentPage(report, surface)
                                       : report.run(list, surface);
        EXPECT_EQ(result.status, RunStatus::Finished);
        const QString pdf = e2e::waitForPdf(e2e::outDir(), report.printSettings().title, 30000);
        if (!pdf.isEmpty()) {
            produced << pdf;
        }
        return pdf;
    }

    void expectFramesOnCutLines(const QString& pdf, const Sheet& s, int from, int count) {
        const e2e::Raster raster(pdf, 1, 600);
        ASSERT_FALSE(raster.isNull());
        for (int n = from; n < from + count; ++n) {
            const Frame f = measure(raster, s, n, from, count);
            EXPECT_NEAR(f.left, s.labelLeft(n), 2) << "label " << n + 1;
            EXPECT_NEAR(f.top, s.labelTop(n), 2) << "label " << n + 1;
            EXPECT_NEAR(f.right, s.labelLeft(n) + s.width, 2) << "label " << n + 1;
            EXPECT_NEAR(f.bottom, s.labelTop(n) + s.height, 2) << "label " << n + 1;
        }
    }

    // The word of each label stands 2 mm (7.56 design pixels: 8 px = 2.12 mm) right of its
    // label's left cut line.
    void expectWordsInPlace(const QString& pdf, const Sheet& s, int skip, int count) {
        const auto words = e2e::words(pdf, 1);
        for (int i = 0; i < count; ++i) {
            const int n = skip + i;
            const QString text = QStringLiteral("L%1").arg(101 + i);
            const auto w = std::find_if(words.begin(), words.end(),
                                        [&](const e2e::Word& w) { return w.text == text; });
            ASSERT_NE(w, words.end()) << text.toStdString() << " is not on the page";
            EXPECT_NEAR(w->xMin, s.labelLeft(n) + 8 * 254.0 / 96, 3) << text.toStdString();
            EXPECT_GT(w->yMin, s.labelTop(n)) << text.toStdString();
            EXPECT_LT(w->yMax, s.labelTop(n) + s.height) << text.toStdString();
        }
    }

    QStringList produced;
    QString title; // of the last job printed
};

Sheet catalogued(const char* name) {
    const auto entry = settings::findSheet(settings::builtInSheets(), QString::fromLatin1(name));
    return entry ? entry->sheet : Sheet{};
}

TEST_F(SheetPrinting, Zweckform3651FortyLabelsOnOnePageOnTheCutLines) {
    const Sheet s = catalogued("3651");
    ASSERT_TRUE(s.on);
    const QString pdf = print(s, 40, 0, "3651");
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no PDF for the job";
    EXPECT_EQ(e2e::pageCount(pdf), 1);
    expectFramesOnCutLines(pdf, s, 0, 40);
    expectWordsInPlace(pdf, s, 0, 40);
}

TEST_F(SheetPrinting, L7160WithGapsBetweenColumns) {
    const Sheet s = catalogued("L7160");
    ASSERT_TRUE(s.on);
    ASSERT_GT(s.pitchX, s.width);
    const QString pdf = print(s, 21, 0, "L7160");
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(e2e::pageCount(pdf), 1);
    expectFramesOnCutLines(pdf, s, 0, 21);
    expectWordsInPlace(pdf, s, 0, 21);
    // The gap between the columns stays white.
    const e2e::Raster raster(pdf, 1, 600);
    EXPECT_FALSE(raster.inked(s.left + s.width + (s.pitchX - s.width) / 2.0, s.top + 200));
}

TEST_F(SheetPrinting, StartingFromLabel7LeavesSixPositionsEmpty) {
    const Sheet s = catalogued("3651");
    const QString pdf = print(s, 3, 6, "skip7");
    ASSERT_FALSE(pdf.isEmpty());
    expectWordsInPlace(pdf, s, 6, 3);
    expectFramesOnCutLines(pdf, s, 6, 3);
    // Nothing at all where labels 1 to 6 would stand.
    const e2e::Raster raster(pdf, 1, 600);
    for (int n = 0; n < 6; ++n) {
        EXPECT_FALSE(raster.inked(s.labelLeft(n) + s.width / 2.0, s.labelTop(n) + s.height / 2.0))
            << "position " << n + 1;
        EXPECT_FALSE(raster.inked(s.labelLeft(n) + 5, s.labelTop(n) + s.height / 2.0))
            << "position " << n + 1;
    }
}

TEST_F(SheetPrinting, AlignmentPageOutlinesEveryPosition) {
    const Sheet s = catalogued("L7160");
    const QString pdf = print(s, 0, 0, "align");
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(e2e::pageCount(pdf), 1);
    expectFramesOnCutLines(pdf, s, 0, 21);
    const e2e::Raster raster(pdf, 1, 600);
    for (int n = 0; n < 21; ++n) {
        // The cross reaches 3 mm out of each top-left corner, where no outline is: its
        // horizontal arm crosses the line 2 mm left of the label on the corner's height.
        const auto arm = band(raster, s.labelTop(n), s.labelLeft(n) - 20, true);
        ASSERT_TRUE(arm) << "cross " << n + 1;
        EXPECT_NEAR((arm->first + arm->second) / 2, s.labelTop(n), 2) << "cross " << n + 1;
        EXPECT_LT(arm->second - arm->first, 3) << "cross " << n + 1;
        // The label's middle is empty.
        EXPECT_FALSE(raster.inked(s.labelLeft(n) + s.width / 2.0, s.labelTop(n) + s.height / 2.0));
    }
}

// "zkušební arch" of the window: print setup chose a PDF file on another queue, yet the page
// goes to the printer the arch tab names, in one copy, shifted by that printer's offset, and the
// PDF file keeps the user's earlier result.
TEST_F(SheetPrinting, AlignmentPageGoesToTheNamedPrinterWithItsOffsetAndLeavesThePdfFile) {
    const Sheet s = catalogued("L7160");
    ASSERT_TRUE(s.on);
    printlist::RowSet list = rows(0);
    labelprint::Ttiskf tiskf(list);
    tiskf.qr1.takeSettings(withSheet(s));
    QTemporaryDir keep;
    const QString earlier = keep.filePath("cenovky.pdf");
    {
        QFile f(earlier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("%PDF earlier result") > 0);
    }
    labelprint::PrintSettings& setup = tiskf.qr1.printSettings();
    setup.printer = "dravelin-letter";
    setup.pdfFile = earlier;
    setup.copies = 3;
    setup.offsets = {{"dravelin-pdf", {20, -10}}, {"dravelin-letter", {-40, 40}}};
    const QString title = QStringLiteral("zkušební arch");
    const int before = e2e::jobIdByTitle(title);

    tiskf.printAlignmentPage("dravelin-pdf");

    QFile f(earlier);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "%PDF earlier result");
    const int job = e2e::jobIdByTitle(title);
    ASSERT_GT(job, before) << "no job reached the scheduler";
    EXPECT_TRUE(e2e::jobText(job, "job-printer-uri").endsWith("/dravelin-pdf"))
        << e2e::jobText(job, "job-printer-uri").toStdString();
    EXPECT_EQ(e2e::jobCopies(job), 1);
    // cups-pdf ends the file's name with the job's number.
    const QString pdf =
        e2e::waitForPdf(e2e::outDir(), QStringLiteral("zku*-job_%1").arg(job), 30000);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no PDF for job " << job;
    produced << pdf;
    EXPECT_EQ(e2e::pageCount(pdf), 1);
    // 2 mm right and 1 mm up, every position.
    Sheet shifted = s;
    shifted.left += 20;
    shifted.top -= 10;
    expectFramesOnCutLines(pdf, shifted, 0, 21);
}

TEST_F(SheetPrinting, LetterSheetPrintsOnLetterOnTheCutLines) {
    // The default queue offers Letter beside its A4 default: a Letter sheet must take Letter.
    const Sheet s = catalogued("5160");
    ASSERT_TRUE(s.on);
    ASSERT_EQ(s.paper, settings::SheetPaper::Letter);
    const QString pdf = print(s, 30, 0, "letter");
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(e2e::pageCount(pdf), 1);
    const auto size = e2e::pageSize(pdf, 1);
    ASSERT_TRUE(size);
    EXPECT_NEAR(size->first, 2159, 2);
    EXPECT_NEAR(size->second, 2794, 2);
    const int job = e2e::jobIdByTitle(title);
    ASSERT_GT(job, 0);
    const QString media = e2e::jobText(job, "media");
    EXPECT_TRUE(media == "Letter" || media.startsWith("na_letter")) << media.toStdString();
    expectFramesOnCutLines(pdf, s, 0, 30);
    expectWordsInPlace(pdf, s, 0, 30);
}

} // namespace
