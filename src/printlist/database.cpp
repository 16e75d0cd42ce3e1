#include "printlist/database.h"

#include <sqlite3.h>

namespace printlist {
namespace {

QString engineMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

// The engine's error as the exception the caller can tell apart: a lock that outlasted the busy
// timeout is no damage and is worth trying again.
[[noreturn]] void throwEngineError(sqlite3* db) {
    const int code = sqlite3_errcode(db) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        throw DatabaseBusy();
    }
    throw DatabaseError(engineMessage(db));
}

} // namespace

DatabaseBusy::DatabaseBusy()
    : DatabaseError(QStringLiteral("Seznam právě používá jiný program, zkuste to znovu.")) {}

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
    const int rc =
        sqlite3_open_v2(utf8.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? engineMessage(db) : QStringLiteral("cannot open database");
        sqlite3_close_v2(db);
        throw DatabaseError(msg);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    db_ = db;
}

void Query::exec(const QStringList& params) {
    close();
    sqlite3* db = connection_.handle();
    if (!db) {
        throw DatabaseError(QStringLiteral("database not connected"));
    }
    const QByteArray utf8 = sql_.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throwEngineError(db);
    }
    if (!stmt) { // blank text or only a comment: nothing to run
        return;
    }
    std::vector<QByteArray> bound;
    bound.reserve(size_t(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        bound.push_back(params[i].toUtf8());
        if (sqlite3_bind_text(stmt, i + 1, bound.back().constData(), int(bound.back().size()),
                              SQLITE_STATIC) != SQLITE_OK) {
            const QString msg = engineMessage(db);
            sqlite3_finalize(stmt);
            throw DatabaseError(msg);
        }
    }

    // A result column named "rowid" in any case is not offered as a field; the first one gives
    // each row its key.
    const int columns = sqlite3_column_count(stmt);
    std::vector<int> offered;
    QStringList names;
    int keyColumn = -1;
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) {
            if (keyColumn < 0) {
                keyColumn = c;
            }
            continue;
        }
        offered.push_back(c);
        names.append(name);
    }

    std::vector<QStringList> rows;
    std::vector<qint64> keys;
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) {
            break;
        }
        if (rc != SQLITE_ROW) {
            sqlite3_finalize(stmt);
            throwEngineError(db);
        }
        if (keyColumn >= 0) {
            keys.push_back(sqlite3_column_int64(stmt, keyColumn));
        }
        QStringList row;
        row.reserve(qsizetype(offered.size()));
        for (int c : offered) {
            // A null reads as the empty text; values are kept whole.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)) : QString());
        }
        rows.push_back(std::move(row));
    }
    const int rc = sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) {
        throw DatabaseError(QStringLiteral("SQLiteExecute error: %1").arg(rc));
    }
    result_ = RowSet(std::move(names), std::move(rows), std::move(keys));
    result_.first();
}

void PrintListStore::open(const QString& path) {
    connection1.open(path);
    // The rowid rides along as each row's key, so a delete removes the record the user sees even
    // when another program changed the table since the last reload.
    query1_.setSql(QStringLiteral("select rowid as rowid,* from seznam"));
    reload();
}

void PrintListStore::prikaz(const QString& sql, const QStringList& params) {
    editquery.setSql(sql);
    editquery.exec(params);
}

void PrintListStore::reload() {
    query1_.exec();
    listView_ = std::move(query1_.result());
    listView_.first();
    query1_.close();
}

} // namespace printlist
