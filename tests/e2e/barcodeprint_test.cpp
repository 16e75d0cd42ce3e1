// Native barcodes on a Zweckform 3651 sheet printed through the real cups-pdf queue and into a
// PDF file: every one of the 40 codes is read back exactly by zbarimg from rasters of the PDF
// at 300 and 600 dpi.
#include "labelprint/labelreport.h"
#include "labelprint/printjob.h"
#include "pdfprobe.h"
#include "printlist/rowset.h"
#include "settings/sheetcatalogue.h"

#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using settings::BarcodeKind;
using settings::Slot;

// The check digit of a 12-digit EAN-13, worked out here and not by the encoder under test.
QString withCheckDigit(const QString& twelve) {
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += twelve[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return twelve + QString::number((10 - sum % 10) % 10);
}

struct Kind {
    const char* name;
    BarcodeKind kind;
    int moduleWidth;           // 0.01 mm
    QString (*data)(int i);    // what the kods field holds inside the specznak
    QString (*decoded)(int i); // what a scanner reads
};

QString ean(int i) {
    return QStringLiteral("85900000%1").arg(1000 + 37 * i, 4, 10, QLatin1Char('0'));
}
QString eanRead(int i) {
    return withCheckDigit(ean(i));
}
QString code128(int i) {
    return QStringLiteral("Regal-%1").arg(i + 1);
}
QString qr(int i) {
    return QStringLiteral("https://example.cz/zbozi/%1").arg(8590000 + i);
}

const Kind kKinds[] = {{"ean13", BarcodeKind::Ean13, 33, ean, eanRead},
                       {"code128", BarcodeKind::Code128, 30, code128, code128},
                       {"qr", BarcodeKind::Qr, 60, qr, qr}};

// Each label: only kods, as a barcode 2 mm from the top, centred; specznak around the data as
// the add command puts it.
settings::LayoutSettings layoutFor(const Kind& k) {
    settings::LayoutSettings s;
    for (auto& line : s.lines) {
        line.on = false;
    }
    auto& kods = s.lines[Slot::Kods];
    kods.on = true;
    kods.top = 2;
    kods.left = -1;
    kods.font.face = "DejaVu Sans";
    kods.font.height = -9;
    kods.font.colour = 0;
    kods.barcode = {k.kind, k.moduleWidth, 150, true};
    s.sheet = settings::findSheet(settings::builtInSheets(), "3651")->sheet;
    return s;
}

printlist::RowSet rowsFor(const Kind& k) {
    QStringList names;
    for (const QString& s : settings::slotNames()) {
        names << s;
    }
    std::vector<QStringList> list;
    for (int i = 0; i < 40; ++i) {
        list.push_back({"*" + k.data(i) + "*", k.data(i), "", "", "", "", ""});
    }
    return printlist::RowSet(names, std::move(list));
}

QStringList decode(const QString& pdf, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    if (!e2e::run("pdftoppm",
                  {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", pdf, prefix})) {
        return {};
    }
    const QString out =
        e2e::run("zbarimg", {"-q", "--raw", prefix + ".png"}, 120000).value_or(QString());
    QStringList codes = out.split('\n', Qt::SkipEmptyParts);
    codes.sort();
    return codes;
}

TEST(BarcodePrinting, FortyCodesOnA3651SheetReadBackAt300And600Dpi) {
    ASSERT_FALSE(e2e::outDir().isEmpty()) << "DRAVELIN_E2E_OUT is not set";
    ASSERT_EQ(QPrinterInfo::defaultPrinterName(), "dravelin-pdf");
    QTemporaryDir dir;
    QStringList produced;
    for (const Kind& k : kKinds) {
        QStringList expected;
        for (int i = 0; i < 40; ++i) {
            expected << k.decoded(i);
        }
        expected.sort();
        labelprint::LabelReport report;
        report.takeSettings(layoutFor(k));
        for (const bool toQueue : {true, false}) {
            SCOPED_TRACE(std::string(k.name) + (toQueue ? " on dravelin-pdf" : " into a file"));
            labelprint::PrintSettings where = report.printSettings();
            where.title = e2e::uniqueTitle(k.name);
            report.printSettings().title = where.title;
            if (!toQueue) {
                where.pdfFile = dir.filePath(QStringLiteral("%1.pdf").arg(k.name));
            }
            printlist::RowSet rows = rowsFor(k);
            const labelprint::SentJob sent = labelprint::PrintJob(report, &rows).print(where);
            ASSERT_EQ(sent.run.status, labelprint::RunStatus::Finished);
            EXPECT_EQ(sent.run.labels, 40);
            EXPECT_EQ(sent.run.problems[labelprint::LabelProblem::BadBarcode].labels, 0);
            const QString pdf =
                toQueue ? e2e::waitForPdf(e2e::outDir(), where.title, 30000) : where.pdfFile;
            ASSERT_FALSE(pdf.isEmpty());
            if (toQueue) {
                produced << pdf;
            }
            EXPECT_EQ(e2e::pageCount(pdf), 1);
            for (const int dpi : {300, 600}) {
                EXPECT_EQ(decode(pdf, dpi).join(' ').toStdString(),
                          expected.join(' ').toStdString())
                    << dpi << " dpi";
            }
        }
    }
    if (!qEnvironmentVariableIsSet("DRAVELIN_E2E_KEEP")) {
        for (const QString& f : produced) {
            QFile::remove(f);
        }
    }
}

} // namespace
