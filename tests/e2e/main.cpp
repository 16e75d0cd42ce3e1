// Entry of the end-to-end tests: a GUI application without windows (fonts and printers need
// one), with the design grid pinned at 96 dpi as in every other test.
#include "platform/designdpi.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    platform::setDesignDpi(96);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
