// What the exact sheet description costs: 100,000 labels laid out onto a PDF printer surface
// in the default flow (10 columns of 15 mm labels) and on a sheet description of the same
// grid, 10 x 18 labels of 18.8 x 15 mm. Both runs fill the same 556 pages with the same faces,
// so the difference in labels per second is the cost of placing labels by the sheet.
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "printlist/rowset.h"

#include "benchsupport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

const printlist::RowSet& rows() {
    static const printlist::RowSet set = bench::shopRows(kRows);
    return set;
}

settings::LayoutSettings layout(bool sheet) {
    settings::LayoutSettings s;
    if (sheet) {
        s.sheet.on = true;
        s.sheet.left = 100;
        s.sheet.top = 100;
        s.sheet.width = 188;
        s.sheet.height = 150;
        s.sheet.pitchX = 188;
        s.sheet.pitchY = 150;
        s.sheet.columns = 10;
        s.sheet.rows = 18;
    }
    return s;
}

void run(benchmark::State& state, bool sheet) {
    QTemporaryDir dir;
    printlist::RowSet list = rows();
    int pages = 0;
    for (auto _ : state) {
        labelprint::LabelReport report;
        report.takeSettings(layout(sheet));
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
}

void BM_DefaultFlow(benchmark::State& state) {
    run(state, false);
}
void BM_SheetDescription(benchmark::State& state) {
    run(state, true);
}

// Interleaved, so a load that comes and goes on the machine falls on both alike.
BENCHMARK(BM_DefaultFlow)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_SheetDescription)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
    return bench::runGuiBenchmarks(argc, argv);
}
