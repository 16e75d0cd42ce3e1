#include "labelprint/emfwriter.h"
#include "labelprint/labelreport.h"
#include "labelprint/pagestore.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/windows/pageview.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/printsetupdialog.h"
#include "labelprint/windows/progresswindow.h"
#include "labelprint/windows/sentnotice.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/error.h"
#include "platform/prompts.h"
#include "rows.h"
#include "support/smalltmpfs.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>
#include <limits>

namespace labelprint {
namespace {

// A preview run driven the way the preview operation drives it: the window attached, events
// handled before each label, and `eachLabel` called after them.
struct PreviewRun {
    explicit PreviewRun(int rows, double paperWidth = 2100, double paperLength = 2970)
        : list(test::numberedRows(rows)), document(paperWidth, paperLength), surface(document),
          window(&document) {
        window.resize(800, 600);
        window.show();
    }
    RunResult run(const std::function<void()>& eachLabel = {}) {
        const RunResult r = report.run(list, surface, [&] {
            QCoreApplication::processEvents();
            if (eachLabel) {
                eachLabel();
            }
        });
        QCoreApplication::processEvents();
        return r;
    }

    LabelReport report;
    printlist::RowSet list;
    PreviewDocument document;
    PreviewSurface surface;
    PreviewWindow window;
};

// A prepared-pages file of three pages (400 labels at the default layout).
void saveThreePages(const QString& file) {
    PreviewRun p(400);
    p.run();
    ASSERT_TRUE(savePreparedPages(p.document, file));
}

TEST(PreviewWindow, ProgressPanelShowsEveryFivePercentThenEmpties) {
    for (const auto& [rows, expected] :
         {std::pair{100, QStringList{"0%",  "5%",  "10%", "15%", "20%", "25%", "30%",
                                     "35%", "40%", "45%", "50%", "55%", "60%", "65%",
                                     "70%", "75%", "80%", "85%", "90%", "95%", ""}},
          std::pair{1, QStringList{"0%", ""}}}) {
        PreviewRun p(rows);
        QStringList seen{p.window.progressText()};
        p.run([&] {
            if (seen.last() != p.window.progressText()) {
                seen.append(p.window.progressText());
            }
        });
        if (seen.last() != p.window.progressText()) {
            seen.append(p.window.progressText());
        }
        EXPECT_EQ(seen, expected) << rows;
    }
}

TEST(PreviewWindow, EmptyListShowsPageOneOfOne) {
    PreviewRun p(0);
    EXPECT_EQ(p.window.statusText(), "Page 1 of 0");
    p.run();
    EXPECT_EQ(p.window.statusText(), "Page 1 of 1");
    EXPECT_TRUE(p.window.pageShown());
    EXPECT_TRUE(p.window.Print->isEnabled());
    EXPECT_TRUE(p.window.PrintSetup->isEnabled());
}

TEST(PreviewWindow, PagingRulesAndAPageStillBeingProduced) {
    PreviewRun p(400); // 3 pages at the default layout
    bool tried = false;
    bool emptyWhileProduced = false;
    p.run([&] {
        if (!tried && p.document.pageCount() == 2 && p.window.pageShown()) {
            EXPECT_FALSE(p.window.PrintSetup->isEnabled());
            p.window.ToolButton2->trigger(); // next page: begun, not finished
            tried = true;
            emptyWhileProduced = !p.window.pageShown() && p.window.currentPage() == 2;
            p.window.setZoom(50);
        }
    });
    EXPECT_TRUE(emptyWhileProduced);
    EXPECT_TRUE(p.window.pageShown());
    EXPECT_EQ(p.window.zoomMode(), PreviewWindow::ZoomMode::PageWidth);
    EXPECT_EQ(p.window.statusText(), "Page 2 of 3");

    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(&p.window, &end);
    EXPECT_EQ(p.window.statusText(), "Page 3 of 3");
    p.window.ToolButton2->trigger(); // next on the last page: nothing
    EXPECT_EQ(p.window.statusText(), "Page 3 of 3");
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> keys[] = {
        {Qt::Key_PageUp, Qt::NoModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier, 2}, // not exactly Ctrl
        {Qt::Key_PageDown, Qt::ControlModifier, 3},
        {Qt::Key_Home, Qt::NoModifier, 1}};
    for (const auto& [key, mods, page] : keys) {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(p.window.ExitButton, &e); // the window sees keys first
        EXPECT_EQ(p.window.currentPage(), page);
    }
    p.window.PreviousPage->trigger(); // previous on page 1: nothing
    EXPECT_EQ(p.window.statusText(), "Page 1 of 3");
}

TEST(PreviewWindow, ZoomLimitsAndLayout) {
    PreviewRun p(1);
    p.run();
    p.window.setZoom(100);
    EXPECT_EQ(p.window.imageSize(), QSize(794 + 4, 1123 + 4));
    p.window.setZoom(1);
    p.window.setZoom(2001);
    EXPECT_EQ(p.window.zoom(), 100);
    p.window.setZoom(2000);
    EXPECT_EQ(p.window.zoom(), 2000);
    p.window.setZoom(2);
    EXPECT_EQ(p.window.zoom(), 2);

    // A sheet so large that fitting it into the view gives a zoom below 2.
    PreviewRun huge(1, 2100 * 200, 2970 * 200);
    huge.window.setZoom(77);
    huge.window.zoomToFit();
    EXPECT_EQ(huge.window.zoom(), 77);
    EXPECT_EQ(huge.window.zoomMode(), PreviewWindow::ZoomMode::FitPage);
}

// A sheet with room around every label, so that each of a label's four frame bars stands alone.
settings::Sheet gappedSheet() {
    settings::Sheet s;
    s.on = true;
    s.left = 100;
    s.top = 100;
    s.width = 400;
    s.height = 300;
    s.pitchX = 450;
    s.pitchY = 340;
    s.columns = 4;
    s.rows = 8;
    return s;
}

// Whether a pixel of the frame's blue lies in the image within `box`.
bool blueIn(const QImage& image, QRect box) {
    box = box.intersected(image.rect());
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 100 && c.green() < 100) {
                return true;
            }
        }
    }
    return false;
}

