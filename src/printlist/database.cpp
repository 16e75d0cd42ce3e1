#include "printlist/database.h"

#include <sqlite3.h>

#include <vector>

namespace printlist {
namespace {

QString engineMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

class SqliteRows : public RowStream {
public:
    SqliteRows(sqlite3* db, const QString& sql, const QStringList& params) : db_(db) {
        if (!db) {
            throw DatabaseError(QStringLiteral("database not connected"));
        }
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr) !=
            SQLITE_OK) {
            fail(engineMessage(db));
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
        // A result column named "rowid" in any case is not offered as a field.
        const int columns = sqlite3_column_count(stmt_);
        for (int c = 0; c < columns; ++c) {
            const QString name = QString::fromUtf8(sqlite3_column_name(stmt_, c));
            if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) {
                continue;
            }
            offered_.push_back(c);
            names_.append(name);
        }
    }
    ~SqliteRows() override { sqlite3_finalize(stmt_); }

    const QStringList& fieldNames() const override { return names_; }

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
            fail(engineMessage(db_));
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

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::vector<QByteArray> bound_;
    std::vector<int> offered_;
    QStringList names_;
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
    const int rc =
        sqlite3_open_v2(utf8.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? engineMessage(db) : QStringLiteral("cannot open database");
        sqlite3_close_v2(db);
        throw DatabaseError(msg);
    }
    db_ = db;
}

std::unique_ptr<RowStream> runStatement(Connection& connection, const QString& sql,
                                        const QStringList& params) {
    return std::make_unique<SqliteRows>(connection.handle(), sql, params);
}

void Query::exec(const QStringList& params) {
    close();
    const std::unique_ptr<RowStream> stream = runStatement(connection_, sql_, params);
    std::vector<QStringList> rows;
    QStringList row;
    while (stream->next(row)) {
        rows.push_back(std::move(row));
        row = QStringList();
    }
    result_ = RowSet(stream->fieldNames(), std::move(rows));
    result_.first();
}

void SqliteStore::prikaz(const QString& sql, const QStringList& params) {
    editquery.setSql(sql);
    editquery.exec(params);
}

std::unique_ptr<RowStream> SqliteStore::openRows() {
    return runStatement(connection1, QStringLiteral("select * from seznam"));
}

void SqliteStore::addCopies(const QStringList& values, int copies) {
    for (int i = 0; i < copies; ++i) {
        prikaz(kInsertAdd, values);
    }
}

void SqliteStore::clear() {
    prikaz(QStringLiteral("delete from seznam"));
    prikaz(QStringLiteral("vacuum"));
}

void SqliteStore::deleteRow(int n) {
    radekquery.setSql(QStringLiteral("SELECT rowid as integer FROM seznam order by rowid"));
    radekquery.exec();
    RowSet& ids = radekquery.result();
    for (int i = 1; i < n; ++i) {
        ids.next();
    }
    // The view is reloaded after every change, so it agrees with the table; if another
    // program removed rows meanwhile, there is nothing left to delete at that row.
    if (ids.eof()) {
        return;
    }
    editquery.setSql(QStringLiteral("DELETE FROM seznam WHERE rowid=") + ids.field(0));
    editquery.exec();
}

void SqliteStore::replaceAll(const RowSource& source) {
    // The old list goes and the new one comes in one transaction, so a failure anywhere
    // leaves the table as it was.
    prikaz(QStringLiteral("begin"));
    try {
        prikaz(QStringLiteral("delete from seznam"));
        QStringList values;
        while (source(values)) {
            prikaz(kInsertImport, values);
        }
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

void SqliteStore::compact() { prikaz(QStringLiteral("vacuum")); }

} // namespace printlist
