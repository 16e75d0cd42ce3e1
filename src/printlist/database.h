// The print-list database on the SQLite C API: one connection, statement runners that hold a
// statement's whole result in memory, and the store with its three runners query1 (the list
// view), editquery and radekquery.
#pragma once

#include "platform/error.h"
#include "printlist/rowset.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace printlist {

class DatabaseError : public platform::Error {
public:
    using platform::Error::Error;
};

// Another program held the database locked for longer than the busy timeout.
class DatabaseBusy : public DatabaseError {
public:
    DatabaseBusy();
};

// How long a statement waits for another program's lock before giving up.
inline constexpr int kBusyTimeoutMs = 5000;

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file read-write; a missing file is an error and is not created.
    // Statements wait up to kBusyTimeoutMs for another program's lock. Throws DatabaseError.
    void open(const QString& path);
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// One statement text and, after it ran, its complete result.
class Query {
public:
    explicit Query(Connection& connection) : connection_(connection) {}

    void setSql(const QString& sql) {
        sql_ = sql;
        close();
    }
    const QString& sql() const { return sql_; }
    // Runs the statement, binding `params` as texts to its ? markers in order. Only the first
    // statement of the text runs. A result column named "rowid" is no field; its values become
    // the rows' keys. On failure throws DatabaseError (DatabaseBusy for a lock that outlasted
    // the timeout) and holds no result.
    void exec(const QStringList& params = {});
    void close() { result_ = RowSet(); }
    RowSet& result() { return result_; }
    const RowSet& result() const { return result_; }

private:
    Connection& connection_;
    QString sql_;
    RowSet result_;
};

class PrintListStore {
public:
    PrintListStore() = default;

    // Connects to `path` and loads the list view. Throws DatabaseError when the file cannot be
    // opened or holds no table seznam.
    void open(const QString& path);
    bool isOpen() const { return connection1.isOpen(); }

    // Runs one statement through editquery; does not reload the list view.
    void prikaz(const QString& sql, const QStringList& params = {});
    // Runs "select * from seznam" again; the first row becomes current. A failure leaves the
    // list view as it was.
    void reload();

    RowSet& listView() { return listView_; }
    const RowSet& listView() const { return listView_; }

    Connection connection1;
    Query editquery{connection1};
    Query radekquery{connection1};

private:
    Query query1_{connection1};
    RowSet listView_;
};

} // namespace printlist
