// The print list on a PostgreSQL server (libpq), shared by several workstations: the same
// table seznam with a key the server fills, every change in one transaction announced to the
// other workstations, and one reconnection when the connection was lost.
#pragma once

#include "printlist/store.h"

#include <QDeadlineTimer>
#include <QString>

struct pg_conn;
struct pg_result;

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
    void appendAll(const RowSource& source) override;
    void restoreRows(const std::vector<qint64>& drop, const std::vector<KeyedRow>& rows) override;

    int changeSocket() override;
    bool catchUp() override;
    ReconnectWait reconnectStep() override;

    // How long a command waits for the server to answer before it gives up (15 s).
    void setCommandTimeout(int ms) { commandTimeoutMs_ = ms; }
    bool takeChanges() override;

    // The connection string with any password left out, for messages.
    static QString shownConninfo(const QString& conninfo);

  private:
    class Rows;

    void ensureConnected();
    // Our connection defaults before the user's connection string.
    pg_conn* startConnecting(bool wait) const;
    void dropPendingConnection();
    void setUp();
    // Runs one statement with bound text parameters; throws DatabaseError.
    void exec(const char* sql, const QStringList& params = {});
    void execIn(const char* sql, const QStringList& params = {});
    // Runs `body` between begin and commit, announcing the change; rolls back on failure.
    template <typename Body> void changeInTransaction(Body&& body);
    // Inserts the rows of `source` in batches, inside the caller's transaction.
    void insertRows(const RowSource& source);
    [[noreturn]] void fail(const QString& serverMessage, const char* sqlState = nullptr);
    // Sends one statement and waits for all its results within the deadline; the last result
    // (nullptr when it could not be sent). Throws DatabaseTimeout.
    pg_result* run(const char* sql, int count, const char* const* values);
    // Sends what libpq holds back, within the deadline.
    void flushSent();
    // The next result of the statement sent last, nullptr once it is complete.
    pg_result* nextResult();
    // False when the socket stayed quiet for the whole deadline.
    bool waitSocket(bool forWrite);
    // Drops the connection and throws DatabaseTimeout.
    [[noreturn]] void timedOut();

    QString conninfo_;
    pg_conn* conn_ = nullptr;
    // A reconnection under way in the background, and when it is given up.
    pg_conn* pending_ = nullptr;
    QDeadlineTimer pendingDeadline_;
    // The connection was made anew: notices sent meanwhile are lost, so catchUp reads the list.
    bool renewed_ = false;
    int ownPid_ = 0;
    int commandTimeoutMs_ = 15000;
};

} // namespace printlist
