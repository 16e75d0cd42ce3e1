#include "printlist/pgstore.h"

#include <libpq-fe.h>

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <vector>

namespace printlist {
namespace {

const char* const kCreateTable =
    "create table if not exists seznam (id bigint generated always as identity primary key, "
    "kod text, kods text, nazev text, cena text, text1 text, text2 text, text3 text)";
const char* const kChannel = "seznam";
constexpr int kValues = 7;
// Rows per insert statement of an import: 7 parameters each, well under the protocol's limit.
constexpr int kRowsPerInsert = 1000;
// How long making a connection may take.
constexpr int kConnectTimeoutS = 10;

// libpq's messages run over several indented lines; one line reads better in a box or a log.
QString serverText(const char* message) {
    return QString::fromUtf8(message).simplified();
}

// Texts bound as parameters: UTF-8 kept alive for the call.
struct Params {
    std::vector<QByteArray> bytes;
    std::vector<const char*> values;

    void add(const QString& text) { bytes.push_back(text.toUtf8()); }
    void add(const QStringList& texts) {
        for (const QString& t : texts) {
            add(t);
        }
    }
    const char* const* finish() {
        values.clear();
        for (const QByteArray& b : bytes) {
            values.push_back(b.constData());
        }
        return values.data();
    }
    int count() const { return int(bytes.size()); }
};

struct ResultGuard {
    PGresult* r;
    ~ResultGuard() { PQclear(r); }
};

QString insertStatement(int rows) {
    QString sql =
        QStringLiteral("insert into seznam (kod,kods,nazev,cena,text1,text2,text3) values");
    int n = 1;
    for (int r = 0; r < rows; ++r) {
        sql += r == 0 ? QStringLiteral("(") : QStringLiteral(",(");
        for (int v = 0; v < kValues; ++v, ++n) {
            sql += (v == 0 ? QStringLiteral("$") : QStringLiteral(",$")) + QString::number(n);
        }
        sql += QLatin1Char(')');
    }
    return sql;
}

} // namespace

// "select * from seznam" in key order, one row at a time (libpq's single-row mode).
class PgStore::Rows : public RowStream {
  public:
    explicit Rows(PgStore& store) : store_(store) {
        PGconn* c = store.conn_;
        // The columns by name: a table made by hand may hold them in another order.
        if (!PQsendQuery(c, "select id,kod,kods,nazev,cena,text1,text2,text3 from seznam order by "
                            "id") ||
            !PQsetSingleRowMode(c)) {
            store.fail(serverText(PQerrorMessage(c)));
        }
        store.flushSent();
        if (!fetch()) {
            return;
        }
        for (int i = 0; i < PQnfields(pending_); ++i) {
            names_.append(QString::fromUtf8(PQfname(pending_, i)));
        }
        keyColumn_ = PQfnumber(pending_, "id");
    }
    ~Rows() override {
        PQclear(pending_);
        drain();
    }

    const QStringList& fieldNames() const override { return names_; }
    // The field named id.
    std::optional<qint64> key() const override { return key_; }

    bool next(QStringList& row) override {
        if (!pending_ && !fetch()) {
            return false;
        }
        if (PQresultStatus(pending_) != PGRES_SINGLE_TUPLE) {
            PQclear(pending_);
            pending_ = nullptr;
            drain();
            return false;
        }
        if (keyColumn_ >= 0) {
            key_ = QByteArray(PQgetvalue(pending_, 0, keyColumn_)).toLongLong();
        }
        row.clear();
        const int fields = PQnfields(pending_);
        row.reserve(fields);
        for (int i = 0; i < fields; ++i) {
            // A null reads as the empty text.
            row.append(QString::fromUtf8(PQgetvalue(pending_, 0, i), PQgetlength(pending_, 0, i)));
        }
        PQclear(pending_);
        pending_ = nullptr;
        return true;
    }

  private:
    // The next result into pending_; false once the query is complete. Throws on failure.
    bool fetch() {
        if (done_) {
            return false;
        }
        pending_ = store_.nextResult();
        if (!pending_) {
            done_ = true;
            return false;
        }
        const ExecStatusType s = PQresultStatus(pending_);
        if (s != PGRES_SINGLE_TUPLE && s != PGRES_TUPLES_OK) {
            const QString msg = serverText(PQresultErrorMessage(pending_));
            const QByteArray state(PQresultErrorField(pending_, PG_DIAG_SQLSTATE));
            PQclear(pending_);
            pending_ = nullptr;
            drain();
            store_.fail(msg, state.isEmpty() ? nullptr : state.constData());
        }
        return true;
    }
    void drain() {
        while (!done_) {
            if (!store_.conn_) {
                done_ = true;
                break;
            }
            PGresult* r = nullptr;
            try {
                r = store_.nextResult();
            } catch (const DatabaseError&) {
                // The connection went with the deadline; nothing more will come.
            }
            if (!r) {
                done_ = true;
            }
            PQclear(r);
        }
    }

