// Speed and peak memory of the list commands on large lists: export and import of a
// 100,000-line list file, and adding 999 copies with one commit per insert.
#include "platform/codepage.h"
#include "printlist/database.h"
#include "printlist/listcommands.h"
#include "printlist/listfile.h"
#include "seznam_schema.h"

#include "peakmemory.h"
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>

namespace {

constexpr int kLines = 100000;

// A fresh program directory with an empty seznam.db and a store opened on it.
struct Fixture {
    QTemporaryDir dir;
    printlist::SqliteStore store;

    Fixture() {
        const QByteArray db = (dir.path() + "/seznam.db").toUtf8();
        sqlite3* handle = nullptr;
        if (sqlite3_open(db.constData(), &handle) != SQLITE_OK ||
            sqlite3_exec(handle, kSeznamTableSql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_close(handle);
            throw std::runtime_error("cannot create seznam.db");
        }
        sqlite3_close(handle);
        store.open(dir.path() + "/seznam.db");
    }
    QString file(const QString& name) const { return dir.path() + "/" + name; }
};

// A typical label line with Czech texts; every line differs in its code.
QByteArray listFile() {
    QString text;
    text.reserve(kLines * 80);
    for (int i = 0; i < kLines; ++i) {
        const QString code = QString::number(1000000 + i);
        text += code + ";*" + code + "*;Žluťoučký kůň č. " + QString::number(i) +
                ";129,90 Kč;Příliš;;dodavatel: Škoda\r\n";
    }
    return platform::toCp1250(text);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write list file");
    }
}

// Fills seznam straight through the engine in one transaction, so the set-up holds nothing
// but the one list view that the export reads.
void fillTable(const QString& dbPath) {
    sqlite3* db = nullptr;
    const QByteArray path = dbPath.toUtf8();
    if (sqlite3_open(path.constData(), &db) != SQLITE_OK) {
        throw std::runtime_error("cannot open seznam.db");
    }
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into seznam(kod,kods,nazev,cena,text1,text2,text3) "
                       "values(?,?,?,?,?,?,?)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < kLines; ++i) {
        const QByteArray code = QByteArray::number(1000000 + i);
        const QByteArray values[7] = {code,
                                      "*" + code + "*",
                                      "Žluťoučký kůň č. " + QByteArray::number(i),
                                      "129,90 Kč",
                                      "Příliš",
                                      "",
                                      "dodavatel: Škoda"};
        for (int v = 0; v < 7; ++v) {
            sqlite3_bind_text(stmt, v + 1, values[v].constData(), int(values[v].size()),
                              SQLITE_TRANSIENT);
        }
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_ExportList(benchmark::State& state) {
    const double before = peakMegabytes();
    auto fx = std::make_unique<Fixture>();
    fillTable(fx->file("seznam.db"));
    fx->store.reload();
    const double loaded = peakMegabytes();
    for (auto _ : state) {
        printlist::exportList(fx->store.listView(), fx->file("out.csv"));
    }
    state.counters["lines"] = fx->store.listView().rowCount();
    state.counters["file_MiB"] = double(QFile(fx->file("out.csv")).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB_before"] = before;
    state.counters["peak_rss_MiB_view_loaded"] = loaded;
    state.counters["peak_rss_MiB"] = peakMegabytes();
}
BENCHMARK(BM_ExportList)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ImportList(benchmark::State& state) {
    const double before = peakMegabytes();
    Fixture fx;
    writeFile(fx.file("in.csv"), listFile());
    for (auto _ : state) {
        if (printlist::importList(fx.store, fx.file("in.csv")) !=
            printlist::ImportResult::Imported) {
            state.SkipWithError("import failed");
            return;
        }
    }
    state.counters["lines"] = fx.store.listView().rowCount();
    state.counters["peak_rss_MiB_before"] = before;
    state.counters["peak_rss_MiB"] = peakMegabytes();
}
BENCHMARK(BM_ImportList)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Add999Copies(benchmark::State& state) {
    Fixture fx;
    const printlist::LabelEntry entry{"123456", "Žluťoučký kůň", "129,90 Kč", "", "", ""};
    for (auto _ : state) {
        state.PauseTiming();
        printlist::clearList(fx.store);
        state.ResumeTiming();
        printlist::addLabels(fx.store, entry, "*", 999);
    }
    state.counters["rows"] = fx.store.listView().rowCount();
    state.counters["peak_rss_MiB"] = peakMegabytes();
}
BENCHMARK(BM_Add999Copies)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
