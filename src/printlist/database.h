// The print-list store on the SQLite C API: one connection, statement runners that hold a
// statement's whole result in memory, and the store seznam.db with its runners editquery and
// radekquery.
#pragma once

#include "printlist/store.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace printlist {

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

// Runs one statement step by step: binds `params` as texts to its ? markers in order, offers
// every result column except one named "rowid" (any case) as a field, reads a null as the
// empty text. Only the first statement of the text runs. Throws DatabaseError.
std::unique_ptr<RowStream> runStatement(Connection& connection, const QString& sql,
                                        const QStringList& params = {});

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

class SqliteStore : public Store {
  public:
    explicit SqliteStore(QString path = {}) : path_(std::move(path)) {}

    // Opens the file (never creating it) without reading anything.
    void connect() override { connection1.open(path_); }
    void connect(const QString& path) {
        path_ = path;
        connect();
    }
    using Store::open;
    // Connects to `path` and loads the list view. Throws DatabaseError when the file cannot be
    // opened or holds no table seznam.
    void open(const QString& path) {
        connect(path);
        reload();
    }
    bool isOpen() const { return connection1.isOpen(); }

    // Runs one statement through editquery; does not reload the list view.
    void prikaz(const QString& sql, const QStringList& params = {});

    std::unique_ptr<RowStream> openRows() override;
    void reloadWithoutWaiting() override;
    // All copies in one transaction.
    void addCopies(const QStringList& values, int copies) override;
    // "delete from seznam", then "vacuum", each committed by itself.
    void clear() override;
    void deleteRecord(qint64 key) override;
    void replaceAll(const RowSource& source) override;
    void appendAll(const RowSource& source) override;
    void compact() override;
    void restoreRows(const std::vector<qint64>& drop, const std::vector<KeyedRow>& rows) override;

    Connection connection1;
    Query editquery{connection1};
    Query radekquery{connection1};

  private:
    // Runs `body` between begin and commit; rolls back and rethrows on failure.
    void inTransaction(const std::function<void()>& body);

    QString path_;
};

} // namespace printlist
