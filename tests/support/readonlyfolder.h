// A folder made read-only while the files in it stay writable, as a program directory on a
// share or under another user's ownership. Permissions do not bind root, so a test run as root
// checks files as an ordinary user meanwhile (its file-system user id, this thread only).
#pragma once

#include <QString>

class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& dir);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  private:
    QString dir_;
    bool asRoot_;
};
