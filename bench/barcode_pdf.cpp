// dravelin-batch writing 100,000 labels into a PDF at the first run's layout, with every slot
// as text and with kods drawn as an EAN-13 (the other slots text), the two taking turns for a
// few rounds in one run. The tool runs as a child process, so each run reports its own peak
// memory; the closing line states the barcode run's rate as a share of the text-only rate, and
// both peaks.
#include "childrun.h"
#include "platform/codepage.h"
#include "platform/designdpi.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

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

// The host's load swings a single run's time by a third, so the two runs alternate for a few
// rounds and the closing line takes the median of each round's ratio.
constexpr int kRounds = 3;
std::vector<ChildRun> textRuns;
std::vector<ChildRun> barcodeRuns;

void toPdf(benchmark::State& state, bool barcodes, std::vector<ChildRun>& figures) {
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
    ChildRun run;
    for (auto _ : state) {
        run = runBatch(args);
        state.SetIterationTime(run.wallSeconds);
        if (!run.ok) {
            state.SkipWithError("dravelin-batch failed");
            return;
        }
    }
    figures.push_back(run);
    state.counters["labels_per_s"] = double(kRows) / run.wallSeconds;
    state.counters["labels_per_cpu_s"] = double(kRows) / run.cpuSeconds;
    state.counters["peak_rss_MB"] = run.peakMb;
    state.counters["pdf_MB"] =
        double(QFile(workDir().filePath(QStringLiteral("labels.pdf"))).size()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    platform::setDesignDpi(96);
    for (int round = 1; round <= kRounds; ++round) {
        const std::string suffix = "/round:" + std::to_string(round);
        benchmark::RegisterBenchmark(("BM_TextOnlyToPdf" + suffix).c_str(),
                                     [](benchmark::State& s) { toPdf(s, false, textRuns); })
            ->Unit(benchmark::kSecond)
            ->UseManualTime()
            ->Iterations(1);
        benchmark::RegisterBenchmark(("BM_Ean13ToPdf" + suffix).c_str(),
                                     [](benchmark::State& s) { toPdf(s, true, barcodeRuns); })
            ->Unit(benchmark::kSecond)
            ->UseManualTime()
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Rounds pair up in order; a filter that ran only one kind leaves nothing to compare.
    const size_t rounds = std::min(textRuns.size(), barcodeRuns.size());
    if (rounds == 0) {
        return 0;
    }
    std::vector<double> wall, cpu, text, barcode, textPeak, barcodePeak;
    for (size_t i = 0; i < rounds; ++i) {
        const ChildRun& t = textRuns[i];
        const ChildRun& b = barcodeRuns[i];
        wall.push_back(t.wallSeconds / b.wallSeconds);
        cpu.push_back(t.cpuSeconds / b.cpuSeconds);
        text.push_back(kRows / t.wallSeconds);
        barcode.push_back(kRows / b.wallSeconds);
        textPeak.push_back(t.peakMb);
        barcodePeak.push_back(b.peakMb);
        std::printf(
            "round %zu: EAN-13 / text only %.2f (CPU time %.2f), peak memory %.1f / %.1f MB\n",
            i + 1, wall.back(), cpu.back(), b.peakMb, t.peakMb);
    }
    std::printf("EAN-13 / text only, median of %zu rounds: %.0f / %.0f labels per second = %.2f "
                "(CPU time: %.2f); peak memory %.1f / %.1f MB\n",
                rounds, median(barcode), median(text), median(wall), median(cpu),
                median(barcodePeak), median(textPeak));
    return 0;
}
