// Two windows on one print list shared on the server, as two workstations see it: a change in
// one shows in the other's grid without a click, and the other's current row stays put.
#include "platform/prompts.h"
#include "support/pgtest.h"
#include "support/tempprogramdir.h"
#include "ui/form1.h"
#include "ui/listgrid.h"
#include "ui/spinfield.h"
#include "ui/stitkytab.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList codes(TForm1& form) {
    QStringList out;
    const printlist::RowSet& v = form.store().listView();
    for (int r = 0; r < v.rowCount(); ++r) {
        out << v.at(r, v.fieldIndex("kod"));
    }
    return out;
}

void add(TForm1& form, const QString& code, const QString& count = "1") {
    form.stitkyts->kodle->setText(code);
    form.stitkyts->pocetspin->setText(count);
    form.pridatbClick();
}

QString currentCode(TForm1& form) {
    return form.store().listView().field("kod");
}

class SharedListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        // No seznam.db at all: the program must not need it when a server is named.
        dir.write("dravelin.ini", "[databaze]\nserver=" + db.conninfo().toUtf8() + "\n");
    }
    void TearDown() override { prompts::clearHistory(); }

    PgTestDatabase db;
    TempProgramDir dir;
};

TEST_F(SharedListTest, SecondWindowSeesEveryChangeWithinASecondOnTheSameRecord) {
    TForm1 first;
    TForm1 second;
    ASSERT_FALSE(first.fatalError());
    ASSERT_FALSE(second.fatalError());
    first.show();
    second.show();
    EXPECT_FALSE(dir.exists("seznam.db"));

    add(first, "a");
    add(first, "b");
    add(first, "c");
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(codes(second), QStringList({"a", "b", "c"}), 1000);
    EXPECT_LT(clock.elapsed(), 1000);

    // The second workstation stands on "b"; the first deletes "a" and adds "d".
    second.stitkyts->DBGrid1->selectRow(1);
    ASSERT_EQ(currentCode(second), "b");
    first.store().listView().moveTo(1);
    first.vymazatpoloku1Click();
    add(first, "d", "2");
    QTRY_COMPARE_WITH_TIMEOUT(codes(second), QStringList({"b", "c", "d", "d"}), 1000);
    EXPECT_EQ(currentCode(second), "b");
    EXPECT_EQ(second.store().listView().currentRow(), 1);
    EXPECT_EQ(second.stitkyts->DBGrid1->currentIndex().row(), 0);

    // Its own command shows its first row, as always; the first window follows.
    second.stitkyts->DBGrid1->selectRow(2);
    second.vymazatpoloku1Click();
    EXPECT_EQ(codes(second), QStringList({"b", "c", "d"}));
    EXPECT_EQ(second.store().listView().currentRow(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(codes(first), QStringList({"b", "c", "d"}), 1000);
    EXPECT_TRUE(prompts::shownMessages().empty());
    first.close();
    second.close();
}

TEST_F(SharedListTest, ServerThatCannotBeReachedIsFatalWithItsMessageBelow) {
    dir.write("dravelin.ini",
              "[databaze]\nserver=host=/nonexistent-dravelin port=1 password=tajne\n");
    TForm1 form;
    EXPECT_TRUE(form.fatalError());
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    const prompts::Message& m = prompts::shownMessages()[0];
    EXPECT_EQ(m.title, "Fatal error");
    const QStringList lines = m.text.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "Není možné se připojit k databázi: host=/nonexistent-dravelin port=1 "
                        "password=***. Program nemůže pokračovat a bude ukončen.");
    EXPECT_TRUE(lines[1].contains("/nonexistent-dravelin")) << m.text.toStdString();
    EXPECT_FALSE(m.text.contains("tajne"));
    EXPECT_FALSE(dir.exists("seznam.db"));
}

} // namespace