TEST(PreviewWindow, EveryFrameBarShowsAtEveryZoom) {
    const settings::Sheet sheet = gappedSheet();
    PreviewRun p(sheet.labelsPerSheet());
    settings::LayoutSettings layout;
    layout.sheet = sheet;
    layout.bordercolor = 0xFF0000; // blue
    p.report.takeSettings(layout);
    ASSERT_EQ(p.run().pages, 1);
    auto* image = p.window.findChild<PageImage*>();
    ASSERT_TRUE(image);
    for (const int zoom : {100, 85, 81, 73, 64, 55, 47, 38, 30}) {
        p.window.setZoom(zoom);
        const QImage shot = image->grab().toImage();
        // The page's 794 × 1123 device units are stretched over the whole image.
        const double sx = shot.width() / 794.0;
        const double sy = shot.height() / 1123.0;
        const auto px = [&](int tenths, double s) { return int(tenths * 96 / 254.0 * s); };
        QStringList missing;
        for (int n = 0; n < sheet.labelsPerSheet(); ++n) {
            const int l = px(sheet.labelLeft(n), sx);
            const int r = px(sheet.labelLeft(n) + sheet.width, sx);
            const int t = px(sheet.labelTop(n), sy);
            const int b = px(sheet.labelTop(n) + sheet.height, sy);
            const int midX = (l + r) / 2;
            const int midY = (t + b) / 2;
            const struct {
                const char* side;
                QRect near;
            } bars[] = {
                {"left", QRect(l - 2, midY - 3, 5, 7)},
                {"right", QRect(r - 2, midY - 3, 5, 7)},
                {"top", QRect(midX - 3, t - 2, 7, 5)},
                {"bottom", QRect(midX - 3, b - 2, 7, 5)},
            };
            for (const auto& bar : bars) {
                if (!blueIn(shot, bar.near)) {
                    missing << QStringLiteral("%1 of label %2").arg(bar.side).arg(n + 1);
                }
            }
        }
        EXPECT_TRUE(missing.isEmpty()) << zoom << "%: " << missing.join(", ").toStdString();
    }
}

