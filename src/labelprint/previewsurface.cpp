#include "labelprint/previewsurface.h"

#include "labelprint/previewdocument.h"
#include "labelprint/units.h"
#include "platform/colour.h"

namespace labelprint {
namespace {

std::uint32_t colourRef(const QColor& colour) {
    return std::uint32_t(platform::fromQColor(colour));
}

} // namespace

PreviewSurface::PreviewSurface(PreviewDocument& document) : document_(document) {}

PreviewSurface::~PreviewSurface() {
    document_.forgetRecorder(*this);
}

bool PreviewSurface::marksProblems() const {
    return document_.marksProblems();
}

int PreviewSurface::dpiX() const {
    return document_.dpi();
}

int PreviewSurface::dpiY() const {
    return document_.dpi();
}

double PreviewSurface::paperWidth() const {
    return document_.paperWidth();
}

double PreviewSurface::paperLength() const {
    return document_.paperLength();
}

bool PreviewSurface::beginDocument() {
    page_.reset();
    document_.beginRecording(*this);
    return true;
}

void PreviewSurface::beginPage() {
    closePage();
    if (!document_.beginPage()) {
        return;
    }
    page_ = std::make_unique<emf::EmfWriter>(document_.pageSize(), document_.dpi());
}

void PreviewSurface::closePage() {
    if (!page_) {
        return;
    }
    const QByteArray drawing = page_->finish();
    page_.reset();
    if (!document_.addPage(drawing)) {
        cancel();
    }
}

void PreviewSurface::finishPage() {
    closePage();
}

void PreviewSurface::endDocument() {
    closePage();
    document_.endRecording();
}

void PreviewSurface::abortDocument() {
    // The page being drawn is dropped; the header still tells the truth about what is kept.
    page_.reset();
    document_.abortRecording();
}

void PreviewSurface::fillRect(const QRect& rect, const QColor& colour) {
    if (page_) {
        page_->fillRect(rect, colourRef(colour));
    }
}

PreviewSurface::FontEntry& PreviewSurface::fontEntry(const settings::FontDescription& font,
                                                     int size) {
    for (auto& entry : fonts_) {
        if (entry->size == size && entry->description == font) {
            return *entry;
        }
    }
    // The em height in device units for the point size at R; the face stays as stored.
    const int pixels = std::max(1, nearest(size / 10.0 * double(dpiY()) / 72.0));
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
    auto entry = std::unique_ptr<FontEntry>(
        new FontEntry{font, size, qfont, QFontMetrics(qfont), logFont, {}});
    entry->advances.fill(-1);
    fonts_.push_back(std::move(entry));
    return *fonts_.back();
}

void PreviewSurface::selectFont(const settings::FontDescription& font) {
    selectFontAt(font, font.pointSize() * 10);
}

void PreviewSurface::selectFontAt(const settings::FontDescription& font, int size) {
    font_ = &fontEntry(font, size);
    if (page_) {
        page_->selectFont(font_->logFont);
    }
}

int PreviewSurface::textCellHeight(const QString& /*text*/) {
    if (!font_) {
        font_ =
            &fontEntry(settings::FontDescription{}, settings::FontDescription{}.pointSize() * 10);
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
    document_.setProgress(percent);
}

} // namespace labelprint
