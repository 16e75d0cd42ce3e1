// Reads a list file one line at a time, by the same rules as listFileLines(): Ctrl-Z ends the
// file, LF or CR LF end a line, a lone CR is dropped, and the first line is always there. Only
// the line being read is held, so a file of any length takes the same memory.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace printlist {

// The code a list file is written in. Spreadsheets save UTF-8; everything else is Windows-1250.
enum class ListFileEncoding { Cp1250, Utf8, Utf8WithMark };

// UTF-8 with its mark when the file starts with the UTF-8 byte-order mark; UTF-8 when the bytes
// before Ctrl-Z are valid UTF-8 holding at least one multi-byte sequence (Windows-1250 text with
// a letter beyond ASCII practically never is); Windows-1250 otherwise.
ListFileEncoding detectListFileEncoding(const QByteArray& bytes);
// The same for a device, read from its current position to the end and then put back there;
// only a chunk at a time is held.
ListFileEncoding detectListFileEncoding(QIODevice& device);

class ListFileReader {
  public:
    // Reads from an open device, from its current position.
    explicit ListFileReader(QIODevice& device, ListFileEncoding encoding = ListFileEncoding::Cp1250)
        : device_(device), encoding_(encoding) {}

    // The next line's bytes without its line break, or false after the last line. Throws
    // platform::Error with the device's error text when reading fails.
    bool nextBytes(QByteArray& line);
    // The next line as text.
    bool next(QString& line);
    // Lines given so far.
    qint64 lineNumber() const { return lines_; }

  private:
    QIODevice& device_;
    ListFileEncoding encoding_;
    bool ended_ = false;
    qint64 lines_ = 0;
};

} // namespace printlist
