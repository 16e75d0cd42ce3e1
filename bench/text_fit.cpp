// A layout run of 100,000 labels at the default layout onto the printer surface writing a PDF,
// with every fit rule off and with shrinking on every line; the names of the shop list are wider
// than the default label, so shrinking acts on every label. Reports labels per second of both
// and their ratio.
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "printlist/rowset.h"

#include "benchsupport.h"
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kRows = 100000;

const printlist::RowSet& rows() {
    static const printlist::RowSet set = bench::shopRows(kRows);
    return set;
}

void runLayout(benchmark::State& state, settings::FitRule::Mode mode) {
    QTemporaryDir dir;
    printlist::RowSet list = rows();
    settings::LayoutSettings layout;
    for (auto& line : layout.lines) {
        line.fit.mode = mode;
    }
    size_t overflowing = 0;
    for (auto _ : state) {
        labelprint::LabelReport report;
        report.takeSettings(layout);
        labelprint::PrinterSurface surface(
            labelprint::PrinterSurface::PdfFile{dir.filePath("labels.pdf")}, {},
            report.orientation(), QPrinter::HighResolution);
        const auto result = report.run(list, surface);
        if (result.status != labelprint::RunStatus::Finished || result.labels != kRows) {
            state.SkipWithError("the layout run did not finish");
            return;
        }
        overflowing = result.overflows.size();
    }
    state.counters["labels_per_second"] =
        benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["overflowing_labels"] = double(overflowing);
}

void BM_RulesOff(benchmark::State& state) {
    runLayout(state, settings::FitRule::Mode::Off);
}

void BM_ShrinkEveryLine(benchmark::State& state) {
    runLayout(state, settings::FitRule::Mode::Shrink);
}

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations == 0) {
                continue;
            }
            const double rate = double(kRows) * double(run.iterations) / run.real_accumulated_time;
            (run.benchmark_name().find("Shrink") != std::string::npos ? shrink_ : off_) = rate;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (off_ > 0 && shrink_ > 0) {
            std::printf("shrink on every line / rules off: %.0f / %.0f labels per second = %.2f\n",
                        shrink_, off_, shrink_ / off_);
        }
    }

  private:
    double off_ = 0;
    double shrink_ = 0;
};

} // namespace

BENCHMARK(BM_RulesOff)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_ShrinkEveryLine)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv) {
    RatioReporter reporter;
    return bench::runGuiBenchmarks(argc, argv, &reporter);
}
