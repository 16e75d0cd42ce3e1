// The preview as the user meets it: time from the print command to the first page on screen,
// for short and long lists, and the whole preview run of 100,000 labels with the window open.
#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/designdpi.h"
#include "platform/fontsubstitutes.h"
#include "printlist/rowset.h"
#include "settings/layoutsettings.h"

#include "peakmemory.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

printlist::RowSet rows(int n) {
    QStringList names;
    for (const QString& s : settings::slotNames()) {
        names << s;
    }
    std::vector<QStringList> data;
    data.reserve(size_t(n));
    for (int i = 1; i <= n; ++i) {
        const QString k = QString::number(100000 + i);
        data.push_back({"*" + k + "*", k, QStringLiteral("Rohlík tmavý %1").arg(i),
                        QStringLiteral("12,50 Kč"), QString(), QString(), QString()});
    }
    return printlist::RowSet(names, std::move(data));
}

// One print command: the preview opens, the run lays the list out while the window shows
// pages, and the window is closed as soon as the run has finished.
void BM_Preview(benchmark::State& state) {
    printlist::RowSet list = rows(int(state.range(0)));
    double firstPageMs = 0;
    double wholeRunMs = 0;
    for (auto _ : state) {
        wholeRunMs = 0;
        labelprint::Ttiskf tiskf(list);
        tiskf.qr1.takeSettings(settings::LayoutSettings());
        QElapsedTimer clock;
        double first = -1;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            labelprint::PreviewWindow* w = tiskf.previewWindow();
            if (!w) {
                return;
            }
            if (first < 0 && w->pageShown()) {
                first = double(clock.nsecsElapsed()) / 1e6;
            }
            if (wholeRunMs == 0 && tiskf.previewDocument() &&
                tiskf.previewDocument()->status() ==
                    labelprint::PreviewDocument::Status::Finished) {
                wholeRunMs = double(clock.nsecsElapsed()) / 1e6;
            }
            if (wholeRunMs > 0 && first >= 0) {
                w->close();
            }
        });
        watch.start(0);
        clock.start();
        tiskf.preview();
        firstPageMs = first;
    }
    state.counters["first_page_ms"] = firstPageMs;
    state.counters["whole_run_ms"] = wholeRunMs;
    state.counters["peak_rss_MiB"] = peakMegabytes();
}
BENCHMARK(BM_Preview)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    platform::setDesignDpi(96);
    platform::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
