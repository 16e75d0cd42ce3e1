// The paper a page surface takes from its printer, and the A4 facts every part of the program
// shares.
#include "labelprint/labelreport.h"
#include "labelprint/papertable.h"
#include "labelprint/previewdocument.h"
#include "labelprint/printersurface.h"
#include "labelprint/units.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace labelprint {
namespace {

TEST(PaperTable, A4FactsAgreeWithTheTableAndTheDesignGrid) {
    const auto a4 = paperByCode(kA4Code);
    ASSERT_TRUE(a4);
    EXPECT_STREQ(a4->name, "A4");
    EXPECT_DOUBLE_EQ(a4->width, kA4Width); // the table is in 0.1 mm
    EXPECT_DOUBLE_EQ(a4->length, kA4Length);
    EXPECT_EQ(lengthToDevice(kA4Width, 96), 794);
    EXPECT_EQ(lengthToDevice(kA4Length, 96), 1123);
    EXPECT_DOUBLE_EQ(kTenthsPerInch, 254.0);
    const PreviewDocument preview;
    EXPECT_EQ(preview.paperCode(), kA4Code);
    EXPECT_EQ(preview.pageSize(), QSize(794, 1123));
}

TEST(PaperTable, ChoosePaperTakesA4OrThePrintersOwnPaper) {
    const QPageSize a4(QPageSize::A4);
    const QPageSize letter(QPageSize::Letter);
    const QPageSize legal(QPageSize::Legal);
    const QPageSize none;
    const QPageSize zero(QSizeF(0, 0), QPageSize::Millimeter);
    const QPageSize flat(QSizeF(215.9, 0), QPageSize::Millimeter);
    const QPageSize negative(QSizeF(-215.9, 279.4), QPageSize::Millimeter);
    const auto P = Orientation::Portrait;
    const auto L = Orientation::Landscape;
    const auto lt = settings::SheetPaper::Letter;
    const struct Case {
        const char* what;
        std::vector<QPageSize> offered;
        QPageSize defaultSize;
        Orientation orientation;
        int code;
        double width, length;
        QString key;
        settings::SheetPaper wanted = settings::SheetPaper::A4;
    } cases[] = {
        {"A4 offered, Letter the default", {letter, a4, legal}, letter, P, 9, 2100, 2970, "A4"},
        {"A4 offered and the default", {a4}, a4, P, 9, 2100, 2970, "A4"},
        {"no A4, Letter the default", {letter, legal}, letter, P, 0, 2159, 2794, "Letter"},
        {"no A4, Legal the default", {letter, legal}, legal, P, 0, 2159, 3556, "Legal"},
        {"no sizes at all", {}, letter, P, 9, 2100, 2970, "A4"},
        {"no sizes, no default", {}, none, P, 9, 2100, 2970, "A4"},
        {"no default", {letter}, none, P, 9, 2100, 2970, "A4"},
        {"default of zero size", {letter}, zero, P, 9, 2100, 2970, "A4"},
        {"default of zero length", {letter}, flat, P, 9, 2100, 2970, "A4"},
        {"default of negative width", {letter}, negative, P, 9, 2100, 2970, "A4"},
        {"landscape on A4", {letter, a4}, letter, L, 9, 2970, 2100, "A4"},
        {"landscape on Letter", {letter}, letter, L, 0, 2794, 2159, "Letter"},
        {"landscape, no sizes", {}, none, L, 9, 2970, 2100, "A4"},
        // A Letter sheet takes Letter where A4 would be taken.
        {"Letter sheet, A4 the default", {a4, letter, legal}, a4, P, 1, 2159, 2794, "Letter", lt},
        {"Letter sheet, no sizes", {}, none, P, 1, 2159, 2794, "Letter", lt},
        {"Letter sheet, no Letter: A4 still", {legal, a4}, legal, P, 9, 2100, 2970, "A4", lt},
        {"Letter sheet, neither", {legal}, legal, P, 0, 2159, 3556, "Legal", lt},
        {"Letter sheet, landscape", {a4, letter}, a4, L, 1, 2794, 2159, "Letter", lt},
    };
    for (const Case& c : cases) {
        const SurfacePaper paper = choosePaper(c.offered, c.defaultSize, c.orientation, c.wanted);
        EXPECT_EQ(paper.code, c.code) << c.what;
        EXPECT_NEAR(paper.width, c.width, 0.01) << c.what;
        EXPECT_NEAR(paper.length, c.length, 0.01) << c.what;
        EXPECT_EQ(paper.size.key(), c.key) << c.what;
    }
}

TEST(PaperTable, APrintersPaperWithinAMillimetreIsTheTablesPaper) {
    // Printers give sizes in whole points and under names of their own; one tolerance decides,
    // for the paper a surface takes and for the papers a printer offers alike.
    const auto custom = [](double w, double l) {
        return QPageSize(QSizeF(w, l), QPageSize::Millimeter, "custom", QPageSize::ExactMatch);
    };
    const QPageSize legal(QPageSize::Legal);
    const struct Case {
        QPageSize size;
        int code; // the paper a surface takes with `size` offered beside Legal
    } cases[] = {
        {custom(209.9, 297.04), kA4Code}, // A4 in points: 595 x 842
        {custom(210.9, 297.9), kA4Code},
        {custom(211, 297), 0},
        {custom(210, 296), 0},
    };
    for (const Case& c : cases) {
        const SurfacePaper paper = choosePaper({c.size, legal}, legal, Orientation::Portrait);
        EXPECT_EQ(paper.code, c.code) << c.size.size(QPageSize::Millimeter).width() << " x "
                                      << c.size.size(QPageSize::Millimeter).height();
        const bool a4 = c.code == kA4Code;
        EXPECT_EQ(settings::isPaper(settings::kA4, c.size.size(QPageSize::Millimeter).width() * 10,
                                    c.size.size(QPageSize::Millimeter).height() * 10),
                  a4);
    }
    EXPECT_EQ(settings::paperSize(settings::SheetPaper::Letter).width, settings::kLetter.width);
    EXPECT_EQ(settings::paperSize(settings::SheetPaper::A4).length, kA4Length);
}

TEST(PaperTable, ALetterSheetIsAskedOfThePrinterAndThePdfFile) {
    // The report asks for the paper of the sheet in force, and a PDF file is written on it.
    LabelReport report;
    settings::LayoutSettings layout;
    layout.sheet.on = true;
    layout.sheet.paper = settings::SheetPaper::Letter;
    layout.sheet.rows = 9; // ten rows of 29,5 mm overrun Letter
    report.takeSettings(layout);
    EXPECT_EQ(report.printSettings().paper, settings::SheetPaper::Letter);
    QTemporaryDir dir;
    PrinterSurface pdf(PrinterSurface::PdfFile{dir.filePath("letter.pdf")}, report.printSettings(),
                       Orientation::Portrait);
    ASSERT_TRUE(pdf.beginDocument());
    EXPECT_NEAR(pdf.paperWidth(), 2159, 1);
    EXPECT_NEAR(pdf.paperLength(), 2794, 1);
    pdf.abortDocument();
    layout.sheet.on = false;
    report.takeSettings(layout);
    EXPECT_EQ(report.printSettings().paper, settings::SheetPaper::A4);
}

TEST(PaperTable, NoPrinterAtAllMeansA4) {
    for (const Orientation o : {Orientation::Portrait, Orientation::Landscape}) {
        const SurfacePaper paper = paperOfPrinter(QPrinterInfo(), o);
        EXPECT_EQ(paper.code, kA4Code);
        EXPECT_EQ(paper.size.id(), QPageSize::A4);
        EXPECT_DOUBLE_EQ(paper.width, o == Orientation::Portrait ? kA4Width : kA4Length);
        EXPECT_DOUBLE_EQ(paper.length, o == Orientation::Portrait ? kA4Length : kA4Width);
    }
}

} // namespace
} // namespace labelprint
