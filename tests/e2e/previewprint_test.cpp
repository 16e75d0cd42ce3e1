// Printing from the preview window onto the real cups-pdf queue: the print form's print setup,
// its second layout run with the progress window, and the replay of loaded pages.
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/printsetupdialog.h"
#include "labelprint/windows/progresswindow.h"
#include "labelprint/windows/sentnotice.h"
#include "labelprint/windows/tiskunit.h"
#include "pdfprobe.h"
#include "printlist/rowset.h"
#include "settings/sheetcatalogue.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace labelprint;

using e2e::outDir;

printlist::RowSet rows(int n) {
    QStringList names;
    for (const QString& s : settings::slotNames()) {
        names << s;
    }
    std::vector<QStringList> list;
    for (int i = 1; i <= n; ++i) {
        const QString code = QString::number(7000 + i);
        list.push_back({"*" + code + "*", code, QStringLiteral("Zboží %1").arg(i), "", "", "", ""});
    }
    return printlist::RowSet(names, std::move(list));
}

class PreviewPrinting : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(outDir().isEmpty()) << "DRAVELIN_E2E_OUT is not set";
        ASSERT_FALSE(QPrinterInfo::availablePrinterNames().isEmpty())
            << "no CUPS printer: tools/test-setup.sh must have started the scheduler";
        tiskf.qr1.takeSettings(settings::LayoutSettings());
        tiskf.qr1.printSettings().title = e2e::uniqueTitle("preview");
    }
    void TearDown() override {
        if (!pdf.isEmpty() && !qEnvironmentVariableIsSet("DRAVELIN_E2E_KEEP")) {
            QFile::remove(pdf);
        }
    }

    // The print command's preview; once its run has finished, `inside` runs within the
    // preview's own message loop, and then the window is closed.
    void withFinishedPreview(const std::function<void()>& inside) {
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            PreviewDocument* s = tiskf.previewDocument();
            if (done || !s || s->status() != PreviewDocument::Status::Finished) {
                return;
            }
            done = true;
            inside();
            if (tiskf.previewWindow()) {
                tiskf.previewWindow()->close();
            }
        });
        poll.start(5);
        tiskf.preview();
        ASSERT_TRUE(done);
    }

    int printedPages() {
        pdf = e2e::waitForPdf(outDir(), tiskf.qr1.printSettings().title, 30000);
        return pdf.isEmpty() ? -1 : e2e::pageCount(pdf);
    }

    printlist::RowSet list = rows(900); // five pages at the default layout
    Ttiskf tiskf{list};
    QString pdf;
};

TEST_F(PreviewPrinting, PagesTwoToThreeOfAFivePagePreview) {
    QString notice;
    withFinishedPreview([&] {
        EXPECT_EQ(tiskf.previewDocument()->pageCount(), 5);
        printSetupAnswers().queue(
            PrintSetupAnswer{QString(), 1, Orientation::Portrait, true, 2, 3});
        tiskf.printSetup();
        tiskf.previewWindow()->Print->trigger(); // through the message queue
        QCoreApplication::processEvents();
        ASSERT_NE(tiskf.sentNotice(), nullptr);
        notice = tiskf.sentNotice()->Info->text();
    });
    EXPECT_EQ(printedPages(), 2);
    EXPECT_EQ(notice, "Odesláno na tiskárnu dravelin-pdf: 2 strany");
}

// "Print to file (PDF)" chosen in print setup: the same page range, into the file, and the
// notice names the file; no printer is needed for it (see NoPrinter below).
void printIntoPdfFile(Ttiskf& tiskf, const QString& file, QString& notice) {
    printSetupAnswers().queue(
        PrintSetupAnswer{QString(), 2, Orientation::Portrait, true, 2, 3, file});
    tiskf.printSetup();
    EXPECT_EQ(printSetupAnswers().asked().back().pdfFile, "");
    tiskf.print();
    if (tiskf.sentNotice()) {
        notice = tiskf.sentNotice()->Info->text();
    }
    // The next setup opens on the file chosen.
    printSetupAnswers().queue(std::nullopt);
    tiskf.printSetup();
    EXPECT_EQ(printSetupAnswers().asked().back().pdfFile, file);
}

TEST_F(PreviewPrinting, PrintToAPdfFileKeepsTheRangeAndSaysWhereItWent) {
    QTemporaryDir dir;
    const QString file = dir.filePath("cenovky.pdf");
    QString notice;
    withFinishedPreview([&] { printIntoPdfFile(tiskf, file, notice); });
    EXPECT_EQ(e2e::pageCount(file), 2); // pages 2 and 3, each once: a file holds no copies
    EXPECT_EQ(notice, "Uloženo do souboru " + file + ": 2 strany");
    EXPECT_TRUE(e2e::waitForPdf(outDir(), tiskf.qr1.printSettings().title, 1000).isEmpty())
        << "nothing went to the printer";
}

