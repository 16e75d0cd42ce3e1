#include "printlist/listundo.h"

#include <unordered_set>

namespace printlist {

std::vector<KeyedRow> ListUndo::snapshot(Store& store) {
    std::vector<KeyedRow> rows;
    const std::unique_ptr<RowStream> stream = store.openRows();
    QStringList row;
    while (stream->next(row)) {
        if (const std::optional<qint64> key = stream->key()) {
            rows.push_back({*key, row.mid(1)});
        }
    }
    return rows;
}

void ListUndo::commandDone(const Store& store, const std::vector<KeyedRow>& before, bool replaced) {
    const RowSet& view = store.listView();
    std::vector<KeyedRow> removed;
    std::vector<qint64> added;
    if (replaced) {
        // Every row went and every row in the view is new; seznam.db may even have given the
        // new rows the old keys, so the keys alone cannot tell them apart.
        removed = before;
        for (int r = 0; r < view.rowCount(); ++r) {
            if (const std::optional<qint64> key = view.keyAt(r)) {
                added.push_back(*key);
            }
        }
    } else {
        std::unordered_set<qint64> now;
        for (int r = 0; r < view.rowCount(); ++r) {
            if (const std::optional<qint64> key = view.keyAt(r)) {
                now.insert(*key);
            }
        }
        for (const KeyedRow& row : before) {
            if (!now.contains(row.key)) {
                removed.push_back(row);
            }
        }
    }
    if (removed.empty() && added.empty()) {
        return;
    }
    removed_ = std::move(removed);
    added_ = std::move(added);
}

void ListUndo::undo(Store& store) {
    if (!available()) {
        return;
    }
    try {
        store.restoreRows(added_, removed_);
    } catch (...) {
        try {
            store.reload();
        } catch (...) {
            // The restore's own error is the one to report.
        }
        throw;
    }
    removed_.clear();
    added_.clear();
    store.reload();
}

} // namespace printlist
