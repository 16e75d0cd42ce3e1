// Build-time helper: creates an empty print-list database with the table seznam.
// An existing file is left alone, so a rebuild never loses the user's list.
#include "seznam_schema.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seznam_db PATH\n");
        return 2;
    }
    struct stat st {};
    if (stat(argv[1], &st) == 0) {
        return 0;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(argv[1], &db) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], db ? sqlite3_errmsg(db) : "cannot open");
        sqlite3_close(db);
        return 1;
    }
    char* err = nullptr;
    const int rc = sqlite3_exec(db, kSeznamTableSql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], err ? err : "cannot create table");
        sqlite3_free(err);
        sqlite3_close(db);
        std::remove(argv[1]);
        return 1;
    }
    sqlite3_close(db);
    return 0;
}
