// 100,000 labels at the default layout onto the printer surface writing a PDF, once as text
// only and once with an EAN-13 encoded by zint and drawn as snapped bars on every label, in one
// run, so the cost of native barcodes reads as a ratio. Until the label face draws a slot as a
// symbol, the symbol is drawn by a surface in between, at each label's background, on top of
// the unchanged text: the barcode run does all the text run's work and the barcode's besides.
#include "labelprint/barcode.h"
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"

#include "benchsupport.h"
#include "peakmemory.h"
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

const printlist::RowSet& rows() {
    static const printlist::RowSet set = bench::shopRows(kRows);
    return set;
}

// Passes every call on, and draws the next label's EAN-13 after each label background.
class BarcodeSurface : public labelprint::PageSurface {
  public:
    explicit BarcodeSurface(labelprint::PageSurface& inner) : inner_(inner) {
        options_.kind = labelprint::BarcodeKind::Ean13;
        options_.barHeight = 80;
        font_.face = QStringLiteral("DejaVu Sans");
        font_.height = -9;
    }
    int dpiX() const override { return inner_.dpiX(); }
    int dpiY() const override { return inner_.dpiY(); }
    double originLeft() const override { return inner_.originLeft(); }
    double originTop() const override { return inner_.originTop(); }
    double paperWidth() const override { return inner_.paperWidth(); }
    double paperLength() const override { return inner_.paperLength(); }
    bool beginDocument() override { return inner_.beginDocument(); }
    void beginPage() override { inner_.beginPage(); }
    void finishPage() override { inner_.finishPage(); }
    void endDocument() override { inner_.endDocument(); }
    void abortDocument() override { inner_.abortDocument(); }
    void fillRect(const QRect& rect, const QColor& colour) override {
        inner_.fillRect(rect, colour);
        if (colour != QColor(Qt::white)) {
            return;
        }
        const QString data = QStringLiteral("859%1").arg(100000000 + labels_++);
        const labelprint::BarcodeResult r = labelprint::encodeBarcode(options_, data);
        if (!r.ok()) {
            ++refused;
            return;
        }
        labelprint::drawBarcode(inner_, *r.symbol, options_, rect.topLeft(),
                                labelprint::TextAnchor::TopLeft, font_, Qt::black);
    }
    void selectFont(const settings::FontDescription& font) override { inner_.selectFont(font); }
    int textCellHeight(const QString& text) override { return inner_.textCellHeight(text); }
    void drawText(QPoint at, labelprint::TextAnchor anchor, const QString& text,
                  const QColor& colour) override {
        inner_.drawText(at, anchor, text, colour);
    }
    void progress(int percent) override { inner_.progress(percent); }

    int refused = 0;

  private:
    labelprint::PageSurface& inner_;
    labelprint::BarcodeOptions options_;
    settings::FontDescription font_;
    int labels_ = 0;
};

void runToPdf(benchmark::State& state, bool barcodes) {
    QTemporaryDir dir;
    printlist::RowSet list = rows();
    for (auto _ : state) {
        labelprint::LabelReport report;
        report.takeSettings(settings::LayoutSettings{});
        labelprint::PrinterSurface printer(
            labelprint::PrinterSurface::PdfFile{dir.filePath("labels.pdf")}, {},
            report.orientation(), QPrinter::HighResolution);
        BarcodeSurface withBars(printer);
        labelprint::PageSurface& surface =
            barcodes ? static_cast<labelprint::PageSurface&>(withBars) : printer;
        const auto result = report.run(list, surface);
        if (result.status != labelprint::RunStatus::Finished || result.labels != kRows ||
            withBars.refused > 0) {
            state.SkipWithError("the layout run did not finish with every symbol");
            return;
        }
        state.counters["pdf_MB"] = QFileInfo(dir.filePath("labels.pdf")).size() / 1e6;
    }
    state.counters["labels_per_second"] =
        benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_rss_MB"] = peakMegabytes();
}

void BM_TextOnlyToPdf(benchmark::State& state) {
    runToPdf(state, false);
}
void BM_Ean13ToPdf(benchmark::State& state) {
    runToPdf(state, true);
}

// Keeps both rates so the ratio is stated at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations == 0 || run.error_occurred) {
                continue;
            }
            const double rate = double(kRows) * double(run.iterations) / run.real_accumulated_time;
            (run.benchmark_name().find("Ean13") != std::string::npos ? barcode_ : text_) = rate;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (barcode_ > 0 && text_ > 0) {
            std::printf("EAN-13 / text only: %.0f / %.0f labels per second = %.2f\n", barcode_,
                        text_, barcode_ / text_);
        }
    }

  private:
    double text_ = 0;
    double barcode_ = 0;
};

} // namespace

BENCHMARK(BM_TextOnlyToPdf)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Ean13ToPdf)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv) {
    RatioReporter reporter;
    return bench::runGuiBenchmarks(argc, argv, &reporter);
}
