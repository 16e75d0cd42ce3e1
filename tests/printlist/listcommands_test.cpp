#include "listfixture.h"
#include "support/lockholder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <unistd.h>

using printlist::LabelEntry;

namespace {

const Rows kFour = {
    {"1", "*1*", "a", "", "", "", ""},
    {"2", "*2*", "b", "", "", "", ""},
    {"3", "*3*", "c", "", "", "", ""},
    {"4", "*4*", "d", "", "", "", ""},
};

} // namespace

TEST_P(ListTest, AddComposesKodsFromCodeAndWholeSpecznak) {
    struct Case {
        QString kod, specznak, kods;
    } cases[] = {
        {"123456", "*", "*123456*"},
        {"", "*", ""},
        {"123456", "", "123456"},
        {"42", "<=>", "<=>42<=>"},
    };
    for (const Case& c : cases) {
        printlist::clearList(store());
        printlist::addLabels(store(), {c.kod, "název", "", "", "", ""}, c.specznak, 1);
        ASSERT_EQ(viewRows().size(), 1u) << c.kod.toStdString();
        EXPECT_EQ(viewRows()[0], (QStringList{c.kod, c.kods, "název", "", "", "", ""}))
            << c.kod.toStdString() << " / " << c.specznak.toStdString();
    }
}

TEST_P(ListTest, AddAppendsCopiesKeepsBlanksAndMakesFirstRowCurrent) {
    fill({kFour[0], kFour[1]});
    store().listView().moveTo(2);
    const LabelEntry entry{" 12 ", "  Mléko ", "19,90 Kč ", " t1", "", "t3  "};
    printlist::addLabels(store(), entry, "*", 3);

    const QStringList added = {" 12 ", "* 12 *", "  Mléko ", "19,90 Kč ", " t1", "", "t3  "};
    const Rows expected = {kFour[0], kFour[1], added, added, added};
    EXPECT_EQ(viewRows(), expected);
    EXPECT_EQ(tableRows(), expected);
    EXPECT_EQ(store().listView().currentRow(), 1);
}

TEST_P(ListTest, AddFewerThanOneCopyAddsNothing) {
    fill({kFour[0]});
    for (int copies : {0, -5}) {
        printlist::addLabels(store(), {"9", "", "", "", "", ""}, "*", copies);
        EXPECT_EQ(tableRows(), Rows{kFour[0]});
    }
}

TEST_P(ListTest, AddStoresQuotesAndColonsExactly) {
    const LabelEntry entry{"O'Brien", "say \"hi\"", ":cena",
                           "\"a:b\"", "`x:y`",      "';drop table seznam;--"};
    printlist::addLabels(store(), entry, "'", 2);
    const QStringList row = {"O'Brien",
                             "'O'Brien'",
                             "say \"hi\"",
                             ":cena",
                             "\"a:b\"",
                             "`x:y`",
                             "';drop table seznam;--"};
    EXPECT_EQ(tableRows(), (Rows{row, row}));
}

TEST_P(ListTest, RefusedCopyReloadsViewBeforeReporting) {
    // The third insert is refused; the copies go in one transaction, so none stays.
    refuseThirdRow();
    try {
        printlist::addLabels(store(), {"1", "", "", "", "", ""}, "*", 5);
        FAIL() << "the refused insert must be reported";
    } catch (const printlist::DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("plno")) << e.text().toStdString();
    }
    EXPECT_EQ(viewRows().size(), 0u);
    EXPECT_EQ(viewRows(), tableRows());
}

TEST_P(ListTest, AValueHoldingNulIsRefusedAndNothingIsAdded) {
    fill({kFour[0]});
    const QString nul = QString("a") + QChar(0) + "b";
    try {
        printlist::addLabels(store(), {"9", "", "", "", nul, ""}, "*", 3);
        FAIL() << "a NUL cannot be stored alike on both stores";
    } catch (const printlist::DatabaseError& e) {
        EXPECT_EQ(e.text(), "Hodnota text2 obsahuje znak NUL, seznam ji nemůže uložit.");
    }
    EXPECT_EQ(tableRows(), (Rows{kFour[0]}));
    EXPECT_EQ(viewRows(), tableRows());
}

TEST_P(ListTest, DeleteTakesTheRecordByItsKeyWhereverTheKeyColumnStands) {
    recreateWithKeyLast();
    // Codes that are no numbers: read as a key, a code would name no record.
    for (const char* code : {"a", "b", "c"}) {
        printlist::addLabels(store(), {code, "", "", "", "", ""}, "*", 1);
    }
    auto codes = [&] {
        QStringList out;
        const printlist::RowSet& view = store().listView();
        for (int r = 0; r < view.rowCount(); ++r) {
            out << view.at(r, view.fieldIndex("kod"));
        }
        return out;
    };
    ASSERT_EQ(codes(), QStringList({"a", "b", "c"}));
    store().listView().moveTo(1);
    printlist::deleteCurrentLabel(store());
    EXPECT_EQ(codes(), QStringList({"b", "c"}));
    store().listView().moveTo(2);
    printlist::deleteCurrentLabel(store());
    EXPECT_EQ(codes(), QStringList({"b"}));
}

