// A throw-away program directory for tests: holds seznam.db, dravelin.ini and font as the
// program would find them beside itself.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempProgramDir {
  public:
    TempProgramDir();
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    // Path ending in "/", as the program directory is.
    QString path() const;
    QString file(const QString& name) const { return path() + name; }
    // Creates seznam.db with the shipped table definition.
    void createDatabase() const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;

  private:
    QTemporaryDir dir_;
    QString previous_;
};