TEST_F(PreviewPrinting, LoadedPagesGoIntoAPdfFileToo) {
    QTemporaryDir dir;
    const QString lpf = dir.filePath("three.LPF");
    const QString file = dir.filePath("loaded.pdf");
    list = rows(400);
    withFinishedPreview([&] { ASSERT_TRUE(savePreparedPages(*tiskf.previewDocument(), lpf)); });
    QString notice;
    withFinishedPreview([&] {
        ASSERT_TRUE(
            loadPreparedPages(*tiskf.previewDocument(), lpf, [](int code) { return code == 9; }));
        tiskf.previewWindow()->pagesLoaded();
        printIntoPdfFile(tiskf, file, notice);
    });
    EXPECT_EQ(e2e::pageCount(file), 2);
    EXPECT_EQ(notice, "Uloženo do souboru " + file + ": 2 strany");
}

TEST_F(PreviewPrinting, LandscapeReflowsAndStaysForTheNextPreview) {
    list = rows(180); // one portrait page; twelve labels to a landscape column
    withFinishedPreview([&] {
        EXPECT_EQ(tiskf.previewDocument()->pageCount(), 1);
        printSetupAnswers().queue(
            PrintSetupAnswer{QString(), 1, Orientation::Landscape, false, 0, 0});
        tiskf.printSetup();
        tiskf.print();
    });
    EXPECT_EQ(printedPages(), 2);
    withFinishedPreview([&] {
        EXPECT_EQ(tiskf.previewDocument()->paperWidth(), 2970);
        EXPECT_EQ(tiskf.previewDocument()->pageCount(), 2);
    });
}

TEST_F(PreviewPrinting, ListChangedAfterThePreviewOpenedPrintsTheChangedList) {
    list = rows(10);
    withFinishedPreview([&] {
        list = rows(200); // the main window added labels meanwhile
        tiskf.print();
        EXPECT_EQ(tiskf.previewDocument()->pageCount(), 1); // the preview keeps its pages
    });
    EXPECT_EQ(printedPages(), 2);
}

TEST_F(PreviewPrinting, CancelInTheProgressWindowPrintsWhatWasLaidOut) {
    withFinishedPreview([&] {
        QTimer cancel;
        QObject::connect(&cancel, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<ProgressWindow*>(w);
                // 25% of 900 labels lies on page 2.
                if (progress && progress->isVisible() && progress->Gauge->value() >= 25) {
                    progress->CancelButton->click();
                    cancel.stop();
                }
            }
        });
        cancel.start(0);
        tiskf.print();
    });
    EXPECT_EQ(printedPages(), 2);
}

TEST_F(PreviewPrinting, LoadedPagesPrintTheirWholeRange) {
    QTemporaryDir dir;
    const QString file = dir.filePath("three.LPF");
    list = rows(400);
    withFinishedPreview([&] { ASSERT_TRUE(savePreparedPages(*tiskf.previewDocument(), file)); });
    list = rows(1);
    withFinishedPreview([&] {
        ASSERT_TRUE(
            loadPreparedPages(*tiskf.previewDocument(), file, [](int code) { return code == 9; }));
        tiskf.previewWindow()->pagesLoaded();
        EXPECT_EQ(tiskf.previewWindow()->statusText(), "Page 1 of 3");
        tiskf.print();
    });
    EXPECT_EQ(printedPages(), 3);
}

TEST_F(PreviewPrinting, LetterSheetPreviewsAndPrintsOnLetterOnTheDefaultQueue) {
    // The default queue has A4 as its default and offers Letter too.
    ASSERT_EQ(QPrinterInfo::defaultPrinterName(), "dravelin-pdf");
    settings::LayoutSettings s;
    s.sheet = settings::findSheet(settings::builtInSheets(), "5160")->sheet; // 3 × 10, Letter
    tiskf.qr1.takeSettings(s);
    list = rows(45);
    withFinishedPreview([&] {
        EXPECT_NEAR(tiskf.previewDocument()->paperWidth(), 2159, 0.01);
        EXPECT_NEAR(tiskf.previewDocument()->paperLength(), 2794, 0.01);
        EXPECT_EQ(tiskf.previewDocument()->pageCount(), 2);
        tiskf.print();
    });
    ASSERT_EQ(printedPages(), 2);
    for (const int page : {1, 2}) {
        const auto size = e2e::pageSize(pdf, page);
        ASSERT_TRUE(size);
        EXPECT_NEAR(size->first, 2159, 2);
        EXPECT_NEAR(size->second, 2794, 2);
    }
}

