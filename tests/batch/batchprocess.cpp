#include "batchprocess.h"

#include "platform/codepage.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

namespace batchtest {

Outcome runBatch(const QStringList& args, const QString& workDir) {
    QProcess p;
    if (!workDir.isEmpty()) {
        p.setWorkingDirectory(workDir);
    }
    p.start(QStringLiteral(DRAVELIN_BATCH_EXE), args);
    Outcome o;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        o.err = QStringLiteral("(did not finish)");
        return o;
    }
    o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

QByteArray exampleList(int rows) {
    QString text;
    for (int i = 1; i <= rows; ++i) {
        const QString code = QString::number(700000 + i);
        text += QStringLiteral("%1;*%1*;Žluťoučký%2 kůň;%3,50;řádek%2;;\r\n")
                    .arg(code)
                    .arg(i)
                    .arg(i * 7);
    }
    return platform::toCp1250(text);
}

QByteArray exampleIni() {
    return "[setup]\r\nvlevo=10\r\nnahore=10\r\nsloupce=3\r\nvyskabunky=37\r\n"
           "kodtop=3\r\nnazevtop=11\r\ncenatop=19\r\ntext1top=27\r\ntext1chb=1\r\n";
}

std::vector<std::vector<Word>> pdfWords(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<std::vector<Word>> pages;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        return pages;
    }
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression token(
        QStringLiteral("<page |<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" "
                       "yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QLatin1String("<page ")) {
            pages.emplace_back();
        } else if (!pages.empty()) {
            pages.back().push_back({m.captured(5), m.captured(1).toDouble(),
                                    m.captured(2).toDouble(), m.captured(3).toDouble(),
                                    m.captured(4).toDouble()});
        }
    }
    return pages;
}

int pdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        return -1;
    }
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = pages.match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QStringList entries(const QString& dir) {
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace batchtest
