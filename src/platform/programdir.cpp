#include "platform/programdir.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {
namespace {
QString& overridden() {
    static QString dir;
    return dir;
}
} // namespace

QString programDirectory() {
    if (!overridden().isEmpty()) {
        return overridden();
    }
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith('/')) {
        dir += '/';
    }
    return dir;
}

void setProgramDirectory(const QString& path) {
    QString p = path;
    if (!p.isEmpty() && !p.endsWith('/')) {
        p += '/';
    }
    overridden() = p;
}

QString programTitle() {
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty()) {
        name = QStringLiteral("dravelin");
    }
    return name.left(1).toUpper() + name.mid(1).toLower();
}

} // namespace platform
