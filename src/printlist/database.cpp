#include "printlist/database.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <vector>

namespace printlist {
namespace {

QString engineMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// A write the engine refused as read-only. The file itself may well be writable: the engine
// also needs to create its journal next to it, so a folder the user cannot write to stops
// every change.
QString readOnlyText(sqlite3* db) {
    const char* name = sqlite3_db_filename(db, "main");
    const QFileInfo file(QString::fromUtf8(name ? name : ""));
    const QString folder = QDir::toNativeSeparators(file.absolutePath());
    if ((sqlite3_extended_errcode(db) == SQLITE_READONLY_DIRECTORY ||
         !QFileInfo(file.absolutePath()).isWritable()) &&
        file.isWritable()) {
        return QStringLiteral("Seznam nelze změnit: do složky %1 nelze zapisovat. Program si v ní "
                              "při každé změně seznamu zakládá pomocný soubor; povolte zápis do "
                              "této složky.")
            .arg(folder);
    }
    return QStringLiteral("Seznam nelze změnit: soubor %1 je jen pro čtení.")
        .arg(QDir::toNativeSeparators(file.absoluteFilePath()));
}

// The engine's error as the exception the caller can tell apart: a lock that outlasted the busy
// timeout is no damage and is worth trying again.
[[noreturn]] void throwEngineError(sqlite3* db) {
    const int code = sqlite3_errcode(db) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        throw DatabaseBusy();
    }
    if (code == SQLITE_READONLY) {
        throw DatabaseError(readOnlyText(db));
    }
    throw DatabaseError(engineMessage(db));
}

class SqliteRows : public RowStream {
  public:
    SqliteRows(sqlite3* db, const QString& sql, const QStringList& params) : db_(db) {
        if (!db) {
            throw DatabaseError(QStringLiteral("database not connected"));
        }
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr) !=
            SQLITE_OK) {
            failFromEngine();
        }
        if (!stmt_) { // blank text or only a comment: nothing to run
            return;
        }
        bound_.reserve(size_t(params.size()));
        for (int i = 0; i < params.size(); ++i) {
            bound_.push_back(params[i].toUtf8());
            if (sqlite3_bind_text(stmt_, i + 1, bound_.back().constData(),
                                  int(bound_.back().size()), SQLITE_STATIC) != SQLITE_OK) {
                fail(engineMessage(db));
            }
        }
        // A result column named "rowid" in any case is not offered as a field; the first one gives
        // each row its key.
        const int columns = sqlite3_column_count(stmt_);
        for (int c = 0; c < columns; ++c) {
            const QString name = QString::fromUtf8(sqlite3_column_name(stmt_, c));
            if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) {
                if (keyColumn_ < 0) {
                    keyColumn_ = c;
                }
                continue;
            }
            offered_.push_back(c);
            names_.append(name);
        }
    }
    ~SqliteRows() override { sqlite3_finalize(stmt_); }

    const QStringList& fieldNames() const override { return names_; }
    std::optional<qint64> key() const override { return key_; }

    bool next(QStringList& row) override {
        if (!stmt_) {
            return false;
        }
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_DONE) {
            const int fin = sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            if (fin != SQLITE_OK) {
                throw DatabaseError(QStringLiteral("SQLiteExecute error: %1").arg(fin));
            }
            return false;
        }
        if (rc != SQLITE_ROW) {
            failFromEngine();
        }
        if (keyColumn_ >= 0) {
            key_ = sqlite3_column_int64(stmt_, keyColumn_);
        }
        row.clear();
        row.reserve(qsizetype(offered_.size()));
        for (int c : offered_) {
            // A null reads as the empty text; values are kept whole.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
            row.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, c)) : QString());
        }
        return true;
    }

  private:
    [[noreturn]] void fail(const QString& msg) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DatabaseError(msg);
    }
    [[noreturn]] void failFromEngine() {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throwEngineError(db_);
    }

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::vector<QByteArray> bound_;
    std::vector<int> offered_;
    QStringList names_;
    int keyColumn_ = -1;
    std::optional<qint64> key_;
};

const QString kInsertAdd = QStringLiteral(
    "insert into seznam(kod,kods,nazev,cena,text1,text2,text3) values(?,?,?,?,?,?,?)");
const QString kInsertImport = QStringLiteral(
    "insert into seznam (kod,kods,nazev,cena,text1,text2,text3) values(?,?,?,?,?,?,?)");

} // namespace

Connection::~Connection() {
    if (db_) {
        sqlite3_close_v2(db_);
    }
}

