#include "platform/outputfile.h"

#include "platform/fileerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::atomic<bool> unnamedAllowed{true};

[[noreturn]] void throwErrno(int err) {
    throw OutputError(fileErrorFromErrno(err), QString::fromLocal8Bit(std::strerror(err)));
}

[[noreturn]] void notARegularFile() {
    throw OutputError(InvalidFilename, QStringLiteral("Not a regular file"));
}

QByteArray folderOf(const QByteArray& native) {
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0) {
        return QByteArrayLiteral(".");
    }
    return slash == 0 ? QByteArrayLiteral("/") : native.left(slash);
}

// A hidden name that is plainly the program's own, "FOLDER/.dravelin-tmp.NAME.", so that the
// sweep at start can never take a user's "dravelin.ini.backup" or "font.zaloha" for one.
constexpr char kTempPrefix[] = ".dravelin-tmp.";

QByteArray tempStem(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    // A long name is shortened so that the temporary's name stays within the 255 bytes a name
    // may have.
    const qsizetype room = 255 - qsizetype(sizeof kTempPrefix - 1) - 1 - 6;
    return target.left(slash + 1) + kTempPrefix + target.mid(slash + 1).left(room) + '.';
}

// Six characters as mkstemp uses them, so the stale-temporary sweep knows both kinds.
QByteArray randomSuffix() {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray s(6, '\0');
    for (char& c : s) {
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    }
    return s;
}

mode_t newFileMode(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

QString outputTarget(const QString& path) {
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0;; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            break;
        }
        if (hops == 40) {
            throw OutputError(InvalidFilename, QString::fromLocal8Bit(std::strerror(ELOOP)));
        }
        // symLinkTarget() is absolute and also names a target that does not exist yet.
        current = info.symLinkTarget();
    }
    struct stat st {};
    if (::stat(QFile::encodeName(current).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        // A folder is refused as reading refuses it, with access denied.
        if (S_ISDIR(st.st_mode)) {
            throwErrno(EISDIR);
        }
        notARegularFile();
    }
    return current;
}

PendingFile::PendingFile(const QString& target) : target_(QFile::encodeName(target)) {
    const QByteArray folder = folderOf(target_);
    // An unnamed file gets its name through the process's own /proc link; without /proc (a bare
    // chroot) the named way is the one that works.
    if (unnamedAllowed && ::access("/proc/self/fd", X_OK) == 0) {
        fd_ = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            return;
        }
        // Only a file system without unnamed files falls back; any other error is the answer.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            throwErrno(errno);
        }
    }
    QByteArray name = tempStem(target_) + "XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throwErrno(errno);
    }
    temp_ = name;
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !temp_.isEmpty()) {
        ::unlink(temp_.constData());
    }
}

QString PendingFile::path() const {
    if (!temp_.isEmpty()) {
        return QFile::decodeName(temp_);
    }
    return QStringLiteral("/proc/self/fd/%1").arg(fd_);
}

void PendingFile::write(const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno(errno);
        }
        done += n;
    }
}

void PendingFile::commit() {
    if (::fsync(fd_) != 0 || ::fchmod(fd_, newFileMode(target_)) != 0) {
        throwErrno(errno);
    }
    if (temp_.isEmpty()) {
        // A name is given only now, beside the target, and at once renamed over it.
        const QByteArray self = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd_);
        for (int attempt = 0; temp_.isEmpty(); ++attempt) {
            const QByteArray name = tempStem(target_) + randomSuffix();
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0 ||
                ::linkat(fd_, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0) {
                temp_ = name;
            } else if (errno != EEXIST || attempt == 100) {
                throwErrno(errno);
            }
        }
    }
    if (::rename(temp_.constData(), target_.constData()) != 0) {
        throwErrno(errno);
    }
    committed_ = true;
}

void PendingFile::setUnnamedAllowed(bool allowed) {
    unnamedAllowed = allowed;
}

int removeStaleTemporaries(const QString& dir, const QStringList& names) {
    int removed = 0;
    const QDir folder(dir);
    for (const QString& name : names) {
        const QString stem = QString::fromLatin1(kTempPrefix) + name + QLatin1Char('.');
        const QRegularExpression stale(
            QStringLiteral("^%1[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(stem)));
        for (const QFileInfo& entry : folder.entryInfoList(
                 {stem + QStringLiteral("??????")}, QDir::Files | QDir::Hidden | QDir::System)) {
            if (entry.isFile() && !entry.isSymLink() && stale.match(entry.fileName()).hasMatch() &&
                QFile::remove(entry.absoluteFilePath())) {
                ++removed;
            }
        }
    }
    return removed;
}

} // namespace platform
