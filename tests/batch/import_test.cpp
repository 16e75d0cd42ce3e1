// dravelin-batch --import: a shop's price list through a column mapping, printed as a list
// file with the same labels would be, or added to seznam.db or to the server's list, all or
// nothing.
#include "batchprocess.h"

#include "platform/codepage.h"
#include "printlist/database.h"
#include "printlist/pgstore.h"
#include "support/pgtest.h"
#include "support/tempprogramdir.h"
#include "support/viewrows.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace batchtest;

namespace {

const QByteArray kPriceList = "K\xC3\xB3"
                              "d,N\xC3\xA1zev,Cena,Balen\xC3\xAD,MJ,Akce,Po\xC4\x8D"
                              "et\r\n"
                              "101,M\xC3\xA1slo,\"14,95\",250,g,\"16,90\",2\r\n"
                              "102,\"Mouka, hladk\xC3\xA1\",\"19,90\",1,kg,,1\r\n"
                              "103,Sirky,\"5,00\",10,ks,,0\r\n";

// The labels kPriceList gives through kMapping, as the list file "uložit seznam" would write.
const QStringList kLabels = {
    "101;*101*;Máslo;14,95 Kč;59,80 Kč/kg;Nejnižší cena za 30 dní: 16,90 Kč;",
    "101;*101*;Máslo;14,95 Kč;59,80 Kč/kg;Nejnižší cena za 30 dní: 16,90 Kč;",
    "102;*102*;Mouka, hladká;19,90 Kč;19,90 Kč/kg;;",
};

const QStringList kMapping = {"--map",       "kod=Kód",    "--map",        "nazev=2",
                              "--price",     "cena=Cena",  "--unit-price", "text1=Cena,Balení,MJ",
                              "--sale-line", "text2=Akce", "--copies",     "Počet"};

std::vector<QStringList> rowsOf(printlist::Store& store) {
    store.open();
    return test::viewRows(store.listView());
}

std::vector<QStringList> expectedRows(const std::vector<QStringList>& before) {
    std::vector<QStringList> rows = before;
    for (const QString& label : kLabels) {
        rows.push_back(label.split(';'));
    }
    return rows;
}

class BatchImport : public ::testing::Test {
  protected:
    void SetUp() override {
        program.createDatabase();
        program.write("dravelin.ini", exampleIni());
        program.write("cenik.csv", kPriceList);
        // One row of its own in the list already.
        printlist::SqliteStore store(program.file("seznam.db"));
        store.open();
        store.addCopies({"1", "*1*", "stará", "", "", "", ""}, 1);
    }
    QStringList args(const QStringList& extra) const {
        return QStringList{"--import", program.file("cenik.csv"), "--settings", program.path()} +
               kMapping + extra;
    }
    TempProgramDir program;
};

TEST_F(BatchImport, PrintsTheMappedLabelsAsTheSameListFileWouldPrint) {
    program.write("list.csv", platform::toCp1250(kLabels.join("\r\n") + "\r\n"));
    const Outcome imported = runBatch(args({"--pdf", program.file("import.pdf")}));
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const Outcome listed = runBatch({"--list", program.file("list.csv"), "--settings",
                                     program.path(), "--pdf", program.file("list.pdf")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const auto a = pdfWords(program.file("import.pdf"));
    const auto b = pdfWords(program.file("list.pdf"));
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(a.size(), b.size());
    QStringList wordsA;
    QStringList wordsB;
    for (const Word& w : a[0]) {
        wordsA << w.text;
    }
    for (const Word& w : b[0]) {
        wordsB << w.text;
    }
    EXPECT_EQ(wordsA, wordsB);
    EXPECT_TRUE(wordsA.contains("59,80")) << wordsA.join(' ').toStdString();
}

TEST_F(BatchImport, AddsToSeznamDbAllOrNothing) {
    printlist::SqliteStore before(program.file("seznam.db"));
    const auto old = rowsOf(before);
    const Outcome o = runBatch(args({"--add-to-db", program.file("seznam.db")}));
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    printlist::SqliteStore after(program.file("seznam.db"));
    EXPECT_EQ(rowsOf(after), expectedRows(old));

    // Bad rows: every one listed with its line, and nothing added.
    program.write("zle.csv", "K\xC3\xB3"
                             "d;Cena;Balen\xC3\xAD;MJ;Po\xC4\x8D"
                             "et\n"
                             "1;12;1;kg;1\n"
                             "2;abc;1;kg;1\n"
                             "3;12;1;bal;1\n"
                             "4;12;1;kg;-1\n");
    const Outcome bad = runBatch({"--import", program.file("zle.csv"), "--map", "kod=1",
                                  "--unit-price", "cena=Cena,Balení,MJ", "--copies", "5",
                                  "--add-to-db", program.file("seznam.db")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err,
              QString("dravelin-batch: %1: 3 rows cannot become labels; nothing was taken\n"
                      "  line 3: cena: \"abc\" in column Cena is not a number\n"
                      "  line 4: cena: unknown unit \"bal\" in column MJ (g, kg, ml, l, "
                      "m, m², ks)\n"
                      "  line 5: copies \"-1\" in column 5 is not a whole number of 0 or "
                      "more\n")
                  .arg(program.file("zle.csv")));
    printlist::SqliteStore unchanged(program.file("seznam.db"));
    EXPECT_EQ(rowsOf(unchanged), expectedRows(old));
}

TEST_F(BatchImport, AddsToTheServerInOneTransaction) {
    PgTestDatabase db;
    const Outcome o = runBatch(args({"--add-to-server", db.conninfo()}));
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    printlist::PgStore server(db.conninfo());
    EXPECT_EQ(rowsOf(server), expectedRows({}));

    // A row the server refuses (a NUL character) after 1500 good ones, which went to the server
    // in batches: none of them stays.
    QByteArray file = "K\xC3\xB3"
                      "d\n";
    for (int i = 1; i <= 1500; ++i) {
        file += QByteArray::number(i) + "\n";
    }
    program.write("nul.csv", file + "x" + QByteArray(1, '\0') + "y\n");
    const Outcome refused = runBatch(
        {"--import", program.file("nul.csv"), "--map", "kod=1", "--add-to-server", db.conninfo()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("nothing was added")) << refused.err.toStdString();
    printlist::PgStore again(db.conninfo());
    EXPECT_EQ(rowsOf(again), expectedRows({}));
}

TEST_F(BatchImport, ASavedMappingIsUsedAndChangedLineByLine) {
    program.write("dravelin.ini",
                  exampleIni() + platform::toCp1250("[mapovani]\r\nCeník=map kod=Kód|map nazev=2|"
                                                    "price cena=Cena|copies Počet\r\n"));
    const Outcome o =
        runBatch({"--import", program.file("cenik.csv"), "--settings", program.path(), "--mapping",
                  "ceník", "--map", "text1=MJ", "--add-to-db", program.file("seznam.db")});
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    printlist::SqliteStore store(program.file("seznam.db"));
    const auto rows = rowsOf(store);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], QStringList({"101", "*101*", "Máslo", "14,95 Kč", "g", "", ""}));

    const Outcome missing =
        runBatch({"--import", program.file("cenik.csv"), "--settings", program.path(), "--mapping",
                  "Sklad", "--pdf", program.file("x.pdf")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("--mapping Sklad: no such mapping"))
        << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains("(saved: Ceník)")) << missing.err.toStdString();
}

TEST(BatchImportOptions, WrongCombinationsAreUsageFaults) {
    TempProgramDir program;
    program.write("c.csv", "a;b\n1;2\n");
    const struct {
        QStringList args;
        QString said;
    } cases[] = {
        {{"--map", "kod=1", "--pdf", "x.pdf"}, "need --import FILE"},
        {{"--import", "c.csv", "--pdf", "x.pdf"}, "--import needs a mapping"},
        {{"--import", "c.csv", "--map", "cislo=1", "--pdf", "x.pdf"}, "the field is one of kod"},
        {{"--import", "c.csv", "--map", "kod=1", "--add-to-db", "s.db", "--pdf", "x.pdf"},
         "prints nothing"},
        {{"--import", "c.csv", "--list", "l.csv", "--map", "kod=1", "--pdf", "x.pdf"},
         "exclude each other"},
        {{"--import", "c.csv", "--unit-price", "text1=1,2", "--pdf", "x.pdf"},
         "PRICE,QUANTITY,UNIT"},
    };
    for (const auto& c : cases) {
        const Outcome o = runBatch(c.args, program.path());
        EXPECT_EQ(o.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(o.err.contains(c.said)) << o.err.toStdString();
    }
}

TEST(BatchImportSheets, AMissingWorksheetNamesTheSheetsThereAre) {
    TempProgramDir program;
    program.write("dravelin.ini", exampleIni());
    const Outcome o =
        runBatch({"--import", DRAVELIN_PRICELISTS "/pricelist.xlsx", "--settings", program.path(),
                  "--map", "kod=1", "--worksheet", "Sklad", "--pdf", program.file("x.pdf")});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(o.err.contains("no sheet \"Sklad\" (sheets: Ceník, Akce)")) << o.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(program.file("x.pdf")));
}

} // namespace
