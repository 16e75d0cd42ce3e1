// A page surface for tests that keeps every call, so label rectangles and text points are
// asserted in device units. Text cells have a fixed height unless a test measures otherwise.
#pragma once

#include "labelprint/pagesurface.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <functional>
#include <ostream>
#include <vector>

// Readable rectangles and points in test failure messages.
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "QPoint(" << p.x() << ", " << p.y() << ")";
}

namespace labelprint {

struct SurfaceCall {
    enum Kind {
        BeginDocument,
        BeginPage,
        FinishPage,
        EndDocument,
        AbortDocument,
        FillRect,
        SelectFont,
        DrawText,
        Progress
    };
    explicit SurfaceCall(Kind k) : kind(k) {}
    Kind kind;
    int page = 0; // page being drawn (0 before the first)
    QRect rect;   // FillRect
    QPoint at;    // DrawText
    TextAnchor anchor = TextAnchor::TopLeft;
    QString text;  // DrawText; SelectFont: the face name
    QColor colour; // FillRect, DrawText
    int value = 0; // FinishPage: pages so far; Progress: percent; SelectFont: point size
    int size = 0;  // SelectFont: the size in 0.1 pt
};

class RecordingSurface : public PageSurface {
  public:
    explicit RecordingSurface(int dpi = 96) : dpiX_(dpi), dpiY_(dpi) {}

    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }
    double originLeft() const override { return originLeftValue; }
    double originTop() const override { return originTopValue; }
    double paperWidth() const override { return paperWidthValue; }
    double paperLength() const override { return paperLengthValue; }

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
    bool marksProblems() const override { return marks; }

    std::vector<SurfaceCall> calls;
    bool marks = false; // a preview-like surface that marks a label's problems
    double originLeftValue = 0;
    double originTopValue = 0;
    double paperWidthValue = 2100;
    double paperLengthValue = 2970;
    bool acceptDocument = true;
    // Text cell height in device units for the selected point size.
    std::function<int(int pointSize)> cellHeight = [](int) { return 13; };
    // Runs at every beginPage(), for tests that cancel in the middle of a run.
    std::function<void(int page)> onBeginPage;

    int pages() const { return page_; }
    std::vector<SurfaceCall> ofKind(SurfaceCall::Kind kind) const;
    std::vector<SurfaceCall> onPage(int page, SurfaceCall::Kind kind) const;
    // The label backgrounds: every fill in the background colour (white by default).
    std::vector<QRect> labelRects(int page, const QColor& background = Qt::white) const;

  private:
    void add(SurfaceCall call);
    int dpiX_;
    int dpiY_;
    int page_ = 0;
    int pointSize_ = 0;
};

} // namespace labelprint
