#include "listfixture.h"

#include "platform/codepage.h"
#include "printlist/pricelist.h"
#include "printlist/spreadsheets.h"

#include <QFile>

using printlist::PriceListError;
using printlist::PriceListMapping;
using printlist::RowFault;

namespace {

using Labels = std::vector<QStringList>;

PriceListMapping mapping(const std::vector<std::pair<QString, QString>>& options) {
    PriceListMapping m;
    for (const auto& [option, value] : options) {
        printlist::applyMappingOption(m, option, value);
    }
    return m;
}

// Every label the file gives, each as its seven values.
Labels labelsOf(const QString& path, const PriceListMapping& m, const QString& specznak = "*") {
    printlist::PriceListRows rows(path, m, specznak);
    Labels out;
    for (rows.first(); !rows.eof(); rows.next()) {
        QStringList values;
        for (int i = 1; i <= 7; ++i) {
            values << rows.field(i);
        }
        out.push_back(values);
    }
    EXPECT_EQ(qint64(out.size()), rows.labelCount());
    return out;
}

QString pricelist(const char* name) {
    return QStringLiteral(DRAVELIN_PRICELISTS "/") + QLatin1String(name);
}

// The mapping of the fixture made by make_pricelists.py, by header texts.
PriceListMapping fixtureMapping() {
    return mapping({{"map", "kod=Kód"},
                    {"map", "nazev=Název"},
                    {"price", "cena=Cena"},
                    {"unit-price", "text1=Cena,Množství,Jednotka"},
                    {"sale-line", "text2=Akce"},
                    {"map", "text3=Datum"},
                    {"copies", "Počet"}});
}

const QStringList kButter = {"8594001234567", "*8594001234567*",
                             "Máslo čerstvé", "14,95 Kč",
                             "59,80 Kč/kg",   "Nejnižší cena za 30 dní: 16,90 Kč",
                             "15.03.2026"};
const QStringList kHorse = {
    "A-17", "*A-17*", "Žluťoučký kůň – hračka", "1 299,00 Kč", "1 299,00 Kč/ks", "", "01.12.2026"};
const QStringList kWater = {"42", "*42*", "Minerální voda, \"perlivá\"", "12,90 Kč", "8,60 Kč/l",
                            "",   ""};
const Labels kFixtureLabels = {kButter, kButter, kHorse, kWater, kWater, kWater};

} // namespace

