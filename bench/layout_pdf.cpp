// A layout run of 100,000 labels at the default layout onto the printer surface writing a PDF
// at printer resolution, next to a plain loop that paints the same frame and four text lines
// straight into a QPdfWriter; the run's speed is reported as a ratio to that loop, and the
// process's peak memory after the run.
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "labelprint/units.h"
#include "platform/designdpi.h"
#include "printlist/rowset.h"

#include "benchsupport.h"
#include "peakmemory.h"
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

const printlist::RowSet& rows() {
    static const printlist::RowSet set = bench::shopRows(kRows);
    return set;
}

void BM_LayoutRunToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    printlist::RowSet list = rows();
    int pages = 0;
    for (auto _ : state) {
        labelprint::LabelReport report;
        report.takeSettings(settings::LayoutSettings{});
        labelprint::PrinterSurface surface(
            labelprint::PrinterSurface::PdfFile{dir.filePath("labels.pdf")}, {},
            report.orientation(), QPrinter::HighResolution);
        const auto result = report.run(list, surface);
        if (result.status != labelprint::RunStatus::Finished || result.labels != kRows) {
            state.SkipWithError("the layout run did not finish");
            return;
        }
        pages = result.pages;
    }
    state.counters["labels_per_second"] =
        benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pages"] = pages;
    state.counters["peak_rss_MB"] = peakMegabytes();
}

// The same sheet without the label report: 10 columns of 18 labels, 188 x 150 tenths apart.
void BM_PlainPdfWriterLoop(benchmark::State& state) {
    QTemporaryDir dir;
    const printlist::RowSet& list = rows();
    for (auto _ : state) {
        QPdfWriter writer(dir.filePath("plain.pdf"));
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
        for (int i = 0; i < kRows; ++i) {
            const int onPage = i % 180;
            if (i > 0 && onPage == 0) {
                writer.newPage();
            }
            const int x = dev(100 + 188 * (onPage / 18));
            const int y = dev(100 + 150 * (onPage % 18));
            const QRect label(x, y, dev(187.85), dev(150));
            painter.fillRect(label, Qt::white);
            for (int f = 0; f < 4; ++f) {
                painter.drawText(QRect(x, y + tops[f], label.width(), label.height()),
                                 Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, list.at(i, f));
            }
            painter.fillRect(QRect(x, y, label.width(), t), Qt::black);
            painter.fillRect(QRect(x, label.bottom() + 1 - t, label.width(), t), Qt::black);
            painter.fillRect(QRect(x, y, t, label.height()), Qt::black);
            painter.fillRect(QRect(label.right() + 1 - t, y, t, label.height()), Qt::black);
        }
    }
    state.counters["labels_per_second"] =
        benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Keeps each benchmark's labels per second so the second can state the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto it = run.counters.find("labels_per_second");
            if (it == run.counters.end() || run.iterations == 0) {
                continue;
            }
            const double rate = double(kRows) * double(run.iterations) / run.real_accumulated_time;
            if (run.benchmark_name().find("LayoutRun") != std::string::npos) {
                layout_ = rate;
            } else if (run.benchmark_name().find("Plain") != std::string::npos) {
                plain_ = rate;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (layout_ > 0 && plain_ > 0) {
            std::printf("layout run / plain QPdfWriter loop: %.0f / %.0f labels per second = "
                        "%.2f\n",
                        layout_, plain_, layout_ / plain_);
        }
        std::printf("peak memory (getrusage): %.1f MB\n", peakMegabytes());
    }

  private:
    double layout_ = 0;
    double plain_ = 0;
};

} // namespace

BENCHMARK(BM_LayoutRunToPdf)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_PlainPdfWriterLoop)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv) {
    RatioReporter reporter;
    return bench::runGuiBenchmarks(argc, argv, &reporter);
}