TEST(PreviewWindow, APageIsDrawnFromItsRecordingOncePerZoom) {
    PreviewRun p(200);
    p.run();
    auto* image = p.window.findChild<PageImage*>();
    ASSERT_TRUE(image);
    p.window.setZoom(50);
    image->repaint();
    const int first = image->renders();
    EXPECT_GE(first, 1);
    for (int i = 0; i < 5; ++i) {
        image->repaint();
        p.window.repaint();
    }
    EXPECT_EQ(image->renders(), first);
    p.window.setZoom(60);
    image->repaint();
    EXPECT_EQ(image->renders(), first + 1);
    // Back to a zoom shown before: its image is still there.
    p.window.setZoom(50);
    image->repaint();
    EXPECT_EQ(image->renders(), first + 1);
    // Another page is drawn once.
    p.window.goToPage(2);
    image->repaint();
    image->repaint();
    EXPECT_EQ(image->renders(), first + 2);
}

TEST(PreviewWindow, ACraftedFileOfThousandsOfFontFacesIsReportedDamagedAtOnce) {
    QTemporaryDir dir;
    const QString file = dir.filePath("faces.LPF");
    {
        emf::EmfWriter w(QSize(794, 1123), 96);
        for (int i = 0; i < 3000; ++i) {
            emf::LogFont f;
            f.height = -12;
            f.face = QStringLiteral("Face %1").arg(i);
            w.selectFont(f);
            w.drawText(QPoint(10, 10 + i % 1000), emf::Align::TopLeft, "x", {7}, 14, 0);
        }
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        auto store = PageStore::writingTo(f.handle());
        store->addPage(w.finish());
        store->writeHeader(1);
    }
    prompts::clearHistory();
    PreviewRun p(1);
    p.run();
    ASSERT_TRUE(loadPreparedPages(p.document, file, [](int code) { return code == 9; }));
    QElapsedTimer timer;
    timer.start();
    p.window.pagesLoaded();
    p.window.findChild<PageImage*>()->repaint();
    EXPECT_LT(timer.elapsed(), 5000);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_TRUE(prompts::shownMessages()[0].text.startsWith(
        "The page drawing is damaged (too many font faces"))
        << prompts::shownMessages()[0].text.toStdString();
    EXPECT_FALSE(p.window.pageShown());
    prompts::clearHistory();
}

TEST(PreviewWindow, AfterLoadingAThreePageFileOnlyPrintIsEnabled) {
    QTemporaryDir dir;
    const QString file = dir.filePath("three.LPF");
    saveThreePages(file);
    PreviewRun p(1);
    p.run();
    ASSERT_TRUE(loadPreparedPages(p.document, file, [](int code) { return code == 9; }));
    p.window.pagesLoaded();
    EXPECT_EQ(p.window.statusText(), "Page 1 of 3");
    EXPECT_TRUE(p.window.pageShown());
    EXPECT_TRUE(p.window.Print->isEnabled());
    EXPECT_FALSE(p.window.PrintSetup->isEnabled());
}

TEST(PreviewWindow, AFileClaimingTheLargestPageCountStopsAtItsLastPage) {
    QTemporaryDir dir;
    const QString file = dir.filePath("claims.LPF");
    saveThreePages(file);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray count(4, '\0');
        qToLittleEndian<qint32>(std::numeric_limits<qint32>::max(), count.data());
        f.seek(8);
        f.write(count);
    }
    prompts::clearHistory();
    PreviewRun p(1);
    p.run();
    ASSERT_TRUE(loadPreparedPages(p.document, file, [](int code) { return code == 9; }));
    p.window.pagesLoaded();
    const int last = std::numeric_limits<int>::max();
    ASSERT_EQ(p.document.pageCount(), last);
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_PageDown}) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&p.window, &e);
        EXPECT_EQ(p.window.currentPage(), last);
    }
    p.window.ToolButton2->trigger();
    EXPECT_EQ(p.window.currentPage(), last);
    prompts::clearHistory(); // the missing page was reported, not drawn
}

TEST(ProgressWindow, ShowsMultiplesOfFiveOnly) {
    ProgressWindow w;
    EXPECT_EQ(w.windowTitle(), "Printing progress");
    EXPECT_EQ(w.size(), QSize(149, 97));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w.Info->text().isEmpty());
    w.showProgress(40);
    EXPECT_EQ(w.Info->text(), "40%  Completed");
    EXPECT_EQ(w.Gauge->value(), 40);
    w.showProgress(43);
    EXPECT_EQ(w.Info->text(), "40%  Completed");
    EXPECT_EQ(w.Gauge->value(), 40);
}