    PgStore& store_;
    PGresult* pending_ = nullptr;
    bool done_ = false;
    QStringList names_;
    int keyColumn_ = -1;
    std::optional<qint64> key_;
};

PgStore::PgStore(QString conninfo) : conninfo_(std::move(conninfo)) {}

PgStore::~PgStore() {
    dropPendingConnection();
    if (conn_) {
        PQfinish(conn_);
    }
}

QString PgStore::shownConninfo(const QString& conninfo) {
    QString shown = conninfo;
    shown.replace(QRegularExpression(QStringLiteral("password\\s*=\\s*('([^'\\\\]|\\\\.)*'|\\S*)")),
                  QStringLiteral("password=***"));
    shown.replace(QRegularExpression(QStringLiteral("(://[^:/@]*):[^@/]*@")),
                  QStringLiteral("\\1:***@"));
    return shown;
}

pg_conn* PgStore::startConnecting(bool wait) const {
    const QByteArray info = conninfo_.toUtf8();
    // Ours first, so the same keys in the user's connection string win; a server that does
    // not answer must not freeze the window for minutes.
    // A network that stops carrying packets is noticed by the system too: keepalives on an idle
    // connection and a limit on unanswered data while a command runs.
    const QByteArray userTimeout = QByteArray::number(commandTimeoutMs_);
    const QByteArray connectTimeout = QByteArray::number(kConnectTimeoutS);
    const char* const keys[] = {"connect_timeout",     "keepalives",       "keepalives_idle",
                                "keepalives_interval", "keepalives_count", "tcp_user_timeout",
                                "application_name",    "dbname",           nullptr};
    const char* const values[] = {
        connectTimeout.constData(), "1",    "15", "5", "3", userTimeout.constData(), "dravelin",
        info.constData(),           nullptr};
    pg_conn* c = wait ? PQconnectdbParams(keys, values, 1) : PQconnectStartParams(keys, values, 1);
    if (!c) {
        throw DatabaseError(QStringLiteral("out of memory"));
    }
    if (PQstatus(c) == CONNECTION_BAD) {
        const QString msg = serverText(PQerrorMessage(c));
        PQfinish(c);
        throw DatabaseError(msg);
    }
    return c;
}

void PgStore::dropPendingConnection() {
    if (pending_) {
        PQfinish(pending_);
        pending_ = nullptr;
    }
}

void PgStore::connect() {
    dropPendingConnection();
    if (conn_) {
        PQfinish(conn_);
        conn_ = nullptr;
    }
    conn_ = startConnecting(true);
    setUp();
}

void PgStore::setUp() {
    // The server's notices ("relation seznam already exists, skipping") are no news to anyone;
    // libpq would print them on standard error.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    // Texts travel as UTF-8 whatever the server's own encoding.
    if (PQsetClientEncoding(conn_, "UTF8") != 0) {
        fail(serverText(PQerrorMessage(conn_)));
    }
    // Every command waits for the server's answer itself, so that it can give up in time.
    if (PQsetnonblocking(conn_, 1) != 0) {
        fail(serverText(PQerrorMessage(conn_)));
    }
    try {
        exec(kCreateTable);
    } catch (const DatabaseError&) {
        // Two workstations creating the table at the same moment: one of them loses the race
        // with a duplicate-name error, and the table is there all the same.
        if (PQstatus(conn_) != CONNECTION_OK) {
            throw;
        }
        ResultGuard r{run("select to_regclass('seznam') is not null", 0, nullptr)};
        if (PQresultStatus(r.r) != PGRES_TUPLES_OK || PQntuples(r.r) != 1 ||
            QByteArray(PQgetvalue(r.r, 0, 0)) != "t") {
            throw;
        }
    }
    exec("listen seznam");
    ownPid_ = PQbackendPID(conn_);
}

void PgStore::fail(const QString& serverMessage, const char* sqlState) {
    // Connection exceptions and the server shutting down count as lost, also before libpq has
    // seen the socket close.
    const QByteArray state(sqlState ? sqlState : "");
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK || state.startsWith("08") ||
        state.startsWith("57P")) {
        throw DatabaseError(QStringLiteral("Spojení se serverem seznamu se přerušilo: ") +
                            serverMessage);
    }
    throw DatabaseError(serverMessage);
}

