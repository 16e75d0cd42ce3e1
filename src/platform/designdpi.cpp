#include "platform/designdpi.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace platform {
namespace {
int pinned = 0;
}

int designDpi() {
    if (pinned > 0) {
        return pinned;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const int dpi = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
            if (dpi > 0) {
                return dpi;
            }
        }
    }
    return 96;
}

void setDesignDpi(int dpi) {
    pinned = dpi;
}

} // namespace platform