TEST(SentNotice, SaysWhereThePagesWentAndClosesByItself) {
    const struct {
        QString text, expected;
    } cases[] = {
        {SentNotice::printerText("Kancelar", 1), "Odesláno na tiskárnu Kancelar: 1 strana"},
        {SentNotice::printerText("Kancelar", 2), "Odesláno na tiskárnu Kancelar: 2 strany"},
        {SentNotice::printerText("Kancelar", 4), "Odesláno na tiskárnu Kancelar: 4 strany"},
        {SentNotice::printerText("Kancelar", 5), "Odesláno na tiskárnu Kancelar: 5 stran"},
        {SentNotice::printerText("Kancelar", 12), "Odesláno na tiskárnu Kancelar: 12 stran"},
        {SentNotice::fileText("/tmp/cenovky.pdf", 3),
         "Uloženo do souboru /tmp/cenovky.pdf: 3 strany"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected);
    }

    QElapsedTimer clock;
    clock.start();
    QPointer<SentNotice> notice = SentNotice::open(SentNotice::printerText("Kancelar", 5));
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->Info->text(), "Odesláno na tiskárnu Kancelar: 5 stran");
    EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
    // Fixed in size, so the window manager adds no resize handle under it, and the text fits.
    EXPECT_EQ(notice->minimumSize(), notice->maximumSize());
    EXPECT_GE(notice->Info->width(), notice->Info->sizeHint().width());
    // Centred where the progress window stood.
    ProgressWindow progress;
    const QPoint offCentre = notice->geometry().center() - progress.geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << "," << offCentre.y();
    QTRY_VERIFY_WITH_TIMEOUT(notice.isNull(), 10000);
    EXPECT_GE(clock.elapsed(), SentNotice::kShownMs);
}

class PrintForm : public ::testing::Test {
  protected:
    printlist::RowSet list = test::numberedRows(500);
    Ttiskf tiskf{list};
};

TEST_F(PrintForm, ClosingDuringTheRunCancelsItAndReleasesEverything) {
    QTimer closer;
    int labelsWhenClosed = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (tiskf.previewDocument() && tiskf.previewDocument()->pageCount() >= 2 &&
            tiskf.previewWindow()) {
            labelsWhenClosed = tiskf.previewDocument()->progressPercent();
            tiskf.previewWindow()->close();
        }
    });
    closer.start(0);
    tiskf.preview();
    EXPECT_GT(labelsWhenClosed, 0);
    EXPECT_LT(labelsWhenClosed, 100);
    EXPECT_EQ(tiskf.previewDocument(), nullptr);
    EXPECT_EQ(tiskf.previewWindow(), nullptr);
    EXPECT_FALSE(tiskf.qr1.inRun());
}

TEST_F(PrintForm, PreviewReturnsWhenTheWindowIsClosedAndASecondRequestRaisesIt) {
    int opened = 0;
    QTimer::singleShot(0, [&] {
        // While the first preview is open, a second request opens no other window.
        QTimer::singleShot(0, [&] {
            PreviewWindow* first = tiskf.previewWindow();
            tiskf.preview();
            opened += tiskf.previewWindow() == first ? 1 : 100;
            QTimer::singleShot(0, [&] { tiskf.previewWindow()->close(); });
        });
    });
    tiskf.preview();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(tiskf.previewWindow(), nullptr);
}