TEST_F(PreviewPrinting, LetterOnlyQueuePreviewsAndPrintsOnLetter) {
    // US Letter is 2794 long: bottom limit 2694, so 7 labels of 33 mm to a column (8 on A4),
    // 21 to a page, and 70 labels make pages of 21, 21, 21 and 7.
    const QString letter = QStringLiteral("dravelin-letter");
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(letter))
        << "tools/test-setup.sh must have created the Letter queue";
    ASSERT_NE(QPrinterInfo::defaultPrinterName(), letter);
    settings::LayoutSettings s;
    s.sloupce = 3;
    s.vyskabunky = 33;
    tiskf.qr1.takeSettings(s);
    tiskf.qr1.printSettings().printer = letter;
    list = rows(70);
    withFinishedPreview([&] {
        EXPECT_NEAR(tiskf.previewDocument()->paperWidth(), 2159, 0.01);
        EXPECT_NEAR(tiskf.previewDocument()->paperLength(), 2794, 0.01);
        EXPECT_EQ(tiskf.previewDocument()->pageCount(), 4);
        tiskf.print();
    });
    ASSERT_EQ(printedPages(), 4);

    const int job = e2e::jobIdByTitle(tiskf.qr1.printSettings().title);
    ASSERT_GT(job, 0);
    const QString media = e2e::jobText(job, "media");
    EXPECT_TRUE(media == "Letter" || media.startsWith("na_letter")) << media.toStdString();
    const auto size = e2e::pageSize(pdf, 1);
    ASSERT_TRUE(size);
    EXPECT_NEAR(size->first, 2159, 2);
    EXPECT_NEAR(size->second, 2794, 2);

    // Each label prints its bare code once (kód2): the codes on a page are its labels.
    int first = 1;
    for (const int page : {1, 2, 3, 4}) {
        const int expected = page < 4 ? 21 : 7;
        QStringList codes;
        for (const e2e::Word& w : e2e::words(pdf, page)) {
            const int n = w.text.toInt() - 7000;
            if (n >= 1 && n <= 70) {
                codes << w.text;
            }
        }
        codes.sort();
        QStringList wanted;
        for (int n = first; n < first + expected; ++n) {
            wanted << QString::number(7000 + n);
        }
        EXPECT_EQ(codes, wanted) << "page " << page;
        first += expected;
    }
    // The frame of the first label starts 10 mm below the paper's top edge.
    const e2e::Raster raster(pdf, 1, 600);
    ASSERT_FALSE(raster.isNull());
    EXPECT_NEAR(raster.inkTop(100, 700, 0, 400), 100, 1);
}

TEST_F(PreviewPrinting, PreviewShowsThePaperAndPagesOfWhatIsPrinted) {
    // 70 labels of 33 mm in 3 columns: 3 pages on A4, 4 on Letter. A page range chosen from
    // the preview only prints the labels shown there when both lay out on the same paper.
    const QString letterQueue = QStringLiteral("dravelin-letter");
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(letterQueue))
        << "tools/test-setup.sh must have created the Letter queue";
    settings::LayoutSettings s;
    s.sloupce = 3;
    s.vyskabunky = 33;
    tiskf.qr1.takeSettings(s);
    list = rows(70);
    QTemporaryDir dir;
    for (const QString& queue : {QStringLiteral("dravelin-pdf"), letterQueue}) {
        for (const bool toFile : {false, true}) {
            const std::string what = queue.toStdString() + (toFile ? ", PDF file" : ", printer");
            PrintSettings& p = tiskf.qr1.printSettings();
            p.printer = queue;
            p.pdfFile = toFile ? dir.filePath(queue + ".pdf") : QString();
            p.title = e2e::uniqueTitle("paper");
            double width = 0, length = 0;
            int pages = 0;
            withFinishedPreview([&] {
                width = tiskf.previewDocument()->paperWidth();
                length = tiskf.previewDocument()->paperLength();
                pages = tiskf.previewDocument()->pageCount();
                tiskf.print();
            });
            pdf = toFile ? p.pdfFile : e2e::waitForPdf(outDir(), p.title, 30000);
            ASSERT_FALSE(pdf.isEmpty()) << what;
            EXPECT_EQ(e2e::pageCount(pdf), pages) << what;
            const auto size = e2e::pageSize(pdf, 1);
            ASSERT_TRUE(size) << what;
            EXPECT_NEAR(size->first, width, 2) << what;
            EXPECT_NEAR(size->second, length, 2) << what;
            if (!toFile && !qEnvironmentVariableIsSet("DRAVELIN_E2E_KEEP")) {
                QFile::remove(pdf);
            }
            pdf.clear();
        }
    }
}

TEST(NoPrinter, PrintToAPdfFileNeedsNoPrinter) {
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().isEmpty());
    printlist::RowSet list = rows(900);
    Ttiskf tiskf{list};
    tiskf.qr1.takeSettings(settings::LayoutSettings());
    QTemporaryDir dir;
    const QString file = dir.filePath("bez tiskarny.pdf");
    bool done = false;
    QString notice;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PreviewDocument* s = tiskf.previewDocument();
        if (done || !s || s->status() != PreviewDocument::Status::Finished) {
            return;
        }
        done = true;
        printIntoPdfFile(tiskf, file, notice);
        tiskf.previewWindow()->close();
    });
    poll.start(5);
    tiskf.preview();
    ASSERT_TRUE(done);
    EXPECT_EQ(e2e::pageCount(file), 2);
    EXPECT_EQ(notice, "Uloženo do souboru " + file + ": 2 strany");
}

} // namespace
