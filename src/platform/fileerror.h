// File errors by number, with the fixed texts the user sees, and the few whole-file operations
// the program needs (read a fixed-size record, replace a file atomically).
#pragma once

#include "platform/error.h"

#include <QByteArray>
#include <QString>

namespace platform {

enum FileErrorCode {
    FileNotFound = 2,
    InvalidFilename = 3,
    TooManyOpenFiles = 4,
    FileAccessDenied = 5,
    ReadBeyondEnd = 100,
    DiskFull = 101,
    InvalidNumericInput = 106,
};

// "File not found", "Read beyond end of file", ... or "I/O error %d".
QString fileErrorText(int code);
// Maps a system errno to the numbered error of the table above (or keeps it as is).
int fileErrorFromErrno(int err);

class FileError : public Error {
  public:
    explicit FileError(int code) : Error(fileErrorText(code)), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

// Opens the file for reading and writing (a file that may not be written cannot be read
// either), reads its first `size` bytes and closes it. Throws FileError; a short file gives
// "Read beyond end of file", anything but a regular file "Invalid filename" at once.
QByteArray readRecordFile(const QString& path, qint64 size);

// Replaces the file with `bytes`: written beside it and renamed over it, so a failed write
// leaves the previous file whole. A symbolic link is written through to the file it names; a
// device, FIFO or folder gives "Invalid filename" and is left alone. A target that exists but
// may not be written gives "File access denied". Throws FileError.
void writeFileAtomic(const QString& path, const QByteArray& bytes);

} // namespace platform
