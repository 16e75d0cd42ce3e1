// What several benchmarks share: a shop's list of numbered goods, and the start-up every
// benchmark of drawing code needs.
#pragma once

#include "platform/designdpi.h"
#include "printlist/rowset.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace bench {

// `count` goods with a barcode, a code, one of 97 names and one of 40 prices, no free lines.
inline printlist::RowSet shopRows(int count) {
    QStringList names{"kods", "kod", "nazev", "cena", "text1", "text2", "text3"};
    std::vector<QStringList> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString code = QString::number(100000 + i);
        list.push_back({"*" + code + "*", code, QStringLiteral("Rohlík tukový %1").arg(i % 97),
                        QStringLiteral("%1,50 Kč").arg(i % 40), "", "", ""});
    }
    return printlist::RowSet(names, std::move(list));
}

// Runs the registered benchmarks offscreen unless a platform is chosen, at the design
// resolution the tests use, so figures do not depend on the screen of the machine.
inline int runGuiBenchmarks(int argc, char** argv,
                            benchmark::BenchmarkReporter* reporter = nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    platform::setDesignDpi(96);
    benchmark::Initialize(&argc, argv);
    if (reporter) {
        benchmark::RunSpecifiedBenchmarks(reporter);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
