// Shared start-up for the fuzz targets: one offscreen application so fonts and painting work.
#pragma once

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace fuzz {

inline void startApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

} // namespace fuzz