TEST_F(PrintForm, PrintSetupStoresTheChoiceAndCancelChangesNothing) {
    bool checked = false;
    QTimer poll; // waits for the finished run, however busy the machine is
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (checked || !tiskf.previewDocument() ||
            tiskf.previewDocument()->status() != PreviewDocument::Status::Finished) {
            return;
        }
        checked = true;
        printSetupAnswers().queue(std::nullopt);
        tiskf.printSetup();
        EXPECT_EQ(tiskf.qr1.printSettings().copies, 1);
        const PrintSetupRequest& r = printSetupAnswers().asked().back();
        EXPECT_EQ(r.minPage, 1);
        EXPECT_EQ(r.maxPage, 3);
        EXPECT_EQ(r.toPage, 3);
        printSetupAnswers().queue(PrintSetupAnswer{"queue", 2, Orientation::Landscape, true, 2, 3});
        tiskf.printSetup();
        tiskf.previewWindow()->close();
    });
    poll.start(10);
    tiskf.preview();
    ASSERT_TRUE(checked);
    const PrintSettings& s = tiskf.qr1.printSettings();
    EXPECT_EQ(s.printer, "queue");
    EXPECT_EQ(s.copies, 2);
    EXPECT_EQ(s.firstPage, 2);
    EXPECT_EQ(s.lastPage, 3);
    EXPECT_EQ(tiskf.qr1.orientation(), Orientation::Landscape);
    EXPECT_EQ(tiskf.qr1.pageWidth(), 2970);
}

TEST_F(PrintForm, PrintDialogOpensOnAllPagesWithTheRunsRangeInItsFields) {
    struct Seen {
        int from = -1, to = -1;
        bool allPages = false;
    } seen;
    bool asked = false;
    // A timer does not fire again while its own handler runs, so the dialog, shown from the
    // handler of `poll`, is answered from a timer of its own.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            for (QSpinBox* box : dialog->findChildren<QSpinBox*>()) {
                if (box->objectName() == "from") {
                    seen.from = box->value();
                } else if (box->objectName() == "to") {
                    seen.to = box->value();
                }
            }
            for (QRadioButton* choice : dialog->findChildren<QRadioButton*>()) {
                if (choice->objectName() == "printAll") {
                    seen.allPages = choice->isChecked();
                }
            }
            dialog->reject();
        }
    });
    answer.start(10);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!asked && tiskf.previewDocument() &&
            tiskf.previewDocument()->status() == PreviewDocument::Status::Finished) {
            asked = true;
            printSetupAnswers().setDialog(runPrintDialog);
            tiskf.printSetup();
            printSetupAnswers().setDialog(nullptr);
            tiskf.previewWindow()->close();
        }
    });
    poll.start(10);
    tiskf.preview(); // 500 default labels: 3 pages
    ASSERT_TRUE(asked);
    EXPECT_EQ(seen.from, 1);
    EXPECT_EQ(seen.to, 3);
    EXPECT_TRUE(seen.allPages);
    EXPECT_EQ(tiskf.qr1.printSettings().firstPage, 0); // cancelled: nothing changed
}

TEST_F(PrintForm, AFileFromTheCommandLineOpensLoadedAndAMissingOneOpensNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath("three.LPF");
    saveThreePages(file);
    QString status;
    QString progress = "unread";
    bool printEnabled = false;
    bool setupEnabled = true;
    QTimer poll; // the window opens inside previewFile()
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PreviewWindow* w = tiskf.previewWindow();
        if (!w || !w->isVisible()) {
            return;
        }
        poll.stop();
        status = w->statusText();
        progress = w->progressText();
        printEnabled = w->Print->isEnabled();
        setupEnabled = w->PrintSetup->isEnabled();
        w->close();
    });
    poll.start(5);
    tiskf.previewFile(file);
    EXPECT_EQ(status, "Page 1 of 3");
    EXPECT_EQ(progress, ""); // no run is going on
    EXPECT_TRUE(printEnabled);
    EXPECT_FALSE(setupEnabled);
    EXPECT_EQ(tiskf.previewWindow(), nullptr);

    prompts::clearHistory();
    tiskf.previewFile(dir.filePath("gone.LPF"));
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "File does not exist");
    EXPECT_EQ(tiskf.previewWindow(), nullptr);
}

