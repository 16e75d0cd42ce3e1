// dravelin-batch --import of a shop's price list of 10,000 and 100,000 rows: CSV into seznam.db
// and into the server's list, and XLSX into seznam.db. Each run is a child process, so each
// size reports its own peak memory (the child's maximum resident set): the rows are streamed
// and added in one transaction, so 100,000 rows should need hardly more memory than 10,000.
// Goals: CSV under 3 s each, XLSX under 10 s, for 100,000 rows. The server is the one
// DRAVELIN_PG_CONNINFO names (tools/pgcluster.sh start BUILD prints it).
#include "childrun.h"
#include "seznam_schema.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

// big<rows>.csv and big<rows>.xlsx, made once by the test fixtures' script.
QString priceList(long long rows, const char* ext) {
    const QString csv = workDir().filePath(QStringLiteral("big%1.csv").arg(rows));
    if (!QFile::exists(csv)) {
        const int rc = QProcess::execute(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(DRAVELIN_SOURCE_DIR "/tests/printlist/make_pricelists.py"),
             QStringLiteral("big"), workDir().path(), QString::number(rows)});
        if (rc != 0) {
            throw std::runtime_error("make_pricelists.py big failed");
        }
    }
    return workDir().filePath(QStringLiteral("big%1.%2").arg(rows).arg(QLatin1String(ext)));
}

QString freshDatabase() {
    const QString path = workDir().filePath(QStringLiteral("seznam.db"));
    QFile::remove(path);
    sqlite3* handle = nullptr;
    const QByteArray p = path.toUtf8();
    if (sqlite3_open(p.constData(), &handle) != SQLITE_OK ||
        sqlite3_exec(handle, kSeznamTableSql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(handle);
        throw std::runtime_error("cannot create seznam.db");
    }
    sqlite3_close(handle);
    return path;
}

void runOnServer(const QString& conninfo, const char* sql) {
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    PGresult* r = PQexec(c, sql);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const std::string msg = PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
    if (!ok) {
        throw std::runtime_error("benchmark server: " + msg);
    }
}

QString freshServer() {
    const QString base = qEnvironmentVariable("DRAVELIN_PG_CONNINFO");
    if (base.isEmpty()) {
        throw std::runtime_error("DRAVELIN_PG_CONNINFO is not set");
    }
    runOnServer(base, "drop database if exists dravelin_bench_import with (force)");
    runOnServer(base, "create database dravelin_bench_import");
    return base + QStringLiteral(" dbname=dravelin_bench_import");
}

using bench::ChildRun;

ChildRun runBatch(const QStringList& args) {
    return bench::runChild(DRAVELIN_BATCH_EXE, args);
}

const QStringList kMapping = {"--map",       "kod=Kód",    "--map",        "nazev=Název",
                              "--price",     "cena=Cena",  "--unit-price", "text1=Cena,Balení,MJ",
                              "--sale-line", "text2=Akce", "--copies",     "Počet"};

enum class Target { Sqlite, Server };

void importRows(benchmark::State& state, const char* ext, Target target) {
    const long long rows = state.range(0);
    const QString file = priceList(rows, ext);
    const QString settings = workDir().filePath(QStringLiteral("defaults"));
    QDir().mkpath(settings);
    ChildRun last;
    for (auto _ : state) {
        state.PauseTiming();
        const QStringList into = target == Target::Sqlite
                                     ? QStringList{"--add-to-db", freshDatabase()}
                                     : QStringList{"--add-to-server", freshServer()};
        state.ResumeTiming();
        last = runBatch(QStringList{"--quiet", "--import", file, "--settings", settings} +
                        kMapping + into);
        state.SetIterationTime(last.wallSeconds);
        if (!last.ok) {
            state.SkipWithError("dravelin-batch --import failed");
            return;
        }
    }
    state.counters["rows_per_s"] = double(rows) / last.wallSeconds;
    state.counters["peak_rss_MiB"] = last.peakMb;
}

void BM_CsvIntoSeznamDb(benchmark::State& state) {
    importRows(state, "csv", Target::Sqlite);
}
void BM_CsvIntoServer(benchmark::State& state) {
    importRows(state, "csv", Target::Server);
}
void BM_XlsxIntoSeznamDb(benchmark::State& state) {
    importRows(state, "xlsx", Target::Sqlite);
}

} // namespace

BENCHMARK(BM_CsvIntoSeznamDb)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvIntoServer)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsxIntoSeznamDb)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
