// The printer surface writing PDF files: resolution and origin, page range with scratch pages,
// a job opened only for a page in range, an aborted run leaving no output, and barcode digits
// drawn in one run where the text layout puts them.
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "platform/error.h"
#include "rows.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace labelprint {
namespace {

// Page count of a PDF that Qt wrote: its page tree's /Count.
int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray bytes = file.readAll();
    const auto m =
        QRegularExpression("/Type /Pages\\s[^>]*/Count (\\d+)").match(QString::fromLatin1(bytes));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Every glyph a PDF shows, with its place on the page in device units: the font size and the
// glyph, then x and y, read from the text objects of the page streams (zlib, as Qt writes them).
std::vector<std::tuple<QByteArray, double, double>> pdfGlyphs(const QString& path) {
    std::vector<std::tuple<QByteArray, double, double>> glyphs;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return glyphs;
    }
    const QByteArray bytes = file.readAll();
    static const QRegularExpression stream("stream\\r?\\n(.*?)endstream",
                                           QRegularExpression::DotMatchesEverythingOption);
    for (auto m = stream.globalMatch(QString::fromLatin1(bytes)); m.hasNext();) {
        const QByteArray deflated = m.next().captured(1).toLatin1();
        if (!deflated.startsWith('x')) {
            continue; // not zlib
        }
        QByteArray sized(4, '\0');
        qToBigEndian<quint32>(1 << 22, sized.data()); // qUncompress wants a size hint first
        const QByteArray content = qUncompress(sized + deflated);
        QByteArray font;
        QList<double> numbers;
        double x = 0;
        double y = 0;
        for (const QByteArray& token : content.simplified().split(' ')) {
            bool number = false;
            const double value = token.toDouble(&number);
            if (number) {
                numbers.push_back(value);
                continue;
            }
            if (token == "Tf" && !numbers.isEmpty()) {
                font = QByteArray::number(numbers.back());
            } else if (token == "Tm" && numbers.size() >= 2) {
                x = numbers[numbers.size() - 2];
                y = numbers.back();
            } else if (token == "Td" && numbers.size() >= 2) {
                x += numbers[numbers.size() - 2];
                y += numbers.back();
            } else if (token.startsWith('<') && token.endsWith('>')) {
                glyphs.emplace_back(font + token, x, y);
            }
            numbers.clear();
        }
    }
    return glyphs;
}

struct PdfRun {
    QTemporaryDir dir;
    QString path = dir.filePath("labels.pdf");
    LabelReport report;
    RunResult result;
    int printed = 0;

    void run(int rows, PrintSettings settings = {},
             const std::function<void(LabelReport&, PageSurface&, int)>& beforeLabel = {}) {
        report.takeSettings(settings::LayoutSettings{});
        PrinterSurface surface(PrinterSurface::PdfFile{path}, settings, report.orientation());
        printlist::RowSet list = test::numberedRows(rows);
        int labels = 0;
        result = report.run(list, surface, [&] {
            if (beforeLabel) {
                beforeLabel(report, surface, ++labels);
            }
        });
        printed = surface.printedPages();
    }
};

TEST(PrinterSurface, PdfFileIsA4AtPrinterResolutionFromThePaperCorner) {
    QTemporaryDir dir;
    PrinterSurface surface(PrinterSurface::PdfFile{dir.filePath("a.pdf")}, {},
                           Orientation::Portrait);
    ASSERT_TRUE(surface.beginDocument());
    EXPECT_EQ(surface.dpiX(), 1200);
    EXPECT_EQ(surface.dpiY(), 1200);
    EXPECT_EQ(surface.originLeft(), 0);
    EXPECT_EQ(surface.originTop(), 0);
    EXPECT_DOUBLE_EQ(surface.paperWidth(), 2100);
    EXPECT_DOUBLE_EQ(surface.paperLength(), 2970);
    surface.endDocument();
    EXPECT_FALSE(QFile::exists(dir.filePath("a.pdf"))); // no page, no job

    PrinterSurface landscape(PrinterSurface::PdfFile{dir.filePath("b.pdf")}, {},
                             Orientation::Landscape);
    ASSERT_TRUE(landscape.beginDocument());
    EXPECT_DOUBLE_EQ(landscape.paperWidth(), 2970);
    EXPECT_DOUBLE_EQ(landscape.paperLength(), 2100);
    landscape.abortDocument();
}

