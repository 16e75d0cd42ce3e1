#include "printlist/statementrows.h"

#include <sqlite3.h>

namespace printlist {
namespace {

QString engineMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

sqlite3_stmt* prepare(Connection& connection, const QString& sql) {
    sqlite3* db = connection.handle();
    if (!db) {
        throw DatabaseError(QStringLiteral("database not connected"));
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK ||
        stmt == nullptr) {
        const QString msg = engineMessage(db);
        sqlite3_finalize(stmt);
        throw DatabaseError(msg);
    }
    return stmt;
}

} // namespace

StatementRows::StatementRows(Connection& connection, const QString& sql, int rowCount)
    : connection_(connection), stmt_(prepare(connection, sql)), rowCount_(rowCount) {
    // A result column named "rowid" in any case is not offered as a field, as in the list view.
    const int columns = sqlite3_column_count(stmt_);
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt_, c));
        if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) {
            continue;
        }
        columns_.push_back(c);
        names_.append(name);
    }
}

StatementRows::~StatementRows() {
    sqlite3_finalize(stmt_);
}

int StatementRows::fieldIndex(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i) {
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void StatementRows::first() {
    sqlite3_reset(stmt_);
    step();
}

void StatementRows::next() {
    if (!eof_) {
        step();
    }
}

void StatementRows::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        eof_ = false;
        return;
    }
    eof_ = true;
    if (rc != SQLITE_DONE) {
        throw DatabaseError(engineMessage(connection_.handle()));
    }
}

QString StatementRows::field(int i) const {
    if (eof_ || i < 0 || i >= int(columns_.size())) {
        return {};
    }
    const int c = columns_[size_t(i)];
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, c)) : QString();
}

long long countRows(Connection& connection, const QString& sql) {
    sqlite3_stmt* stmt = prepare(connection, sql);
    const int rc = sqlite3_step(stmt);
    const long long n = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const QString msg = engineMessage(connection.handle());
        sqlite3_finalize(stmt);
        throw DatabaseError(msg);
    }
    sqlite3_finalize(stmt);
    return n;
}

} // namespace printlist
