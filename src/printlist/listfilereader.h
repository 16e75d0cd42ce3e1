// Reads a list file one line at a time, by the same rules as listFileLines(): Ctrl-Z ends the
// file, LF or CR LF end a line, a lone CR is dropped, and the first line is always there. Only
// the line being read is held, so a file of any length takes the same memory.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace printlist {

class ListFileReader {
  public:
    // Reads from an open device, from its current position.
    explicit ListFileReader(QIODevice& device) : device_(device) {}

    // The next line's bytes without its line break, or false after the last line. Throws
    // platform::Error with the device's error text when reading fails.
    bool nextBytes(QByteArray& line);
    // The next line as text.
    bool next(QString& line);
    // Lines given so far.
    qint64 lineNumber() const { return lines_; }

  private:
    QIODevice& device_;
    bool ended_ = false;
    qint64 lines_ = 0;
};

} // namespace printlist
