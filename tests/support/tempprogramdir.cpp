#include "support/tempprogramdir.h"

#include "platform/programdir.h"
#include "seznam_schema.h"

#include <QFile>
#include <sqlite3.h>
#include <stdexcept>

TempProgramDir::TempProgramDir() : previous_(platform::programDirectory()) {
    if (!dir_.isValid()) {
        throw std::runtime_error("cannot create a temporary program directory");
    }
    platform::setProgramDirectory(path());
}

TempProgramDir::~TempProgramDir() {
    platform::setProgramDirectory(previous_);
}

QString TempProgramDir::path() const {
    return dir_.path() + "/";
}

void TempProgramDir::createDatabase() const {
    sqlite3* db = nullptr;
    const QByteArray p = file("seznam.db").toUtf8();
    if (sqlite3_open(p.constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db, kSeznamTableSql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create test database");
    }
    sqlite3_close(db);
}

void TempProgramDir::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write test file");
    }
}

QByteArray TempProgramDir::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

bool TempProgramDir::exists(const QString& name) const {
    return QFile::exists(file(name));
}
