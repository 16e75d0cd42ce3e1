// Where an output goes and how a new file comes to be: through symbolic links to the file they
// name, never onto a device, FIFO or folder, and written without a name until it is complete,
// so that neither a failure nor a killed process leaves half a file or a stray temporary.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/fileerror.h"

namespace platform {

// A FileError that also keeps the system's own wording, for messages that quote it.
class OutputError : public FileError {
  public:
    OutputError(int code, QString systemText)
        : FileError(code), systemText_(std::move(systemText)) {}
    const QString& systemText() const { return systemText_; }

  private:
    QString systemText_;
};

// The file a write to `path` replaces: symbolic links are followed to the file they name (which
// need not exist yet). Throws OutputError "File access denied" when that is a folder, "Invalid
// filename" when it is another kind of file that is no regular file (a device, FIFO or socket)
// or the links go round in a loop.
QString outputTarget(const QString& path);

// A new file for `target` (an outputTarget()), written unnamed in the target's folder where the
// file system allows (O_TMPFILE), otherwise under a hidden temporary name
// ".dravelin-tmp.NAME.XXXXXX" beside it.
// commit() puts it in the target's place in one step; dropped before that it leaves nothing.
class PendingFile {
  public:
    // Throws FileError when the folder does not take a new file.
    explicit PendingFile(const QString& target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int fd() const { return fd_; }
    // A name for writers that open the file themselves: the process's own link to the unnamed
    // file, or the temporary name.
    QString path() const;
    bool unnamed() const { return temp_.isEmpty(); }
    // Writes all of `bytes` at the current position. Throws FileError.
    void write(const QByteArray& bytes);
    // Flushes to disk, gives the file the replaced file's permissions (or those of a plain new
    // file) and renames it over the target. Throws FileError; the target is then unchanged.
    void commit();

    // Tests switch unnamed files off to run the fallback on a file system that has them.
    static void setUnnamedAllowed(bool allowed);

  private:
    QByteArray target_;
    QByteArray temp_;
    int fd_ = -1;
    bool committed_ = false;
};

// Deletes the temporaries ".dravelin-tmp.NAME.XXXXXX" that a killed earlier run left of the
// files `names` in `dir`, and nothing else. Returns how many went.
int removeStaleTemporaries(const QString& dir, const QStringList& names);

} // namespace platform