TEST(PrinterSurface, PrintsOnlyThePageRange) {
    // 400 default labels make 3 pages (180 a page).
    struct Case {
        int first, last;
        int printed; // -1: no file at all
    };
    const Case cases[] = {{0, 0, 3}, {2, 3, 2}, {2, 2, 1}, {0, 1, 1}, {3, 0, 1}, {4, 9, -1}};
    for (const Case& c : cases) {
        PdfRun run;
        PrintSettings settings;
        settings.firstPage = c.first;
        settings.lastPage = c.last;
        run.run(400, settings);
        EXPECT_EQ(run.result.status, RunStatus::Finished);
        EXPECT_EQ(run.result.pages, 3) << "the layout goes through every page";
        if (c.printed < 0) {
            EXPECT_FALSE(QFile::exists(run.path)) << c.first << ".." << c.last;
            EXPECT_EQ(run.printed, 0);
        } else {
            EXPECT_EQ(pdfPages(run.path), c.printed) << c.first << ".." << c.last;
            EXPECT_EQ(run.printed, c.printed);
        }
    }
}

TEST(PrinterSurface, CancelledFlagPrintsWhatWasLaidOutAndTheMarkAbortsTheJob) {
    // Cancel in the progress window raises the surface's flag only: the pages so far print.
    PdfRun flagged;
    flagged.run(400, {}, [](LabelReport&, PageSurface& surface, int label) {
        if (label == 200) {
            surface.cancel();
        }
    });
    EXPECT_EQ(flagged.result.status, RunStatus::Finished);
    EXPECT_EQ(flagged.result.labels, 199);
    EXPECT_EQ(pdfPages(flagged.path), 2);

    // The report's cancel also sets its mark: the job is aborted and leaves no file.
    PdfRun aborted;
    aborted.run(400, {}, [](LabelReport& report, PageSurface&, int label) {
        if (label == 200) {
            report.cancelRun();
        }
    });
    EXPECT_EQ(aborted.result.status, RunStatus::Aborted);
    EXPECT_EQ(aborted.result.labels, 199);
    EXPECT_FALSE(QFile::exists(aborted.path));
}

TEST(PrinterSurface, UnwritablePdfThrowsItsTextOutOfTheRun) {
    LabelReport report;
    PrinterSurface surface(PrinterSurface::PdfFile{"/nonexistent-dir/x.pdf"}, {},
                           Orientation::Portrait);
    printlist::RowSet rows = test::numberedRows(3);
    try {
        report.run(rows, surface);
        ADD_FAILURE() << "the run went on without its file";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), "Cannot create file \"/nonexistent-dir/x.pdf\".");
    }
    EXPECT_EQ(surface.printedPages(), 0);
    EXPECT_FALSE(report.inRun()); // the next print can run
}

TEST(PrinterSurface, CentredDigitsLandWhereTheTextLayoutPutsThem) {
    // A barcode's digit groups in one run of the digits' glyphs, against each group drawn as
    // its own centred text; a group with a letter goes the text's way. Two fonts and sizes.
    const std::vector<PageSurface::CentredText> groups = {{{1000, 2000}, "8"},
                                                          {{1500, 2000}, "591000"},
                                                          {{2400, 2001}, "000014"},
                                                          {{3333, 2500}, "0123456789"}};
    const std::vector<PageSurface::CentredText> lettered = {{{1000, 4000}, "12A4"}};
    settings::FontDescription large;
    large.face = QStringLiteral("DejaVu Serif");
    large.height = -31;
    large.style = settings::Bold;
    const auto draw = [&](const QString& path, bool oneRun) {
        PrinterSurface surface(PrinterSurface::PdfFile{path}, {}, Orientation::Portrait);
        surface.beginDocument();
        surface.beginPage();
        for (const settings::FontDescription& font : {settings::FontDescription{}, large}) {
            surface.selectFont(font);
            for (const auto& texts : {groups, lettered}) {
                if (oneRun) {
                    surface.drawCentredTexts(texts, Qt::black);
                    continue;
                }
                for (const PageSurface::CentredText& t : texts) {
                    surface.drawText(t.at, TextAnchor::TopCentre, t.text, Qt::black);
                }
            }
        }
        surface.finishPage();
        surface.endDocument();
    };
    QTemporaryDir dir;
    draw(dir.filePath("texts.pdf"), false);
    draw(dir.filePath("run.pdf"), true);
    const auto expected = pdfGlyphs(dir.filePath("texts.pdf"));
    const auto drawn = pdfGlyphs(dir.filePath("run.pdf"));
    ASSERT_EQ(expected.size(), 2u * (1 + 6 + 6 + 10 + 4));
    ASSERT_EQ(drawn.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::get<0>(drawn[i]), std::get<0>(expected[i])) << i;
        EXPECT_NEAR(std::get<1>(drawn[i]), std::get<1>(expected[i]), 0.01) << i;
        EXPECT_NEAR(std::get<2>(drawn[i]), std::get<2>(expected[i]), 0.01) << i;
    }
}

} // namespace
} // namespace labelprint
