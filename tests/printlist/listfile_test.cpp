#include "listfixture.h"

#include "platform/fileerror.h"
#include "printlist/listfile.h"
#include "support/fifoguard.h"

#include <optional>

using printlist::ImportResult;
using Fault = printlist::ListFileError::Fault;

namespace {

// What importing the file throws, in words a test compares: "ValueCount 2 8", "Unreadable",
// "refused: <the store's text>"; empty when it imports.
template <typename Store> QString importFault(Store& store, const QString& path) {
    try {
        printlist::importList(store, path);
        return {};
    } catch (const printlist::ListFileError& e) {
        switch (e.fault()) {
        case Fault::Unreadable:
            return "Unreadable";
        case Fault::Empty:
            return QString("Empty %1 %2").arg(e.line()).arg(e.values());
        case Fault::ValueCount:
            break;
        }
        return QString("ValueCount %1 %2").arg(e.line()).arg(e.values());
    } catch (const printlist::ImportRefused& e) {
        return "refused: " + e.text();
    }
}

const QStringList kCzech = {"123456", "*123456*", "Žluťoučký kůň", "12,50 Kč", "", "", ""};
const QStringList kEmpty = {"", "", "", "", "", "", ""};
const QStringList kOld = {"old", "*old*", "stará", "1", "", "", ""};

const QByteArray kCzechLine = "123456;*123456*;\x8elu\x9dou\xe8k\xfd k\xf9\xf2;12,50 K\xe8;;;\r\n";

} // namespace

