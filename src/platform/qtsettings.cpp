#include "platform/qtsettings.h"

#include <QSettings>

namespace platform {

void keepQtSettingsInMemory() {
    // A path below /dev/null can never be created, so every write fails quietly and every read
    // finds nothing. Set once, before Qt's dialogs first read their settings.
    const QString nowhere = QStringLiteral("/dev/null/dravelin");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, nowhere);
        }
    }
}

} // namespace platform
