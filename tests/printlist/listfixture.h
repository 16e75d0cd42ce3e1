// A print-list store on a fresh seznam.db in a throw-away program directory, with helpers
// that read back both the list view and the table itself.
#pragma once

#include "platform/prompts.h"
#include "printlist/database.h"
#include "printlist/listcommands.h"
#include "support/tempprogramdir.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

using Rows = std::vector<QStringList>;

class ListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        dir.createDatabase();
        store.open(dir.file("seznam.db"));
    }
    void TearDown() override { prompts::clearHistory(); }

    // The seven label values of every row of the list view.
    Rows viewRows() const {
        Rows rows;
        const printlist::RowSet& view = store.listView();
        for (int r = 0; r < view.rowCount(); ++r) {
            QStringList row;
            for (int i = 1; i < view.fieldCount(); ++i) {
                row << view.at(r, i);
            }
            rows.push_back(row);
        }
        return rows;
    }

    // The table as it is in the file, in rowid order.
    Rows tableRows() {
        printlist::Query q(store.connection1);
        q.setSql("select kod,kods,nazev,cena,text1,text2,text3 from seznam order by rowid");
        q.exec();
        Rows rows;
        printlist::RowSet& set = q.result();
        for (int r = 0; r < set.rowCount(); ++r) {
            QStringList row;
            for (int i = 0; i < set.fieldCount(); ++i) {
                row << set.at(r, i);
            }
            rows.push_back(row);
        }
        return rows;
    }

    // Inserts rows as they are (values in column order kod..text3), then reloads.
    void fill(const Rows& rows) {
        for (const QStringList& r : rows) {
            store.prikaz("insert into seznam(kod,kods,nazev,cena,text1,text2,text3) "
                         "values(?,?,?,?,?,?,?)",
                         r);
        }
        store.reload();
    }

    TempProgramDir dir;
    printlist::PrintListStore store;
};
