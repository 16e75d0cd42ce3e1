#include "batch/interrupt.h"

#include <QFile>

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace batch::interrupt {
namespace {

volatile std::sig_atomic_t receivedSignal = 0;
// Written only outside the handler, while the handlers cannot see it half-written: the first
// byte is set last and cleared first.
char pendingFile[4096];

void onSignal(int sig) {
    if (receivedSignal == 0) {
        receivedSignal = sig;
        return;
    }
    if (pendingFile[0] != '\0') {
        ::unlink(pendingFile);
    }
    ::_exit(128 + sig);
}

} // namespace

void install() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(sig, &action, nullptr);
    }
}

int received() {
    return receivedSignal;
}

int exitCode() {
    return receivedSignal == 0 ? 0 : 128 + receivedSignal;
}

void setPendingFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    pendingFile[0] = '\0';
    if (native.isEmpty() || native.size() >= qsizetype(sizeof pendingFile)) {
        return;
    }
    std::memcpy(pendingFile + 1, native.constData() + 1, size_t(native.size()));
    pendingFile[0] = native[0];
}

void clearPendingFile() {
    pendingFile[0] = '\0';
}

} // namespace batch::interrupt