void PgStore::ensureConnected() {
    if (!conn_) {
        connect();
        return;
    }
    // Reading what is waiting notices a connection the server has closed meanwhile.
    if (PQstatus(conn_) == CONNECTION_OK) {
        PQconsumeInput(conn_);
    }
    if (PQstatus(conn_) == CONNECTION_OK) {
        return;
    }
    // One attempt to reconnect, then the command fails.
    dropPendingConnection();
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) {
        fail(serverText(PQerrorMessage(conn_)));
    }
    setUp();
}

void PgStore::exec(const char* sql, const QStringList& params) {
    Params p;
    p.add(params);
    const char* const* values = p.finish();
    ResultGuard r{run(sql, p.count(), values)};
    const ExecStatusType s = PQresultStatus(r.r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) {
        fail(serverText(r.r ? PQresultErrorMessage(r.r) : PQerrorMessage(conn_)),
             PQresultErrorField(r.r, PG_DIAG_SQLSTATE));
    }
}

template <typename Body> void PgStore::changeInTransaction(Body&& body) {
    ensureConnected();
    exec("begin");
    try {
        body();
        // Delivered to the other workstations only when the change commits.
        exec("select pg_notify($1, '')", {QString::fromLatin1(kChannel)});
    } catch (...) {
        if (conn_ && PQstatus(conn_) == CONNECTION_OK) {
            try {
                exec("rollback");
            } catch (const DatabaseError&) {
                // A connection that goes now takes the open transaction with it.
            }
        }
        throw;
    }
    try {
        exec("commit");
    } catch (const DatabaseError& e) {
        // The commit went out and its answer did not come back: the server may have committed.
        if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
            throw DatabaseOutcomeUnknown(e.text());
        }
        throw;
    }
}

bool PgStore::waitSocket(bool forWrite) {
    pollfd p{PQsocket(conn_), short(POLLIN | (forWrite ? POLLOUT : 0)), 0};
    const QDeadlineTimer deadline(commandTimeoutMs_);
    for (;;) {
        const int rc = ::poll(&p, 1, int(deadline.remainingTime()));
        if (rc != -1 || errno != EINTR) {
            // A failing poll is left to libpq to report.
            return rc != 0;
        }
    }
}

void PgStore::timedOut() {
    // Dropping the connection cancels without waiting for an answer: the server rolls back
    // what was not committed once it finds the connection gone.
    PQfinish(conn_);
    conn_ = nullptr;
    throw DatabaseTimeout();
}

void PgStore::flushSent() {
    for (;;) {
        const int rc = PQflush(conn_);
        if (rc == 0) {
            return;
        }
        if (rc < 0) {
            fail(serverText(PQerrorMessage(conn_)));
        }
        if (!waitSocket(true)) {
            timedOut();
        }
        PQconsumeInput(conn_);
    }
}

PGresult* PgStore::nextResult() {
    while (PQisBusy(conn_)) {
        if (!waitSocket(false)) {
            timedOut();
        }
        if (!PQconsumeInput(conn_)) {
            break; // PQgetResult reports the broken connection
        }
    }
    return PQgetResult(conn_);
}

PGresult* PgStore::run(const char* sql, int count, const char* const* values) {
    if (!PQsendQueryParams(conn_, sql, count, nullptr, values, nullptr, nullptr, 0)) {
        return nullptr;
    }
    flushSent();
    // The last result, as a blocking call would give it.
    PGresult* last = nullptr;
    try {
        while (PGresult* r = nextResult()) {
            PQclear(last);
            last = r;
        }
    } catch (...) {
        PQclear(last);
        throw;
    }
    return last;
}

std::unique_ptr<RowStream> PgStore::openRows() {
    ensureConnected();
    return std::make_unique<Rows>(*this);
}

void PgStore::addCopies(const QStringList& values, int copies) {
    if (copies < 1) {
        return;
    }
    refuseNul(values);
    // One statement: all copies arrive, in order, or none.
    changeInTransaction([&] {
        QStringList params = values;
        params.append(QString::number(copies));
        exec("insert into seznam (kod,kods,nazev,cena,text1,text2,text3) "
             "select $1,$2,$3,$4,$5,$6,$7 from generate_series(1, $8::integer)",
             params);
    });
}

void PgStore::clear() {
    changeInTransaction([&] { exec("delete from seznam"); });
}

void PgStore::deleteRecord(qint64 key) {
    changeInTransaction(
        [&] { exec("delete from seznam where id = $1::bigint", {QString::number(key)}); });
}

void PgStore::replaceAll(const RowSource& source) {
    changeInTransaction([&] {
        exec("delete from seznam");
        insertRows(source);
    });
}

void PgStore::appendAll(const RowSource& source) {
    changeInTransaction([&] { insertRows(source); });
}

