#include "platform/widgets/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace platform {

void placeAtOneThird(QWidget* dialog) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    dialog->adjustSize();
    const QRect area = screen->availableGeometry();
    const QSize size = dialog->frameGeometry().size();
    dialog->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 3);
}

} // namespace platform
