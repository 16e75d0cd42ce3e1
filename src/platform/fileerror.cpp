#include "platform/fileerror.h"

#include "platform/outputfile.h"
#include "platform/regularfile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString fileErrorText(int code) {
    switch (code) {
    case FileNotFound:
        return QStringLiteral("File not found");
    case InvalidFilename:
        return QStringLiteral("Invalid filename");
    case TooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case FileAccessDenied:
        return QStringLiteral("File access denied");
    case ReadBeyondEnd:
        return QStringLiteral("Read beyond end of file");
    case DiskFull:
        return QStringLiteral("Disk full");
    case InvalidNumericInput:
        return QStringLiteral("Invalid numeric input");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}

int fileErrorFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return FileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
        return InvalidFilename;
    case EMFILE:
    case ENFILE:
        return TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // a directory cannot be opened as a file: access is denied
        return FileAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return DiskFull;
    default:
        return err;
    }
}

namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

[[noreturn]] void throwErrno() {
    throw FileError(fileErrorFromErrno(errno));
}

} // namespace

QByteArray readRecordFile(const QString& path, qint64 size) {
    Fd fd(openRegularFile(path, O_RDWR));
    QByteArray bytes(size, '\0');
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, size_t(size - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno();
        }
        if (n == 0) {
            throw FileError(ReadBeyondEnd);
        }
        done += n;
    }
    return bytes;
}

void writeFileAtomic(const QString& path, const QByteArray& bytes) {
    // A link is written through to its file; a device, FIFO or folder is refused untouched.
    const QString target = outputTarget(path);
    const QByteArray native = QFile::encodeName(target);
    if (::access(native.constData(), F_OK) == 0 && ::access(native.constData(), W_OK) != 0) {
        throwErrno();
    }
    PendingFile file(target);
    file.write(bytes);
    file.commit();
}

} // namespace platform
