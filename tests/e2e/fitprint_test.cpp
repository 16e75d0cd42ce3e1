// Long goods names printed by dravelin-batch on the cups-pdf queue: with shrinking or wrapping
// every word the queue's PDF holds lies inside its label's rectangle; with the rules off the
// labels whose words cross an edge are exactly the ones --check-fit reports.
#include "pdfprobe.h"
#include "platform/codepage.h"

#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kNames = {
    QStringLiteral("Jogurt bílý smetanový s příchutí lesního ovoce 150 g"),
    QStringLiteral("Mléko polotučné trvanlivé ultratepelně ošetřené 1,5 % tuku 1 l"),
    QStringLiteral("Máslo čerstvé z horských pastvin, chlazené, balení 250 g"),
    QStringLiteral("Chléb"),
    QStringLiteral("Sýr eidam plátky 30 % tuku v sušině, balení po 100 g"),
    QStringLiteral("Čokoláda hořká 70 % kakaa s kousky pražených lískových oříšků 100 g"),
    QStringLiteral("Rohlík"),
};

// Three columns of labels 632.35 x 370 (0.1 mm) from (100, 100); the seven labels fill the
// first column, so a word belongs to the label of its row wherever it overflows to.
QRectF labelRect(int n) {
    return QRectF(100, 100 + 370 * n, 632.35, 370);
}

struct Printed {
    int exitCode = -1;
    QString out;
    std::vector<e2e::Word> words;
};

Printed printOnQueue(const QTemporaryDir& dir, const char* what, const QStringList& extra) {
    // The tool names the job after the list file.
    const QString title = e2e::uniqueTitle(what);
    QString text;
    for (int i = 0; i < kNames.size(); ++i) {
        text += QStringLiteral("%1;*%1*;%2;%3,90 Kč;%2;;\r\n")
                    .arg(860001 + i)
                    .arg(kNames[i])
                    .arg(i + 19);
    }
    QFile list(dir.filePath(title));
    if (!list.open(QIODevice::WriteOnly)) {
        return {};
    }
    list.write(platform::toCp1250(text));
    list.close();
    QProcess batch;
    batch.start(DRAVELIN_BATCH_EXE, QStringList{"--list", dir.filePath(title), "--settings",
                                                dir.path(), "--printer", "default"} +
                                        extra);
    if (!batch.waitForFinished(120000)) {
        return {};
    }
    Printed p;
    p.exitCode = batch.exitCode();
    p.out = QString::fromLocal8Bit(batch.readAllStandardOutput());
    const QString pdf = e2e::waitForPdf(e2e::outDir(), title, 60000);
    if (!pdf.isEmpty()) {
        p.words = e2e::words(pdf, 1);
    }
    return p;
}

// The labels (from 1) with a word outside their rectangle.
QSet<int> labelsWithWordsOutside(const std::vector<e2e::Word>& words) {
    QSet<int> outside;
    for (const e2e::Word& w : words) {
        const int n = int((w.yMin + w.yMax) / 2 - 100) / 370;
        // Half a tenth of a millimetre for the rounding of positions to device dots.
        const QRectF r = labelRect(n).adjusted(-0.5, -0.5, 0.5, 0.5);
        if (!r.contains(QRectF(QPointF(w.xMin, w.yMin), QPointF(w.xMax, w.yMax)))) {
            outside.insert(n + 1);
        }
    }
    return outside;
}

TEST(FitPrinting, ShrunkOrWrappedWordsStayInsideTheirLabels) {
    ASSERT_FALSE(e2e::outDir().isEmpty()) << "DRAVELIN_E2E_OUT is not set";
    ASSERT_EQ(QPrinterInfo::defaultPrinterName(), "dravelin-pdf");
    QTemporaryDir dir;
    QFile ini(dir.filePath("dravelin.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    // kods off; the name at 10 mm with room for two lines, text1 at 20 mm with room for three.
    ini.write("[setup]\r\nvlevo=10\r\nnahore=10\r\nsloupce=3\r\nvyskabunky=37\r\n"
              "kodschb=0\r\nkodtop=3\r\nnazevtop=10\r\ncenatop=31\r\ntext1top=20\r\n"
              "text1chb=1\r\n");
    ini.close();

    const Printed off = printOnQueue(dir, "fitoff", {"--check-fit"});
    ASSERT_EQ(off.exitCode, 3);
    ASSERT_GT(off.words.size(), 50u);
    const QSet<int> crossing = labelsWithWordsOutside(off.words);
    QSet<int> reported;
    for (const QString& line : off.out.split('\n', Qt::SkipEmptyParts)) {
        reported.insert(line.section(' ', 1, 1).section(':', 0, 0).toInt());
    }
    EXPECT_EQ(reported, crossing) << off.out.toStdString();
    // Every name but "Chléb" and "Rohlík" is wider than its label.
    EXPECT_EQ(crossing, (QSet<int>{1, 2, 3, 5, 6}));

    const struct {
        const char* what;
        QStringList fit;
    } fitted[] = {
        {"fitshrink", {"--fit", "nazev=shrink,min=4", "--fit", "text1=shrink,min=4"}},
        {"fitwrap", {"--fit", "nazev=wrap,lines=2", "--fit", "text1=wrap,lines=3"}},
    };
    for (const auto& f : fitted) {
        SCOPED_TRACE(f.what);
        const Printed p = printOnQueue(dir, f.what, QStringList{"--check-fit"} + f.fit);
        EXPECT_EQ(p.exitCode, 0) << p.out.toStdString();
        EXPECT_TRUE(labelsWithWordsOutside(p.words).isEmpty());
        // Text was printed for every label: the reader finds words in each row.
        QSet<int> rows;
        for (const e2e::Word& w : p.words) {
            rows.insert(int((w.yMin + w.yMax) / 2 - 100) / 370);
        }
        EXPECT_EQ(rows.size(), int(kNames.size()));
    }
}

} // namespace
