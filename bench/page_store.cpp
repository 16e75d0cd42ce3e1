// Recording a long print list into the page store through the layout run and the preview
// surface (100,000 labels at the default layout: 180 labels a page, 556 pages), and reading one
// page back from the middle of the store.
#include "labelprint/emfplayer.h"
#include "labelprint/labelreport.h"
#include "labelprint/pagestore.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "platform/designdpi.h"
#include "printlist/rowset.h"
#include "settings/layoutsettings.h"

#include "benchsupport.h"
#include "peakmemory.h"
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kLabels = 100000;

printlist::RowSet makeRows(int count) {
    const QStringList names = {"kod", "kods", "nazev", "cena", "text1", "text2", "text3"};
    std::vector<QStringList> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const QString code = QString::number(100000 + i);
        rows.push_back({code, "*" + code + "*", QStringLiteral("Zboží číslo %1").arg(i),
                        QStringLiteral("%1,50 Kč").arg(i % 1000), QString(), QString(), QString()});
    }
    return printlist::RowSet(names, std::move(rows));
}

printlist::RowSet& rows() {
    static printlist::RowSet r = makeRows(kLabels);
    return r;
}

std::unique_ptr<labelprint::PreviewDocument> recordRun() {
    labelprint::LabelReport report;
    report.takeSettings(settings::LayoutSettings{});
    auto document = std::make_unique<labelprint::PreviewDocument>();
    labelprint::PreviewSurface surface(*document);
    report.run(rows(), surface);
    return document;
}

void BM_RecordRun(benchmark::State& state) {
    rows(); // the list is built before timing, as the database would hold it
    int pages = 0;
    qint64 bytes = 0;
    bool onDisk = false;
    for (auto _ : state) {
        auto document = recordRun();
        pages = document->pageCount();
        bytes = document->store()->size();
        onDisk = document->store()->onDisk();
        benchmark::DoNotOptimize(document.get());
    }
    state.counters["pages"] = pages;
    state.counters["bytes_per_page"] = double(bytes - labelprint::PageStore::kHeaderLength) / pages;
    state.counters["store_MB"] = bytes / 1e6;
    state.counters["on_disk"] = onDisk;
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_RecordRun)->Unit(benchmark::kMillisecond)->Iterations(3);

labelprint::PreviewDocument& recorded() {
    static std::unique_ptr<labelprint::PreviewDocument> document = recordRun();
    return *document;
}

// Page 300 found by walking the links from page 1, as after a jump from the first page.
void BM_ReadPage300(benchmark::State& state) {
    auto& document = recorded();
    for (auto _ : state) {
        state.PauseTiming();
        document.store()->page(1);
        state.ResumeTiming();
        benchmark::DoNotOptimize(document.store()->page(300));
    }
    state.counters["pages"] = document.pageCount();
}
BENCHMARK(BM_ReadPage300)->Unit(benchmark::kMicrosecond);

// Read and drawn at 100 % as the preview shows it.
void BM_ReadAndPlayPage300(benchmark::State& state) {
    auto& document = recorded();
    QImage image(794, 1123, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        document.store()->page(1);
        state.ResumeTiming();
        const QByteArray page = document.store()->page(300);
        image.fill(Qt::white);
        QPainter painter(&image);
        labelprint::emf::playEmf(page, painter, image.rect());
    }
}
BENCHMARK(BM_ReadAndPlayPage300)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runGuiBenchmarks(argc, argv);
}
