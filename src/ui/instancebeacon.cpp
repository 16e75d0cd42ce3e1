#include "ui/instancebeacon.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {

// One name per program directory, the same for both programs.
QString beaconName(const QString& dir) {
    const QByteArray key = QDir(dir).canonicalPath().toUtf8();
    return QStringLiteral("dravelin-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex());
}

} // namespace

InstanceBeacon::InstanceBeacon(const QString& dir, QWidget* window)
    : QObject(window), window_(window), server_(new QLocalServer(this)) {
    const QString name = beaconName(dir);
    // We hold the directory's lock, so a socket left under this name is a dead program's.
    QLocalServer::removeServer(name);
    server_->listen(name);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            socket->deleteLater();
        }
        if (window_->isMinimized()) {
            window_->showNormal();
        }
        window_->raise();
        window_->activateWindow();
        Q_EMIT called();
    });
}

bool InstanceBeacon::callFirst(const QString& dir) {
    QLocalSocket socket;
    socket.connectToServer(beaconName(dir));
    if (!socket.waitForConnected(1000)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}
