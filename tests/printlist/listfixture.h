// A print-list store, seznam.db in a throw-away program directory or a fresh database on the
// test server, with helpers that read back both the list view and the table itself. The list
// tests run once against each store.
#pragma once

#include "platform/prompts.h"
#include "printlist/database.h"
#include "printlist/listcommands.h"
#include "printlist/pgstore.h"
#include "support/pgtest.h"
#include "support/tempprogramdir.h"
#include "support/viewrows.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using Rows = std::vector<QStringList>;

enum class StoreKind { Sqlite, Pg };

inline std::string storeName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::Sqlite ? "seznam_db" : "server";
}

class ListTest : public ::testing::TestWithParam<StoreKind> {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        if (GetParam() == StoreKind::Sqlite) {
            dir.createDatabase();
            auto sqlite = std::make_unique<printlist::SqliteStore>(dir.file("seznam.db"));
            sqlite_ = sqlite.get();
            owned_ = std::move(sqlite);
        } else {
            pg_ = std::make_unique<PgTestDatabase>();
            owned_ = std::make_unique<printlist::PgStore>(pg_->conninfo());
        }
        owned_->open();
    }
    void TearDown() override {
        owned_.reset();
        prompts::clearHistory();
    }

    printlist::Store& store() { return *owned_; }

    // The seven label values of every row of the list view.
    Rows viewRows() const { return test::viewRows(owned_->listView()); }

    // The table as it is in the store, in key order.
    Rows tableRows() {
        Rows rows;
        const auto stream = owned_->openRows();
        QStringList row;
        while (stream->next(row)) {
            rows.push_back(row.mid(1));
        }
        return rows;
    }

    // Inserts rows as they are (values in column order kod..text3), then reloads.
    void fill(const Rows& rows) {
        for (const QStringList& r : rows) {
            owned_->addCopies(r, 1);
        }
        owned_->reload();
    }

    // Replaces table seznam, empty, by one with the record key as its last column, as a table
    // made by hand may have it.
    void recreateWithKeyLast() {
        const QString values = "kod text, kods text, nazev text, cena text, text1 text, text2 "
                               "text, text3 text, ";
        if (sqlite_) {
            sqlite_->prikaz("drop table seznam");
            sqlite_->prikaz("create table seznam (" + values + "id integer primary key)");
        } else {
            pg_->exec("drop table seznam");
            pg_->exec("create table seznam (" + values +
                      "id bigint generated always as identity primary key)");
        }
        owned_->reload();
    }

    // Makes the store refuse, with the message "plno", any insert once the table holds two rows.
    void refuseThirdRow() {
        if (sqlite_) {
            sqlite_->prikaz("create trigger full before insert on seznam when (select count(*) "
                            "from seznam) >= 2 begin select raise(abort, 'plno'); end");
        } else {
            pg_->exec("create function refuse() returns trigger language plpgsql as $$ begin "
                      "if (select count(*) from seznam) >= 2 then raise exception 'plno'; end if; "
                      "return new; end $$");
            pg_->exec("create trigger plno before insert on seznam for each row execute function "
                      "refuse()");
        }
    }

    // Another workstation on the same list: a second store, opened.
    std::unique_ptr<printlist::Store> secondStore() {
        std::unique_ptr<printlist::Store> other;
        if (sqlite_) {
            other = std::make_unique<printlist::SqliteStore>(dir.file("seznam.db"));
        } else {
            other = std::make_unique<printlist::PgStore>(pg_->conninfo());
        }
        other->open();
        return other;
    }

    TempProgramDir dir;

  private:
    std::unique_ptr<PgTestDatabase> pg_;
    std::unique_ptr<printlist::Store> owned_;
    printlist::SqliteStore* sqlite_ = nullptr;
};

#define DRAVELIN_BOTH_STORES(suite)                                                                \
    INSTANTIATE_TEST_SUITE_P(Stores, suite, ::testing::Values(StoreKind::Sqlite, StoreKind::Pg),   \
                             storeName)
