// dravelin-batch with a sheet of the catalogue, a start part way down the first page and the
// alignment page.
#include "batchprocess.h"

#include "labelprint/emfplayer.h"
#include "labelprint/pagestore.h"
#include "platform/profile.h"
#include "settings/fontfile.h"
#include "settings/settingsfile.h"
#include "settings/sheetcatalogue.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"
#include "support/extremesettings.h"
#include "support/sheets.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace batchtest;

namespace {

class SheetBatch : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

// The word's box in 0.1 mm from the page's left edge.
double leftOf(const std::vector<Word>& words, const QString& text) {
    for (const Word& w : words) {
        if (w.text == text) {
            return w.xMin * 254 / 72;
        }
    }
    return -1;
}

TEST_F(SheetBatch, CatalogueSheetHoldsItsLabelsOnOnePage) {
    write("40.csv", exampleList(40));
    write("41.csv", exampleList(41));
    write("dravelin.ini", exampleIni());
    for (const auto& [list, pages] : {std::pair{"40.csv", 1}, std::pair{"41.csv", 2}}) {
        // The name as the maker prints it on the pack.
        const Outcome o = runBatch(
            {"--list", list, "--settings", ".", "--sheet", "Zweckform 3651", "--pdf", "out.pdf"},
            dir.path());
        ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
        EXPECT_EQ(pdfPages(path("out.pdf")), pages) << list;
    }
    // Label 11 tops column 2, 52.5 mm from the paper's edge; its kod is centred there.
    const auto words = pdfWords(path("out.pdf"));
    const double left = leftOf(words[0], "*700011*");
    EXPECT_GT(left, 525);
    EXPECT_LT(left, 525 + 525);
}

TEST_F(SheetBatch, SkipStartsPartWayDownTheFirstPageOnly) {
    write("34.csv", exampleList(34));
    write("35.csv", exampleList(35));
    for (const auto& [list, pages] : {std::pair{"34.csv", 1}, std::pair{"35.csv", 2}}) {
        const Outcome o = runBatch(
            {"--list", list, "--sheet", "3651", "--skip", "6", "--pdf", "out.pdf"}, dir.path());
        ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
        EXPECT_EQ(pdfPages(path("out.pdf")), pages) << list;
    }
    // The 35th label starts page 2 at its first position.
    const auto words = pdfWords(path("out.pdf"));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_LT(leftOf(words[1], "*700035*"), 530);
    EXPECT_GT(leftOf(words[1], "*700035*"), 10);
}

TEST_F(SheetBatch, OutlineIsOnePageWithoutText) {
    const Outcome o = runBatch({"--sheet", "L7160", "--outline", "--pdf", "align.pdf"}, dir.path());
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    ASSERT_EQ(pdfPages(path("align.pdf")), 1);
    EXPECT_TRUE(pdfWords(path("align.pdf"))[0].empty());
}

TEST_F(SheetBatch, ASheetOfTinyLabelsIsRefusedNotDrawn) {
    // 1 mm labels edge to edge: 62,370 positions on one alignment page.
    write("dravelin.ini", "[arch]\r\nzapnuto=1\r\npapir=A4\r\nvlevo=0\r\nnahore=0\r\n"
                          "sirka=10\r\nvyska=10\r\nroztecx=10\r\nroztecy=10\r\n"
                          "sloupce=210\r\nradky=297\r\n");
    const Outcome o = runBatch({"--settings", ".", "--outline", "--pdf", "align.pdf"}, dir.path());
    EXPECT_EQ(o.exitCode, 1) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("Štítek musí být alespoň 3 mm")))
        << o.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("align.pdf")));
}

TEST_F(SheetBatch, PrinterOffsetsBeyondWhatTheTabHoldsAreRefusedWhenRead) {
    write("40.csv", exampleList(40));
    const struct {
        const char* offset;
        QStringList output;
        int exitCode;
    } cases[] = {
        {"9999;-9999", {"--pdf", "out.pdf"}, 0},
        {"-2147483648;0", {"--printer", "dravelin-pdf"}, 1},
        {"0;10000", {"--pdf", "out.pdf"}, 1},
        {"-10000;0", {"--pdf", "out.pdf"}, 1},
    };
    for (const auto& c : cases) {
        QFile::remove(path("out.pdf"));
        write("dravelin.ini", exampleIni() + "[tiskarny]\ndravelin-pdf=" + c.offset + "\n");
        const Outcome o = runBatch(
            QStringList{"--list", "40.csv", "--settings", ".", "--sheet", "3651"} + c.output,
            dir.path());
        EXPECT_EQ(o.exitCode, c.exitCode) << c.offset << o.err.toStdString();
        if (c.exitCode == 0) {
            EXPECT_EQ(pdfPages(path("out.pdf")), 1) << c.offset;
            continue;
        }
        EXPECT_EQ(o.err.toStdString(), "dravelin-batch: ./dravelin.ini: Posun tisku na tiskárně "
                                       "dravelin-pdf musí být od -999,9 do 999,9 mm.\n")
            << c.offset;
        EXPECT_FALSE(QFile::exists(path("out.pdf"))) << c.offset;
    }
}