TEST_P(ListTest, ClearAsksAndOnlyYesClears) {
    fill(kFour);
    prompts::setNextAnswer(prompts::Answer::No);
    EXPECT_FALSE(printlist::askAndClearList(store()));
    EXPECT_EQ(tableRows(), kFour);
    EXPECT_EQ(viewRows(), kFour);

    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    const prompts::Message& box = prompts::shownMessages()[0];
    EXPECT_EQ(box.title, "potvrzení smázání seznamu");
    EXPECT_EQ(box.text, "Opravdu vymazat seznam položek k tisku ?");
    EXPECT_EQ(box.icon, prompts::Icon::Question);
    EXPECT_EQ(box.buttons, prompts::Buttons::YesNo);

    prompts::setNextAnswer(prompts::Answer::Yes);
    EXPECT_TRUE(printlist::askAndClearList(store()));
    EXPECT_TRUE(tableRows().empty());
    EXPECT_EQ(store().listView().rowCount(), 0);

    // An empty list is still asked about, and stays empty.
    prompts::setNextAnswer(prompts::Answer::Yes);
    EXPECT_TRUE(printlist::askAndClearList(store()));
    EXPECT_EQ(prompts::shownMessages().size(), 3u);
    EXPECT_TRUE(tableRows().empty());
    EXPECT_EQ(store().listView().currentRow(), 0);
}

