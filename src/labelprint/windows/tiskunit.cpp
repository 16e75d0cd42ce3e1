#include "labelprint/windows/tiskunit.h"

#include "labelprint/alignmentpage.h"
#include "labelprint/emfplayer.h"
#include "labelprint/papertable.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/printersurface.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/printsetupdialog.h"
#include "labelprint/windows/progresswindow.h"
#include "labelprint/windows/sentnotice.h"
#include "platform/error.h"
#include "platform/errorhandler.h"
#include "printlist/rowset.h"

#include <QApplication>
#include <QEventLoop>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QScreen>

namespace labelprint {
namespace {

// The printer surface of a print from the preview, reporting its progress to the window.
class WatchedPrinterSurface : public PrinterSurface {
  public:
    WatchedPrinterSurface(const PrintSettings& s, Orientation o, ProgressWindow& window)
        : PrinterSurface(s, o), window_(window) {}
    WatchedPrinterSurface(PdfFile file, const PrintSettings& s, Orientation o,
                          ProgressWindow& window)
        : PrinterSurface(std::move(file), s, o), window_(window) {}
    void progress(int percent) override { window_.showProgress(percent); }

  private:
    ProgressWindow& window_;
};

QPrinterInfo selectedPrinter(const PrintSettings& s) {
    if (!s.printer.isEmpty()) {
        return QPrinterInfo::printerInfo(s.printer);
    }
    return QPrinterInfo::defaultPrinter();
}

} // namespace

Ttiskf::Ttiskf(printlist::RowSet& listView, QObject* parent)
    : QObject(parent), listView_(listView) {
    setObjectName(QStringLiteral("tiskf"));
    connect(this, &Ttiskf::printQueued, this, &Ttiskf::print, Qt::QueuedConnection);
}

Ttiskf::~Ttiskf() {
    if (window_) {
        window_->detach();
    }
}

void Ttiskf::preview() {
    QCoreApplication::processEvents();
    if (qr1.inRun() || raiseOpenWindow()) {
        return;
    }
    openWindow(documentOnPrintPaper());
    const RunResult result = recordPreview();
    if (result.status == RunStatus::Aborted || !windowOpen_) {
        releasePreview();
        return;
    }
    reportShortfall();
    waitForClose();
}

bool Ttiskf::raiseOpenWindow() {
    if (!window_ || !windowOpen_) {
        return false;
    }
    window_->raise();
    window_->activateWindow();
    return true;
}

void Ttiskf::reportShortfall() {
    if (!document_->shortfall().isEmpty()) {
        // Not thrown: the pages made so far stay in the window, viewable, printable and savable.
        platform::reportError(platform::Error(document_->shortfall()));
    }
}

RunResult Ttiskf::recordPreview() {
    // The run walks a copy of the list view: list commands may reload the view while the
    // preview's run lets events through, and the pages must follow one list.
    printlist::RowSet rows = listView_;
    PreviewSurface surface(*document_);
    return qr1.run(rows, surface, [] { QCoreApplication::processEvents(); });
}

void Ttiskf::previewFile(const QString& path) {
    QCoreApplication::processEvents();
    if (qr1.inRun() || (window_ && windowOpen_)) {
        return;
    }
    openWindow(documentOnPrintPaper());
    bool loaded = false;
    platform::guard([&] {
        loaded = loadPreparedPages(*document_, path,
                                   offeredPapers(selectedPrinter(qr1.printSettings())));
        if (loaded && window_) {
            window_->pagesLoaded();
        }
    });
    // Nothing to show: the message said why, and an empty window would only be in the way.
    if (!loaded || !windowOpen_) {
        releasePreview();
        return;
    }
    waitForClose();
}

std::unique_ptr<PreviewDocument> Ttiskf::documentOnPrintPaper() const {
    // The paper the print will take too: A4 (Letter for a Letter sheet), unless the selected
    // printer lacks it; a PDF file is written on it whatever the printer.
    const PrintSettings& s = qr1.printSettings();
    const SurfacePaper paper =
        paperOfOutput(selectedPrinter(s), !s.pdfFile.isEmpty(), qr1.orientation(), s.paper);
    auto document = std::make_unique<PreviewDocument>(paper.width, paper.length);
    document->setPaper(paper.code, qr1.orientation() == Orientation::Landscape, paper.width,
                       paper.length);
    return document;
}

void Ttiskf::openWindow(std::unique_ptr<PreviewDocument> document) {
    document_ = std::move(document);
    window_ = std::make_unique<PreviewWindow>(document_.get());
    windowOpen_ = true;
    connectWindow();
    // Maximised; without a window manager to do it, the window takes the screen's free area.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window_->setGeometry(screen->availableGeometry());
    }
    window_->showMaximized();
}