TEST_F(SheetBatch, SnapshotTrailerCarriesTheSheet) {
    write("40.csv", exampleList(40));
    settings::LayoutSettings s;
    s.sheet = settings::findSheet(settings::builtInSheets(), "3651")->sheet;
    settings::saveSnapshotFile(s, path("arch.nas"));
    const Outcome o =
        runBatch({"--list", "40.csv", "--snapshot", "arch.nas", "--pdf", "out.pdf"}, dir.path());
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_EQ(pdfPages(path("out.pdf")), 1);
}

TEST_F(SheetBatch, ASnapshotWithADamagedSheetTrailerIsRefused) {
    write("40.csv", exampleList(40));
    settings::LayoutSettings s;
    s.sheet = test::sheet3651();
    const QByteArray record = settings::encodeSnapshot(s);
    for (const auto& d : test::damagedTrailers(settings::encodeSheetTrailer(s.sheet))) {
        write("arch.nas", record + d.bytes);
        const Outcome o = runBatch(
            {"--list", "40.csv", "--snapshot", "arch.nas", "--pdf", "out.pdf"}, dir.path());
        EXPECT_EQ(o.exitCode, 1) << d.what;
        EXPECT_TRUE(o.err.startsWith("dravelin-batch: arch.nas: not a settings snapshot"))
            << d.what << ": " << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("out.pdf"))) << d.what;
    }
}

// A frame colour of -1 in dravelin.ini and a font height of -800 in font: both files take them,
// so a snapshot saved from them is one the tool takes too.
TEST_F(SheetBatch, ASnapshotSavedFromAnySettingsTheFilesHoldIsTaken) {
    write("list.csv", exampleList(3));
    write("dravelin.ini", "[setup]\r\nbordercolor=-1\r\n");
    QByteArray fonts;
    for (int i = 0; i < settings::SlotCount; ++i) {
        fonts += test::fontRecord(0, i == settings::Nazev ? -800 : -11, "Arial", 0);
    }
    write("font", fonts);
    const platform::Profile ini(path("dravelin.ini"));
    settings::LayoutSettings s = settings::readSetup(ini, settings::LayoutSettings{});
    settings::SlotFonts read;
    read = settings::readFontFile(path("font"), read);
    for (int i = 0; i < settings::SlotCount; ++i) {
        s.lines[size_t(i)].font = read[size_t(i)];
    }
    ASSERT_EQ(s.bordercolor, -1);
    ASSERT_EQ(s.lines[settings::Nazev].font.height, -800);
    settings::saveSnapshotFile(s, path("saved.nas"));
    const Outcome o =
        runBatch({"--list", "list.csv", "--snapshot", "saved.nas", "--pdf", "out.pdf"}, dir.path());
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_EQ(pdfPages(path("out.pdf")), 1);
}

TEST_F(SheetBatch, LetterSheetGivesLetterPagesInPreparedPages) {
    write("30.csv", exampleList(30));
    const Outcome o =
        runBatch({"--list", "30.csv", "--sheet", "5160", "--lpf", "out.lpf"}, dir.path());
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    const auto store = labelprint::PageStore::open(path("out.lpf"));
    ASSERT_EQ(store->pageCount(), 1);
    // The page's frame in 0.01 mm: 215.9 × 279.4 mm, to the nearest design pixel.
    const QRect frame = labelprint::emf::readEmfHeader(store->page(1)).frame;
    EXPECT_NEAR(frame.width(), 21590, 30);
    EXPECT_NEAR(frame.height(), 27940, 30);
}

TEST_F(SheetBatch, WrongSheetOptionsAreOneLine) {
    write("list.csv", exampleList(3));
    const struct {
        QStringList args;
        int exitCode;
        const char* expected;
    } cases[] = {
        {{"--sheet", "nic"}, 2, "--sheet nic: no such sheet in the catalogue"},
        {{"--sheet", "L71"}, 2, "--sheet L71: not one sheet; did you mean: Avery L7159, "},
        {{"--sheet", "3651", "--skip", "40"}, 2, "--skip 40: a page holds only 40 labels"},
        {{"--skip", "-1"}, 2, "--skip wants a whole number of 0 or more, not \"-1\""},
        {{"--outline", "--skip", "2"}, 2, "--outline prints no list"},
    };
    for (const auto& c : cases) {
        const Outcome o =
            runBatch(QStringList{"--list", "list.csv", "--pdf", "out.pdf"} + c.args, dir.path());
        EXPECT_EQ(o.exitCode, c.exitCode) << c.expected;
        EXPECT_TRUE(
            o.err.startsWith(QStringLiteral("dravelin-batch: ") + QString::fromUtf8(c.expected)))
            << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("out.pdf"))) << c.expected;
    }
}

