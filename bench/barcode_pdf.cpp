// dravelin-batch writing 100,000 labels into a PDF at the first run's layout, once with every
// slot as text and once with kods drawn as an EAN-13 (the other slots text), in one run. The
// tool runs as a child process, so each run reports its own peak memory; the closing line
// states the barcode run's rate as a share of the text-only rate, and both peaks.
#include "childrun.h"
#include "platform/codepage.h"
#include "platform/designdpi.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr long long kRows = 100000;

// "859" and nine digits: a different valid EAN-13 on every label once the check digit is added.
QString code(long long i) {
    return QStringLiteral("859%1").arg(100000000 + i);
}

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

QString listFile() {
    const QString path = workDir().filePath(QStringLiteral("list.csv"));
    if (QFile::exists(path)) {
        return path;
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QString chunk;
    for (long long i = 0; i < kRows; ++i) {
        chunk += code(i) + QStringLiteral(";*") + code(i) +
                 QStringLiteral("*;Rohlík tukový %1;%2,50 Kč;;;\r\n").arg(i % 97).arg(i % 40);
        if (chunk.size() > 1 << 20 || i + 1 == kRows) {
            file.write(platform::toCp1250(chunk));
            chunk.clear();
        }
    }
    return path;
}

using bench::ChildRun;

ChildRun runBatch(const QStringList& args) {
    return bench::runChild(DRAVELIN_BATCH_EXE, args);
}

ChildRun textRun;
ChildRun barcodeRun;

void toPdf(benchmark::State& state, bool barcodes, ChildRun& figures) {
    const QString settings = workDir().filePath(QStringLiteral("defaults"));
    QDir().mkpath(settings); // no dravelin.ini: the layout of a first run
    QStringList args{"--quiet",
                     "--list",
                     listFile(),
                     "--settings",
                     settings,
                     "--pdf",
                     workDir().filePath(QStringLiteral("labels.pdf"))};
    if (barcodes) {
        args << "--barcode"
             << "kods=ean13,x=0.33,h=8";
    }
    for (auto _ : state) {
        figures = runBatch(args);
        state.SetIterationTime(figures.wallSeconds);
        if (!figures.ok) {
            state.SkipWithError("dravelin-batch failed");
            return;
        }
    }
    state.counters["labels_per_s"] = double(kRows) / figures.wallSeconds;
    state.counters["labels_per_cpu_s"] = double(kRows) / figures.cpuSeconds;
    state.counters["peak_rss_MB"] = figures.peakMb;
    state.counters["pdf_MB"] =
        double(QFile(workDir().filePath(QStringLiteral("labels.pdf"))).size()) / 1e6;
}

void BM_TextOnlyToPdf(benchmark::State& state) {
    toPdf(state, false, textRun);
}
void BM_Ean13ToPdf(benchmark::State& state) {
    toPdf(state, true, barcodeRun);
}

} // namespace

BENCHMARK(BM_TextOnlyToPdf)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_Ean13ToPdf)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    platform::setDesignDpi(96);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (textRun.ok && barcodeRun.ok) {
        std::printf("EAN-13 / text only: %.0f / %.0f labels per second = %.2f (CPU time: %.2f); "
                    "peak memory %.1f / %.1f MB\n",
                    kRows / barcodeRun.wallSeconds, kRows / textRun.wallSeconds,
                    textRun.wallSeconds / barcodeRun.wallSeconds,
                    textRun.cpuSeconds / barcodeRun.cpuSeconds, barcodeRun.peakMb, textRun.peakMb);
    }
    return 0;
}
