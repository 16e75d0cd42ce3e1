#include "labelprint/windows/pageview.h"

#include "labelprint/emfplayer.h"
#include "platform/errorhandler.h"

#include <QPainter>
#include <QScrollBar>

namespace labelprint {

void PageImage::setDrawing(const QByteArray& drawing, bool shown) {
    drawing_ = drawing;
    shown_ = shown;
    update();
}

void PageImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(QRect(QPoint(1, 1), QPoint(w - 3, h - 3)), Qt::white);
    if (shown_ && !drawing_.isEmpty()) {
        try {
            emf::playEmf(drawing_, p, QRectF(0, 0, w, h));
        } catch (const std::exception& e) {
            // A damaged page is reported once and then shown empty.
            shown_ = false;
            drawing_.clear();
            p.end();
            platform::reportError(e);
            return;
        }
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygon(
        {QPoint(0, 0), QPoint(0, h - 3), QPoint(w - 3, h - 3), QPoint(w - 3, 0), QPoint(0, 0)}));
    p.fillRect(QRect(QPoint(w - 2, 2), QPoint(w - 1, h - 1)), Qt::black);
    p.fillRect(QRect(QPoint(2, h - 2), QPoint(w - 1, h - 1)), Qt::black);
}

PageView::PageView(QWidget* parent)
    : QScrollArea(parent), canvas_(new QWidget), image_(new PageImage(canvas_)) {
    setObjectName(QStringLiteral("PageView"));
    setWidgetResizable(false);
    setWidget(canvas_);
    setBackgroundRole(QPalette::Dark);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
}

void PageView::layOutImage(QSize imageSize) {
    const QSize view = size(); // the outer size
    const int left = imageSize.width() < view.width() ? (view.width() - imageSize.width()) / 2 : 0;
    const int top =
        imageSize.height() < view.height() ? (view.height() - imageSize.height()) / 2 : 0;
    const QSize inner = viewport()->size();
    canvas_->resize(std::max(inner.width(), left + imageSize.width()),
                    std::max(inner.height(), top + imageSize.height()));
    image_->setGeometry(QRect(QPoint(left, top), imageSize));
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void PageView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    Q_EMIT resized();
}

} // namespace labelprint