void PgStore::insertRows(const RowSource& source) {
    const QByteArray full = insertStatement(kRowsPerInsert).toUtf8();
    Params p;
    int rows = 0;
    auto flush = [&] {
        const QByteArray sql = rows == kRowsPerInsert ? full : insertStatement(rows).toUtf8();
        const char* const* values = p.finish();
        ResultGuard r{run(sql.constData(), p.count(), values)};
        if (PQresultStatus(r.r) != PGRES_COMMAND_OK) {
            fail(serverText(r.r ? PQresultErrorMessage(r.r) : PQerrorMessage(conn_)),
                 PQresultErrorField(r.r, PG_DIAG_SQLSTATE));
        }
        p = Params();
        rows = 0;
    };
    QStringList values;
    for (int line = 1; source(values); ++line) {
        if (values.size() != kValues) {
            throw DatabaseError(QStringLiteral("a label has seven values"));
        }
        refuseNul(values, line);
        p.add(values);
        if (++rows == kRowsPerInsert) {
            flush();
        }
    }
    if (rows > 0) {
        flush();
    }
}

void PgStore::restoreRows(const std::vector<qint64>& drop, const std::vector<KeyedRow>& rows) {
    changeInTransaction([&] {
        for (const qint64 key : drop) {
            exec("delete from seznam where id = $1::bigint", {QString::number(key)});
        }
        for (const KeyedRow& r : rows) {
            // The server's keys only grow, so a record on a returning key is a rare guest: it
            // takes a new key, at the end of the list.
            exec("update seznam set id = default where id = $1::bigint", {QString::number(r.key)});
            exec("insert into seznam (id,kod,kods,nazev,cena,text1,text2,text3) overriding system "
                 "value values ($1::bigint,$2,$3,$4,$5,$6,$7,$8)",
                 QStringList{QString::number(r.key)} + r.values);
        }
    });
}

bool PgStore::catchUp() {
    if (conn_ && PQstatus(conn_) == CONNECTION_OK) {
        PQconsumeInput(conn_);
    }
    // Notices sent while the connection was down are lost with it: the list is read again.
    bool lost = renewed_ || !conn_ || PQstatus(conn_) != CONNECTION_OK;
    if (!lost) {
        // One round trip: the server sends the notices of every change committed before it
        // ahead of its answer, so a change made a moment ago is not missed.
        try {
            exec("select 1");
        } catch (const DatabaseTimeout&) {
            throw;
        } catch (const DatabaseError&) {
            // A server that went away since: connected again below, the list read anew.
            lost = true;
        }
    }
    ensureConnected();
    if (lost || takeChanges()) {
        reload();
        renewed_ = false;
        return true;
    }
    return false;
}

Store::ReconnectWait PgStore::reconnectStep() {
    if (conn_ && PQstatus(conn_) == CONNECTION_OK) {
        // A command made the connection meanwhile.
        dropPendingConnection();
        return {};
    }
    if (!pending_) {
        pending_ = startConnecting(false);
        // No longer than a command would wait for its answer.
        pendingDeadline_ = QDeadlineTimer(std::min(kConnectTimeoutS * 1000, commandTimeoutMs_));
        // libpq's first step waits until the socket can be written.
        return {PQsocket(pending_), true, int(pendingDeadline_.remainingTime())};
    }
    if (pendingDeadline_.hasExpired()) {
        dropPendingConnection();
        throw DatabaseTimeout();
    }
    switch (PQconnectPoll(pending_)) {
    case PGRES_POLLING_READING:
        return {PQsocket(pending_), false, int(pendingDeadline_.remainingTime())};
    case PGRES_POLLING_WRITING:
        return {PQsocket(pending_), true, int(pendingDeadline_.remainingTime())};
    case PGRES_POLLING_OK:
        break;
    default: {
        const QString msg = serverText(PQerrorMessage(pending_));
        dropPendingConnection();
        throw DatabaseError(msg);
    }
    }
    if (conn_) {
        PQfinish(conn_);
    }
    conn_ = pending_;
    pending_ = nullptr;
    renewed_ = true;
    // Creating the table and listening take a moment on a server that has just answered.
    setUp();
    return {};
}

int PgStore::changeSocket() {
    return conn_ && PQstatus(conn_) == CONNECTION_OK ? PQsocket(conn_) : -1;
}

bool PgStore::takeChanges() {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        return false;
    }
    PQconsumeInput(conn_);
    bool changed = false;
    while (PGnotify* n = PQnotifies(conn_)) {
        if (n->be_pid != ownPid_) {
            changed = true;
        }
        PQfreemem(n);
    }
    return changed;
}

} // namespace printlist