// The cell (row, column) of Herma 4614 (3 x 8 of 66 x 33.8 mm from 5.7 / 13 mm) that holds the
// centre of the word, or (-1, -1).
std::pair<int, int> hermaCell(const std::vector<Word>& words, const QString& text) {
    for (const Word& w : words) {
        if (w.text == text) {
            const double x = (w.xMin + w.xMax) / 2 * 254 / 72 - 57;
            const double y = (w.yMin + w.yMax) / 2 * 254 / 72 - 130;
            return {int(y / 338), int(x / 660)};
        }
    }
    return {-1, -1};
}

TEST_F(SheetBatch, UsedPositionsOfThe4614AreLeftOutInEitherOrder) {
    // The top four rows already peeled off: twelve labels fill the bottom four rows, the
    // thirteenth starts a fresh sheet at its first position.
    write("13.csv", exampleList(13));
    write("dravelin.ini", exampleIni());
    const struct {
        QStringList args;
        bool acrossRows;
    } cases[] = {
        {{"--order", "rows", "--used", "1-12"}, true},
        {{"--used", "1-4,9-12,17-20"}, false},
        {{"--used", "17-20,1-4,12,9-11", "--order=columns"}, false},
    };
    for (const auto& c : cases) {
        const Outcome o = runBatch(QStringList{"--list", "13.csv", "--settings", ".", "--sheet",
                                               "4614", "--pdf", "out.pdf"} +
                                       c.args,
                                   dir.path());
        ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
        const auto words = pdfWords(path("out.pdf"));
        ASSERT_EQ(words.size(), 2u) << c.args.join(' ').toStdString();
        for (int k = 0; k < 12; ++k) {
            const std::pair<int, int> want =
                c.acrossRows ? std::pair{4 + k / 3, k % 3} : std::pair{4 + k % 4, k / 4};
            EXPECT_EQ(hermaCell(words[0], QStringLiteral("*%1*").arg(700001 + k)), want)
                << "label " << k + 1 << " with " << c.args.join(' ').toStdString();
        }
        EXPECT_EQ(hermaCell(words[1], "*700013*"), (std::pair{0, 0}));
    }
}

TEST_F(SheetBatch, WrongOrderAndUsedOptionsAreOneLine) {
    write("list.csv", exampleList(3));
    write("dravelin.ini", exampleIni()); // no sheet switched on
    const struct {
        QStringList args;
        const char* expected;
    } cases[] = {
        {{"--sheet", "4614", "--order", "diagonal"},
         "--order wants rows or columns, not \"diagonal\""},
        {{"--sheet", "4614", "--order", "rows", "--order", "rows"}, "--order is given twice"},
        {{"--sheet", "4614", "--used", "0"},
         "--used wants label positions from 1, such as 1-12,17, not \"0\""},
        {{"--sheet", "4614", "--used", "1-12,x"},
         "--used wants label positions from 1, such as 1-12,17, not \"1-12,x\""},
        {{"--sheet", "4614", "--used", "1,,2"},
         "--used wants label positions from 1, such as 1-12,17, not \"1,,2\""},
        {{"--sheet", "4614", "--used", "99999999999"},
         "--used wants label positions from 1, such as 1-12,17, not \"99999999999\""},
        {{"--sheet", "4614", "--used", "12-1"}, "--used 12-1: the range 12-1 runs backwards"},
        {{"--sheet", "4614", "--used", "1", "--used", "2"}, "--used is given twice"},
        {{"--sheet", "4614", "--used", "3,1-25"}, "--used 3,1-25: the sheet has only 24 positions"},
        {{"--sheet", "4614", "--used", "1-2000000000"},
         "--used 1-2000000000: the sheet has only 24 positions"},
        {{"--sheet", "4614", "--used", "1-24"},
         "--used 1-24: no position of the first sheet is left free"},
        {{"--sheet", "4614", "--skip", "12", "--used", "13-24"},
         "--used 13-24: no position of the first sheet is left free"},
        {{"--used", "3"}, "--used needs a label sheet: --sheet NAME, or a sheet switched on"},
        {{"--order", "rows"}, "--order needs a label sheet: --sheet NAME, or a sheet switched on"},
    };
    for (const auto& c : cases) {
        const Outcome o = runBatch(
            QStringList{"--list", "list.csv", "--settings", ".", "--pdf", "out.pdf"} + c.args,
            dir.path());
        EXPECT_EQ(o.exitCode, 2) << c.expected;
        EXPECT_TRUE(
            o.err.startsWith(QStringLiteral("dravelin-batch: ") + QString::fromUtf8(c.expected)))
            << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("out.pdf"))) << c.expected;
    }
}

} // namespace
