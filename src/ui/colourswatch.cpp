#include "ui/colourswatch.h"

#include "platform/colour.h"

#include <QMouseEvent>
#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ColourSwatch::setColour(std::int32_t value) {
    colour_ = value;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(platform::toQColor(colour_));
    // A circle as tall as the swatch, centred in it.
    const int d = std::min(width(), height()) - 1;
    p.drawEllipse(QRectF((width() - d) / 2.0, 0.5, d, d));
}

void ColourSwatch::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed(event->button());
}
