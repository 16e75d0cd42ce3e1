#include "platform/instancelock.h"

#include "platform/programdir.h"
#include "platform/prompts.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

InstanceLock::InstanceLock(const QString& path) : path_(path) {
    const QByteArray name = QFile::encodeName(path);
    // The holder removes the file when it ends; a start that opened the file just before that
    // holds a lock on a name that is gone, so it checks and takes the new file instead.
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Close-on-exec: a printing job started by the window must not keep the lock alive.
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            heldElsewhere_ = errno == EWOULDBLOCK;
            ::close(fd);
            return;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && ::stat(name.constData(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            // Whatever the file held (a pid, nothing, garbage) means nothing: the lock is the
            // system's. The pid is only for a person who looks.
            const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
            if (::ftruncate(fd, 0) == 0) {
                (void)!::write(fd, pid.constData(), static_cast<size_t>(pid.size()));
            }
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        // Removed while still held, so no other start can lock the old file after this one.
        ::unlink(QFile::encodeName(path_).constData());
        ::close(fd_);
    }
}

std::unique_ptr<InstanceLock> claimProgramDirectory(const QString& dir) {
    auto lock = std::make_unique<InstanceLock>(dir + QLatin1String(kInstanceLockName));
    if (lock->heldElsewhere()) {
        prompts::message({programTitle(), QStringLiteral("Dravelin už v této složce běží."),
                          prompts::Icon::Information, prompts::Buttons::Ok});
        return nullptr;
    }
    return lock;
}

} // namespace platform
