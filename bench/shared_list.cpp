// The print list in seznam.db and on a PostgreSQL server, side by side: adding 999 copies,
// loading a 100,000-row list, importing and exporting a list file of 100,000 lines.
// The server is the one DRAVELIN_PG_CONNINFO names (tools/pgcluster.sh start BUILD prints it);
// the benchmark works in a database of its own there, dravelin_bench.
#include "platform/codepage.h"
#include "printlist/database.h"
#include "printlist/listcommands.h"
#include "printlist/listfile.h"
#include "printlist/pgstore.h"
#include "seznam_schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace {

constexpr int kLines = 100000;

enum class Kind { Sqlite, Server };

void runOnServer(const QString& conninfo, const char* sql) {
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        const std::string msg = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("benchmark server: " + msg);
    }
    PGresult* r = PQexec(c, sql);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    const std::string msg = PQresultErrorMessage(r);
    PQclear(r);
    PQfinish(c);
    if (!ok) {
        throw std::runtime_error("benchmark server: " + msg);
    }
}

// A fresh database dravelin_bench on the server; its connection string.
QString benchServer() {
    const QString base = qEnvironmentVariable("DRAVELIN_PG_CONNINFO");
    if (base.isEmpty()) {
        throw std::runtime_error("DRAVELIN_PG_CONNINFO is not set: start a server with "
                                 "tools/pgcluster.sh start BUILD and export what it prints");
    }
    runOnServer(base, "drop database if exists dravelin_bench with (force)");
    runOnServer(base, "create database dravelin_bench");
    return base + QStringLiteral(" dbname=dravelin_bench");
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<printlist::Store> store;

    explicit Fixture(Kind kind) {
        if (kind == Kind::Sqlite) {
            const QByteArray db = (dir.path() + "/seznam.db").toUtf8();
            sqlite3* handle = nullptr;
            if (sqlite3_open(db.constData(), &handle) != SQLITE_OK ||
                sqlite3_exec(handle, kSeznamTableSql, nullptr, nullptr, nullptr) != SQLITE_OK) {
                sqlite3_close(handle);
                throw std::runtime_error("cannot create seznam.db");
            }
            sqlite3_close(handle);
            store = std::make_unique<printlist::SqliteStore>(dir.path() + "/seznam.db");
        } else {
            store = std::make_unique<printlist::PgStore>(benchServer());
        }
        store->open();
    }
    QString file(const QString& name) const { return dir.path() + "/" + name; }
};

QStringList row(int i) {
    const QString code = QString::number(1000000 + i);
    return {
        code, "*" + code + "*",  "Žluťoučký kůň č. " + QString::number(i), "129,90 Kč", "Příliš",
        "",   "dodavatel: Škoda"};
}

// Fills the list in one replacement, as an import would, without a file in between.
void fill(printlist::Store& store) {
    int next = 0;
    store.replaceAll([&](QStringList& values) {
        if (next == kLines) {
            return false;
        }
        values = row(next++);
        return true;
    });
}

QByteArray listFile() {
    QString text;
    text.reserve(kLines * 80);
    for (int i = 0; i < kLines; ++i) {
        text += row(i).join(';') + "\r\n";
    }
    return platform::toCp1250(text);
}

void BM_Add999Copies(benchmark::State& state, Kind kind) {
    Fixture fx(kind);
    const printlist::LabelEntry entry{"123456", "Žluťoučký kůň", "129,90 Kč", "", "", ""};
    for (auto _ : state) {
        state.PauseTiming();
        printlist::clearList(*fx.store);
        state.ResumeTiming();
        printlist::addLabels(*fx.store, entry, "*", 999);
    }
    state.counters["rows"] = fx.store->listView().rowCount();
}

void BM_Load100000Rows(benchmark::State& state, Kind kind) {
    Fixture fx(kind);
    fill(*fx.store);
    for (auto _ : state) {
        fx.store->reload();
    }
    state.counters["rows"] = fx.store->listView().rowCount();
}

void BM_Import100000Lines(benchmark::State& state, Kind kind) {
    Fixture fx(kind);
    QFile f(fx.file("in.csv"));
    const QByteArray bytes = listFile();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        state.SkipWithError("cannot write the list file");
        return;
    }
    f.close();
    for (auto _ : state) {
        if (printlist::importList(*fx.store, fx.file("in.csv")) !=
            printlist::ImportResult::Imported) {
            state.SkipWithError("import failed");
            return;
        }
    }
    state.counters["rows"] = fx.store->listView().rowCount();
}

void BM_Export100000Lines(benchmark::State& state, Kind kind) {
    Fixture fx(kind);
    fill(*fx.store);
    fx.store->reload();
    for (auto _ : state) {
        printlist::exportList(fx.store->listView(), fx.file("out.csv"));
    }
    state.counters["rows"] = fx.store->listView().rowCount();
}

BENCHMARK_CAPTURE(BM_Add999Copies, seznam_db, Kind::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Add999Copies, server, Kind::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Load100000Rows, seznam_db, Kind::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Load100000Rows, server, Kind::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Import100000Lines, seznam_db, Kind::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Import100000Lines, server, Kind::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Export100000Lines, seznam_db, Kind::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Export100000Lines, server, Kind::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
