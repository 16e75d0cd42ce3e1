// Text fitted to its label: the preview, a PDF from the printer surface and the batch tool choose
// the same sizes and line breaks for the same labels; the batch tool's --fit and --check-fit.
#include "batchprocess.h"

#include "labelprint/labelreport.h"
#include "labelprint/pagesurface.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/printersurface.h"
#include "labelprint/printrequest.h"
#include "platform/codepage.h"
#include "printlist/rowset.h"
#include "settings/fontfile.h"
#include "support/tempprogramdir.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace batchtest;

namespace {

const QStringList kNames = {
    QStringLiteral("Jogurt bílý smetanový s příchutí lesního ovoce 150 g"),
    QStringLiteral("Máslo čerstvé z horských pastvin, chlazené, balení 250 g"),
    QStringLiteral("Mléko"),
    QStringLiteral("Sýr eidam plátky 30 % tuku v sušině, balení po 100 g"),
};

// Three columns of 37 mm labels; the name line 12 pt bold, text1 in 8 pt below it; the long
// names in both, wider than the label.
void setUpProgram(const TempProgramDir& program, const QByteArray& extraIni = {}) {
    program.write("dravelin.ini",
                  "[setup]\r\nvlevo=10\r\nnahore=10\r\nsloupce=3\r\nvyskabunky=37\r\n"
                  "kodtop=3\r\nnazevtop=9\r\ncenatop=30\r\ntext1top=16\r\ntext1chb=1\r\n" +
                      extraIni);
    settings::SlotFonts fonts;
    fonts[settings::Nazev].height = -16;
    fonts[settings::Nazev].style = settings::Bold;
    settings::writeFontFile(program.file("font"), fonts);
    QString text;
    for (int i = 0; i < kNames.size(); ++i) {
        text +=
            QStringLiteral("%1;*%1*;%2;%3,90;%2;;\r\n").arg(800001 + i).arg(kNames[i]).arg(i + 9);
    }
    program.write("list.csv", platform::toCp1250(text));
}

printlist::RowSet fitRows() {
    QStringList names;
    for (const QString& n : settings::slotNames()) {
        names << n;
    }
    std::vector<QStringList> rows;
    for (int i = 0; i < kNames.size(); ++i) {
        const QString code = QString::number(800001 + i);
        rows.push_back(
            {"*" + code + "*", code, kNames[i], QString::number(i + 9) + ",90", kNames[i], "", ""});
    }
    return printlist::RowSet(names, std::move(rows));
}

// Passes every call on to a real surface and keeps the fitted choices: each text drawn with
// the size it was selected at.
class TeeSurface : public labelprint::PageSurface {
  public:
    explicit TeeSurface(labelprint::PageSurface& to) : to_(to) {}
    int dpiX() const override { return to_.dpiX(); }
    int dpiY() const override { return to_.dpiY(); }
    double originLeft() const override { return to_.originLeft(); }
    double originTop() const override { return to_.originTop(); }
    double paperWidth() const override { return to_.paperWidth(); }
    double paperLength() const override { return to_.paperLength(); }
    bool beginDocument() override { return to_.beginDocument(); }
    void beginPage() override { to_.beginPage(); }
    void finishPage() override { to_.finishPage(); }
    void endDocument() override { to_.endDocument(); }
    void abortDocument() override { to_.abortDocument(); }
    void fillRect(const QRect& r, const QColor& c) override { to_.fillRect(r, c); }
    void selectFont(const settings::FontDescription& font) override {
        size_ = font.pointSize() * 10;
        to_.selectFont(font);
    }
    void selectFontAt(const settings::FontDescription& font, int size) override {
        size_ = size;
        to_.selectFontAt(font, size);
    }
    int textCellHeight(const QString& text) override { return to_.textCellHeight(text); }
    void drawText(QPoint at, labelprint::TextAnchor anchor, const QString& text,
                  const QColor& colour) override {
        drawn.push_back(QStringLiteral("%1 %2").arg(size_).arg(text));
        to_.drawText(at, anchor, text, colour);
    }
    QStringList drawn;

