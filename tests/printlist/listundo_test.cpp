// One step back for the commands that remove rows, on both stores: the rows return with their
// contents, in their places, for every workstation of the list.
#include "listfixture.h"

#include "printlist/listfile.h"
#include "printlist/listundo.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {

Rows numbered(const QString& tag, int n) {
    Rows rows;
    for (int i = 1; i <= n; ++i) {
        const QString code = tag + QString::number(i);
        rows.push_back({code, "*" + code + "*", "Zboží " + code, QString::number(i) + " Kč",
                        i % 2 ? "☕" : "", "", "řádek;2"});
    }
    return rows;
}

Rows rowsOf(printlist::Store& store) {
    store.reload();
    return test::viewRows(store.listView());
}

} // namespace

TEST_P(ListTest, UndoPutsBackWhatDeleteClearAndImportTookAway) {
    const Rows list = numbered("A", 41);
    Rows middleGone = list;
    middleGone.erase(middleGone.begin() + 19);
    const Rows imported = {{"N1", "*N1*", "nový", "", "", "", ""}, {"N2", "", "", "", "", "", ""}};
    dir.write("novy.csv", "N1;*N1*;nový;;;;\r\nN2;;;;;;\r\n");

    struct Case {
        const char* name;
        std::function<void()> command;
        Rows after; // what the command leaves
    } cases[] = {
        {"vymazat položku",
         [&] {
             store().listView().moveTo(20);
             printlist::deleteCurrentLabel(store());
         },
         middleGone},
        {"vymazat seznam", [&] { printlist::clearList(store()); }, {}},
        {"načíst seznam",
         [&] {
             ASSERT_EQ(printlist::importList(store(), dir.file("novy.csv")),
                       printlist::ImportResult::Imported);
         },
         imported},
    };
    for (const Case& c : cases) {
        printlist::clearList(store());
        fill(list);
        printlist::ListUndo undo;
        const auto before = printlist::ListUndo::snapshot(store());
        c.command();
        undo.commandDone(store(), before, std::string(c.name) == "načíst seznam");
        ASSERT_EQ(viewRows(), c.after) << c.name;
        ASSERT_TRUE(undo.available()) << c.name;

        const auto other = secondStore();
        other->takeChanges();
        undo.undo(store());
        EXPECT_EQ(viewRows(), list) << c.name;
        // A shared list tells the other workstations that it changed.
        if (GetParam() == StoreKind::Pg) {
            QDeadlineTimer deadline(2000);
            bool noticed = false;
            while (!(noticed = other->takeChanges()) && !deadline.hasExpired()) {
                QThread::msleep(10);
            }
            EXPECT_TRUE(noticed) << c.name;
        }
        EXPECT_EQ(tableRows(), list) << c.name;
        EXPECT_EQ(store().listView().currentRow(), 1) << c.name;
        // The other workstations read the same list back.
        EXPECT_EQ(rowsOf(*other), list) << c.name;
        // One step only: a second undo changes nothing.
        EXPECT_FALSE(undo.available()) << c.name;
        undo.undo(store());
        EXPECT_EQ(tableRows(), list) << c.name;
    }
}

TEST_P(ListTest, UndoAfterNewLabelsKeepsThemAfterTheReturningRows) {
    const Rows list = numbered("B", 5);
    fill(list);
    printlist::ListUndo undo;
    // The last row goes, then the list is cleared: undo takes back the clear only.
    store().listView().moveTo(5);
    auto before = printlist::ListUndo::snapshot(store());
    printlist::deleteCurrentLabel(store());
    undo.commandDone(store(), before, false);
    before = printlist::ListUndo::snapshot(store());
    printlist::clearList(store());
    undo.commandDone(store(), before, false);
    // A label added meanwhile may take a key a returning row had.
    printlist::addLabels(store(), {"C1", "", "", "", "", ""}, "*", 2);

    undo.undo(store());
    Rows expected(list.begin(), list.begin() + 4);
    expected.push_back({"C1", "*C1*", "", "", "", "", ""});
    expected.push_back({"C1", "*C1*", "", "", "", "", ""});
    EXPECT_EQ(tableRows(), expected);
    EXPECT_EQ(viewRows(), expected);
    // Keys stay unique: deleting a row deletes exactly that row.
    store().listView().moveTo(5);
    printlist::deleteCurrentLabel(store());
    expected.erase(expected.begin() + 4);
    EXPECT_EQ(tableRows(), expected);
}

TEST_P(ListTest, ACommandThatRemovedNothingKeepsTheEarlierStep) {
    const Rows list = numbered("D", 3);
    fill(list);
    printlist::ListUndo undo;
    auto before = printlist::ListUndo::snapshot(store());
    printlist::clearList(store());
    undo.commandDone(store(), before, false);
    // Deleting on an empty list removes nothing.
    before = printlist::ListUndo::snapshot(store());
    printlist::deleteCurrentLabel(store());
    undo.commandDone(store(), before, false);
    ASSERT_TRUE(undo.available());
    undo.undo(store());
    EXPECT_EQ(tableRows(), list);
}
