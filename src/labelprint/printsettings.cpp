#include "labelprint/printsettings.h"

#include <QDateTime>

namespace labelprint {

QString PrintSettings::jobName() const {
    if (!title.isEmpty()) {
        return title;
    }
    return QStringLiteral("Dravelin %1")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

} // namespace labelprint
