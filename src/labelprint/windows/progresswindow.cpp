#include "labelprint/windows/progresswindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace labelprint {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(QStringLiteral("Printing progress"));
    setFixedSize(149, 97);
    Gauge = new QProgressBar(this);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setGeometry(16, 18, 114, 16);
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);
    Info = new QLabel(this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setGeometry(0, 44, 145, 13);
    Info->setAlignment(Qt::AlignCenter);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(36, 60, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, &ProgressWindow::cancelRequested);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void ProgressWindow::showProgress(int percent) {
    if (percent % 5 != 0) {
        return;
    }
    Gauge->setValue(percent);
    Info->setText(QString::number(percent) + QStringLiteral("% ") + QStringLiteral(" Completed"));
    QCoreApplication::processEvents();
}

} // namespace labelprint
