// What reading the sheet catalogue costs with a large folder of template files: 100,000
// templates of different sheets in ten files, and one template with 100,000 aliases. Both must
// read in well under 2 s; a catalogue that compares each entry with every earlier one takes
// minutes here.
#include "settings/sheetcatalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTemplates = 100000;

QByteArray templateXml(int n, int aliases) {
    // Every template a sheet of its own: 1 to 10 columns, 1 to 12 rows, sizes in 0.1 mm steps.
    const int columns = 1 + n % 10;
    const int rows = 1 + (n / 10) % 12;
    const double width = 10 + (n % 97) * 0.1;
    const double height = 10 + (n % 89) * 0.1;
    QByteArray xml = QStringLiteral("<Template brand=\"Maker%1\" part=\"P%2\" size=\"A4\">"
                                    "<Label-rectangle id=\"0\" width=\"%3mm\" height=\"%4mm\">"
                                    "<Layout nx=\"%5\" ny=\"%6\" x0=\"2mm\" y0=\"3mm\" "
                                    "dx=\"%7mm\" dy=\"%8mm\"/></Label-rectangle>")
                         .arg(n % 50)
                         .arg(n)
                         .arg(width)
                         .arg(height)
                         .arg(columns)
                         .arg(rows)
                         .arg(width + 1)
                         .arg(height + 1)
                         .toUtf8();
    for (int a = 0; a < aliases; ++a) {
        xml += "<Alias brand=\"Other\" part=\"A" + QByteArray::number(a) + "\"/>";
    }
    return xml + "</Template>\n";
}

void write(const QString& path, int first, int count, int aliases) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return;
    }
    f.write("<?xml version=\"1.0\"?>\n<Glabels-templates>\n");
    for (int n = first; n < first + count; ++n) {
        f.write(templateXml(n, aliases));
    }
    f.write("</Glabels-templates>\n");
}

void read(benchmark::State& state, const QString& folder, size_t expected) {
    size_t entries = 0;
    for (auto _ : state) {
        entries = settings::fullCatalogue(folder).size();
    }
    if (entries != expected) {
        state.SkipWithError("the catalogue did not list every template");
    }
    state.counters["entries"] = double(entries);
}

void BM_HundredThousandTemplates(benchmark::State& state) {
    QTemporaryDir dir;
    for (int file = 0; file < 10; ++file) {
        write(dir.filePath(QStringLiteral("t%1.xml").arg(file)), file * kTemplates / 10,
              kTemplates / 10, 0);
    }
    read(state, dir.path(), settings::builtInSheets().size() + kTemplates);
}

void BM_OneTemplateWithHundredThousandAliases(benchmark::State& state) {
    QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("aliases.xml")), 0, 1, kTemplates);
    read(state, dir.path(), settings::builtInSheets().size() + 1 + kTemplates);
}

BENCHMARK(BM_HundredThousandTemplates)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_OneTemplateWithHundredThousandAliases)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
