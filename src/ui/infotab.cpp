#include "ui/infotab.h"

#include "ui/designlayout.h"

#include <QLabel>
#include <QMouseEvent>

InfoTab::InfoTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("infots"));
    Label21 = designlayout::label(this, QStringLiteral("Label21"),
                                  QStringLiteral("Program slouží pro tisk různých štítků, popisků "
                                                 "na zboží, cedulek, vizitek apod."),
                                  10, 10);
    Label6 = designlayout::label(this, QStringLiteral("Label6"),
                                 authorshipLine() + QStringLiteral(" Kontakt:"), 10, 30);
    Label6->setFixedWidth(291);
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label23 = designlayout::label(this, QStringLiteral("Label23"), contactAddress(), 305, 30);
    QFont f = Label23->font();
    f.setUnderline(true);
    Label23->setFont(f);
    QPalette p = Label23->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label23->setPalette(p);
    Label23->setFixedSize(145, 13 * Label23->fontMetrics().height() / 13);
    Label23->setCursor(Qt::ArrowCursor);
    Label23->installEventFilter(this);
}

QString InfoTab::contactAddress() {
    return QStringLiteral("stitky@dravelin.cz");
}

QString InfoTab::authorshipLine() {
    return QStringLiteral("Napsal tým Dravelin, prosinec 2026, freeware.");
}

bool InfoTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label23 && event->type() == QEvent::MouseButtonPress) {
        Q_EMIT contactClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
