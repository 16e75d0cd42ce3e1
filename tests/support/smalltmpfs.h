// A small file system of its own (tmpfs), to fill a folder up for real: writes beyond its size
// fail with "No space left on device". Mounting needs root; without it the test fails and says
// so rather than passing untested.
#pragma once

#include <QString>
#include <QTemporaryDir>

class SmallTmpfs {
  public:
    explicit SmallTmpfs(qint64 bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Points TMPDIR (and so QDir::tempPath()) somewhere else for as long as it lives.
class TempPathOverride {
  public:
    explicit TempPathOverride(const QString& path);
    ~TempPathOverride();

  private:
    QByteArray previous_;
    bool had_;
};
