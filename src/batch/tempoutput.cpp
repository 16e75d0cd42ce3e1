#include "batch/tempoutput.h"

#include "batch/batcherror.h"
#include "batch/interrupt.h"
#include "platform/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace batch {
namespace {

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
    try {
        file_ = std::make_unique<platform::PendingFile>(platform::outputTarget(target));
    } catch (const platform::OutputError& e) {
        // A link loop says what it is; only a device or a FIFO is "not a regular file".
        const bool notRegular = e.code() == platform::InvalidFilename &&
                                e.systemText() == QLatin1String("Not a regular file");
        throw notWritable(target,
                          notRegular ? QStringLiteral("it is not a regular file") : e.systemText());
    }
    if (!file_->unnamed()) {
        interrupt::setPendingFile(file_->path());
    }
}

TempOutput::~TempOutput() {
    file_.reset();
    interrupt::clearPendingFile();
}

QString TempOutput::path() const {
    return file_->path();
}

int TempOutput::fd() const {
    return file_->fd();
}

void TempOutput::commit() {
    try {
        file_->commit();
    } catch (const platform::OutputError& e) {
        throw notWritable(target_, e.systemText());
    }
    interrupt::clearPendingFile();
}

} // namespace batch
