#include "ui/sheetdrawing.h"

#include <QPainter>

SheetDrawing::SheetDrawing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("archkresba"));
}

void SheetDrawing::show(const settings::Sheet& sheet, int skipped) {
    sheet_ = sheet;
    skipped_ = skipped;
    update();
}

void SheetDrawing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const settings::PaperSize paper = settings::paperSize(sheet_.paper);
    // One scale for both directions, the paper centred in the widget.
    const double scale = std::min((width() - 2.0) / paper.width, (height() - 2.0) / paper.length);
    const QPointF origin((width() - paper.width * scale) / 2,
                         (height() - paper.length * scale) / 2);
    const auto at = [&](double x, double y) { return origin + QPointF(x * scale, y * scale); };
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(at(0, 0), at(paper.width, paper.length)));
    if (settings::sheetProblem(sheet_)) {
        return;
    }
    const QColor line = sheet_.on ? QColor(0, 0, 160) : QColor(150, 150, 150);
    p.setPen(QPen(line, 0));
    const int count = std::min(sheet_.labelsPerSheet(), 2000);
    for (int n = 0; n < count; ++n) {
        const QRectF r(at(sheet_.labelLeft(n), sheet_.labelTop(n)),
                       at(sheet_.labelLeft(n) + sheet_.width, sheet_.labelTop(n) + sheet_.height));
        p.setBrush(n < skipped_ ? QColor(200, 200, 200) : QColor(235, 242, 255));
        p.drawRect(r);
    }
}
