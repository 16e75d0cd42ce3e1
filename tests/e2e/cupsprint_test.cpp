// Prints labels through the printer surface onto the real cups-pdf queue (the default printer
// that tools/test-setup.sh prepared) and measures the PDF that comes out of it.
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "pdfprobe.h"
#include "platform/error.h"
#include "printlist/rowset.h"
#include "settings/sheetcatalogue.h"
#include "startup/startup.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

using labelprint::LabelReport;
using labelprint::PrinterSurface;
using labelprint::PrintSettings;
using labelprint::RunStatus;
using settings::Slot;

using e2e::outDir;
using e2e::uniqueTitle;

// The barcode font as the programs get it at start-up: shipped beside them, with no font in the
// user's font folders (HOME is an empty folder for these tests).
QString barcodeFamily() {
    static const QString family = [] {
        if (QFontDatabase::families().contains(QStringLiteral("Libre Barcode 39"))) {
            ADD_FAILURE() << "a Libre Barcode 39 is installed here; the shipped one is not tested";
            return QString();
        }
        const QStringList loaded =
            startup::registerFonts(qEnvironmentVariable("DRAVELIN_SHIPPED_FONTS"));
        return loaded.isEmpty() ? QString() : loaded.first();
    }();
    return family;
}

printlist::RowSet rows(int n) {
    QStringList names;
    for (const QString& s : settings::slotNames()) {
        names << s;
    }
    std::vector<QStringList> list;
    for (int i = 1; i <= n; ++i) {
        const QString code = QStringLiteral("DRV%1").arg(4200 + i);
        list.push_back({"*" + code + "*", code, QStringLiteral("Mleko%1").arg(i),
                        QStringLiteral("125%1").arg(i), "", "", ""});
    }
    return printlist::RowSet(names, std::move(list));
}

class CupsPrinting : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(outDir().isEmpty()) << "DRAVELIN_E2E_OUT is not set";
        ASSERT_FALSE(QPrinterInfo::availablePrinterNames().isEmpty())
            << "no CUPS printer: tools/test-setup.sh must have started the scheduler";
        ASSERT_EQ(QPrinterInfo::defaultPrinterName(), "dravelin-pdf");
    }
    // DRAVELIN_E2E_KEEP=1 leaves the PDFs for a look at them.
    void TearDown() override {
        if (qEnvironmentVariableIsSet("DRAVELIN_E2E_KEEP")) {
            return;
        }
        for (const QString& f : produced) {
            QFile::remove(f);
        }
    }
    QStringList produced;
};

const e2e::Word* find(const std::vector<e2e::Word>& words, const QString& text) {
    for (const e2e::Word& w : words) {
        if (w.text == text) {
            return &w;
        }
    }
    return nullptr;
}

// Ascent of a font at the printer's 1200 dpi, in 0.1 mm: the text cell's top lies this far
// above the baseline.
double ascentAt1200(const QFont& font) {
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(47244);
    device.setDotsPerMeterY(47244);
    return QFontMetrics(font, &device).ascent() * 254.0 / 1200;
}

