// The page surface of the preview: R x R dots per inch, origin 0, each sheet recorded as an
// Enhanced Metafile into a preview document, which holds the pages and what is known of them.
#pragma once

#include "labelprint/emfwriter.h"
#include "labelprint/pagesurface.h"

#include <QFont>
#include <QFontMetrics>
#include <array>
#include <memory>
#include <vector>

namespace labelprint {

class PreviewDocument;

class PreviewSurface : public PageSurface {
  public:
    // Records into `document`, which outlives the surface; its paper is the surface's paper.
    explicit PreviewSurface(PreviewDocument& document);
    ~PreviewSurface() override;

    int dpiX() const override;
    int dpiY() const override;
    double originLeft() const override { return 0; }
    double originTop() const override { return 0; }
    double paperWidth() const override;
    double paperLength() const override;

    bool beginDocument() override;
    void beginPage() override;
    void finishPage() override;
    void endDocument() override;
    void abortDocument() override;

    void fillRect(const QRect& rect, const QColor& colour) override;
    void selectFont(const settings::FontDescription& font) override;
    void selectFontAt(const settings::FontDescription& font, int size) override;
    int textCellHeight(const QString& text) override;
    void drawText(QPoint at, TextAnchor anchor, const QString& text, const QColor& colour) override;
    void progress(int percent) override;
    bool marksProblems() const override;

    PreviewDocument& document() const { return document_; }

  private:
    struct FontEntry {
        settings::FontDescription description;
        int size; // 0.1 pt
        QFont font;
        QFontMetrics metrics;
        emf::LogFont logFont;
        std::array<std::int32_t, 0x250> advances; // -1: not measured yet
    };
    FontEntry& fontEntry(const settings::FontDescription& font, int size);
    std::int32_t advance(FontEntry& entry, QChar c);
    void closePage();

    PreviewDocument& document_;
    std::unique_ptr<emf::EmfWriter> page_; // the page being drawn
    std::vector<std::unique_ptr<FontEntry>> fonts_;
    FontEntry* font_ = nullptr;
};

} // namespace labelprint
