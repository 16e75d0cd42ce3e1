#include "printlist/database.h"
#include "printlist/statementrows.h"
#include "support/tempprogramdir.h"

#include <gtest/gtest.h>

namespace {

// Stepping the statement row by row gives what the list view holds: the same fields by name,
// the same texts (a null as empty, Czech text whole), and the rows in the same order; first()
// starts again from the top.
TEST(StatementRows, StepsThroughTheRowsTheListViewHolds) {
    TempProgramDir dir;
    dir.createDatabase();
    printlist::PrintListStore store;
    store.open(dir.file("seznam.db"));
    store.prikaz("insert into seznam(kod,kods,nazev,cena,text1,text2,text3) "
                 "values('1','*1*','Rohlík tmavý','12,50 Kč','','','')");
    store.prikaz("insert into seznam(kod,kods,nazev,cena,text1,text2,text3) "
                 "values('2','*2*',null,'3','a','b','c')");
    store.prikaz("insert into seznam(kod,kods,nazev,cena,text1,text2,text3) "
                 "values('3','*3*','x','','','','')");
    store.prikaz("delete from seznam where kod='1'");
    store.reload();
    printlist::RowSet& view = store.listView();

    const long long count = printlist::countRows(store.connection1, "select count(*) from seznam");
    ASSERT_EQ(count, 2);
    printlist::StatementRows rows(store.connection1, "select * from seznam", int(count));
    EXPECT_EQ(rows.rowCount(), 2);
    for (const char* name : {"kod", "kods", "nazev", "cena", "text1", "text2", "text3", "KOD"}) {
        EXPECT_EQ(rows.fieldIndex(name), view.fieldIndex(name)) << name;
    }
    EXPECT_EQ(rows.fieldIndex("nothing"), -1);
    for (int pass = 0; pass < 2; ++pass) {
        rows.first();
        view.first();
        int n = 0;
        for (; !rows.eof(); rows.next(), view.next(), ++n) {
            ASSERT_FALSE(view.eof());
            for (int i = 0; i < view.fieldCount(); ++i) {
                EXPECT_EQ(rows.field(i), view.field(i)) << "row " << n << " field " << i;
            }
        }
        EXPECT_TRUE(view.eof());
        EXPECT_EQ(n, 2);
        EXPECT_EQ(rows.field(1), QString());
    }
    EXPECT_THROW(printlist::StatementRows(store.connection1, "select * from nothing", 0),
                 printlist::DatabaseError);
}

} // namespace
