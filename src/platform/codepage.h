// Windows-1250: the code page of every file text (list files, dravelin.ini, face names in font
// and snapshot records). Texts in memory are Unicode.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

QString fromCp1250(const QByteArray& bytes);
// Characters the code page lacks become "?".
QByteArray toCp1250(const QString& text);

} // namespace platform
