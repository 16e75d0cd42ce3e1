#include "batch/tempoutput.h"

#include "batch/batcherror.h"
#include "platform/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace batch {
namespace {

// The one temporary file a signal handler may have to remove; written before the handlers are
// installed, read only by them.
char pendingTemp[4096];

void removePendingAndDie(int sig) {
    if (pendingTemp[0] != '\0') {
        ::unlink(pendingTemp);
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void watchSignals(const QString& temp) {
    const QByteArray native = QFile::encodeName(temp);
    if (native.size() >= qsizetype(sizeof pendingTemp)) {
        return;
    }
    std::memcpy(pendingTemp, native.constData(), size_t(native.size()) + 1);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(sig, removePendingAndDie);
    }
}

void forgetSignals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(sig, SIG_DFL);
    }
    pendingTemp[0] = '\0';
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
    try {
        file_ = std::make_unique<platform::PendingFile>(platform::outputTarget(target));
    } catch (const platform::OutputError& e) {
        throw notWritable(target, e.code() == platform::InvalidFilename
                                      ? QStringLiteral("it is not a regular file")
                                      : e.systemText());
    }
    if (!file_->unnamed()) {
        watchSignals(file_->path());
    }
}

TempOutput::~TempOutput() {
    file_.reset();
    forgetSignals();
}

QString TempOutput::path() const { return file_->path(); }

int TempOutput::fd() const { return file_->fd(); }

void TempOutput::commit() {
    try {
        file_->commit();
    } catch (const platform::OutputError& e) {
        throw notWritable(target_, e.systemText());
    }
    forgetSignals();
}

} // namespace batch
