// The page surface of the preview: R x R dots per inch, origin 0, each sheet recorded as an
// Enhanced Metafile into the page store; also the running state the preview window reads
// (status, page counts, progress, loaded pages, paper).
#pragma once

#include "labelprint/emfwriter.h"
#include "labelprint/pagestore.h"
#include "labelprint/pagesurface.h"
#include "labelprint/papertable.h"

#include <QFont>
#include <QFontMetrics>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace labelprint {

class PreviewSurfaceObserver;

class PreviewSurface : public PageSurface {
  public:
    enum class Status { Ready, Busy, Finished };

    // Paper in 0.1 mm in the current orientation; A4 portrait unless told otherwise.
    explicit PreviewSurface(double paperWidth = kA4Width, double paperLength = kA4Length);
    ~PreviewSurface() override;

    int dpiX() const override { return dpi_; }
    int dpiY() const override { return dpi_; }
    double originLeft() const override { return 0; }
    double originTop() const override { return 0; }
    double paperWidth() const override { return paperWidth_; }
    double paperLength() const override { return paperLength_; }

    bool beginDocument() override;
    void beginPage() override;
    void finishPage() override;
    void endDocument() override;
    void abortDocument() override;

    void fillRect(const QRect& rect, const QColor& colour) override;
    void selectFont(const settings::FontDescription& font) override;
    int textCellHeight(const QString& text) override;
    void drawText(QPoint at, TextAnchor anchor, const QString& text, const QColor& colour) override;
    void progress(int percent) override;

    // The sheet in device units: nearest(paper x R / 254) each way.
    QSize pageSize() const;
    Status status() const { return status_; }
    // Pages begun by the run (the one being drawn included), or the loaded file's count.
    int pageCount() const { return pageCount_; }
    int availablePages() const { return availablePages_; }
    int progressPercent() const { return progress_; }
    bool isLoaded() const { return loaded_; }

    // Notifications go to one observer at a time; nullptr detaches it.
    void attach(PreviewSurfaceObserver* observer) { observer_ = observer; }

    // Makes the next run write its pages straight into the open file `fd` (read-write, empty)
    // instead of memory and a temporary file, for a run whose pages are saved and not shown.
    void writePagesTo(int fd) { pagesFd_ = fd; }

    // Why the run's pages stop short: the page store could not take the next page (a full
    // temporary folder, the size limit of the format). The run then ends at the next label,
    // finished, with the pages kept so far. Empty when nothing was lost.
    const QString& shortfall() const { return shortfall_; }
    // The page store; null once released or after a failed load.
    PageStore* store() { return store_.get(); }
    // The drawing of page n, or nothing while that page is not finished (or there is no store).
    // Throws platform::Error when the page's record is damaged.
    std::optional<QByteArray> pageDrawing(int n);
    void releaseStore();

    // Loading: back to ready with no pages (a running run is cancelled), then the opened file
    // becomes the store and the surface is finished and marked loaded.
    void resetForLoad();
    void adoptLoadedStore(std::unique_ptr<PageStore> store);

    // The paper, by its code in the paper table (0: none of them).
    void setPaper(int code, bool landscape, double width, double length);
    int paperCode() const { return paperCode_; }
    bool landscape() const { return landscape_; }

  private:
    struct FontEntry {
        settings::FontDescription description;
        QFont font;
        QFontMetrics metrics;
        emf::LogFont logFont;
        std::array<std::int32_t, 0x250> advances; // -1: not measured yet
    };
    FontEntry& fontEntry(const settings::FontDescription& font);
    std::int32_t advance(FontEntry& entry, QChar c);

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
    PreviewSurfaceObserver* observer_ = nullptr;
    std::unique_ptr<PageStore> store_;
    int pagesFd_ = -1;
    std::unique_ptr<emf::EmfWriter> page_; // the page being drawn
    std::vector<std::unique_ptr<FontEntry>> fonts_;
    FontEntry* font_ = nullptr;
};

} // namespace labelprint
