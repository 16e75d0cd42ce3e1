// Runs the built dravelin-batch as a child process and reads PDFs back with poppler's tools, so
// the tests see exactly what a user of the tool sees.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace batchtest {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs dravelin-batch with `args` in `workDir` (standard error is a pipe, not a terminal).
Outcome runBatch(const QStringList& args, const QString& workDir = {});

// The worked example's list file: `rows` labels with distinct texts, Windows-1250, CR LF.
QByteArray exampleList(int rows);
// dravelin.ini of the worked example: vlevo 10, nahore 10, sloupce 3, vyskabunky 37, text1 on.
QByteArray exampleIni();

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax; // points from the page's top-left corner
};
// The words of every page (pdftotext -bbox), page by page.
std::vector<std::vector<Word>> pdfWords(const QString& pdf);
int pdfPages(const QString& pdf);

// Every entry of `dir`, hidden ones included, sorted.
QStringList entries(const QString& dir);

} // namespace batchtest
