#include "support/lockholder.h"

#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

LockHolder::LockHolder(const QString& dbPath, int seconds) {
    shell_.start(QStringLiteral("sqlite3"), {dbPath});
    EXPECT_TRUE(shell_.waitForStarted()) << "sqlite3 shell missing";
    // The shell waits for the probe below, which may be reading at that moment.
    shell_.write(QStringLiteral(".timeout 5000\nBEGIN EXCLUSIVE;\n.shell sleep %1\nCOMMIT;\n")
                     .arg(seconds)
                     .toUtf8());
    shell_.waitForBytesWritten();
    shell_.closeWriteChannel();
    for (int i = 0; i < 500 && !locked(dbPath); ++i) {
        QThread::msleep(10);
    }
    EXPECT_TRUE(locked(dbPath)) << "the second process did not take the lock";
}

LockHolder::~LockHolder() {
    if (shell_.state() != QProcess::NotRunning) {
        shell_.kill();
        shell_.waitForFinished();
    }
}

bool LockHolder::locked(const QString& dbPath) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    const int rc = sqlite3_exec(db, "select count(*) from seznam", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return rc == SQLITE_BUSY;
}
