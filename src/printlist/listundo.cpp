#include "printlist/listundo.h"

#include <unordered_set>

namespace printlist {

std::vector<KeyedRow> ListUndo::snapshot(Store& store) {
    const RowSet table = drainRows(*store.openRows());
    std::vector<KeyedRow> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (const std::optional<qint64> key = table.keyAt(r)) {
            QStringList values;
            for (int i = 1; i < table.fieldCount(); ++i) {
                values.append(table.at(r, i));
            }
            rows.push_back({*key, values});
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
