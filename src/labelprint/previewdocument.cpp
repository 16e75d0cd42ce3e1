#include "labelprint/previewdocument.h"

#include "labelprint/pagesurface.h"
#include "labelprint/units.h"
#include "platform/designdpi.h"
#include "platform/error.h"

namespace labelprint {

PreviewDocument::PreviewDocument(double paperWidth, double paperLength)
    : dpi_(platform::designDpi()), paperWidth_(paperWidth), paperLength_(paperLength) {}

PreviewDocument::~PreviewDocument() = default;

QSize PreviewDocument::pageSize() const {
    return {lengthToDevice(paperWidth_, dpi_), lengthToDevice(paperLength_, dpi_)};
}

void PreviewDocument::setPaper(int code, bool landscape, double width, double length) {
    paperCode_ = code;
    landscape_ = landscape;
    paperWidth_ = width;
    paperLength_ = length;
}

std::optional<QByteArray> PreviewDocument::pageDrawing(int n) {
    if (!store_ || n < 1 || n > store_->pageCount()) {
        return std::nullopt;
    }
    return store_->page(n);
}

void PreviewDocument::releaseStore() {
    store_.reset();
}

void PreviewDocument::resetForLoad() {
    if (status_ == Status::Busy && recorder_) {
        recorder_->cancel();
    }
    // The page the run has in hand belongs to the pages given up, not to the file loaded.
    recorder_ = nullptr;
    releaseStore();
    overflows_.clear();
    problems_ = {};
    pageCount_ = 0;
    availablePages_ = 0;
    status_ = Status::Ready;
    loaded_ = false;
}

void PreviewDocument::adoptLoadedStore(std::unique_ptr<PageStore> store) {
    store_ = std::move(store);
    dpi_ = platform::designDpi();
    pageCount_ = store_ ? store_->pageCount() : 0;
    availablePages_ = pageCount_;
    status_ = Status::Finished;
    loaded_ = true;
}

void PreviewDocument::beginRecording(PageSurface& recorder) {
    recorder_ = &recorder;
    status_ = Status::Busy;
    pageCount_ = 0;
    availablePages_ = 0;
    progress_ = 0;
    loaded_ = false;
    shortfall_.clear();
    overflows_.clear();
    store_ = pagesFd_ < 0 ? std::make_unique<PageStore>() : PageStore::writingTo(pagesFd_);
}

bool PreviewDocument::beginPage() {
    if (!shortfall_.isEmpty()) {
        return false; // nothing more can be kept; the run stops before its next label
    }
    ++pageCount_;
    return true;
}

bool PreviewDocument::addPage(const QByteArray& drawing) {
    if (!recorder_ || !store_ || !shortfall_.isEmpty()) {
        return shortfall_.isEmpty();
    }
    bool kept = true;
    try {
        store_->addPage(drawing);
    } catch (const platform::Error& e) {
        // The pages already kept stay whole; the run ends cleanly instead of failing half-way.
        shortfall_ = e.text();
        pageCount_ = store_->pageCount();
        kept = false;
    }
    availablePages_ = store_->pageCount();
    if (observer_) {
        observer_->pageAvailable(availablePages_);
    }
    return kept;
}

void PreviewDocument::setProgress(int percent) {
    progress_ = percent;
    if (observer_) {
        observer_->progressChanged(percent);
    }
}

void PreviewDocument::writeHeader() {
    recorder_ = nullptr;
    status_ = Status::Finished;
    if (store_) {
        store_->writeHeader(store_->pageCount());
    }
}

void PreviewDocument::endRecording() {
    if (!shortfall_.isEmpty()) {
        pageCount_ = availablePages_;
    }
    writeHeader();
    if (observer_) {
        observer_->pageAvailable(availablePages_);
    }
}

void PreviewDocument::abortRecording() {
    writeHeader();
}

void PreviewDocument::forgetRecorder(const PageSurface& recorder) {
    if (recorder_ == &recorder) {
        recorder_ = nullptr;
    }
}

std::vector<QRectF> PreviewDocument::overflowMarks(int page) const {
    std::vector<QRectF> marks;
    for (const Overflow& o : overflows_) {
        if (o.page == page) {
            marks.emplace_back(o.rect.x() / paperWidth_, o.rect.y() / paperLength_,
                               o.rect.width() / paperWidth_, o.rect.height() / paperLength_);
        }
    }
    return marks;
}

} // namespace labelprint
