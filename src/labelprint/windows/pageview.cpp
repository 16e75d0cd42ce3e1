#include "labelprint/windows/pageview.h"

#include "labelprint/emfplayer.h"
#include "platform/errorhandler.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace labelprint {

namespace {

// Page images kept for the page on show; a zoom whose image is larger than this is drawn from
// the checked page at each repaint instead, clipped to what is exposed.
constexpr qint64 kImageBytes = 128ll * 1024 * 1024;

} // namespace

void PageImage::setDrawing(const QByteArray& drawing, bool shown) {
    drawing_ = drawing;
    shown_ = shown;
    picture_.reset();
    images_.clear();
    marks_.clear();
    update();
}

void PageImage::setMarks(std::vector<QRectF> marks) {
    marks_ = std::move(marks);
    update();
}

void PageImage::drawMarks(QPainter& p) {
    if (marks_.empty()) {
        return;
    }
    // The page covers the image but for its frame and shadow, as drawImage() stretches it.
    const double w = width();
    const double h = height();
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 0, 0), 2));
    for (const QRectF& m : marks_) {
        // Just outside the label, so its own text and frame stay in view.
        const QRectF r(m.left() * w - 2, m.top() * h - 2, m.width() * w + 4, m.height() * h + 4);
        p.drawRect(r);
        // A corner flag that shows at small zooms too.
        p.fillRect(QRectF(r.right() - 6, r.top(), 7, 7), QColor(230, 0, 0));
    }
}

const emf::Picture* PageImage::picture() {
    if (!shown_ || drawing_.isEmpty()) {
        return nullptr;
    }
    if (!picture_) {
        try {
            picture_.emplace(drawing_);
        } catch (const std::exception& e) {
            // A damaged page is reported once and then shown empty.
            shown_ = false;
            drawing_.clear();
            platform::reportError(e);
            return nullptr;
        }
    }
    return &*picture_;
}

// The page image: white inside the frame, the recording stretched over the whole image, a
// one-pixel black frame and a two-pixel shadow.
void PageImage::drawImage(QPainter& p, const QRect& area) {
    const int w = area.width();
    const int h = area.height();
    p.fillRect(QRect(QPoint(1, 1), QPoint(w - 3, h - 3)), Qt::white);
    if (const emf::Picture* page = picture_ ? &*picture_ : nullptr) {
        ++renders_;
        page->draw(p, QRectF(0, 0, w, h));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygon(
        {QPoint(0, 0), QPoint(0, h - 3), QPoint(w - 3, h - 3), QPoint(w - 3, 0), QPoint(0, 0)}));
    p.fillRect(QRect(QPoint(w - 2, 2), QPoint(w - 1, h - 1)), Qt::black);
    p.fillRect(QRect(QPoint(2, h - 2), QPoint(w - 1, h - 1)), Qt::black);
}

void PageImage::paintEvent(QPaintEvent* event) {
    picture(); // may report a damaged page, before any painter is open
    QPainter p(this);
    const QSize size = this->size();
    if (qint64(size.width()) * size.height() * 4 > kImageBytes) {
        p.setClipRegion(event->region());
        drawImage(p, rect());
        drawMarks(p);
        return;
    }
    auto it = std::find_if(images_.begin(), images_.end(),
                           [&](const QImage& i) { return i.size() == size; });
    if (it == images_.end()) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter ip(&image);
        drawImage(ip, image.rect());
        ip.end();
        qint64 bytes = image.sizeInBytes();
        for (auto old = images_.rbegin(); old != images_.rend(); ++old) {
            bytes += old->sizeInBytes();
            if (bytes > kImageBytes) {
                images_.erase(images_.begin(), old.base());
                break;
            }
        }
        images_.push_back(std::move(image));
        it = images_.end() - 1;
    }
    for (const QRect& r : event->region()) {
        p.drawImage(r.topLeft(), *it, r);
    }
    drawMarks(p);
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
