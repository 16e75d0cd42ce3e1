#include "platform/regularfile.h"

#include "platform/fileerror.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

void requireRegularFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        throw FileError(fileErrorFromErrno(errno));
    }
    // A folder answers as opening one would (EISDIR); devices, pipes and sockets hold no file.
    if (S_ISDIR(st.st_mode)) {
        throw FileError(FileAccessDenied);
    }
    if (!S_ISREG(st.st_mode)) {
        throw FileError(InvalidFilename);
    }
}

int openRegularFile(const QString& path, int flags) {
    // Checked before opening, so a device is never even opened; checked again on the open
    // descriptor, in case the name was replaced in between.
    requireRegularFile(path);
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw FileError(fileErrorFromErrno(errno));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(InvalidFilename);
    }
    // Regular files ignore O_NONBLOCK, but the descriptor should say what it is.
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0 && (fl & O_NONBLOCK) && !(flags & O_NONBLOCK)) {
        ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    }
    return fd;
}

} // namespace platform