  private:
    labelprint::PageSurface& to_;
    int size_ = 0;
};

TEST(FitSameChoice, PreviewPdfAndBatchToolChooseTheSameSizesAndBreaks) {
    TempProgramDir program;
    setUpProgram(program, "[prizpusobeni]\r\nnazev=zmensit;60;2\r\n");
    const Outcome o = runBatch({"--list", program.file("list.csv"), "--settings", program.path(),
                                "--fit", "text1=wrap,lines=2", "--pdf", program.file("batch.pdf")});
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();

    labelprint::PrintRequest request = labelprint::readSettingsFolder(program.path());
    ASSERT_EQ(request.layout.lines[settings::Nazev].fit.mode, settings::FitRule::Mode::Shrink);
    request.layout.lines[settings::Text1].fit.mode = settings::FitRule::Mode::Wrap;
    labelprint::LabelReport qr1;
    labelprint::takeRequest(qr1, request);

    labelprint::PreviewDocument document;
    labelprint::PreviewSurface preview(document);
    TeeSurface previewTee(preview);
    printlist::RowSet rows = fitRows();
    ASSERT_EQ(qr1.run(rows, previewTee).status, labelprint::RunStatus::Finished);

    labelprint::PrinterSurface pdf(labelprint::PrinterSurface::PdfFile{program.file("own.pdf")},
                                   qr1.printSettings(), qr1.orientation());
    TeeSurface pdfTee(pdf);
    printlist::RowSet again = fitRows();
    ASSERT_EQ(qr1.run(again, pdfTee).status, labelprint::RunStatus::Finished);

    // 96 and 1200 dots per inch, one choice.
    EXPECT_EQ(previewTee.drawn, pdfTee.drawn);
    // The rules did act: the long names were drawn smaller, and text1 in two lines.
    EXPECT_TRUE(pdfTee.drawn.contains("120 Mléko")) << pdfTee.drawn.join('\n').toStdString();
    EXPECT_FALSE(pdfTee.drawn.contains("120 " + kNames[0]));
    EXPECT_FALSE(pdfTee.drawn.contains("80 " + kNames[0]));
    EXPECT_EQ(pdfTee.drawn.filter(QRegularExpression("^80 Jogurt bílý")).size(), 1);

    const auto batch = pdfWords(program.file("batch.pdf"));
    const auto own = pdfWords(program.file("own.pdf"));
    ASSERT_EQ(batch.size(), 1u);
    ASSERT_EQ(own.size(), 1u);
    ASSERT_EQ(batch[0].size(), own[0].size());
    for (size_t i = 0; i < own[0].size(); ++i) {
        const Word& a = batch[0][i];
        const Word& b = own[0][i];
        EXPECT_EQ(a.text, b.text);
        EXPECT_NEAR(a.xMin, b.xMin, 0.01) << b.text.toStdString();
        EXPECT_NEAR(a.yMin, b.yMin, 0.01) << b.text.toStdString();
        EXPECT_NEAR(a.xMax, b.xMax, 0.01) << b.text.toStdString();
        EXPECT_NEAR(a.yMax, b.yMax, 0.01) << b.text.toStdString();
    }
}

TEST(FitBatch, CheckFitListsTheRowsAfterWritingTheOutput) {
    TempProgramDir program;
    setUpProgram(program);
    const QString pdf = program.file("out.pdf");
    struct Case {
        const char* what;
        QStringList args;
        int exitCode;
        QString out;
        QString err;
    };
    const Case cases[] = {
        {"rules off, checked",
         {"--check-fit"},
         3,
         "row 1: nazev, text1\nrow 2: nazev, text1\nrow 4: nazev, text1\n",
         "dravelin-batch: 3 labels have text that does not fit\n"},
        {"rules off, not checked",
         {},
         0,
         "",
         "dravelin-batch: 3 labels have text that does not fit (--check-fit lists them)\n"},
        {"name shrunk, text1 still too long",
         {"--check-fit", "--fit", "nazev=shrink,min=5"},
         3,
         "row 1: text1\nrow 2: text1\nrow 4: text1\n",
         "dravelin-batch: 3 labels have text that does not fit\n"},
        {"everything fitted",
         {"--check-fit", "--fit=nazev=shrink,min=5", "--fit", "text1=wrap"},
         0,
         "",
         ""},
    };
    for (const Case& c : cases) {
        QFile::remove(pdf);
        const Outcome o = runBatch(QStringList{"--list", program.file("list.csv"), "--settings",
                                               program.path(), "--pdf", pdf} +
                                   c.args);
        EXPECT_EQ(o.exitCode, c.exitCode) << c.what << ": " << o.err.toStdString();
        EXPECT_EQ(o.out, c.out) << c.what;
        EXPECT_EQ(o.err, c.err) << c.what;
        EXPECT_EQ(pdfPages(pdf), 1) << c.what;
    }
}

TEST(FitBatch, MalformedFitIsAUsageFailure) {
    TempProgramDir program;
    setUpProgram(program);
    const struct {
        QString fit;
        const char* said;
    } cases[] = {
        {"nazev", "say SLOT=shrink"},
        {"jmeno=shrink", "say SLOT=shrink"},
        {"nazev=squeeze", "the rule is shrink, wrap or off"},
        {"nazev=shrink,min=0.5", "min wants a size"},
        {"nazev=shrink,min=6,5", "does not go with shrink"},
        {"nazev=shrink,lines=2", "does not go with shrink"},
        {"text1=wrap,lines=0", "lines wants a whole number"},
        {"cena=off,min=6", "does not go with off"},
    };
    for (const auto& c : cases) {
        const Outcome o = runBatch(
            {"--list", program.file("list.csv"), "--fit", c.fit, "--pdf", program.file("x.pdf")});
        EXPECT_EQ(o.exitCode, 2) << c.fit.toStdString();
        EXPECT_TRUE(o.err.contains(c.said)) << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(program.file("x.pdf")));
    }
    const Outcome twice = runBatch({"--list", program.file("list.csv"), "--fit", "nazev=shrink",
                                    "--fit", "nazev=wrap", "--pdf", program.file("x.pdf")});
    EXPECT_EQ(twice.exitCode, 2);
    EXPECT_TRUE(twice.err.contains("--fit is given twice for nazev")) << twice.err.toStdString();
}

} // namespace