void Ttiskf::connectWindow() {
    connect(window_.get(), &PreviewWindow::closing, this, &Ttiskf::windowClosing);
    connect(window_.get(), &PreviewWindow::printSetupRequested, this, &Ttiskf::printSetup);
    connect(window_.get(), &PreviewWindow::printRequested, this, &Ttiskf::printQueued);
    connect(window_.get(), &PreviewWindow::saveRequested, this, &Ttiskf::save);
    connect(window_.get(), &PreviewWindow::loadRequested, this, &Ttiskf::load);
}

void Ttiskf::waitForClose() {
    QEventLoop loop;
    connect(window_.get(), &PreviewWindow::closing, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
    loop.exec();
    releasePreview();
}

void Ttiskf::windowClosing() {
    windowOpen_ = false;
    if (qr1.inRun()) {
        // The preview's own run or a print started from this window.
        qr1.cancelRun();
    }
}

void Ttiskf::releasePreview() {
    if (window_) {
        window_->detach();
        window_->hide();
        window_.release()->deleteLater();
    }
    windowOpen_ = false;
    document_.reset();
}

void Ttiskf::printSetup() {
    PrintSetupRequest r;
    const PrintSettings& s = qr1.printSettings();
    r.printer = s.printer;
    r.copies = s.copies;
    r.orientation = qr1.orientation();
    r.pdfFile = s.pdfFile;
    if (document_ && document_->status() == PreviewDocument::Status::Finished) {
        r.minPage = 1;
        r.maxPage = document_->pageCount();
        r.fromPage = 1;
        r.toPage = r.maxPage;
    }
    const auto answer = showPrintSetup(r);
    if (!answer) {
        return;
    }
    PrintSettings& out = qr1.printSettings();
    out.copies = answer->copies;
    out.printer = answer->printer;
    out.pdfFile = answer->pdfFile;
    qr1.setOrientation(answer->orientation);
    out.firstPage = answer->pageRange ? answer->fromPage : 0;
    out.lastPage = answer->pageRange ? answer->toPage : 0;
}

void Ttiskf::print() {
    if (document_ && document_->isLoaded()) {
        replay();
        return;
    }
    const PrintSettings& settings = qr1.printSettings();
    const bool toFile = !settings.pdfFile.isEmpty();
    // A PDF file needs no printer.
    if (qr1.inRun() || (!toFile && QPrinterInfo::availablePrinterNames().isEmpty())) {
        return;
    }
    // A printer or file that fails ends the run with its error, shown once the progress window
    // and the abandoned job are gone.
    platform::guard([&] {
        auto progress = std::make_unique<ProgressWindow>();
        std::unique_ptr<WatchedPrinterSurface> printer =
            toFile
                ? std::make_unique<WatchedPrinterSurface>(PrinterSurface::PdfFile{settings.pdfFile},
                                                          settings, qr1.orientation(), *progress)
                : std::make_unique<WatchedPrinterSurface>(settings, qr1.orientation(), *progress);
        connect(progress.get(), &ProgressWindow::cancelRequested, progress.get(),
                [p = printer.get()] { p->cancel(); });
        progress->show();
        printlist::RowSet rows = listView_;
        const RunResult result = qr1.run(rows, *printer, [] { QCoreApplication::processEvents(); });
        progress.reset();
        if (result.status == RunStatus::Finished && printer->printedPages() > 0) {
            const int pages = printer->printedPages();
            notice_ = toFile ? SentNotice::open(SentNotice::fileText(settings.pdfFile, pages))
                             : SentNotice::open(SentNotice::printerText(
                                   printer->printer()->printerName(), pages));
        }
    });
}

void Ttiskf::printAlignmentPage(const QString& printer) {
    if (qr1.inRun()) {
        return;
    }
    PrintSettings one = qr1.printSettings();
    // One page, whatever range and copies were chosen for the labels.
    one.firstPage = 0;
    one.lastPage = 0;
    one.copies = 1;
    one.title = QStringLiteral("zkušební arch");
    // The page is there to measure a printer's offset, so it goes to that printer; a PDF file
    // chosen for the labels holds the user's own result and is never written here.
    one.printer = printer;
    one.pdfFile.clear();
    PrinterSurface surface(one, qr1.orientation());
    // A printer that fails throws out of the run, with its text.
    labelprint::printAlignmentPage(qr1, surface);
}

void Ttiskf::replay() {
    const PrintSettings& s = qr1.printSettings();
    const bool toFile = !s.pdfFile.isEmpty();
    if (!document_ || document_->status() != PreviewDocument::Status::Finished ||
        (!toFile && QPrinterInfo::availablePrinterNames().isEmpty())) {
        return;
    }
    platform::guard([&] {
        const QPrinterInfo info = selectedPrinter(s);
        QPrinter printer(info.isNull() ? QPrinterInfo::defaultPrinter() : info,
                         QPrinter::HighResolution);
        if (toFile) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(s.pdfFile);
        }
        // The paper found when the pages were loaded.
        PrinterPaper paper{std::nullopt,
                           document_->landscape() ? Orientation::Landscape : Orientation::Portrait};
        if (const auto loaded = paperByCode(document_->paperCode())) {
            paper.size = QPageSize(QSizeF(loaded->width / 10.0, loaded->length / 10.0),
                                   QPageSize::Millimeter);
        }
        configurePrinter(printer, s, paper);
        printer.setCopyCount(std::max(1, s.copies));
        const int first = s.firstPage > 0 ? s.firstPage : 1;
        const int last = s.lastPage > 0 ? s.lastPage : document_->pageCount();
        QPainter painter;
        if (!painter.begin(&printer)) {
            throw platform::Error(
                toFile
                    ? QStringLiteral("Cannot create file \"%1\".").arg(s.pdfFile)
                    : QStringLiteral("Printer \"%1\" cannot be used.").arg(printer.printerName()));
        }
        // Each page stretched over the printable area, from its origin.
        const QRectF area(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
        for (int n = first; n <= last; ++n) {
            QCoreApplication::processEvents();
            if (!document_) {
                painter.end();
                return;
            }
            if (const auto drawing = document_->pageDrawing(n)) {
                emf::playEmf(*drawing, painter, area);
            }
            if (n != last) {
                printer.newPage();
            }
        }
        if (!painter.end()) {
            throw platform::Error(toFile
                                      ? QStringLiteral("Cannot write file \"%1\".").arg(s.pdfFile)
                                      : QStringLiteral("The print job was not accepted."));
        }
        const int pages = last - first + 1;
        notice_ = toFile ? SentNotice::open(SentNotice::fileText(s.pdfFile, pages))
                         : SentNotice::open(SentNotice::printerText(printer.printerName(), pages));
    });
}

void Ttiskf::save() {
    if (document_) {
        platform::guard([&] { saveReport(*document_); });
    }
}

void Ttiskf::load() {
    if (!document_) {
        return;
    }
    platform::guard([&] {
        const bool loaded =
            loadReport(*document_, offeredPapers(selectedPrinter(qr1.printSettings())));
        if (loaded && window_) {
            window_->pagesLoaded();
        }
    });
}

} // namespace labelprint