TEST_F(CupsPrinting, LabelsStandWhereTheMillimetresSayAndTheBarcodeScans) {
    const QString barcode = barcodeFamily();
    ASSERT_FALSE(barcode.isEmpty()) << "Libre Barcode 39 could not be loaded";

    settings::LayoutSettings s;
    s.vlevo = 10;
    s.nahore = 10;
    s.sloupce = 2;
    s.vyskabunky = 37;
    const struct {
        Slot slot;
        int top, left, height;
        QString face;
    } placed[] = {{Slot::Kods, 1, -1, -48, barcode},
                  {Slot::Kod, 17, 3, -16, "DejaVu Sans"},
                  {Slot::Nazev, 23, -1, -16, "DejaVu Sans"},
                  {Slot::Cena, 29, 50, -16, "DejaVu Sans"}};
    for (const auto& l : placed) {
        s.lines[l.slot].top = l.top;
        s.lines[l.slot].left = l.left;
        s.lines[l.slot].font.face = l.face;
        s.lines[l.slot].font.height = l.height;
        s.lines[l.slot].font.colour = 0;
    }
    LabelReport report;
    report.takeSettings(s);
    report.printSettings().title = uniqueTitle("positions");
    PrinterSurface surface(report.printSettings(), report.orientation());
    printlist::RowSet list = rows(8);
    const auto result = report.run(list, surface);
    ASSERT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(surface.dpiX(), 1200);
    EXPECT_EQ(surface.originLeft(), 35); // 167 dots of unprintable border at 1200 dpi
    EXPECT_EQ(surface.originTop(), 35);
    EXPECT_GT(surface.jobId(), 0);

    const QString pdf = e2e::waitForPdf(outDir(), report.printSettings().title, 30000);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no PDF for the job";
    produced << pdf;
    ASSERT_EQ(e2e::pageCount(pdf), 1);

    // Expected places in 0.1 mm from the paper's edge. Label width 949.79 (w = 359 design
    // px); columns at 100 and 1050; rows 370 apart from 100. Offsets on the 96-dpi design
    // grid: kod top 17 mm = 64 px = 169.33, left 3 mm = 11 px = 29.10; nazev top 23 mm =
    // 87 px = 230.19, centred; cena top 29 mm = 110 px = 291.04, left 50 mm = 189 px = 500.06.
    // A line's baseline lies one font ascent below its cell's top.
    const double ascent = ascentAt1200(QFont("DejaVu Sans", 12));
    const auto words = e2e::words(pdf, 1);
    const e2e::Raster raster(pdf, 1, 600);
    ASSERT_FALSE(raster.isNull());
    for (int i = 0; i < 8; ++i) {
        const double x = i < 7 ? 100 : 1050;
        const double y = 100 + 370 * (i % 7);
        const QString n = QString::number(i + 1);
        const struct {
            QString text;
            double x;
            bool centred;
            double top;
        } expected[] = {{"DRV" + QString::number(4200 + i + 1), x + 29.10, false, y + 169.33},
                        {"Mleko" + n, x + 949.79 / 2, true, y + 230.19},
                        {"125" + n, x + 500.06, false, y + 291.04}};
        for (const auto& e : expected) {
            const e2e::Word* w = find(words, e.text);
            ASSERT_NE(w, nullptr) << e.text.toStdString() << " is not on the page";
            // Horizontally the word's box starts at its first glyph's origin.
            const double at = e.centred ? (w->xMin + w->xMax) / 2 : w->xMin;
            EXPECT_NEAR(at, e.x, 2) << e.text.toStdString();
            // Vertically the ink of these glyphs (no descenders) ends on the baseline.
            const double baseline = raster.inkBottom(w->xMin, w->xMax, e.top, e.top + ascent + 10);
            EXPECT_NEAR(baseline, e.top + ascent, 2) << e.text.toStdString();
        }
    }

    QStringList expected;
    for (int i = 0; i < 8; ++i) {
        expected << "DRV" + QString::number(4201 + i);
    }
    QStringList scanned = e2e::barcodes(pdf, 1);
    scanned.sort();
    EXPECT_EQ(scanned, expected);
}