TEST(ListFileName, CsvAnywhereInThePathCaseSensitive) {
    struct Case {
        QString chosen, completed;
    } cases[] = {
        {"/home/u/seznam", "/home/u/seznam.csv"},
        {"/home/u/seznam.CSV", "/home/u/seznam.CSV.csv"},
        {"/home/u/seznam.csv", "/home/u/seznam.csv"},
        {"/data/csvfiles/seznam", "/data/csvfiles/seznam"},
        {"/home/u/mycsvlist.txt", "/home/u/mycsvlist.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(printlist::completeListFileName(c.chosen), c.completed);
    }
}

TEST_P(ListTest, ExportWritesWindows1250LinesWithCrLf) {
    fill({kCzech, kEmpty});
    store().listView().moveTo(2);
    dir.write("out.csv", QByteArray(5000, 'z')); // replaced without a question
    printlist::exportList(store().listView(), dir.file("out.csv"));

    EXPECT_EQ(dir.read("out.csv"), kCzechLine + ";;;;;;\r\n");
    EXPECT_EQ(store().listView().currentRow(), 1);
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, ExportOfEmptyListWritesEmptyFile) {
    dir.write("out.csv", "old contents");
    printlist::exportList(store().listView(), dir.file("out.csv"));
    EXPECT_TRUE(dir.exists("out.csv"));
    EXPECT_EQ(dir.read("out.csv").size(), 0);
}

TEST_P(ListTest, ExportWriteFailureThrowsFileError) {
    fill({kCzech});
    EXPECT_THROW(printlist::exportList(store().listView(), dir.file("missing/out.csv")),
                 platform::FileError);
}

TEST_P(ListTest, ExportThenImportRestoresListIncludingQuotesAndColons) {
    const Rows rows = {
        kCzech,
        kEmpty,
        {"O'Brien", "*O'Brien*", "say \"hi\"", ":cena", "\"a:b\"", "`x:y`", "ěščřžýáíé ĚŠČŘŽÝÁÍÉ"},
        kCzech,
    };
    fill(rows);
    printlist::exportList(store().listView(), dir.file("list.csv"));
    printlist::clearList(store());
    ASSERT_TRUE(tableRows().empty());

    EXPECT_EQ(printlist::importList(store(), dir.file("list.csv")), ImportResult::Imported);
    EXPECT_EQ(tableRows(), rows);
    EXPECT_EQ(viewRows(), rows);
    EXPECT_EQ(store().listView().currentRow(), 1);
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, ImportReadsLineEndsCtrlZAndTrimsValues) {
    const QString v300(300, 'v');
    struct Case {
        const char* name;
        QByteArray bytes;
        Rows rows;
    } cases[] = {
        {"LF and CR LF alike",
         "a;b;c;d;e;f;g\nh;i;j;k;l;m;n\r\n",
         {{"a", "b", "c", "d", "e", "f", "g"}, {"h", "i", "j", "k", "l", "m", "n"}}},
        {"no break after the last line", "a;b;c;d;e;f;g", {{"a", "b", "c", "d", "e", "f", "g"}}},
        {"lone CR dropped", "a\rb;c;d;e;f;g;h\r\r\n", {{"ab", "c", "d", "e", "f", "g", "h"}}},
        {"Ctrl-Z ends the file",
         "a;b;c;d;e;f;g\r\n\x1a;garbage\r\n\r\n",
         {{"a", "b", "c", "d", "e", "f", "g"}}},
        {"Ctrl-Z inside a line", "a;b;c;d;e;f;g\x1ax;y\r\n", {{"a", "b", "c", "d", "e", "f", "g"}}},
        {"blanks and controls trimmed",
         "  abc  ;\tx\t; ;\x01y;;;z  \r\n",
         {{"abc", "x", "", "y", "", "", "z"}}},
        {"six separators only", ";;;;;;\r\n", {{"", "", "", "", "", "", ""}}},
        {"Windows-1250", kCzechLine, {kCzech}},
        {"blank lines at the very end ignored",
         "a;b;c;d;e;f;g\r\n\r\n  \r\n\n",
         {{"a", "b", "c", "d", "e", "f", "g"}}},
        {"lone CR after the last line", "a;b;c;d;e;f;g\n\r", {{"a", "b", "c", "d", "e", "f", "g"}}},
        {"values cut to 255",
         "a;" + v300.toLatin1() + ";;;;;\r\n",
         {{"a", QString(255, 'v'), "", "", "", "", ""}}},
    };
    for (const Case& c : cases) {
        fill({kOld});
        dir.write("in.csv", c.bytes);
        EXPECT_EQ(printlist::importList(store(), dir.file("in.csv")), ImportResult::Imported)
            << c.name;
        EXPECT_EQ(tableRows(), c.rows) << c.name;
        EXPECT_EQ(viewRows(), c.rows) << c.name;
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, FailedImportLeavesListAsItWasAndThrowsTheLineAndItsValues) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString fault;
    } cases[] = {
        {"empty file", "", "Empty 1 1"},
        {"blank lines only", "\r\n\r\n", "ValueCount 1 1"},
        {"empty line in the middle", "a;b;c;d;e;f;g\n\na;b;c;d;e;f;g\n", "ValueCount 2 1"},
        {"eight values", "a;b;c;d;e;f;g\r\na;b;c;d;e;f;g;h\r\n", "ValueCount 2 8"},
        {"three values", "a;b;c\r\n", "ValueCount 1 3"},
        {"one value", "a;b;c;d;e;f;g\r\nabc\r\n", "ValueCount 2 1"},
        // The server cannot store a NUL and seznam.db would keep it: refused alike on both.
        {"NUL inside a value", QByteArray("a;b;c;d;e;f;g\r\nx;y;n") + '\0' + "z;;;;\r\n",
         "refused: řádek 2: hodnota nazev obsahuje znak NUL"},
    };
    const Rows before = {kOld, kCzech};
    fill(before);
    for (const Case& c : cases) {
        store().listView().moveTo(2);
        dir.write("bad.csv", c.bytes);
        EXPECT_EQ(importFault(store(), dir.file("bad.csv")), c.fault) << c.name;
        EXPECT_EQ(tableRows(), before) << c.name;
        EXPECT_EQ(viewRows(), before) << c.name;
        EXPECT_EQ(dir.read("bad.csv"), c.bytes) << c.name;
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, CharactersOutsideWindows1250ComeBackAsQuestionMarks) {
    const Rows rows = {
        {"R1", "*R1*", "akce ☕", "12 Kč/m²", "", "", ""},
        {"R2", "*R2*", "úsměv 😀", "", "ř", "", ""},
        {"R3", "*R3*", "Žluťoučký kůň", "€ 5", "", "", ""},
        {"R4", "*R4*", "", "", "", "", "konec"},
    };
    const Rows back = {
        {"R1", "*R1*", "akce ?", "12 Kč/m?", "", "", ""},
        {"R2", "*R2*", "úsměv ?", "", "ř", "", ""},
        rows[2],
        rows[3],
    };
    fill(rows);
    printlist::exportList(store().listView(), dir.file("list.csv"));
    EXPECT_FALSE(dir.read("list.csv").contains('\x1a'));
    EXPECT_EQ(printlist::importList(store(), dir.file("list.csv")), ImportResult::Imported);
    EXPECT_EQ(tableRows(), back);
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, SavingAListWindows1250LacksAsksForUtf8) {
    const QString question =
        "Seznam obsahuje znaky, které kódování Windows-1250 nemá. Uložit soubor v UTF-8?";
    const Rows foreign = {
        {"J1", "*J1*", "Jalapeño", "12 Kč", "", "", ""},
        {"K2", "*K2*", "káva ☕", "", "úsměv 😀", "", "Žluťoučký"},
    };
    const Rows foreignAsSavedIn1250 = {
        {"J1", "*J1*", "Jalape?o", "12 Kč", "", "", ""},
        {"K2", "*K2*", "káva ?", "", "úsměv ?", "", "Žluťoučký"},
    };
    struct Case {
        const char* name;
        Rows rows;
        std::optional<prompts::Answer> answer; // nothing: no question may come
        QByteArray start;                      // the file's first bytes
        Rows back;                             // what an import reads from the file
    } cases[] = {
        {"Ano: UTF-8 with its mark", foreign, prompts::Answer::Yes,
         "\xef\xbb\xbfJ1;*J1*;Jalape\xc3\xb1o", foreign},
        {"Ne: Windows-1250 as before", foreign, prompts::Answer::No, "J1;*J1*;Jalape?o;12 K\xe8",
         foreignAsSavedIn1250},
        {"a Czech list: no question", {kCzech}, std::nullopt, kCzechLine, {kCzech}},
    };
    for (const Case& c : cases) {
        prompts::clearHistory();
        printlist::clearList(store());
        fill(c.rows);
        if (c.answer) {
            prompts::setNextAnswer(*c.answer);
        }
        printlist::askAndExportList(store().listView(), dir.file("list.csv"));
        if (c.answer) {
            ASSERT_EQ(prompts::shownMessages().size(), 1u) << c.name;
            EXPECT_EQ(prompts::shownMessages()[0].text, question) << c.name;
            EXPECT_EQ(prompts::shownMessages()[0].buttons, prompts::Buttons::YesNo) << c.name;
        } else {
            EXPECT_TRUE(prompts::shownMessages().empty()) << c.name;
        }
        const QByteArray bytes = dir.read("list.csv");
        EXPECT_TRUE(bytes.startsWith(c.start)) << c.name << ": " << bytes.toStdString();
        if (!c.answer) {
            // Exactly what the plain export writes.
            EXPECT_EQ(bytes, printlist::listFileBytes(store().listView())) << c.name;
        }
        EXPECT_EQ(printlist::importList(store(), dir.file("list.csv")), ImportResult::Imported)
            << c.name;
        EXPECT_EQ(tableRows(), c.back) << c.name;
    }
}

TEST_P(ListTest, ImportTellsUtf8FromWindows1250) {
    const QStringList czech = {"čaj", "*čaj*", "Čaj zelený", "Kč 12", "", "", ""};
    const QByteArray utf8 = "čaj;*čaj*;Čaj zelený;Kč 12;;;\r\n";
    const QByteArray cp1250 = "\xe8"
                              "aj;*\xe8"
                              "aj*;\xc8"
                              "aj zelen\xfd;K\xe8 12;;;\r\n";
    struct Case {
        const char* name;
        QByteArray bytes;
        Rows rows;
    } cases[] = {
        {"Windows-1250 Czech", cp1250, {czech}},
        {"UTF-8 Czech", utf8, {czech}},
        {"UTF-8 with its mark, which is dropped", "\xef\xbb\xbf" + utf8, {czech}},
        {"mark before pure ASCII",
         "\xef\xbb\xbf"
         "a;b;c;d;e;f;g\r\n",
         {{"a", "b", "c", "d", "e", "f", "g"}}},
        {"pure ASCII", "a;b;c;d;e;f;g\r\n", {{"a", "b", "c", "d", "e", "f", "g"}}},
        // "Čá" in Windows-1250 is C8 E1: not a valid UTF-8 sequence.
        {"Windows-1250 bytes invalid as UTF-8",
         "\xc8\xe1;;;;;;\r\n",
         {{"Čá", "", "", "", "", "", ""}}},
        {"UTF-8 up to Ctrl-Z", utf8 + "\x1a\xff", {czech}},
    };
    for (const Case& c : cases) {
        fill({kOld});
        dir.write("in.csv", c.bytes);
        EXPECT_EQ(printlist::importList(store(), dir.file("in.csv")), ImportResult::Imported)
            << c.name;
        EXPECT_EQ(tableRows(), c.rows) << c.name;
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, AFifoOrDeviceAsListIsRefusedAtOnceAndKeepsTheList) {
    fill({kOld});
    QString fault;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("fifo.csv"),
                                   [&] { fault = importFault(store(), dir.file("fifo.csv")); }));
    EXPECT_EQ(fault, "Unreadable");
    EXPECT_EQ(importFault(store(), "/dev/zero"), "Unreadable");
    EXPECT_EQ(tableRows(), Rows{kOld});
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, ImportRefusedByTheDatabaseRollsBack) {
    // The file is valid, but the third insert is refused: nothing of it may stay.
    fill({kOld});
    refuseThirdRow();
    dir.write("in.csv", "a;b;c;d;e;f;g\r\nh;i;j;k;l;m;n\r\no;p;q;r;s;t;u\r\n");
    const QString fault = importFault(store(), dir.file("in.csv"));
    EXPECT_TRUE(fault.startsWith("refused: ")) << fault.toStdString();
    // The store's own refusal.
    EXPECT_TRUE(fault.contains("plno")) << fault.toStdString();
    EXPECT_EQ(tableRows(), Rows{kOld});
    EXPECT_EQ(viewRows(), Rows{kOld});

    // The store is usable afterwards: no transaction was left open.
    printlist::addLabels(store(), {"n", "", "", "", "", ""}, "*", 1);
    EXPECT_EQ(tableRows().size(), 2u);
}

TEST_P(ListTest, ImportOfMissingFileDoesNothing) {
    fill({kOld});
    EXPECT_EQ(printlist::importList(store(), dir.file("nowhere.csv")), ImportResult::NoFile);
    EXPECT_EQ(tableRows(), Rows{kOld});
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, ImportOfUnreadableFileIsRefused) {
    fill({kOld});
    EXPECT_EQ(importFault(store(), dir.path()), "Unreadable"); // a folder
    EXPECT_EQ(tableRows(), Rows{kOld});
}
