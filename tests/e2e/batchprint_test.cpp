// dravelin-batch on the real cups-pdf queue: a five-page list read row by row and spooled page
// by page prints the same pages as the printer surface fed from a list held whole in memory.
// The queue renders each job again and stamps its own times and title into the PDF, so the
// pages are compared by what is on them: every word with its box, and every page's pixels.
#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "pdfprobe.h"
#include "platform/codepage.h"
#include "platform/fontsubstitutes.h"
#include "platform/profile.h"
#include "printlist/listfile.h"
#include "printlist/listline.h"
#include "printlist/rowset.h"
#include "settings/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray fivePageList() {
    QString text;
    for (int i = 1; i <= 100; ++i) {
        const QString code = QString::number(810000 + i);
        text += QStringLiteral("%1;*%1*;Žluťoučký%2 kůň;%3,50;řádek%2;;\r\n")
                    .arg(code)
                    .arg(i)
                    .arg(i * 7);
    }
    return platform::toCp1250(text);
}

// The list view that "načíst seznam" would leave: the same split and trim, every row in memory.
printlist::RowSet listView(const QByteArray& bytes) {
    std::vector<QStringList> rows;
    int id = 0;
    for (const QString& line : printlist::listFileLines(bytes)) {
        QStringList row{QString::number(++id)};
        for (const QString& v : printlist::parsestring(QLatin1Char(';'), line)) {
            row << printlist::trimControl(v);
        }
        rows.push_back(row);
    }
    return printlist::RowSet({"id", "kod", "kods", "nazev", "cena", "text1", "text2", "text3"},
                             std::move(rows));
}

QByteArray pageImage(const QString& pdf, int page, const QTemporaryDir& dir) {
    const QString root = dir.filePath(QStringLiteral("p%1").arg(page));
    QProcess p;
    p.start("pdftoppm", {"-gray", "-r", "100", "-f", QString::number(page), "-l",
                         QString::number(page), "-singlefile", pdf, root});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        return {};
    }
    QFile f(root + ".pgm");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(BatchPrinting, FivePagesStreamedPrintWhatTheListInMemoryPrints) {
    ASSERT_FALSE(e2e::outDir().isEmpty()) << "DRAVELIN_E2E_OUT is not set";
    ASSERT_EQ(QPrinterInfo::defaultPrinterName(), "dravelin-pdf");
    QTemporaryDir dir;
    const QByteArray list = fivePageList();
    const QByteArray ini = "[setup]\r\nvlevo=10\r\nnahore=10\r\nsloupce=3\r\nvyskabunky=37\r\n"
                           "kodtop=3\r\nnazevtop=11\r\ncenatop=19\r\ntext1top=27\r\ntext1chb=1\r\n";
    // The tool names the job after the list file.
    const QString batchTitle = e2e::uniqueTitle("batch");
    for (const auto& [name, bytes] : {std::pair{batchTitle, list}, {"dravelin.ini", ini}}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QProcess batch;
    batch.start(DRAVELIN_BATCH_EXE, {"--list", dir.filePath(batchTitle), "--settings", dir.path(),
                                     "--printer", "default"});
    ASSERT_TRUE(batch.waitForFinished(120000));
    ASSERT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();

    // The fonts as both programs see them; the other tests here go without the substitutes.
    platform::installFontSubstitutes();
    struct DropSubstitutes {
        ~DropSubstitutes() {
            for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Tahoma",
                                     "Times New Roman", "Courier New"}) {
                QFont::removeSubstitutions(QString::fromLatin1(face));
            }
        }
    } dropSubstitutes;
    labelprint::LabelReport qr1;
    qr1.takeSettings(settings::readSetup(platform::Profile(dir.filePath("dravelin.ini")),
                                         settings::LayoutSettings{}));
    qr1.printSettings().title = e2e::uniqueTitle("memory");
    labelprint::PrinterSurface printer(qr1.printSettings(), qr1.orientation());
    printlist::RowSet rows = listView(list);
    ASSERT_EQ(qr1.run(rows, printer).status, labelprint::RunStatus::Finished);

    const QString streamed = e2e::waitForPdf(e2e::outDir(), batchTitle, 60000);
    const QString held = e2e::waitForPdf(e2e::outDir(), qr1.printSettings().title, 60000);
    ASSERT_FALSE(streamed.isEmpty());
    ASSERT_FALSE(held.isEmpty());
    ASSERT_EQ(e2e::pageCount(streamed), 5);
    ASSERT_EQ(e2e::pageCount(held), 5);
    for (int page = 1; page <= 5; ++page) {
        SCOPED_TRACE(page);
        const auto a = e2e::words(streamed, page);
        const auto b = e2e::words(held, page);
        ASSERT_EQ(a.size(), b.size());
        ASSERT_GT(b.size(), 40u);
        for (size_t i = 0; i < b.size(); ++i) {
            EXPECT_EQ(a[i].text, b[i].text);
            EXPECT_DOUBLE_EQ(a[i].xMin, b[i].xMin);
            EXPECT_DOUBLE_EQ(a[i].yMin, b[i].yMin);
        }
        const QByteArray imageA = pageImage(streamed, page, dir);
        const QByteArray imageB = pageImage(held, page, dir);
        ASSERT_FALSE(imageB.isEmpty());
        EXPECT_TRUE(imageA == imageB);
    }
    if (!qEnvironmentVariableIsSet("DRAVELIN_E2E_KEEP")) {
        QFile::remove(streamed);
        QFile::remove(held);
    }
}

} // namespace