TEST_F(CupsPrinting, WorkedExampleFlowsOverThreePages) {
    // vlevo 10, nahore 10, sloupce 3, vyskabunky 37, 50 rows: pages of 21, 21 and 8 labels;
    // page 3 has 7 labels in column 1 and the 50th at the top of column 2 (x = 732).
    settings::LayoutSettings s;
    s.sloupce = 3;
    s.vyskabunky = 37;
    LabelReport report;
    report.takeSettings(s);
    report.printSettings().title = uniqueTitle("worked");
    PrinterSurface surface(report.printSettings(), report.orientation());
    printlist::RowSet list = rows(50);
    const auto result = report.run(list, surface);
    ASSERT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(result.pages, 3);
    const QString pdf = e2e::waitForPdf(outDir(), report.printSettings().title, 30000);
    ASSERT_FALSE(pdf.isEmpty());
    produced << pdf;
    ASSERT_EQ(e2e::pageCount(pdf), 3);

    // kod is centred on the label (width 632.35) with its cell's top 7 mm = 26 px = 68.79
    // below the label's top, in the default slot font at 8 points.
    const double ascent = ascentAt1200(QFont("MS Sans Serif", 8));
    const auto words = e2e::words(pdf, 3);
    const e2e::Raster raster(pdf, 3, 600);
    ASSERT_FALSE(raster.isNull());
    for (int row = 43; row <= 50; ++row) {
        const double x = row < 50 ? 100 : 732;
        const double y = row < 50 ? 100 + 370 * (row - 43) : 100;
        const QString text = "DRV" + QString::number(4200 + row);
        const e2e::Word* w = find(words, text);
        ASSERT_NE(w, nullptr) << text.toStdString() << " is not on page 3";
        EXPECT_NEAR((w->xMin + w->xMax) / 2, x + 632.35 / 2, 2) << text.toStdString();
        const double top = y + 68.79;
        EXPECT_NEAR(raster.inkBottom(w->xMin, w->xMax, top, top + ascent + 10), top + ascent, 2)
            << text.toStdString();
    }
    EXPECT_EQ(find(words, "DRV4242"), nullptr); // the last label of page 2
}

TEST_F(CupsPrinting, PageRangeSendsOnlyThosePages) {
    const QString barcode = barcodeFamily();
    ASSERT_FALSE(barcode.isEmpty()) << "Libre Barcode 39 could not be loaded";
    // 4 columns of 18 labels: 160 labels make pages of 72, 72 and 16. Each label carries a
    // barcode of its page number and its place on the page, so the printed pages tell which
    // layout pages they were.
    QStringList names;
    for (const QString& n : settings::slotNames()) {
        names << n;
    }
    std::vector<QStringList> list;
    QStringList page2;
    QStringList page3;
    for (int i = 0; i < 160; ++i) {
        const QString code = QStringLiteral("%1%2").arg(i / 72 + 1).arg(i % 72, 2, 10, QChar('0'));
        list.push_back({"*" + code + "*", "", "", "", "", "", ""});
        if (i / 72 == 1) {
            page2 << code;
        } else if (i / 72 == 2) {
            page3 << code;
        }
    }
    printlist::RowSet rows(names, std::move(list));

    settings::LayoutSettings s;
    s.sloupce = 4;
    s.lines[Slot::Kods].font.face = barcode;
    s.lines[Slot::Kods].font.height = -32;
    s.lines[Slot::Kods].font.colour = 0;
    LabelReport report;
    report.takeSettings(s);
    report.printSettings().title = uniqueTitle("range");
    report.printSettings().firstPage = 2;
    report.printSettings().lastPage = 3;
    PrinterSurface surface(report.printSettings(), report.orientation());
    const auto result = report.run(rows, surface);
    ASSERT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(result.pages, 3);
    EXPECT_EQ(surface.printedPages(), 2);
    const QString pdf = e2e::waitForPdf(outDir(), report.printSettings().title, 30000);
    ASSERT_FALSE(pdf.isEmpty());
    produced << pdf;
    ASSERT_EQ(e2e::pageCount(pdf), 2);
    QStringList first = e2e::barcodes(pdf, 1);
    QStringList second = e2e::barcodes(pdf, 2);
    first.sort();
    second.sort();
    EXPECT_EQ(first, page2);
    EXPECT_EQ(second, page3);
}

