// The print list on a PostgreSQL server (libpq), shared by several workstations: the same
// table seznam with a key the server fills, every change in one transaction announced to the
// other workstations, and one reconnection when the connection was lost.
#pragma once

#include "printlist/store.h"

#include <QString>

struct pg_conn;

namespace printlist {

class PgStore : public Store {
  public:
    // `conninfo` is a libpq connection string; passwords come from libpq's own means.
    explicit PgStore(QString conninfo);
    ~PgStore() override;

    // Connects, creates table seznam when missing and starts listening for changes. Throws
    // DatabaseError with the server's message.
    void connect() override;

    std::unique_ptr<RowStream> openRows() override;
    void addCopies(const QStringList& values, int copies) override;
    void clear() override;
    void deleteRecord(qint64 key) override;
    void replaceAll(const RowSource& source) override;
    void restoreRows(const std::vector<qint64>& drop, const std::vector<KeyedRow>& rows) override;

    int changeSocket() override;
    bool takeChanges() override;

    // The connection string with any password left out, for messages.
    static QString shownConninfo(const QString& conninfo);

  private:
    class Rows;

    void ensureConnected();
    void setUp();
    // Runs one statement with bound text parameters; throws DatabaseError.
    void exec(const char* sql, const QStringList& params = {});
    void execIn(const char* sql, const QStringList& params = {});
    // Runs `body` between begin and commit, announcing the change; rolls back on failure.
    template <typename Body> void changeInTransaction(Body&& body);
    [[noreturn]] void fail(const QString& serverMessage, const char* sqlState = nullptr);

    QString conninfo_;
    pg_conn* conn_ = nullptr;
    int ownPid_ = 0;
};

} // namespace printlist
