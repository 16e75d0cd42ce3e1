// Program entry: the application object, the main window with its start-up sequence, the
// hidden print form, then the event loop.
#include "platform/designdpi.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
