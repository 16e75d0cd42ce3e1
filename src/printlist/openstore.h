// Which print-list store a program uses: the server named by [databaze] server= when it is
// set, otherwise seznam.db in the program directory.
#pragma once

#include "printlist/store.h"

#include <QString>
#include <memory>

namespace platform {
class Profile;
}

namespace printlist {

// The connection string of [databaze] server=, blanks around it removed; empty when unset.
QString configuredServer(const platform::Profile& ini);

// An unconnected store: PostgreSQL when `server` is not empty, else the SQLite file `dbPath`.
std::unique_ptr<Store> makeStore(const QString& server, const QString& dbPath);

// A server's connection string as messages show it, any password left out.
QString shownServer(const QString& server);

} // namespace printlist
