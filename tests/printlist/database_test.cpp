#include "printlist/database.h"
#include "support/lockholder.h"
#include "support/tempprogramdir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QByteArray rawColumn(const QString& dbPath, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(dbPath.toUtf8().constData(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QByteArray out;
    if (sqlite3_step(st) == SQLITE_ROW) {
        out = QByteArray(reinterpret_cast<const char*>(sqlite3_column_blob(st, 0)),
                         sqlite3_column_bytes(st, 0));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

TEST(PrintListStore, CzechTextIsUtf8InTheFileAndReadsBackUnchanged) {
    TempProgramDir dir;
    dir.createDatabase();
    printlist::SqliteStore store;
    store.open(dir.file("seznam.db"));
    const QString name = QStringLiteral("Rohlík tmavý, 12,50 Kč");
    store.prikaz("insert into seznam(kod,kods,nazev,cena,text1,text2,text3) values('1','*1*','" +
                 name + "','','','','')");
    store.reload();
    ASSERT_EQ(store.listView().rowCount(), 1);
    EXPECT_EQ(store.listView().field("nazev"), name);
    EXPECT_EQ(rawColumn(dir.file("seznam.db"), "select nazev from seznam"), name.toUtf8());
}

TEST(PrintListStore, ListViewFieldsRowsAndCurrentRow) {
    TempProgramDir dir;
    dir.createDatabase();
    printlist::SqliteStore store;
    store.open(dir.file("seznam.db"));
    EXPECT_EQ(store.listView().rowCount(), 0);
    EXPECT_EQ(store.listView().currentRow(), 0);
    EXPECT_TRUE(store.listView().eof());

    const QString longValue(300, QChar(0x10D)); // 600 bytes of UTF-8: kept whole
    store.prikaz("insert into seznam(kod,nazev) values('A',?)", {longValue});
    store.prikaz("insert into seznam(kod,kods) values('B',null)");
    store.prikaz("insert into seznam(kod) values('C')");
    store.prikaz("delete from seznam where kod='B'");
    store.prikaz("insert into seznam(kod) values('D')");
    store.reload();

    printlist::RowSet& v = store.listView();
    EXPECT_EQ(v.fieldCount(), 8);
    EXPECT_EQ(v.fieldNames().mid(1),
              QStringList({"kod", "kods", "nazev", "cena", "text1", "text2", "text3"}));
    ASSERT_EQ(v.rowCount(), 3);
    EXPECT_EQ(v.currentRow(), 1);
    EXPECT_EQ(v.field("nazev"), longValue);
    EXPECT_EQ(v.field(0), "1"); // the integer key reads as its digits
    QStringList codes;
    for (v.first(); !v.eof(); v.next()) {
        codes.append(v.field("KOD"));
        EXPECT_EQ(v.field("text3"), ""); // null reads as empty
    }
    EXPECT_EQ(codes, QStringList({"A", "C", "D"}));
}

TEST(PrintListStore, RowidColumnIsNotOfferedAsAField) {
    TempProgramDir dir;
    dir.createDatabase();
    printlist::SqliteStore store;
    store.open(dir.file("seznam.db"));
    store.prikaz("insert into seznam(kod) values('x')");
    store.radekquery.setSql("select kod as ROWID, kod, 1 as rowid from seznam");
    store.radekquery.exec();
    EXPECT_EQ(store.radekquery.result().fieldNames(), QStringList({"kod"}));
    store.radekquery.setSql("SELECT rowid as integer FROM seznam order by rowid");
    store.radekquery.exec();
    EXPECT_EQ(store.radekquery.result().field(0), "1");
}

TEST(PrintListStore, FailingStatementLeavesTheListViewAsItWas) {
    TempProgramDir dir;
    dir.createDatabase();
    printlist::SqliteStore store;
    store.open(dir.file("seznam.db"));
    store.prikaz("insert into seznam(kod) values('keep')");
    store.reload();
    try {
        store.prikaz("insert into seznam(nosuchcolumn) values('x')");
        FAIL();
    } catch (const printlist::DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("nosuchcolumn")) << e.what();
    }
    EXPECT_THROW(store.prikaz("insert into seznam(kod) values('it''s"), printlist::DatabaseError);
    EXPECT_EQ(store.listView().rowCount(), 1);
    EXPECT_EQ(store.listView().field("kod"), "keep");
    EXPECT_EQ(store.editquery.result().rowCount(), 0);
}

TEST(PrintListStore, MissingOrTablelessDatabaseFailsToOpen) {
    TempProgramDir dir;
    printlist::SqliteStore store;
    EXPECT_THROW(store.open(dir.file("seznam.db")), printlist::DatabaseError);
    EXPECT_FALSE(QFile::exists(dir.file("seznam.db"))); // a failed open leaves nothing behind
    dir.write("garbage.db", QByteArray(4096, 'g'));
    printlist::SqliteStore other;
    EXPECT_THROW(other.open(dir.file("garbage.db")), printlist::DatabaseError);
}

} // namespace
