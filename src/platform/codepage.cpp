#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString fromCp1250(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(bytes);
}

QByteArray toCp1250(const QString& text) {
    QStringEncoder encoder("windows-1250", QStringConverter::Flag::Default);
    return encoder.encode(text);
}

} // namespace platform
