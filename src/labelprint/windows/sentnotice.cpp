#include "labelprint/windows/sentnotice.h"

#include "platform/programdir.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace labelprint {
namespace {

// Czech counts: 1 strana, 2 to 4 strany, otherwise stran.
QString pagesText(int pages) {
    const QString word = pages == 1                 ? QStringLiteral("strana")
                         : pages >= 2 && pages <= 4 ? QStringLiteral("strany")
                                                    : QStringLiteral("stran");
    return QString::number(pages) + QLatin1Char(' ') + word;
}

} // namespace

QString SentNotice::printerText(const QString& printer, int pages) {
    return QStringLiteral("Odesláno na tiskárnu %1: %2").arg(printer, pagesText(pages));
}

QString SentNotice::fileText(const QString& file, int pages) {
    return QStringLiteral("Uloženo do souboru %1: %2")
        .arg(QDir::toNativeSeparators(file), pagesText(pages));
}

SentNotice::SentNotice(const QString& text)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                           Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("SentNotice"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(platform::programTitle());
    Info = new QLabel(text, this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 18, 16, 18);
    layout->addWidget(Info);
    setMinimumWidth(149);
    adjustSize();
    // A notice is not resized: a fixed size also keeps the window manager from adding a resize
    // handle below it, which looked like the window's frame cut off at the bottom.
    setFixedSize(size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    QTimer::singleShot(kShownMs, Qt::PreciseTimer, this, &QWidget::close);
}

SentNotice* SentNotice::open(const QString& text) {
    auto* notice = new SentNotice(text);
    notice->show();
    return notice;
}

} // namespace labelprint