TEST_F(CupsPrinting, LandscapeReflowsAndCopiesGoToThePrinter) {
    // Landscape: page 2970 x 2100, bottom limit 2000, so 12 labels of 15 mm to a column; the
    // label width follows the wider page: w = (1123 - 76) / 10 = 104 design px = 275.17.
    LabelReport report;
    report.setOrientation(labelprint::Orientation::Landscape);
    report.takeSettings(settings::LayoutSettings{});
    report.printSettings().title = uniqueTitle("landscape");
    report.printSettings().copies = 2;
    PrinterSurface surface(report.printSettings(), report.orientation());
    printlist::RowSet list = rows(13);
    const auto result = report.run(list, surface);
    ASSERT_EQ(result.status, RunStatus::Finished);
    EXPECT_EQ(result.pages, 1);
    // The printer makes the copies: the job asks for two, the document holds one page.
    EXPECT_EQ(e2e::jobCopies(surface.jobId()), 2);
    const QString pdf = e2e::waitForPdf(outDir(), report.printSettings().title, 30000);
    ASSERT_FALSE(pdf.isEmpty());
    produced << pdf;
    ASSERT_EQ(e2e::pageCount(pdf), 1);

    // The queue prints the landscape sheet turned onto portrait A4: a point (X, Y) of the
    // sheet lands at (Y, 2970 - X) on the paper, and the lines run up the page.
    const auto words = e2e::words(pdf, 1);
    const e2e::Word* twelfth = find(words, "DRV4212");
    const e2e::Word* thirteenth = find(words, "DRV4213");
    ASSERT_TRUE(twelfth && thirteenth);
    EXPECT_NEAR((twelfth->yMin + twelfth->yMax) / 2, 2970 - (100 + 275.17 / 2), 2);
    EXPECT_NEAR((thirteenth->yMin + thirteenth->yMax) / 2, 2970 - (375 + 275.17 / 2), 2);
    // Label 12 is 11 labels of 150 below label 13, which heads column 2.
    EXPECT_NEAR(twelfth->xMin - thirteenth->xMin, 1650, 2);
}

TEST_F(CupsPrinting, AbortedRunSendsNoJob) {
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    report.printSettings().title = uniqueTitle("aborted");
    PrinterSurface surface(report.printSettings(), report.orientation());
    printlist::RowSet list = rows(300);
    int labels = 0;
    const auto result = report.run(list, surface, [&] {
        if (++labels == 200) {
            report.cancelRun();
        }
    });
    EXPECT_EQ(result.status, RunStatus::Aborted);
    EXPECT_EQ(surface.jobId(), 0);
    // A job would have been written within a second or so.
    EXPECT_TRUE(e2e::waitForPdf(outDir(), report.printSettings().title, 3000).isEmpty());
}

TEST_F(CupsPrinting, UntitledJobIsNamedAfterTheProgramAndTheTime) {
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    ASSERT_TRUE(report.printSettings().title.isEmpty());
    PrinterSurface surface(report.printSettings(), report.orientation());
    printlist::RowSet list = rows(1);
    ASSERT_EQ(report.run(list, surface).status, RunStatus::Finished);
    ASSERT_GT(surface.jobId(), 0);
    static const QRegularExpression named(R"(^Dravelin \d{4}-\d\d-\d\d \d\d:\d\d:\d\d$)");
    EXPECT_TRUE(named.match(surface.jobName()).hasMatch()) << surface.jobName().toStdString();
    EXPECT_EQ(e2e::jobText(surface.jobId(), "job-name"), surface.jobName());
    // cups-pdf names its file after the job's title, not "0-job_N.pdf".
    const QString suffix = QStringLiteral("-job_%1.pdf").arg(surface.jobId());
    QString pdf;
    for (int i = 0; i < 300 && pdf.isEmpty(); ++i) {
        const QStringList found = QDir(outDir()).entryList({"*" + suffix}, QDir::Files);
        pdf = found.isEmpty() ? QString() : found.first();
        QThread::msleep(100);
    }
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no PDF for job " << surface.jobId();
    produced << QDir(outDir()).filePath(pdf);
    EXPECT_TRUE(pdf.startsWith("Dravelin")) << pdf.toStdString();
}

