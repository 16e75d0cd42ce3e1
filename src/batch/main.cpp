// dravelin-batch: prints the print list without a window, through the same label report,
// surfaces and page store as the program. Runs without a display (offscreen by default).
#include "batch/batchjob.h"
#include "startup/startup.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own chatter (font fallbacks, the offscreen platform) would break the promise of one line
// on standard error; DRAVELIN_BATCH_DEBUG=1 lets it through.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "dravelin-batch: %s\n", text.toLocal8Bit().constData());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("DRAVELIN_BATCH_DEBUG")) {
        qInstallMessageHandler(quietMessages);
    }
    QGuiApplication app(argc, argv);
    startup::startUp(false);
    return batch::runBatch(QCoreApplication::arguments().mid(1));
}
