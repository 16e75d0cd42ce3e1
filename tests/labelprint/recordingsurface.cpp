#include "recordingsurface.h"

namespace labelprint {

void RecordingSurface::add(SurfaceCall call) {
    call.page = page_;
    calls.push_back(std::move(call));
}

bool RecordingSurface::beginDocument() {
    add(SurfaceCall(SurfaceCall::BeginDocument));
    return acceptDocument;
}

void RecordingSurface::beginPage() {
    ++page_;
    add(SurfaceCall(SurfaceCall::BeginPage));
    if (onBeginPage) {
        onBeginPage(page_);
    }
}

void RecordingSurface::finishPage() {
    SurfaceCall c{SurfaceCall::FinishPage};
    c.value = page_;
    add(c);
}
void RecordingSurface::endDocument() {
    add(SurfaceCall(SurfaceCall::EndDocument));
}
void RecordingSurface::abortDocument() {
    add(SurfaceCall(SurfaceCall::AbortDocument));
}

void RecordingSurface::fillRect(const QRect& rect, const QColor& colour) {
    SurfaceCall c{SurfaceCall::FillRect};
    c.rect = rect;
    c.colour = colour;
    add(c);
}

void RecordingSurface::selectFont(const settings::FontDescription& font) {
    selectFontAt(font, font.pointSize() * 10);
}

void RecordingSurface::selectFontAt(const settings::FontDescription& font, int size) {
    pointSize_ = size / 10;
    SurfaceCall c{SurfaceCall::SelectFont};
    c.text = font.face;
    c.value = pointSize_;
    c.size = size;
    add(c);
}

int RecordingSurface::textCellHeight(const QString&) {
    return cellHeight(pointSize_);
}

void RecordingSurface::drawText(QPoint at, TextAnchor anchor, const QString& text,
                                const QColor& colour) {
    SurfaceCall c{SurfaceCall::DrawText};
    c.at = at;
    c.anchor = anchor;
    c.text = text;
    c.colour = colour;
    add(c);
}

void RecordingSurface::progress(int percent) {
    SurfaceCall c{SurfaceCall::Progress};
    c.value = percent;
    add(c);
}

std::vector<SurfaceCall> RecordingSurface::ofKind(SurfaceCall::Kind kind) const {
    std::vector<SurfaceCall> out;
    for (const SurfaceCall& c : calls) {
        if (c.kind == kind) {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<SurfaceCall> RecordingSurface::onPage(int page, SurfaceCall::Kind kind) const {
    std::vector<SurfaceCall> out;
    for (const SurfaceCall& c : calls) {
        if (c.kind == kind && c.page == page) {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<QRect> RecordingSurface::labelRects(int page, const QColor& background) const {
    std::vector<QRect> out;
    for (const SurfaceCall& c : onPage(page, SurfaceCall::FillRect)) {
        if (c.colour == background) {
            out.push_back(c.rect);
        }
    }
    return out;
}

} // namespace labelprint
