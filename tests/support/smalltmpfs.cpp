#include "support/smalltmpfs.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>

SmallTmpfs::SmallTmpfs(qint64 bytes) {
    const QByteArray where = QFile::encodeName(dir_.path());
    const QByteArray options = "size=" + QByteArray::number(bytes);
    mounted_ = ::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0;
    EXPECT_TRUE(mounted_) << "cannot mount a small tmpfs at " << where.constData()
                          << " (the test needs root and mount rights): " << std::strerror(errno);
}

SmallTmpfs::~SmallTmpfs() {
    if (mounted_) {
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
}

TempPathOverride::TempPathOverride(const QString& path)
    : previous_(qgetenv("TMPDIR")), had_(qEnvironmentVariableIsSet("TMPDIR")) {
    qputenv("TMPDIR", QFile::encodeName(path));
}

TempPathOverride::~TempPathOverride() {
    if (had_) {
        qputenv("TMPDIR", previous_);
    } else {
        qunsetenv("TMPDIR");
    }
}