TEST(PriceNumber, CzechAndEnglishWritingsReadAsOneNumber) {
    struct Case {
        QString text;
        std::optional<printlist::Decimal> value;
    } cases[] = {
        {"14,95", printlist::Decimal{1495, 2}},
        {"14.95", printlist::Decimal{1495, 2}},
        {"1 299,00", printlist::Decimal{129900, 2}},
        {QString("1") + QChar(0xA0) + "299,00 Kč", printlist::Decimal{129900, 2}},
        {"1,299.00", printlist::Decimal{129900, 2}},
        {"1.299,00", printlist::Decimal{129900, 2}},
        {"Kč 29,90", printlist::Decimal{2990, 2}},
        {"29,90Kč", printlist::Decimal{2990, 2}},
        {"29,-", printlist::Decimal{29, 0}},
        {"1 299 000", printlist::Decimal{1299000, 0}},
        {"-3,5", printlist::Decimal{-35, 1}},
        {"", std::nullopt},
        {"Kč", std::nullopt},
        {"abc", std::nullopt},
        {"12 34", std::nullopt},    // not groups of three
        {"1,2,3", std::nullopt},    // repeated marks group thousands in threes
        {"1.299.00", std::nullopt}, // the decimal mark twice
        {"14,95 €", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(printlist::parsePriceNumber(c.text), c.value) << c.text.toStdString();
    }
}

TEST(PriceNumber, UnitPricesRoundToTheHalerHalfAwayFromZero) {
    struct Case {
        QString price, quantity, unit;
        bool per100;
        QString text;
    } cases[] = {
        {"14,95", "250", "g", false, "59,80 Kč/kg"},
        {"14,95", "250", "g", true, "5,98 Kč/100 g"},
        {"19,90", "0,33", "l", false, "60,30 Kč/l"},
        {"19,90", "330", "ml", true, "6,03 Kč/100 ml"},
        {"44,90", "1,5", "kg", false, "29,93 Kč/kg"},
        {"44,90", "1,5", "kg", true, "2,99 Kč/100 g"},
        {"59,90", "6", "ks", false, "9,98 Kč/ks"},
        {"129", "2,5", "m", false, "51,60 Kč/m"},
        {"399", "1,2", "M2", false, "332,50 Kč/m²"},
        // Halves: exactly 5,025 and 0,015 and 0,005 go up, as decimals and not binary doubles.
        {"10,05", "2", "ks", false, "5,03 Kč/ks"},
        {"0,03", "2", "ks", false, "0,02 Kč/ks"},
        {"0,01", "2", "ks", false, "0,01 Kč/ks"},
        {"0,01", "3", "ks", false, "0,00 Kč/ks"},
        {"-0,03", "2", "ks", false, "-0,02 Kč/ks"},
        {"1 299", "1", "ks", true, "1 299,00 Kč/ks"}, // per 100 applies to g and ml only
    };
    for (const Case& c : cases) {
        const auto price = printlist::parsePriceNumber(c.price);
        const auto quantity = printlist::parsePriceNumber(c.quantity);
        const auto unit = printlist::parsePackUnit(c.unit);
        ASSERT_TRUE(price && quantity && unit) << c.price.toStdString();
        const auto u = printlist::unitPrice(*price, *quantity, *unit, c.per100);
        EXPECT_EQ(u.fault, printlist::UnitPriceFault::None);
        EXPECT_EQ(u.text, c.text) << c.price.toStdString() << " / " << c.quantity.toStdString()
                                  << " " << c.unit.toStdString();
    }
    EXPECT_EQ(printlist::unitPrice({1495, 2}, {0, 0}, printlist::PackUnit::Gram, false).fault,
              printlist::UnitPriceFault::ZeroQuantity);
    EXPECT_FALSE(printlist::parsePackUnit("bal"));
    EXPECT_EQ(printlist::formatKc(toHaler(printlist::Decimal{29905, 3})), "29,91 Kč");
}

TEST(PriceListCsv, DialectsGiveTheExactLabels) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<std::pair<QString, QString>> options;
        Labels labels;
    } cases[] = {
        {"spreadsheet UTF-8 comma export, quotes and a line break inside a field",
         QByteArray("\xEF\xBB\xBF") +
             QString("Kód,Název,Cena,Poznámka\r\n"
                     "1001,\"Chléb \"\"Sedlácký\"\", 500 g\",\"34,90\",\"První\r\ndruhý\"\r\n"
                     "1002,Rohlík,\"3,50\",\r\n")
                 .toUtf8(),
         {{"map", "kod=Kód"},
          {"map", "nazev=Název"},
          {"price", "cena=Cena"},
          {"map", "text1=Poznámka"}},
         {{"1001", "*1001*", "Chléb \"Sedlácký\", 500 g", "34,90 Kč", "První\ndruhý", "", ""},
          {"1002", "*1002*", "Rohlík", "3,50 Kč", "", "", ""}}},
        {"till export: ; and Windows-1250 without a mark",
         platform::toCp1250("KOD;NAZEV;CENA;MJ;BALENI\r\n"
                            "8590001;Žluťoučký sýr;45,90;g;200\r\n"
                            "8590002;Šťáva pomerančová;1 029,00;l;1\r\n"),
         {{"map", "kod=KOD"},
          {"map", "nazev=NAZEV"},
          {"map", "cena=CENA"},
          {"unit-price", "text1=CENA,BALENI,MJ,per100"}},
         {{"8590001", "*8590001*", "Žluťoučký sýr", "45,90", "22,95 Kč/100 g", "", ""},
          {"8590002", "*8590002*", "Šťáva pomerančová", "1 029,00", "102,90 Kč/100 ml", "", ""}}},
        {"tab-separated, columns by number",
         "code\tname\tprice\tpcs\n"
         "X-1\tHook, brass\t1,299.00\t2\n"
         "X-2\tNail | 50 mm\t0.85\t\n"
         "X-3\tScrew\t2.10\t1\n",
         {{"map", "kod=1"}, {"map", "nazev=2"}, {"price", "cena=3"}, {"copies", "4"}},
         {{"X-1", "*X-1*", "Hook, brass", "1 299,00 Kč", "", "", ""},
          {"X-1", "*X-1*", "Hook, brass", "1 299,00 Kč", "", "", ""},
          {"X-3", "*X-3*", "Screw", "2,10 Kč", "", "", ""}}},
        {"no header: the first row is a label",
         platform::toCp1250("5;Jablka;29,90;1;kg\n"
                            "6;Hrušky;39,90;0,5;kg\n"
                            "\n"),
         {{"map", "kod=1"}, {"map", "nazev=2"}, {"price", "cena=3"}, {"unit-price", "text1=3,4,5"}},
         {{"5", "*5*", "Jablka", "29,90 Kč", "29,90 Kč/kg", "", ""},
          {"6", "*6*", "Hrušky", "39,90 Kč", "79,80 Kč/kg", "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir dir;
        dir.write("cenik.csv", c.bytes);
        EXPECT_EQ(labelsOf(dir.file("cenik.csv"), mapping(c.options)), c.labels);
    }
}

TEST(PriceListCsv, TheHeaderChoiceCanBeOverridden) {
    TempProgramDir dir;
    dir.write("cenik.csv", "Mouka;Cukr\nSul;Pepr\n");
    auto m = mapping({{"map", "nazev=1"}});
    EXPECT_EQ(labelsOf(dir.file("cenik.csv"), m).size(), 2u);
    m.header = true;
    EXPECT_EQ(labelsOf(dir.file("cenik.csv"), m), Labels({{"", "", "Sul", "", "", "", ""}}));
}

TEST(PriceListSpreadsheets, XlsxOdsAndTheirCsvExportGiveTheSameLabels) {
    for (const char* name : {"pricelist.csv", "pricelist.xlsx", "pricelist.ods"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(labelsOf(pricelist(name), fixtureMapping()), kFixtureLabels);
    }
    // The note column holds a line break in every format.
    for (const char* name : {"pricelist.csv", "pricelist.xlsx", "pricelist.ods"}) {
        const auto p = printlist::previewPriceList(pricelist(name), fixtureMapping(), "*");
        EXPECT_TRUE(p.headerDetected) << name;
        ASSERT_EQ(p.cells.size(), 4u) << name;
        EXPECT_EQ(p.cells[2].value(8), "Vratná\nláhev") << name;
        EXPECT_EQ(p.rows[3].copies, 0) << name;
        EXPECT_EQ(p.rows[1].line, 3) << name;
    }
}

TEST(PriceListSpreadsheets, ASheetIsChosenByNameAndAMissingOneIsNamed) {
    const auto other = mapping({{"map", "kod=Kód"}, {"map", "nazev=Název"}, {"worksheet", "akce"}});
    for (const char* name : {"pricelist.xlsx", "pricelist.ods"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(printlist::worksheetNames(pricelist(name)), QStringList({"Ceník", "Akce"}));
        auto m = other;
        if (QString(name).endsWith("ods")) {
            m.header = false; // the ODS second sheet has no header row
            m.fields[0].column = "1";
            m.fields[1] = {};
        }
        const Labels labels = labelsOf(pricelist(name), m);
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0][0], "X1");
        m.worksheet = "Sklad";
        try {
            printlist::PriceListRows rows(pricelist(name), m, "*");
            ADD_FAILURE() << "a missing sheet was read";
        } catch (const PriceListError& e) {
            EXPECT_EQ(e.fault(), PriceListError::Fault::NoSheet);
            EXPECT_EQ(e.sheet(), "Sklad");
            EXPECT_EQ(e.sheets(), QStringList({"Ceník", "Akce"}));
        }
    }
}

TEST(PriceListSpreadsheets, LockedDamagedAndOldWorkbooksAreTypedFaults) {
    TempProgramDir dir;
    QFile xlsx(pricelist("pricelist.xlsx"));
    ASSERT_TRUE(xlsx.open(QIODevice::ReadOnly));
    dir.write("cut.xlsx", xlsx.read(xlsx.size() / 2));
    dir.write("locked.xlsx",
              QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(512, 0));
    struct Case {
        QString path;
        PriceListError::Fault fault;
    } cases[] = {
        {pricelist("locked.ods"), PriceListError::Fault::Encrypted},
        {dir.file("locked.xlsx"), PriceListError::Fault::Encrypted},
        {dir.file("cut.xlsx"), PriceListError::Fault::Damaged},
        {dir.file("missing.csv"), PriceListError::Fault::Unreadable},
    };
    for (const Case& c : cases) {
        try {
            printlist::PriceListRows rows(c.path, fixtureMapping(), "*");
            ADD_FAILURE() << c.path.toStdString() << " was read";
        } catch (const PriceListError& e) {
            EXPECT_EQ(e.fault(), c.fault) << c.path.toStdString() << ": " << e.text().toStdString();
        }
    }
}

TEST(PriceListSpreadsheets, NumbersAndDatesShowAsTheirFormatsSayInCzech) {
    struct Case {
        double value;
        QString code, text;
    } cases[] = {
        {1299, "#,##0.00", "1 299,00"},
        {29.9, "#,##0.00\\ \"Kč\"", "29,90 Kč"},
        {5, "[$Kč-405]\\ #,##0", "Kč 5"},
        {0.125, "0.0%", "12,5%"},
        {0.1 + 0.2, "", "0,3"},
        {8594001234567, "General", "8594001234567"},
        {-4.5, "0.00;(0.00)", "(4,50)"},
        {46096, "d.m.yyyy", "15.3.2026"},
        {46096.75, printlist::builtinNumberFormat(22), "15.03.2026 18:00"},
        {0.5, "h:mm:ss", "12:00:00"},
        {59, "dd.mm.yyyy", "28.02.1900"},
        {61, "dd.mm.yyyy", "01.03.1900"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(printlist::displayNumber(c.value, c.code), c.text) << c.code.toStdString();
    }
    EXPECT_EQ(printlist::displayNumber(0, "dd.mm.yyyy", true), "01.01.1904");
}

TEST(PriceListMapping, RowsThatCannotBeMappedAreListedWithTheirLines) {
    TempProgramDir dir;
    dir.write("cenik.csv", "Kód;Název;Cena;Množství;Jednotka;Počet\n"
                           "1;\"Dvě\nřádky\";12,50;1;kg;1\n"
                           "2;Chyba ceny;dvanáct;1;kg;1\n"
                           "3;Chyba jednotky;12;1;bal;1\n"
                           "4;Nula;12;0;kg;1\n"
                           "5;Půl kusu;12;1;kg;1,5\n"
                           "6;Dobrá;12;1;kg;\n");
    const auto m = mapping({{"map", "nazev=Název"},
                            {"unit-price", "text1=Cena,Množství,Jednotka"},
                            {"copies", "Počet"}});
    try {
        printlist::PriceListRows rows(dir.file("cenik.csv"), m, "*");
        FAIL() << "bad rows were taken";
    } catch (const printlist::PriceListRowsError& e) {
        ASSERT_EQ(e.total(), 4);
        QStringList said;
        for (const RowFault& f : e.faults()) {
            said << printlist::describeFault(f);
        }
        EXPECT_EQ(said, QStringList({
                            "line 4: text1: \"dvanáct\" in column Cena is not a number",
                            "line 5: text1: unknown unit \"bal\" in column Jednotka (g, kg, ml, "
                            "l, m, m², ks)",
                            "line 6: text1: the quantity in column Množství is 0",
                            "line 7: copies \"1,5\" in column Počet is not a whole number of 0 or "
                            "more",
                        }));
    }
    try {
        printlist::PriceListRows rows(dir.file("cenik.csv"), mapping({{"map", "nazev=Jméno"}}),
                                      "*");
        FAIL() << "an unknown column was taken";
    } catch (const PriceListError& e) {
        EXPECT_EQ(e.fault(), PriceListError::Fault::NoColumn);
        EXPECT_EQ(e.sheet(), "Jméno");
    }
}

TEST(PriceListMapping, SavedTextGivesTheSameMappingBack) {
    auto m = mapping({{"map", "kod=Kód, EAN"},
                      {"price", "cena=Cena|s DPH"},
                      {"unit-price", "text1=Cena|s DPH,Obsah 100%,MJ,per100"},
                      {"sale-line", "text2=6"},
                      {"copies", "Počet"},
                      {"header", "no"},
                      {"worksheet", "Ceník"}});
    m.fields[2].column = "Cena|s DPH";
    EXPECT_EQ(printlist::mappingFromText(printlist::mappingToText(m)), m);
    EXPECT_EQ(m.fields[3].quantity, "Obsah 100%");
    EXPECT_TRUE(m.fields[3].per100);
    EXPECT_THROW(printlist::mappingFromText("map cislo=1"), platform::Error);
}

class PriceListStore : public ListTest {};

TEST_P(PriceListStore, AddsAfterTheListAllOrNothing) {
    printlist::addLabels(store(), {"old", "stará", "1", "", "", ""}, "*", 1);
    const Rows before = viewRows();
    EXPECT_EQ(
        printlist::importPriceList(store(), pricelist("pricelist.xlsx"), fixtureMapping(), "#"), 6);
    Rows expected = before;
    for (QStringList label : kFixtureLabels) {
        label[1] = "#" + label[0] + "#";
        expected.push_back(label);
    }
    EXPECT_EQ(viewRows(), expected);
    EXPECT_EQ(tableRows(), expected);

    // One bad row at the end: nothing of the file comes in.
    TempProgramDir dir;
    dir.write("bad.csv", "Kód;Název;Cena\n1;a;1\n2;b;2\n3;c;x\n");
    const auto m = mapping({{"map", "kod=Kód"}, {"price", "cena=Cena"}});
    EXPECT_THROW(printlist::importPriceList(store(), dir.file("bad.csv"), m, "*"),
                 printlist::PriceListRowsError);
    EXPECT_EQ(tableRows(), expected);
}

DRAVELIN_BOTH_STORES(PriceListStore);
