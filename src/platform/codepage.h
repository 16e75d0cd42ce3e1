// Windows-1250: the code page of every file text (list files, dravelin.ini, face names in font
// and snapshot records). Texts in memory are Unicode.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

QString fromCp1250(const QByteArray& bytes);
// Every character the code page lacks becomes one "?" (an emoji too), and so does Ctrl-Z,
// the end-of-file mark of list files: no text written through here ends a file early.
QByteArray toCp1250(const QString& text);
// Whether toCp1250() keeps every character of `text`: no "?" stands for one the code page lacks
// (Ctrl-Z, which no code page may write into a list file, does not count).
bool fitsCp1250(const QString& text);

} // namespace platform
