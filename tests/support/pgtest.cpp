#include "support/pgtest.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <libpq-fe.h>

#include <atomic>
#include <stdexcept>

namespace {

void run(const QString& conninfo, const QString& sql) {
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        const std::string msg = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("test server: " + msg);
    }
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    const ExecStatusType s = PQresultStatus(r);
    const std::string msg = PQresultErrorMessage(r);
    PQclear(r);
    PQfinish(c);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) {
        throw std::runtime_error("test server: " + sql.toStdString() + ": " + msg);
    }
}

} // namespace

QString pgClusterConninfo() {
    const QString env = qEnvironmentVariable("DRAVELIN_PG_CONNINFO");
    if (!env.isEmpty()) {
        return env;
    }
    QFile file(QStringLiteral(DRAVELIN_BUILD_DIR "/pg/conninfo"));
    if (file.open(QIODevice::ReadOnly)) {
        const QString info = QString::fromUtf8(file.readAll()).trimmed();
        if (!info.isEmpty()) {
            return info;
        }
    }
    throw std::runtime_error(
        "no PostgreSQL test server: DRAVELIN_PG_CONNINFO is not set; ./test.sh "
        "starts one (or tools/pgcluster.sh start " DRAVELIN_BUILD_DIR ")");
}

QString pgCluster(const char* action, const QString& name) {
    QProcess p;
    p.start(QStringLiteral(DRAVELIN_PGCLUSTER),
            {QString::fromLatin1(action), QStringLiteral(DRAVELIN_BUILD_DIR), name});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        throw std::runtime_error(std::string("pgcluster.sh ") + action +
                                 " failed: " + p.readAllStandardError().toStdString());
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

PgTestDatabase::PgTestDatabase() {
    static std::atomic<int> counter{0};
    name_ = QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    const QString base = pgClusterConninfo();
    run(base, QStringLiteral("drop database if exists %1").arg(name_));
    run(base, QStringLiteral("create database %1").arg(name_));
    // A later keyword overrides an earlier one in a connection string.
    conninfo_ = base + QStringLiteral(" dbname=") + name_;
}

PgTestDatabase::~PgTestDatabase() {
    try {
        run(pgClusterConninfo(),
            QStringLiteral("drop database if exists %1 with (force)").arg(name_));
    } catch (const std::exception&) {
        // The server may be down after a test that stopped it; the cluster goes with the run.
    }
}

void PgTestDatabase::exec(const QString& sql) const {
    run(conninfo_, sql);
}
