#include "ui/sheetdrawing.h"

#include <QMouseEvent>
#include <QPainter>

SheetDrawing::SheetDrawing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("archkresba"));
}

void SheetDrawing::show(const settings::Sheet& sheet, int skipped,
                        const settings::UsedPositions& used) {
    sheet_ = sheet;
    skipped_ = skipped;
    used_ = used;
    update();
}

double SheetDrawing::scale() const {
    // One scale for both directions, the paper centred in the widget.
    const settings::PaperSize paper = settings::paperSize(sheet_.paper);
    return std::min((width() - 2.0) / paper.width, (height() - 2.0) / paper.length);
}

QPointF SheetDrawing::at(double x, double y) const {
    const settings::PaperSize paper = settings::paperSize(sheet_.paper);
    const double k = scale();
    const QPointF origin((width() - paper.width * k) / 2, (height() - paper.length * k) / 2);
    return origin + QPointF(x * k, y * k);
}

QRectF SheetDrawing::positionRect(int n) const {
    return QRectF(at(sheet_.labelLeft(n), sheet_.labelTop(n)),
                  at(sheet_.labelLeft(n) + sheet_.width, sheet_.labelTop(n) + sheet_.height));
}

std::optional<int> SheetDrawing::positionAt(const QPointF& point) const {
    if (settings::sheetProblem(sheet_)) {
        return std::nullopt;
    }
    const int count = std::min(sheet_.labelsPerSheet(), kMaxDrawn);
    for (int n = 0; n < count; ++n) {
        if (positionRect(n).contains(point)) {
            return n;
        }
    }
    return std::nullopt;
}

void SheetDrawing::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const auto n = positionAt(event->position())) {
            emit positionClicked(*n);
        }
    }
    QWidget::mousePressEvent(event);
}

void SheetDrawing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const settings::PaperSize paper = settings::paperSize(sheet_.paper);
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(at(0, 0), at(paper.width, paper.length)));
    if (settings::sheetProblem(sheet_)) {
        return;
    }
    const QColor line = sheet_.on ? QColor(0, 0, 160) : QColor(150, 150, 150);
    const int count = std::min(sheet_.labelsPerSheet(), kMaxDrawn);
    for (int n = 0; n < count; ++n) {
        const QRectF r = positionRect(n);
        const bool used = used_.count(n) != 0;
        p.setPen(QPen(line, 0));
        p.setBrush(used           ? QColor(160, 160, 160)
                   : n < skipped_ ? QColor(200, 200, 200)
                                  : QColor(235, 242, 255));
        p.drawRect(r);
        if (used) {
            // Crossed out: a label already peeled off, not merely passed over.
            p.setPen(QPen(QColor(96, 96, 96), 0));
            p.drawLine(r.topLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomLeft());
        }
    }
}
