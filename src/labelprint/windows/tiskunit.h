// tiskf, the hidden print form: holds the label report qr1 and is the window side of printing:
// the preview session with its own event loop, the bridge to print setup, and the progress
// window and sent notice around the core print job, which does the printing itself.
#pragma once

#include "labelprint/labelreport.h"
#include "labelprint/printjob.h"
#include "labelprint/windows/sentnotice.h"
#include "printlist/rowset.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace printlist {
class RowSet;
}

namespace labelprint {

class PreviewDocument;
class PreviewWindow;

class Ttiskf : public QObject {
    Q_OBJECT
  public:
    // `listView` is the main window's list view; it outlives the form.
    explicit Ttiskf(printlist::RowSet& listView, QObject* parent = nullptr);
    ~Ttiskf() override;

    // The label report: page description, label band and line slots; its values carry over
    // from one print command to the next.
    LabelReport qr1;

    // The preview operation: opens the preview window on a fresh preview document, lays the
    // list out into it and returns when the window is closed. Ignored while a layout run goes
    // on; a second request while a preview is open brings that window to the front.
    void preview();
    // The same window with the pages of a prepared-pages file instead of a layout run, as Load
    // Report gives them; returns when the window is closed.
    void previewFile(const QString& path);

    // Print setup: the print dialog preset from the report; OK stores the choice.
    void printSetup();
    // Lays the list out again straight onto the printer, with the progress window.
    void print();
    // The alignment page of the report's sheet on `printer` (empty: the default printer), one
    // copy, never into the PDF file of print setup. Throws platform::Error when it cannot be
    // printed.
    void printAlignmentPage(const QString& printer);
    // Prints the pages of a loaded file, every page of the chosen range.
    void replay();

    PreviewWindow* previewWindow() const { return window_.get(); }
    // The notice of the last print sent, while it is shown.
    SentNotice* sentNotice() const { return notice_; }
    PreviewDocument* previewDocument() const { return document_.get(); }

  Q_SIGNALS:
    // Posted by the window's Print button; handled from the message queue.
    void printQueued();

  private:
    // The steps of the preview operation, in order.
    // A preview already open comes to the front instead of a second one; true when it did.
    bool raiseOpenWindow();
    // An empty document on the paper the print will take.
    std::unique_ptr<PreviewDocument> documentOnPrintPaper() const;
    // Shows the window on `document`, maximised, its buttons wired to this form.
    void openWindow(std::unique_ptr<PreviewDocument> document);
    void connectWindow();
    // Lays the list out into the open window's document, letting events through.
    RunResult recordPreview();
    // Tells why pages are missing when the page store could not take them all.
    void reportShortfall();
    // Runs the preview's own message loop until the window closes, then releases it.
    void waitForClose();
    void windowClosing();
    void releasePreview();
    // Asks before printing labels whose codes cannot be encoded; true to print.
    bool printDespiteProblems() const;
    // The notice of a job that sent pages.
    void announce(const SentJob& sent);
    void save();
    void load();

    printlist::RowSet& listView_;
    // The rows of a preview whose pages mark problems, kept for saving them without the marks.
    std::optional<printlist::RowSet> markedRows_;
    std::unique_ptr<PreviewDocument> document_;
    std::unique_ptr<PreviewWindow> window_;
    bool windowOpen_ = false;
    QPointer<SentNotice> notice_;
};

} // namespace labelprint
