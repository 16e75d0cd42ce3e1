#include "batch/tempoutput.h"

#include "batch/batcherror.h"
#include "batch/interrupt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace batch {
namespace {

// The mode the finished file should have: the replaced file's, or what a plain create would
// give; a temporary file starts out readable by its owner alone.
mode_t finalMode(const QString& target) {
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

BatchError notWritable(const QString& target, const QString& why) {
    return BatchError(QStringLiteral("%1: cannot write the output: %2")
                          .arg(QDir::toNativeSeparators(target), why));
}

} // namespace

TempOutput::TempOutput(const QString& target) : target_(target) {
    const QFileInfo info(target);
    if (info.isDir()) {
        throw notWritable(target, QStringLiteral("it is a folder"));
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists()) {
        throw notWritable(target, QStringLiteral("no such folder %1").arg(folder.filePath()));
    }
    if (!folder.isDir()) {
        throw notWritable(target, QStringLiteral("%1 is not a folder").arg(folder.filePath()));
    }
    if (info.exists() && !info.isWritable()) {
        throw notWritable(target, QStringLiteral("the file is read-only"));
    }
    // Hidden, beside the target (a rename never crosses file systems), with the target's suffix
    // so that writers that go by the name keep their format.
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX.") +
                        (info.suffix().isEmpty() ? QStringLiteral("part") : info.suffix()));
    if (!file.open()) {
        throw notWritable(target, file.errorString());
    }
    file.setAutoRemove(false);
    temp_ = file.fileName();
    file.close();
    interrupt::setPendingFile(temp_);
    ::chmod(QFile::encodeName(temp_).constData(), finalMode(target));
}

TempOutput::~TempOutput() {
    if (!committed_) {
        QFile::remove(temp_);
    }
    interrupt::clearPendingFile();
}

void TempOutput::commit() {
    // rename(2) replaces the target in one step; QFile::rename would refuse an existing one.
    if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) !=
        0) {
        const int err = errno;
        throw notWritable(target_, QString::fromLocal8Bit(std::strerror(err)));
    }
    committed_ = true;
    interrupt::clearPendingFile();
}

} // namespace batch
