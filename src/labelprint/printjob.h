// The core print job: a label report that has taken its request lays the print list (or its
// alignment page) out onto a printer or a PDF file, or into a prepared-pages document; loaded
// pages go onto a printer or a PDF file through the same printer surface. Spooling, abort, the
// printers' offsets and what the sent notice tells are thus handled once, for the window and the
// batch tool alike.
#pragma once

#include "labelprint/labelreport.h"
#include "labelprint/printsettings.h"

#include <QPrinterInfo>
#include <QString>
#include <memory>

namespace printlist {
class RowCursor;
}

namespace labelprint {

class PageSurface;
class PreviewDocument;

// Who follows a job as it goes: the preview's progress window, the batch tool's progress bar.
class JobWatcher {
  public:
    virtual ~JobWatcher() = default;
    // Before each label (or loaded page): the window lets waiting events through here, the
    // batch tool looks for a signal.
    virtual void beforeLabel() {}
    // After each label, with the share of the list laid out.
    virtual void labelDone(int /*percent*/) {}
    // Once for each finished page.
    virtual void pageDone() {}
};

// What a job sent, for the notice or the line that tells the user.
struct SentJob {
    RunResult run;     // the run's status, pages laid out and labels
    int sentPages = 0; // pages that went to the printer or file (the page range's)
    int jobId = 0;     // the scheduler's job number; 0 for a PDF file
    QString printer;   // the printer's name; empty for a PDF file
    QString pdfFile;   // the PDF file; empty for a printer
};

class PrintJob {
  public:
    // `rows` null: the alignment page of the report's sheet instead of the list. `report`,
    // `rows` and `watcher` outlive the job.
    PrintJob(LabelReport& report, printlist::RowCursor* rows, JobWatcher* watcher = nullptr);

    // An empty document on the paper the report's print takes on `printer` (null: no printer):
    // A4, or Letter for a Letter sheet, unless the printer lacks it; a PDF file is written on
    // it whatever the printer.
    static std::unique_ptr<PreviewDocument> newDocument(const LabelReport& report,
                                                        const QPrinterInfo& printer);

    // Onto `where.pdfFile` when it is set, else onto `where.printer` (empty: the default).
    // Throws platform::Error when the printer or file fails; nothing is then sent.
    SentJob print(const PrintSettings& where);
    // Into `document`, page by page as they are finished.
    RunResult record(PreviewDocument& document);
    // The pages of `pages` in `where`'s page range, each stretched over the printable area, on
    // the paper and in the orientation they were loaded with.
    SentJob replay(PreviewDocument& pages, const PrintSettings& where);

    // Ends the running job after the current label or page; what was laid out is still sent.
    void stopEarly();

  private:
    RunResult runOn(PageSurface& surface);

    LabelReport& report_;
    printlist::RowCursor* rows_;
    JobWatcher* watcher_;
    PageSurface* running_ = nullptr;
};

} // namespace labelprint
