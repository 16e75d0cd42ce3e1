// The batch tool's PDF against a print from the program itself: start-up in a program directory
// (dravelin.ini, font, seznam.db filled by "načíst seznam"), the print command's settings from
// the controls, and a layout run onto the printer surface writing a PDF.
#include "batchprocess.h"

#include "labelprint/labelreport.h"
#include "labelprint/printersurface.h"
#include "printlist/database.h"
#include "printlist/listfile.h"
#include "settings/fontfile.h"
#include "support/tempprogramdir.h"
#include "ui/form1.h"

#include <gtest/gtest.h>

using namespace batchtest;

namespace {

TEST(BatchSamePages, BatchPdfPutsTheSameTextsAtTheSamePlacesAsTheProgramsPrint) {
    TempProgramDir program;
    program.createDatabase();
    program.write("dravelin.ini", exampleIni());
    program.write("list.csv", exampleList(50));
    // A font file as the program leaves it, with a bold, larger name line.
    settings::SlotFonts fonts;
    fonts[settings::Nazev].height = -16;
    fonts[settings::Nazev].style = settings::Bold;
    settings::writeFontFile(program.file("font"), fonts);

    const Outcome o = runBatch({"--list", program.file("list.csv"), "--settings", program.path(),
                                "--pdf", program.file("batch.pdf")});
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();

    {
        printlist::SqliteStore store;
        store.open(program.file("seznam.db"));
        ASSERT_EQ(printlist::importList(store, program.file("list.csv")),
                  printlist::ImportResult::Imported);
    }
    TForm1 form1;
    ASSERT_FALSE(form1.fatalError());
    labelprint::LabelReport qr1;
    qr1.takeSettings(form1.layoutSettings());
    labelprint::PrinterSurface printer(labelprint::PrinterSurface::PdfFile{program.file("own.pdf")},
                                       qr1.printSettings(), qr1.orientation());
    printlist::RowSet rows = form1.store().listView();
    const labelprint::RunResult run = qr1.run(rows, printer);
    ASSERT_EQ(run.status, labelprint::RunStatus::Finished);
    ASSERT_EQ(run.pages, 3);

    const auto batch = pdfWords(program.file("batch.pdf"));
    const auto own = pdfWords(program.file("own.pdf"));
    ASSERT_EQ(batch.size(), 3u);
    ASSERT_EQ(own.size(), 3u);
    for (size_t page = 0; page < own.size(); ++page) {
        SCOPED_TRACE(page + 1);
        // 21, 21 and 8 labels of four lines each, the price line two words.
        EXPECT_EQ(own[page].size(), (page < 2 ? 21u : 8u) * 6);
        ASSERT_EQ(batch[page].size(), own[page].size());
        for (size_t i = 0; i < own[page].size(); ++i) {
            const Word& a = batch[page][i];
            const Word& b = own[page][i];
            EXPECT_EQ(a.text, b.text);
            EXPECT_NEAR(a.xMin, b.xMin, 0.01) << b.text.toStdString();
            EXPECT_NEAR(a.yMin, b.yMin, 0.01) << b.text.toStdString();
            EXPECT_NEAR(a.xMax, b.xMax, 0.01) << b.text.toStdString();
            EXPECT_NEAR(a.yMax, b.yMax, 0.01) << b.text.toStdString();
        }
    }
}

} // namespace
