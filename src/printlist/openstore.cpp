#include "printlist/openstore.h"

#include "platform/profile.h"
#include "printlist/database.h"
#include "printlist/pgstore.h"

namespace printlist {

QString configuredServer(const platform::Profile& ini) {
    return ini.readString(QStringLiteral("databaze"), QStringLiteral("server"), QString())
        .trimmed();
}

std::unique_ptr<Store> makeStore(const QString& server, const QString& dbPath) {
    if (!server.trimmed().isEmpty()) {
        return std::make_unique<PgStore>(server.trimmed());
    }
    return std::make_unique<SqliteStore>(dbPath);
}

QString shownServer(const QString& server) {
    return PgStore::shownConninfo(server);
}

} // namespace printlist
