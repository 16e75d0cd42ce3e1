// Test entry: one offscreen application for every test, so widgets, fonts and printers work
// without a display.
#include "platform/designdpi.h"
#include "platform/fontsubstitutes.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    platform::setDesignDpi(96);
    platform::installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
