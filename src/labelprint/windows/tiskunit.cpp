#include "labelprint/windows/tiskunit.h"

#include "labelprint/papertable.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/printjob.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/printsetupdialog.h"
#include "labelprint/windows/progresswindow.h"
#include "labelprint/windows/sentnotice.h"
#include "platform/error.h"
#include "platform/errorhandler.h"
#include "platform/programdir.h"
#include "platform/prompts.h"
#include "printlist/rowset.h"

#include <QApplication>
#include <QEventLoop>
#include <QPageSize>
#include <QPrinterInfo>
#include <QScreen>

namespace labelprint {
namespace {

// The preview's side of a job: waiting window events are handled before each label, and the
// progress window, when there is one, follows the labels.
class WindowWatcher : public JobWatcher {
  public:
    explicit WindowWatcher(ProgressWindow* window = nullptr) : window_(window) {}
    void beforeLabel() override { QCoreApplication::processEvents(); }
    void labelDone(int percent) override {
        if (window_) {
            window_->showProgress(percent);
        }
    }

  private:
    ProgressWindow* window_;
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
    WindowWatcher watcher;
    const RunResult result = PrintJob(qr1, &rows, &watcher).record(*document_);
    // The window may have closed while the run let events through.
    if (document_) {
        document_->setProblems(result.problems);
        document_->setOverflows(result.overflows);
        // Saving such pages lays them out again, without the markers, from the same rows.
        markedRows_ = result.problems.any() ? std::optional(std::move(rows)) : std::nullopt;
        if (window_) {
            window_->problemsCounted();
        }
    }
    return result;
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
    // The paper the print will take too.
    return PrintJob::newDocument(qr1, selectedPrinter(qr1.printSettings()));
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
    // A PDF file needs no printer.
    if (qr1.inRun() ||
        (settings.pdfFile.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty())) {
        return;
    }
    if (!printDespiteProblems()) {
        return;
    }
    // A printer or file that fails ends the run with its error, shown once the progress window
    // and the abandoned job are gone.
    platform::guard([&] {
        auto progress = std::make_unique<ProgressWindow>();
        WindowWatcher watcher(progress.get());
        printlist::RowSet rows = listView_;
        PrintJob job(qr1, &rows, &watcher);
        connect(progress.get(), &ProgressWindow::cancelRequested, progress.get(),
                [&job] { job.stopEarly(); });
        progress->show();
        const SentJob sent = job.print(settings);
        progress.reset();
        announce(sent);
    });
}

bool Ttiskf::printDespiteProblems() const {
    // The preview's run counted them; bad codes are left out of the print.
    const auto ask = [](const QString& text) {
        return prompts::message({platform::programTitle(), text, prompts::Icon::Question,
                                 prompts::Buttons::YesNo}) == prompts::Answer::Yes;
    };
    const int bad = document_ ? document_->problems()[LabelProblem::BadBarcode].labels : 0;
    if (bad != 0 &&
        !ask(QStringLiteral("%1 štítků má neplatný čárový kód. Tisknout přesto?").arg(bad))) {
        return false;
    }
    // Text that does not fit is printed as the preview shows it, cut or past the edge.
    const int cut = document_ ? document_->problems()[LabelProblem::Overflow].labels : 0;
    return cut == 0 ||
           ask(QStringLiteral("%1 štítků má text, který se nevejde. Tisknout přesto?").arg(cut));
}

void Ttiskf::announce(const SentJob& sent) {
    if (sent.run.status != RunStatus::Finished || sent.sentPages == 0) {
        return;
    }
    notice_ = sent.pdfFile.isEmpty()
                  ? SentNotice::open(SentNotice::printerText(sent.printer, sent.sentPages))
                  : SentNotice::open(SentNotice::fileText(sent.pdfFile, sent.sentPages));
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
    // A printer that fails throws out of the job, with its text.
    PrintJob(qr1, nullptr).print(one);
}

void Ttiskf::replay() {
    const PrintSettings& settings = qr1.printSettings();
    if (!document_ || document_->status() != PreviewDocument::Status::Finished ||
        (settings.pdfFile.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty())) {
        return;
    }
    platform::guard([&] {
        WindowWatcher watcher;
        announce(PrintJob(qr1, nullptr, &watcher).replay(*document_, settings));
    });
}

void Ttiskf::save() {
    if (!document_) {
        return;
    }
    platform::guard([&] {
        if (document_->isLoaded() || !markedRows_) {
            saveReport(*document_);
            return;
        }
        // The preview's pages carry the problem markers; the saved pages are printed later,
        // so they are laid out again without them.
        const auto clean = documentOnPrintPaper();
        clean->setMarksProblems(false);
        printlist::RowSet rows = *markedRows_;
        WindowWatcher watcher;
        if (PrintJob(qr1, &rows, &watcher).record(*clean).status == RunStatus::Finished) {
            saveReport(*clean);
        }
    });
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
