// The preview's document: the pages a layout run recorded or a prepared-pages file brought, kept
// in a page store, with what the preview window shows of them (status, page counts, progress,
// why pages are missing) and the paper they were drawn for. One window at a time watches it.
#pragma once

#include "labelprint/labelproblem.h"
#include "labelprint/overflow.h"
#include "labelprint/pagestore.h"
#include "labelprint/papertable.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace labelprint {

class PageSurface;

// What a preview document announces to the window attached to it: a page became available, and
// the share of the print list laid out so far. The preview window forwards both as queued events.
class PreviewDocumentObserver {
  public:
    virtual ~PreviewDocumentObserver() = default;
    virtual void pageAvailable(int availablePages) = 0;
    virtual void progressChanged(int percent) = 0;
};

class PreviewDocument {
  public:
    enum class Status { Ready, Busy, Finished };

    // Paper in 0.1 mm in the current orientation; A4 portrait unless told otherwise.
    explicit PreviewDocument(double paperWidth = kA4Width, double paperLength = kA4Length);
    ~PreviewDocument();
    PreviewDocument(const PreviewDocument&) = delete;
    PreviewDocument& operator=(const PreviewDocument&) = delete;

    // The pages' resolution: R x R dots per inch, origin 0.
    int dpi() const { return dpi_; }
    double paperWidth() const { return paperWidth_; }
    double paperLength() const { return paperLength_; }
    // The sheet in device units: nearest(paper x R / 254) each way.
    QSize pageSize() const;
    // The paper, by its code in the paper table (0: none of them).
    void setPaper(int code, bool landscape, double width, double length);
    int paperCode() const { return paperCode_; }
    bool landscape() const { return landscape_; }

    Status status() const { return status_; }
    // Pages begun by the run (the one being drawn included), or the loaded file's count.
    int pageCount() const { return pageCount_; }
    int availablePages() const { return availablePages_; }
    int progressPercent() const { return progress_; }
    bool isLoaded() const { return loaded_; }
    // Why the run's pages stop short: the page store could not take the next page (a full
    // temporary folder, the size limit of the format). The run then ends at the next label,
    // finished, with the pages kept so far. Empty when nothing was lost.
    const QString& shortfall() const { return shortfall_; }
    // The problems the run found in its labels, for the status and the print command; loaded
    // pages have none.
    const ProblemTallies& problems() const { return problems_; }
    void setProblems(const ProblemTallies& problems) { problems_ = problems; }
    // Whether a run marks its labels' problems on the pages (the preview's red boxes), which
    // only the eye may see: pages kept for printing later are recorded without them.
    bool marksProblems() const { return marksProblems_; }
    void setMarksProblems(bool marks) { marksProblems_ = marks; }

    // The labels of the run whose text does not fit, for the preview's marks and the print
    // command; loaded pages have none.
    const std::vector<Overflow>& overflows() const { return overflows_; }
    void setOverflows(std::vector<Overflow> overflows) { overflows_ = std::move(overflows); }
    // The overflowing labels of page n as shares (0 to 1) of the paper's width and length.
    std::vector<QRectF> overflowMarks(int page) const;

    // Notifications go to one observer at a time; nullptr detaches it.
    void attach(PreviewDocumentObserver* observer) { observer_ = observer; }

    // Makes the next run write its pages straight into the open file `fd` (read-write, empty)
    // instead of memory and a temporary file, for a run whose pages are saved and not shown.
    void writePagesTo(int fd) { pagesFd_ = fd; }
    // The page store; null once released or after a failed load.
    PageStore* store() { return store_.get(); }
    // The drawing of page n, or nothing while that page is not finished (or there is no store).
    // Throws platform::Error when the page's record is damaged.
    std::optional<QByteArray> pageDrawing(int n);
    void releaseStore();

    // Loading: back to ready with no pages (a running run is cancelled), then the opened file
    // becomes the store and the document is finished and marked loaded.
    void resetForLoad();
    void adoptLoadedStore(std::unique_ptr<PageStore> store);

    // Recording, by the surface of a layout run; a load cancels that surface's run.
    void beginRecording(PageSurface& recorder);
    // Counts the page the run begins; false once nothing more can be kept.
    bool beginPage();
    // Keeps a finished page and announces it; false when the store could not take it (the
    // reason is then the shortfall).
    bool addPage(const QByteArray& drawing);
    void setProgress(int percent);
    // The run ended (finished) or was aborted: the store's header tells what is kept.
    void endRecording();
    void abortRecording();
    // The surface is going away: a load can no longer cancel its run.
    void forgetRecorder(const PageSurface& recorder);

  private:
    void writeHeader();

    int dpi_;
    double paperWidth_;
    double paperLength_;
    int paperCode_ = kA4Code;
    bool landscape_ = false;
    Status status_ = Status::Ready;
    int pageCount_ = 0;
    int availablePages_ = 0;
    int progress_ = 0;
    bool loaded_ = false;
    QString shortfall_;
    std::vector<Overflow> overflows_;
    ProblemTallies problems_;
    bool marksProblems_ = true;
    PreviewDocumentObserver* observer_ = nullptr;
    PageSurface* recorder_ = nullptr;
    std::unique_ptr<PageStore> store_;
    int pagesFd_ = -1;
};

} // namespace labelprint