TEST_P(ListTest, DeleteRemovesTheCurrentRowOnly) {
    struct Case {
        Rows before;
        int current;
        Rows after;
    } cases[] = {
        {kFour, 3, {kFour[0], kFour[1], kFour[3]}},
        {kFour, 4, {kFour[0], kFour[1], kFour[2]}},
        {kFour, 1, {kFour[1], kFour[2], kFour[3]}},
        {{kFour[2]}, 1, {}},
    };
    for (const Case& c : cases) {
        printlist::clearList(store());
        fill(c.before);
        store().listView().moveTo(c.current);
        printlist::deleteCurrentLabel(store());
        EXPECT_EQ(tableRows(), c.after) << "row " << c.current;
        EXPECT_EQ(viewRows(), c.after) << "row " << c.current;
        EXPECT_EQ(store().listView().currentRow(), c.after.empty() ? 0 : 1);
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_P(ListTest, DeleteFollowsRowidsAfterEarlierDeletes) {
    // Rowids have a gap after the middle row goes; row 3 of the view must still map right.
    fill({kFour[0], kFour[1], kFour[2]});
    store().listView().moveTo(2);
    printlist::deleteCurrentLabel(store());
    printlist::addLabels(store(), {"4", "d", "", "", "", ""}, "*", 1);
    EXPECT_EQ(viewRows(), (Rows{kFour[0], kFour[2], kFour[3]}));
    store().listView().moveTo(3);
    printlist::deleteCurrentLabel(store());
    EXPECT_EQ(tableRows(), (Rows{kFour[0], kFour[2]}));
}

TEST_P(ListTest, DeleteOnEmptyListDoesNothing) {
    EXPECT_NO_THROW(printlist::deleteCurrentLabel(store()));
    EXPECT_TRUE(tableRows().empty());
    EXPECT_TRUE(prompts::shownMessages().empty());
}

DRAVELIN_BOTH_STORES(ListTest);

// What only seznam.db meets: another program's sqlite3 on the same file.
class SqliteListTest : public ListTest {};
INSTANTIATE_TEST_SUITE_P(Stores, SqliteListTest, ::testing::Values(StoreKind::Sqlite), storeName);

namespace {

// Runs one statement in a separate sqlite3 shell process, as another instance would.
void otherProgram(const QString& db, const QString& sql) {
    ASSERT_EQ(QProcess::execute("sqlite3", {db, sql}), 0) << sql.toStdString();
}

} // namespace

TEST_P(SqliteListTest, DeleteRemovesTheRecordShownEvenAfterAnotherProgramDeleted) {
    const Rows five = {kFour[0], kFour[1], kFour[2], kFour[3], {"5", "*5*", "e", "", "", "", ""}};
    fill(five);
    // Another instance removes R1 while this view still shows R1..R5.
    otherProgram(dir.file("seznam.db"), "delete from seznam where kod='1'");
    store().listView().moveTo(3);
    ASSERT_EQ(store().listView().field("kod"), "3");
    printlist::deleteCurrentLabel(store());
    EXPECT_EQ(tableRows(), (Rows{five[1], five[3], five[4]}));
    EXPECT_EQ(viewRows(), tableRows());

    // The record under the cursor is gone already: nothing else goes, the view catches up.
    otherProgram(dir.file("seznam.db"), "delete from seznam where kod='4'");
    store().listView().moveTo(2);
    ASSERT_EQ(store().listView().field("kod"), "4");
    printlist::deleteCurrentLabel(store());
    EXPECT_EQ(tableRows(), (Rows{five[1], five[4]}));
    EXPECT_EQ(viewRows(), tableRows());
}

TEST_P(SqliteListTest, ABriefLockIsWaitedForALongOneLeavesTheListAsItWas) {
    fill({kFour[0]});
    {
        // Released after 1 s: the add waits for it and goes through.
        LockHolder lock(dir.file("seznam.db"), 1);
        QElapsedTimer t;
        t.start();
        printlist::addLabels(store(), {"2", "b", "", "", "", ""}, "*", 2);
        EXPECT_GE(t.elapsed(), 500);
        EXPECT_LT(t.elapsed(), printlist::kBusyTimeoutMs);
    }
    EXPECT_EQ(tableRows(), (Rows{kFour[0], kFour[1], kFour[1]}));
    {
        // Held for 10 s: the add gives up after the busy timeout with its own text.
        LockHolder lock(dir.file("seznam.db"), 10);
        QElapsedTimer t;
        t.start();
        try {
            printlist::addLabels(store(), {"3", "c", "", "", "", ""}, "*", 1);
            ADD_FAILURE() << "no error under a held lock";
        } catch (const printlist::DatabaseBusy& e) {
            EXPECT_EQ(e.text(), "Seznam právě používá jiný program, zkuste to znovu.");
        }
        EXPECT_GE(t.elapsed(), printlist::kBusyTimeoutMs - 100);
        EXPECT_LT(t.elapsed(), printlist::kBusyTimeoutMs + 2000);
        EXPECT_EQ(viewRows(), (Rows{kFour[0], kFour[1], kFour[1]}));
    }
    EXPECT_EQ(tableRows(), (Rows{kFour[0], kFour[1], kFour[1]}));
}

TEST_P(SqliteListTest, AnAddThatMeetsALockPartWayIsAllOrNothingAndTheViewShowsTheTable) {
    const QString db = dir.file("seznam.db");
    fill({kFour[0]});
    // Each insert takes a moment, so the add is well under way when the other program comes.
    otherProgram(db, "create trigger slow after insert on seznam begin select count(*) from "
                     "(with recursive c(x) as (select 1 union all select x + 1 from c where x < "
                     "10000) select x from c); end");
    // A row the view does not show yet: the reload after the add must bring it.
    otherProgram(db, "insert into seznam (kod, kods, nazev) values ('2', '*2*', 'b')");

    // Another program opens a read as soon as it sees the add's first rows, and keeps it
    // open for 8 s: no write can be committed meanwhile.
    QProcess reader;
    reader.start("python3", {"-c", R"(
import sqlite3, sys, time
db = sqlite3.connect(sys.argv[1], timeout=0, isolation_level=None)
while True:
    try:
        if db.execute("select count(*) from seznam").fetchone()[0] > 2:
            break
    except sqlite3.OperationalError:
        pass
    time.sleep(0.0005)
db.execute("begin")
db.execute("select count(*) from seznam").fetchone()
time.sleep(8)
)",
                             db});
    ASSERT_TRUE(reader.waitForStarted());

    QElapsedTimer t;
    t.start();
    bool failed = false;
    try {
        printlist::addLabels(store(), {"3", "c", "", "", "", ""}, "*", 999);
    } catch (const printlist::DatabaseBusy& e) {
        failed = true;
        EXPECT_EQ(e.text(), "Seznam právě používá jiný program, zkuste to znovu.");
    }
    const qint64 took = t.elapsed();
    const Rows table = tableRows();
    reader.kill();
    reader.waitForFinished();

    // All or nothing, and the message says which.
    EXPECT_EQ(table.size(), failed ? 2u : 1001u) << "the add took " << took << " ms";
    EXPECT_EQ(viewRows(), table);
}

TEST_P(SqliteListTest, AFolderNobodyMayWriteToIsNamedInCzech) {
    fill({kFour[0]});
    const QString folder = QFileInfo(dir.file("seznam.db")).absolutePath();
    // The file stays writable; only the folder, where the engine keeps its journal, is not.
    ASSERT_TRUE(QFile::setPermissions(
        dir.file("seznam.db"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                   QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther |
                                                  QFile::ReadGroup | QFile::ExeGroup));
    struct Restore {
        QString folder;
        bool root = ::geteuid() == 0;
        ~Restore() {
            if (root) {
                EXPECT_EQ(::seteuid(0), 0);
            }
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    } restore{folder};
    // The superuser writes anywhere: the command runs as an ordinary user.
    if (restore.root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    printlist::SqliteStore store(dir.file("seznam.db"));
    store.open();
    try {
        printlist::addLabels(store, {"2", "b", "", "", "", ""}, "*", 1);
        FAIL() << "nothing can be written in that folder";
    } catch (const printlist::DatabaseError& e) {
        EXPECT_EQ(e.text(), "Seznam nelze změnit: do složky " + QDir::toNativeSeparators(folder) +
                                " nelze zapisovat. Program si v ní při každé změně seznamu "
                                "zakládá pomocný soubor; povolte zápis do této složky.");
    }
    EXPECT_EQ(store.listView().rowCount(), 1);
}
