#include "labelprint/previewsurface.h"

#include "labelprint/previewsurfaceobserver.h"
#include "labelprint/units.h"
#include "platform/colour.h"
#include "platform/designdpi.h"
#include "platform/error.h"

namespace labelprint {
namespace {

std::uint32_t colourRef(const QColor& colour) {
    return std::uint32_t(platform::fromQColor(colour));
}

} // namespace

PreviewSurface::PreviewSurface(double paperWidth, double paperLength)
    : dpi_(platform::designDpi()), paperWidth_(paperWidth), paperLength_(paperLength) {}

PreviewSurface::~PreviewSurface() = default;

QSize PreviewSurface::pageSize() const {
    return {lengthToDevice(paperWidth_, dpi_), lengthToDevice(paperLength_, dpi_)};
}

bool PreviewSurface::beginDocument() {
    status_ = Status::Busy;
    pageCount_ = 0;
    availablePages_ = 0;
    progress_ = 0;
    loaded_ = false;
    shortfall_.clear();
    page_.reset();
    store_ = pagesFd_ < 0 ? std::make_unique<PageStore>() : PageStore::writingTo(pagesFd_);
    return true;
}

void PreviewSurface::beginPage() {
    if (page_) {
        PreviewSurface::finishPage(); // not announced again by a surface built on this one
    }
    if (!shortfall_.isEmpty()) {
        return; // nothing more can be kept; the run stops before its next label
    }
    ++pageCount_;
    page_ = std::make_unique<emf::EmfWriter>(pageSize(), dpi_);
}

void PreviewSurface::finishPage() {
    if (!page_) {
        return;
    }
    const QByteArray drawing = page_->finish();
    page_.reset();
    if (!store_ || !shortfall_.isEmpty()) {
        return;
    }
    try {
        store_->addPage(drawing);
    } catch (const platform::Error& e) {
        // The pages already kept stay whole; the run ends cleanly instead of failing half-way.
        shortfall_ = e.text();
        pageCount_ = store_->pageCount();
        cancel();
    }
    availablePages_ = store_->pageCount();
    if (observer_) {
        observer_->pageAvailable(availablePages_);
    }
}

void PreviewSurface::endDocument() {
    if (page_) {
        PreviewSurface::finishPage(); // not announced again by a surface built on this one
    }
    if (!shortfall_.isEmpty()) {
        pageCount_ = availablePages_;
    }
    status_ = Status::Finished;
    if (store_) {
        store_->writeHeader(store_->pageCount());
    }
    if (observer_) {
        observer_->pageAvailable(availablePages_);
    }
}

void PreviewSurface::abortDocument() {
    // The page being drawn is dropped; the header still tells the truth about what is kept.
    page_.reset();
    status_ = Status::Finished;
    if (store_) {
        store_->writeHeader(store_->pageCount());
    }
}

void PreviewSurface::fillRect(const QRect& rect, const QColor& colour) {
    if (page_) {
        page_->fillRect(rect, colourRef(colour));
    }
}

PreviewSurface::FontEntry& PreviewSurface::fontEntry(const settings::FontDescription& font) {
    for (auto& entry : fonts_) {
        if (entry->description == font) {
            return *entry;
        }
    }
    // The em height in device units for the slot's point size at R; the face stays as stored.
    const int pixels = std::max(1, nearest(font.pointSize() * double(dpi_) / 72.0));
    QFont qfont(font.face);
    qfont.setPixelSize(pixels);
    qfont.setBold(font.style & settings::Bold);
    qfont.setItalic(font.style & settings::Italic);
    qfont.setUnderline(font.style & settings::Underline);
    qfont.setStrikeOut(font.style & settings::StrikeOut);
    emf::LogFont logFont;
    logFont.height = -pixels;
    logFont.weight = (font.style & settings::Bold) ? 700 : 400;
    logFont.italic = font.style & settings::Italic;
    logFont.underline = font.style & settings::Underline;
    logFont.strikeOut = font.style & settings::StrikeOut;
    logFont.charSet = 1;
    logFont.face = font.face;
    auto entry =
        std::unique_ptr<FontEntry>(new FontEntry{font, qfont, QFontMetrics(qfont), logFont, {}});
    entry->advances.fill(-1);
    fonts_.push_back(std::move(entry));
    return *fonts_.back();
}

void PreviewSurface::selectFont(const settings::FontDescription& font) {
    font_ = &fontEntry(font);
    if (page_) {
        page_->selectFont(font_->logFont);
    }
}

int PreviewSurface::textCellHeight(const QString& /*text*/) {
    if (!font_) {
        font_ = &fontEntry(settings::FontDescription{});
    }
    // The cell of a single line: ascent plus descent, whatever the text.
    return font_->metrics.height();
}

std::int32_t PreviewSurface::advance(FontEntry& entry, QChar c) {
    const char16_t u = c.unicode();
    if (u < entry.advances.size()) {
        auto& cached = entry.advances[u];
        if (cached < 0) {
            cached = entry.metrics.horizontalAdvance(c);
        }
        return cached;
    }
    return entry.metrics.horizontalAdvance(c);
}

void PreviewSurface::drawText(QPoint at, TextAnchor anchor, const QString& text,
                              const QColor& colour) {
    if (!page_ || text.isEmpty()) {
        return;
    }
    if (!font_) {
        selectFont(settings::FontDescription{});
    }
    std::vector<std::int32_t> advances(size_t(text.size()), 0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size()) {
            advances[size_t(i)] = font_->metrics.horizontalAdvance(text.mid(i, 2));
            ++i; // the low half takes no room of its own
        } else {
            advances[size_t(i)] = advance(*font_, c);
        }
    }
    page_->drawText(at,
                    anchor == TextAnchor::TopCentre ? emf::Align::TopCentre : emf::Align::TopLeft,
                    text, advances, font_->metrics.height(), colourRef(colour));
}

void PreviewSurface::progress(int percent) {
    progress_ = percent;
    if (observer_) {
        observer_->progressChanged(percent);
    }
}

std::optional<QByteArray> PreviewSurface::pageDrawing(int n) {
    if (!store_ || n < 1 || n > store_->pageCount()) {
        return std::nullopt;
    }
    return store_->page(n);
}

void PreviewSurface::releaseStore() {
    page_.reset();
    store_.reset();
}

void PreviewSurface::resetForLoad() {
    if (status_ == Status::Busy) {
        cancel();
    }
    releaseStore();
    pageCount_ = 0;
    availablePages_ = 0;
    status_ = Status::Ready;
    loaded_ = false;
}

void PreviewSurface::adoptLoadedStore(std::unique_ptr<PageStore> store) {
    store_ = std::move(store);
    dpi_ = platform::designDpi();
    pageCount_ = store_ ? store_->pageCount() : 0;
    availablePages_ = pageCount_;
    status_ = Status::Finished;
    loaded_ = true;
}

void PreviewSurface::setPaper(int code, bool landscape, double width, double length) {
    paperCode_ = code;
    landscape_ = landscape;
    paperWidth_ = width;
    paperLength_ = length;
}

} // namespace labelprint
