// Entry of the end-to-end tests: an offscreen application (fonts, printers and the print form's
// windows need one), with the design grid pinned at 96 dpi as in every other test.
#include "platform/designdpi.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    platform::setDesignDpi(96);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