void Connection::open(const QString& path) {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    const QByteArray utf8 = path.trimmed().toUtf8();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(utf8.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? engineMessage(db) : QStringLiteral("cannot open database");
        sqlite3_close_v2(db);
        throw DatabaseError(msg);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    db_ = db;
}

std::unique_ptr<RowStream> runStatement(Connection& connection, const QString& sql,
                                        const QStringList& params) {
    return std::make_unique<SqliteRows>(connection.handle(), sql, params);
}

void Query::exec(const QStringList& params) {
    close();
    result_ = drainRows(*runStatement(connection_, sql_, params));
}

void SqliteStore::prikaz(const QString& sql, const QStringList& params) {
    editquery.setSql(sql);
    editquery.exec(params);
}

std::unique_ptr<RowStream> SqliteStore::openRows() {
    // The rowid rides along as each row's key, so a delete removes the record the user sees even
    // when another program changed the table since the last reload.
    return runStatement(connection1, QStringLiteral("select rowid as rowid,* from seznam"));
}

void SqliteStore::reloadWithoutWaiting() {
    sqlite3_busy_timeout(connection1.handle(), 0);
    try {
        reload();
    } catch (...) {
        sqlite3_busy_timeout(connection1.handle(), kBusyTimeoutMs);
        throw;
    }
    sqlite3_busy_timeout(connection1.handle(), kBusyTimeoutMs);
}

void SqliteStore::inTransaction(const std::function<void()>& body) {
    prikaz(QStringLiteral("begin"));
    try {
        body();
        prikaz(QStringLiteral("commit"));
    } catch (...) {
        try {
            prikaz(QStringLiteral("rollback"));
        } catch (const platform::Error&) {
            // The engine already rolled back.
        }
        throw;
    }
}

void SqliteStore::addCopies(const QStringList& values, int copies) {
    if (copies < 1) {
        return;
    }
    refuseNul(values);
    // All copies or none: a lock taken by another program part-way through must not leave
    // some of them in, or trying again would double them.
    inTransaction([&] {
        for (int i = 0; i < copies; ++i) {
            prikaz(kInsertAdd, values);
        }
    });
}

void SqliteStore::clear() {
    prikaz(QStringLiteral("delete from seznam"));
    prikaz(QStringLiteral("vacuum"));
}

void SqliteStore::deleteRecord(qint64 key) {
    prikaz(QStringLiteral("DELETE FROM seznam WHERE rowid=") + QString::number(key));
}

void SqliteStore::replaceAll(const RowSource& source) {
    // The old list goes and the new one comes in one transaction, so a failure anywhere
    // leaves the table as it was.
    inTransaction([&] {
        prikaz(QStringLiteral("delete from seznam"));
        QStringList values;
        for (int line = 1; source(values); ++line) {
            refuseNul(values, line);
            prikaz(kInsertImport, values);
        }
    });
}

void SqliteStore::appendAll(const RowSource& source) {
    // One statement prepared once and stepped per row: a price list may bring 100,000 rows.
    inTransaction([&] {
        sqlite3* db = connection1.handle();
        sqlite3_stmt* stmt = nullptr;
        const QByteArray sql = kInsertImport.toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
            throwEngineError(db);
        }
        const auto finish = qScopeGuard([&] { sqlite3_finalize(stmt); });
        QStringList values;
        std::vector<QByteArray> bound;
        for (int line = 1; source(values); ++line) {
            refuseNul(values, line);
            bound.clear();
            for (int i = 0; i < values.size(); ++i) {
                bound.push_back(values[i].toUtf8());
                sqlite3_bind_text(stmt, i + 1, bound.back().constData(), int(bound.back().size()),
                                  SQLITE_TRANSIENT);
            }
            if (sqlite3_step(stmt) != SQLITE_DONE) {
                throwEngineError(db);
            }
            sqlite3_reset(stmt);
        }
    });
}

void SqliteStore::compact() {
    prikaz(QStringLiteral("vacuum"));
}

void SqliteStore::restoreRows(const std::vector<qint64>& drop, const std::vector<KeyedRow>& rows) {
    // seznam.db hands out the highest key plus one, so a key freed by a delete may be taken
    // again by a later insert: such a record moves above every key that comes back.
    qint64 highest = 0;
    for (const KeyedRow& r : rows) {
        highest = std::max(highest, r.key);
    }
    inTransaction([&] {
        for (const qint64 key : drop) {
            prikaz(QStringLiteral("delete from seznam where rowid=cast(? as integer)"),
                   {QString::number(key)});
        }
        for (const KeyedRow& r : rows) {
            prikaz(QStringLiteral("update seznam set rowid = max(cast(? as integer), (select "
                                  "max(rowid) from seznam)) + 1 where rowid = cast(? as integer)"),
                   {QString::number(highest), QString::number(r.key)});
        }
        for (const KeyedRow& r : rows) {
            prikaz(
                QStringLiteral("insert into seznam (rowid,kod,kods,nazev,cena,text1,text2,text3) "
                               "values(cast(? as integer),?,?,?,?,?,?,?)"),
                QStringList{QString::number(r.key)} + r.values);
        }
    });
}

} // namespace printlist
