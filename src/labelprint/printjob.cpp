#include "labelprint/printjob.h"

#include "labelprint/alignmentpage.h"
#include "labelprint/papertable.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/printersurface.h"

#include <utility>

namespace labelprint {
namespace {

// A surface of the core whose label and page announcements also reach the job's watcher.
template <class Surface> class Watched : public Surface {
  public:
    template <class... Args>
    explicit Watched(JobWatcher* watcher, Args&&... args)
        : Surface(std::forward<Args>(args)...), watcher_(watcher) {}
    void progress(int percent) override {
        Surface::progress(percent);
        if (watcher_) {
            watcher_->labelDone(percent);
        }
    }
    void finishPage() override {
        Surface::finishPage();
        if (watcher_) {
            watcher_->pageDone();
        }
    }

  private:
    JobWatcher* watcher_;
};

using WatchedPrinter = Watched<PrinterSurface>;

std::unique_ptr<WatchedPrinter> printerSurface(JobWatcher* watcher, const PrintSettings& where,
                                               Orientation orientation) {
    if (!where.pdfFile.isEmpty()) {
        return std::make_unique<WatchedPrinter>(watcher, PrinterSurface::PdfFile{where.pdfFile},
                                                where, orientation);
    }
    return std::make_unique<WatchedPrinter>(watcher, where, orientation);
}

SentJob sentBy(const RunResult& run, const PrinterSurface& surface, const PrintSettings& where) {
    SentJob sent;
    sent.run = run;
    sent.sentPages = surface.printedPages();
    sent.jobId = surface.jobId();
    if (!where.pdfFile.isEmpty()) {
        sent.pdfFile = where.pdfFile;
    } else if (surface.printer()) {
        sent.printer = surface.printer()->printerName();
    }
    return sent;
}

// Clears the running surface when the run leaves, by return or by exception.
struct Running {
    PageSurface*& running;
    Running(PageSurface*& slot, PageSurface& surface) : running(slot) { running = &surface; }
    ~Running() { running = nullptr; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

} // namespace

PrintJob::PrintJob(LabelReport& report, printlist::RowCursor* rows, JobWatcher* watcher)
    : report_(report), rows_(rows), watcher_(watcher) {}

std::unique_ptr<PreviewDocument> PrintJob::newDocument(const LabelReport& report,
                                                       const QPrinterInfo& printer) {
    const PrintSettings& settings = report.printSettings();
    const SurfacePaper paper =
        paperOfOutput(printer, !settings.pdfFile.isEmpty(), report.orientation(), settings.paper);
    auto document = std::make_unique<PreviewDocument>(paper.width, paper.length);
    document->setPaper(paper.code, report.orientation() == Orientation::Landscape, paper.width,
                       paper.length);
    return document;
}

RunResult PrintJob::runOn(PageSurface& surface) {
    const Running running(running_, surface);
    if (!rows_) {
        return printAlignmentPage(report_, surface);
    }
    return report_.run(*rows_, surface, [this] {
        if (watcher_) {
            watcher_->beforeLabel();
        }
    });
}

SentJob PrintJob::print(const PrintSettings& where) {
    const auto surface = printerSurface(watcher_, where, report_.orientation());
    const RunResult run = runOn(*surface);
    return sentBy(run, *surface, where);
}

RunResult PrintJob::record(PreviewDocument& document) {
    Watched<PreviewSurface> surface(watcher_, document);
    return runOn(surface);
}

SentJob PrintJob::replay(PreviewDocument& pages, const PrintSettings& where) {
    const Orientation orientation =
        pages.landscape() ? Orientation::Landscape : Orientation::Portrait;
    const auto surface = printerSurface(watcher_, where, orientation);
    // The paper found when the pages were loaded; an unknown one leaves the printer's own.
    std::optional<QPageSize> paper;
    if (const auto loaded = paperByCode(pages.paperCode())) {
        paper =
            QPageSize(QSizeF(loaded->width / 10.0, loaded->length / 10.0), QPageSize::Millimeter);
    }
    surface->usePaper(paper);
    const Running running(running_, *surface);
    RunResult run{RunStatus::NoOutput, 0, 0, {}, {}};
    if (!surface->beginDocument()) {
        return sentBy(run, *surface, where);
    }
    const int count = pages.pageCount();
    const int last = where.lastPage > 0 ? std::min(where.lastPage, count) : count;
    for (int n = 1; n <= last && !surface->cancelled(); ++n) {
        if (watcher_) {
            watcher_->beforeLabel();
        }
        surface->beginPage();
        if (surface->pageInRange()) {
            if (const auto drawing = pages.pageDrawing(n)) {
                surface->drawRecordedPage(*drawing);
            }
        }
        surface->finishPage();
        ++run.pages;
    }
    surface->endDocument();
    run.status = RunStatus::Finished;
    return sentBy(run, *surface, where);
}

void PrintJob::stopEarly() {
    if (running_) {
        running_->cancel();
    }
}

} // namespace labelprint
