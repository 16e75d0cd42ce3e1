// Another program holding seznam.db locked: the sqlite3 shell in a process of its own runs
// BEGIN EXCLUSIVE and keeps the lock for the given time (or until this object goes).
#pragma once

#include <QProcess>
#include <QString>

class LockHolder {
  public:
    // Returns once the lock is really held; fails the test otherwise.
    LockHolder(const QString& dbPath, int seconds);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // True while a connection without a busy timeout finds the file locked.
    static bool locked(const QString& dbPath);

  private:
    QProcess shell_;
};