TEST_F(PrintForm, ALoadedPageThatCannotBeDrawnSendsNothingAndSaysWhy) {
    QTemporaryDir dir;
    const QString file = dir.filePath("three.LPF");
    saveThreePages(file);
    // Page 2 keeps its record but loses its drawing's signature.
    QFile lpf(file);
    ASSERT_TRUE(lpf.open(QIODevice::ReadWrite));
    QByteArray bytes = lpf.readAll();
    const qsizetype second = bytes.indexOf(" EMF", bytes.indexOf(" EMF") + 1);
    ASSERT_GT(second, 0);
    bytes[second] = 'X';
    ASSERT_TRUE(lpf.seek(0));
    ASSERT_EQ(lpf.write(bytes), bytes.size());
    lpf.close();

    const QString pdf = dir.filePath("loaded.pdf");
    tiskf.qr1.printSettings().pdfFile = pdf;
    prompts::clearHistory();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PreviewWindow* w = tiskf.previewWindow();
        if (!w || !w->isVisible()) {
            return;
        }
        poll.stop();
        tiskf.print();
        w->close();
    });
    poll.start(5);
    tiskf.previewFile(file);
    // Page 1 was drawn before page 2 failed: none of it may stay as if it were the print.
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(tiskf.sentNotice(), nullptr);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_TRUE(prompts::shownMessages()[0].text.startsWith("The page drawing is damaged"))
        << prompts::shownMessages()[0].text.toStdString();
}

// Two of five codes cannot be encoded: the preview's status says so, and print asks first; No
// prints nothing, Yes prints the labels (the two without their symbols).
TEST(PrintFormBarcodes, TheStatusCountsBadCodesAndPrintAsksFirst) {
    std::vector<QStringList> rows;
    for (const char* code : {"*8591234567893*", "*85912345678X*", "*859123456789*",
                             "*8591234567890*", "*4006381333931*"}) {
        rows.push_back({code, "k", "n", "c", "", "", ""});
    }
    printlist::RowSet list(test::fieldNames(), std::move(rows));
    Ttiskf tiskf{list};
    settings::LayoutSettings layout;
    layout.lines[settings::Kods].barcode.kind = settings::BarcodeKind::Ean13;
    tiskf.qr1.takeSettings(layout);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("codes.pdf");
    tiskf.qr1.printSettings().pdfFile = pdf;
    prompts::clearHistory();
    QString status;
    bool printedAfterNo = true;
    QByteArray previewPage;
    const QString lpf = dir.filePath("codes.LPF");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PreviewDocument* d = tiskf.previewDocument();
        if (!d || d->status() != PreviewDocument::Status::Finished || !tiskf.previewWindow()) {
            return;
        }
        poll.stop();
        status = tiskf.previewWindow()->statusText();
        prompts::setNextAnswer(prompts::Answer::No);
        tiskf.print();
        printedAfterNo = QFile::exists(pdf);
        prompts::setNextAnswer(prompts::Answer::Yes);
        tiskf.print();
        // The preview's page marks the bad codes; the saved pages, printed later, must not.
        previewPage = d->store()->page(1);
        prompts::setNextFileName(lpf);
        emit tiskf.previewWindow()->saveRequested();
        tiskf.previewWindow()->close();
    });
    poll.start(5);
    tiskf.preview();
    const QString marker = QStringLiteral("neplatn");
    const QByteArray markerUtf16(reinterpret_cast<const char*>(marker.utf16()), marker.size() * 2);
    EXPECT_TRUE(previewPage.contains(markerUtf16));
    QFile saved(lpf);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray savedBytes = saved.readAll();
    EXPECT_GT(savedBytes.size(), 1000);
    EXPECT_FALSE(savedBytes.contains(markerUtf16));
    EXPECT_EQ(status, "Page 1 of 1 - 2 labels have a bad barcode");
    EXPECT_FALSE(printedAfterNo);
    EXPECT_TRUE(QFile::exists(pdf));
    const auto& asked = prompts::shownMessages();
    ASSERT_EQ(asked.size(), 2u);
    for (const prompts::Message& m : asked) {
        EXPECT_EQ(m.text, "2 štítků má neplatný čárový kód. Tisknout přesto?");
        EXPECT_EQ(m.buttons, prompts::Buttons::YesNo);
    }
    prompts::clearHistory();
}

