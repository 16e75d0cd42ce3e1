#include "ui/spinfield.h"

#include "settings/integertext.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <algorithm>

SpinField::SpinField(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    edit_->setText(QStringLiteral("0"));
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    // Focusable itself, as Qt's own spin boxes are, so that setTabOrder() takes the field and
    // chains its editor; the focus still lands in the editor.
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    flash_.setSingleShot(true);
    flash_.setInterval(500);
    connect(&flash_, &QTimer::timeout, this, [this] { edit_->setPalette(normalPalette_); });
}

void SpinField::refuseTyped() {
    QApplication::beep();
    if (!flash_.isActive()) {
        normalPalette_ = edit_->palette();
    }
    QPalette red = normalPalette_;
    red.setColor(QPalette::Base, Qt::red);
    edit_->setPalette(red);
    flash_.start();
}

void SpinField::setBounds(std::int32_t minimum, std::int32_t maximum) {
    min_ = minimum;
    max_ = maximum;
}

std::int32_t SpinField::value() const {
    return settings::parseInteger(edit_->text()).value_or(min_);
}

void SpinField::setValue(std::int32_t v) {
    if (min_ != max_) {
        v = std::clamp(v, min_, max_);
    }
    edit_->setText(QString::number(v));
}

QString SpinField::text() const {
    return edit_->text();
}
void SpinField::setText(const QString& text) {
    edit_->setText(text);
}

void SpinField::resizeEvent(QResizeEvent*) {
    // Arrow buttons stacked at the right edge, inside the field.
    const int w = 14;
    const int h = height() / 2;
    edit_->setGeometry(0, 0, width(), height());
    edit_->setTextMargins(0, 0, w, 0);
    up_->setGeometry(width() - w - 1, 1, w, h - 1);
    down_->setGeometry(width() - w - 1, h, w, height() - h - 1);
    up_->raise();
    down_->raise();
}

void SpinField::applyBounds() {
    if (min_ == max_) {
        return;
    }
    if (const auto v = settings::parseInteger(edit_->text())) {
        if (*v < min_ || *v > max_) {
            setValue(*v);
        }
    }
}

void SpinField::stepBy(int steps) {
    const std::int64_t next = std::int64_t(value()) + steps;
    setValue(std::int32_t(std::clamp<std::int64_t>(next, INT32_MIN, INT32_MAX)));
}

bool SpinField::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            stepBy(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            return false;
        }
        const QString typed = key->text();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QApplication::beep();
            return true;
        }
        if (!typed.isEmpty() && typed[0].isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QChar c = typed[0];
            const QString decimal = QLocale().decimalPoint();
            if (!(c.isDigit() || c == '+' || c == '-' || decimal.contains(c))) {
                refuseTyped();
                return true;
            }
        }
    }
    if (event->type() == QEvent::FocusOut) {
        applyBounds();
    }
    return QWidget::eventFilter(watched, event);
}