TEST(NoPrinter, PrinterSurfaceGivesNoOutputWhenNoPrinterIsInstalled) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("CUPS_SERVER"))
        << "run with CUPS_SERVER pointing nowhere";
    EXPECT_TRUE(QPrinterInfo::availablePrinterNames().isEmpty());
    LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    PrinterSurface surface(report.printSettings(), report.orientation());
    printlist::RowSet list = rows(3);
    try {
        report.run(list, surface);
        ADD_FAILURE() << "the run went on without a printer";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), "No printer is installed.");
    }
}

// The README's advice for the barcode font, followed to the letter: 13-digit codes on a sheet
// of 52.5 mm labels at the advised size (each size of an advised range) must all scan. Advice
// that made the bars run over the label's edge read nothing.
TEST_F(CupsPrinting, TheReadmesBarcodeFontAdviceScansOnA3651Sheet) {
    const QString barcode = barcodeFamily();
    ASSERT_FALSE(barcode.isEmpty()) << "Libre Barcode 39 could not be loaded";
    QFile readme(QStringLiteral(DRAVELIN_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll()).simplified();
    const auto advice =
        QRegularExpression(QStringLiteral(R"(choose "Libre Barcode 39" \(it is in the list with )"
                                          R"(the system's fonts\), (?:about |at )?(\d+)(?: to )"
                                          R"((\d+))? points)"))
            .match(text);
    ASSERT_TRUE(advice.hasMatch()) << "the README gives no size for the barcode font";
    QList<int> sizes{advice.captured(1).toInt()};
    if (advice.hasCaptured(2)) {
        sizes << advice.captured(2).toInt();
    }

    const auto sheet = settings::findSheet(settings::builtInSheets(), QStringLiteral("3651"));
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->sheet.width, 525);
    ASSERT_EQ(sheet->sheet.labelsPerSheet(), 40);
    std::mt19937_64 random(3651);
    QStringList codes;
    std::vector<QStringList> list;
    for (int i = 0; i < 40; ++i) {
        const QString code =
            QString::number(1000000000000ULL + random() % 9000000000000ULL).rightJustified(13, '0');
        codes << code;
        list.push_back({"*" + code + "*", code, "", "", "", "", ""});
    }
    QStringList names;
    for (const QString& n : settings::slotNames()) {
        names << n;
    }
    for (const int points : sizes) {
        settings::LayoutSettings s;
        for (auto& line : s.lines) {
            line.on = false;
        }
        const auto place = [&](Slot slot, int top, const QString& face, int height) {
            s.lines[slot].on = true;
            s.lines[slot].top = top;
            s.lines[slot].left = -1;
            s.lines[slot].font.face = face;
            s.lines[slot].font.height = height;
            s.lines[slot].font.colour = 0;
        };
        place(Slot::Kods, 3, barcode, -int(std::lround(points * 96.0 / 72.0)));
        place(Slot::Kod, 21, QStringLiteral("DejaVu Sans"), -11);
        s.sheet = sheet->sheet;
        LabelReport report;
        report.takeSettings(s);
        report.printSettings().title = uniqueTitle("advice");
        PrinterSurface surface(report.printSettings(), report.orientation());
        printlist::RowSet rows(names, std::vector<QStringList>(list));
        ASSERT_EQ(report.run(rows, surface).status, RunStatus::Finished);
        const QString pdf = e2e::waitForPdf(outDir(), report.printSettings().title, 30000);
        ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no PDF for the job";
        produced << pdf;
        QStringList read = e2e::barcodes(pdf, 1);
        read.sort();
        QStringList expected = codes;
        expected.sort();
        EXPECT_EQ(read, expected) << "at " << points << " points " << read.size()
                                  << " of 40 codes scanned";
    }
}

} // namespace
