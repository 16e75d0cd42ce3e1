#include "printlist/store.h"

#include <vector>

namespace printlist {

DatabaseBusy::DatabaseBusy()
    : DatabaseError(QStringLiteral("Seznam právě používá jiný program, zkuste to znovu.")) {}

void Store::reload() {
    std::vector<QStringList> rows;
    std::vector<qint64> keys;
    QStringList names;
    {
        const std::unique_ptr<RowStream> stream = openRows();
        names = stream->fieldNames();
        QStringList row;
        while (stream->next(row)) {
            rows.push_back(std::move(row));
            row = QStringList();
            if (const std::optional<qint64> key = stream->key()) {
                keys.push_back(*key);
            }
        }
    }
    listView_ = RowSet(std::move(names), std::move(rows), std::move(keys));
    listView_.first();
}

} // namespace printlist
