#include "support/readonlyfolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uid_t kNobody = 65534;
}

ReadOnlyFolder::ReadOnlyFolder(const QString& dir) : dir_(dir), asRoot_(::geteuid() == 0) {
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        ::chmod(QFile::encodeName(dir + "/" + name).constData(), 0666);
    }
    EXPECT_EQ(::chmod(QFile::encodeName(dir).constData(), 0555), 0);
    if (asRoot_) {
        ::setfsuid(kNobody);
        EXPECT_EQ(int(::setfsuid(kNobody)), int(kNobody)) << "cannot drop to an ordinary user";
    }
    // The fault must really be there: a new file in the folder is refused.
    QFile probe(dir + "/probe");
    EXPECT_FALSE(probe.open(QIODevice::WriteOnly)) << "the folder is still writable";
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (asRoot_) {
        ::setfsuid(0);
    }
    ::chmod(QFile::encodeName(dir_).constData(), 0700);
}