// Two of three names are wider than their label, with every fit rule off: the status counts
// them, the page shows a mark around each outside the recorded page, and print asks first.
TEST(PrintFormOverflow, TheStatusCountsLabelsThatDoNotFitAndPrintAsksFirst) {
    const QString longName = QStringLiteral("Jogurt bílý smetanový s příchutí lesního ovoce 150 g");
    std::vector<QStringList> rows;
    for (const QString& name : {longName, QStringLiteral("Mléko"), longName}) {
        rows.push_back({"*1*", "1", name, "9,90", "", "", ""});
    }
    printlist::RowSet list(test::fieldNames(), std::move(rows));
    Ttiskf tiskf{list};
    tiskf.qr1.takeSettings(settings::LayoutSettings{});
    QTemporaryDir dir;
    const QString pdf = dir.filePath("names.pdf");
    tiskf.qr1.printSettings().pdfFile = pdf;
    prompts::clearHistory();
    QString status;
    std::vector<QRectF> marks;
    bool printedAfterNo = true;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PreviewDocument* d = tiskf.previewDocument();
        if (!d || d->status() != PreviewDocument::Status::Finished || !tiskf.previewWindow()) {
            return;
        }
        poll.stop();
        QCoreApplication::processEvents();
        status = tiskf.previewWindow()->statusText();
        marks = tiskf.previewWindow()->findChild<PageImage*>()->marks();
        prompts::setNextAnswer(prompts::Answer::No);
        tiskf.print();
        printedAfterNo = QFile::exists(pdf);
        prompts::setNextAnswer(prompts::Answer::Yes);
        tiskf.print();
        tiskf.previewWindow()->close();
    });
    poll.start(5);
    tiskf.preview();
    EXPECT_EQ(status, "Page 1 of 1 - 2 labels have text that does not fit");
    // Labels 1 and 3 of the first column: 15 mm apart from the 10 mm margin on A4.
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].top() * 2970, 100, 0.01);
    EXPECT_NEAR(marks[1].top() * 2970, 400, 0.01);
    EXPECT_NEAR(marks[0].left() * 2100, 100, 0.01);
    EXPECT_FALSE(printedAfterNo);
    EXPECT_TRUE(QFile::exists(pdf));
    const auto& asked = prompts::shownMessages();
    ASSERT_EQ(asked.size(), 2u);
    for (const prompts::Message& m : asked) {
        EXPECT_EQ(m.text, "2 štítků má text, který se nevejde. Tisknout přesto?");
        EXPECT_EQ(m.buttons, prompts::Buttons::YesNo);
    }
    prompts::clearHistory();
}

TEST(PrintFormFullTemp, AFullTemporaryFolderEndsThePreviewWithThePagesMade) {
    QTemporaryDir out; // before the temporary folder moves
    prompts::clearHistory();
    SmallTmpfs full(64 * 1024);
    ASSERT_TRUE(full.mounted());
    TempPathOverride tmp(full.path());
    printlist::RowSet list = test::numberedRows(3002);
    Ttiskf tiskf{list};
    bool checked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        PreviewDocument* document = tiskf.previewDocument();
        if (checked || !document || document->status() != PreviewDocument::Status::Finished) {
            return;
        }
        checked = true;
        PreviewWindow* w = tiskf.previewWindow();
        QCoreApplication::processEvents();
        const int made = document->pageCount();
        EXPECT_GE(made, 1);
        EXPECT_LT(made, 17);
        EXPECT_EQ(document->shortfall(), "No space left on device");
        EXPECT_EQ(w->statusText(),
                  QStringLiteral("Page 1 of %1 (only %1 %2 made: No space left on device)")
                      .arg(made)
                      .arg(made == 1 ? "page was" : "pages were"));
        EXPECT_TRUE(w->progressText().isEmpty());
        EXPECT_TRUE(w->Print->isEnabled());
        EXPECT_TRUE(w->PrintSetup->isEnabled());
        for (int n = 1; n <= made; ++n) {
            EXPECT_TRUE(document->pageDrawing(n).has_value()) << n;
        }
        // Save keeps what was made, with the header telling the truth.
        ASSERT_TRUE(savePreparedPages(*document, out.filePath("made.lpf")));
        QFile saved(out.filePath("made.lpf"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(qFromLittleEndian<qint32>(saved.read(12).constData() + 8), made);
        w->close();
    });
    poll.start(10);
    tiskf.preview();
    ASSERT_TRUE(checked);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "No space left on device.");
    EXPECT_EQ(tiskf.previewWindow(), nullptr);
}

} // namespace
} // namespace labelprint
