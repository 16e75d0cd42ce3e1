#include "printlist/store.h"

#include <vector>

namespace printlist {

void Store::reload() {
    std::vector<QStringList> rows;
    QStringList names;
    {
        const std::unique_ptr<RowStream> stream = openRows();
        names = stream->fieldNames();
        QStringList row;
        while (stream->next(row)) {
            rows.push_back(std::move(row));
            row = QStringList();
        }
    }
    listView_ = RowSet(std::move(names), std::move(rows));
    listView_.first();
}

} // namespace printlist
