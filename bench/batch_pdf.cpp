// dravelin-batch writing 100,000 and 1,000,000 labels into a PDF in one run each, next to a
// plain loop that paints the same frame and four text lines straight into a QPdfWriter. The
// tool runs as a child process, so each size reports its own peak memory (the child's maximum
// resident set); labels per second are given for the wall clock and for the CPU time the run
// used, since the machine may be shared. The closing lines state the ratio to the plain loop at
// each size and how the time grows from 100,000 to 1,000,000 labels.
#include "childrun.h"
#include "labelprint/units.h"
#include "platform/codepage.h"
#include "platform/designdpi.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString labelText(long long i, int field) {
    const QString code = QString::number(100000 + i);
    switch (field) {
    case 0:
        return code;
    case 1:
        return "*" + code + "*";
    case 2:
        return QStringLiteral("Rohlík tukový %1").arg(i % 97);
    default:
        return QStringLiteral("%1,50 Kč").arg(i % 40);
    }
}

// The list file of `rows` labels, written once per size.
QString listFile(const QTemporaryDir& dir, long long rows) {
    const QString path = dir.filePath(QStringLiteral("list%1.csv").arg(rows));
    if (QFile::exists(path)) {
        return path;
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QString chunk;
    for (long long i = 0; i < rows; ++i) {
        chunk += labelText(i, 0) + ';' + labelText(i, 1) + ';' + labelText(i, 2) + ';' +
                 labelText(i, 3) + QStringLiteral(";;;\r\n");
        if (chunk.size() > 1 << 20 || i + 1 == rows) {
            file.write(platform::toCp1250(chunk));
            chunk.clear();
        }
    }
    return path;
}

using bench::ChildRun;

ChildRun runBatch(const QByteArray& exe, const QStringList& args) {
    return bench::runChild(exe, args);
}

struct Figures {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};
std::map<long long, Figures> batchFigures;
std::map<long long, Figures> plainFigures;
std::map<long long, Figures> baselineFigures;

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

// Runs `exe` over a list of state.range(0) labels at the first run's layout.
void batchToPdf(benchmark::State& state, const QByteArray& exe,
                std::map<long long, Figures>& figures) {
    const long long rows = state.range(0);
    const QString list = listFile(workDir(), rows);
    const QString settings = workDir().filePath(QStringLiteral("defaults"));
    QDir().mkpath(settings); // no dravelin.ini: the layout of a first run
    ChildRun last;
    double wall = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        last = runBatch(exe, {"--quiet", "--list", list, "--settings", settings, "--pdf",
                              workDir().filePath(QStringLiteral("batch.pdf"))});
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        if (!last.ok) {
            state.SkipWithError("dravelin-batch failed");
            return;
        }
    }
    figures[rows] = {wall, last.cpuSeconds};
    state.counters["labels_per_s"] = double(rows) / wall;
    state.counters["labels_per_cpu_s"] = double(rows) / last.cpuSeconds;
    state.counters["peak_rss_MB"] = last.peakMb;
    QFile::remove(workDir().filePath(QStringLiteral("batch.pdf")));
}

void BM_BatchToPdf(benchmark::State& state) {
    batchToPdf(state, DRAVELIN_BATCH_EXE, batchFigures);
}

// Another build of the tool named by DRAVELIN_BENCH_BASELINE (an earlier commit, say), measured
// in the same run for a side-by-side figure.
void BM_BaselineBatchToPdf(benchmark::State& state) {
    batchToPdf(state, qgetenv("DRAVELIN_BENCH_BASELINE"), baselineFigures);
}

// The same sheet without the label report: 10 columns of 18 labels, 188 x 150 tenths apart.
void BM_PlainPdfWriterLoop(benchmark::State& state) {
    const long long rows = state.range(0);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        {
            QPdfWriter writer(workDir().filePath(QStringLiteral("plain.pdf")));
            writer.setResolution(1200);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter(&writer);
            QFont font("MS Sans Serif");
            font.setPointSize(8);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const auto dev = [](double tenths) { return labelprint::lengthToDevice(tenths, 1200); };
            const int t = 17;
            const int tops[] = {dev(10.58), dev(68.79), dev(100.54), dev(-10.58)};
            for (long long i = 0; i < rows; ++i) {
                const int onPage = int(i % 180);
                if (i > 0 && onPage == 0) {
                    writer.newPage();
                }
                const int x = dev(100 + 188 * (onPage / 18));
                const int y = dev(100 + 150 * (onPage % 18));
                const QRect label(x, y, dev(187.85), dev(150));
                painter.fillRect(label, Qt::white);
                for (int f = 0; f < 4; ++f) {
                    painter.drawText(QRect(x, y + tops[f], label.width(), label.height()),
                                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                                     labelText(i, f == 0   ? 1
                                                  : f == 1 ? 0
                                                           : f));
                }
                painter.fillRect(QRect(x, y, label.width(), t), Qt::black);
                painter.fillRect(QRect(x, label.bottom() + 1 - t, label.width(), t), Qt::black);
                painter.fillRect(QRect(x, y, t, label.height()), Qt::black);
                painter.fillRect(QRect(label.right() + 1 - t, y, t, label.height()), Qt::black);
            }
        }
        cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
    }
    plainFigures[rows] = {wall, cpu};
    state.counters["labels_per_s"] = double(rows) / wall;
    state.counters["labels_per_cpu_s"] = double(rows) / cpu;
    QFile::remove(workDir().filePath(QStringLiteral("plain.pdf")));
}

void printSummary() {
    for (const auto& [rows, batch] : batchFigures) {
        const auto plain = plainFigures.find(rows);
        if (plain == plainFigures.end()) {
            continue;
        }
        std::printf("%lld labels: dravelin-batch / plain QPdfWriter loop = %.0f / %.0f labels "
                    "per second = %.2f (CPU time: %.0f / %.0f = %.2f)\n",
                    rows, rows / batch.wallSeconds, rows / plain->second.wallSeconds,
                    plain->second.wallSeconds / batch.wallSeconds, rows / batch.cpuSeconds,
                    rows / plain->second.cpuSeconds, plain->second.cpuSeconds / batch.cpuSeconds);
    }
    for (const auto& [rows, baseline] : baselineFigures) {
        const auto batch = batchFigures.find(rows);
        if (batch != batchFigures.end()) {
            std::printf("%lld labels: this build / baseline = %.0f / %.0f labels per second = "
                        "%.2f (CPU time: %.2f)\n",
                        rows, rows / batch->second.wallSeconds, rows / baseline.wallSeconds,
                        baseline.wallSeconds / batch->second.wallSeconds,
                        baseline.cpuSeconds / batch->second.cpuSeconds);
        }
    }
    const auto small = batchFigures.find(100000);
    const auto large = batchFigures.find(1000000);
    if (small != batchFigures.end() && large != batchFigures.end()) {
        std::printf("dravelin-batch, 1,000,000 against 100,000 labels: %.2f x the wall time, "
                    "%.2f x the CPU time\n",
                    large->second.wallSeconds / small->second.wallSeconds,
                    large->second.cpuSeconds / small->second.cpuSeconds);
    }
}

} // namespace

BENCHMARK(BM_BatchToPdf)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK(BM_PlainPdfWriterLoop)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    platform::setDesignDpi(96);
    if (!qEnvironmentVariableIsEmpty("DRAVELIN_BENCH_BASELINE")) {
        benchmark::RegisterBenchmark("BM_BaselineBatchToPdf", BM_BaselineBatchToPdf)
            ->Arg(100000)
            ->Arg(1000000)
            ->Unit(benchmark::kSecond)
            ->UseManualTime()
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    return 0;
}
