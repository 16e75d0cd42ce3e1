// Print-list rows for label tests: the seven fields in slot order.
#pragma once

#include "printlist/rowset.h"
#include "settings/layoutsettings.h"

#include <QStringList>
#include <vector>

namespace labelprint::test {

inline QStringList fieldNames() {
    QStringList names;
    for (const QString& n : settings::slotNames()) {
        names << n;
    }
    return names;
}

// n rows whose kod is "K<i>" (from 1) and name "N<i>"; the rest follows the same pattern.
inline printlist::RowSet numberedRows(int n) {
    std::vector<QStringList> rows;
    for (int i = 1; i <= n; ++i) {
        const QString k = QString::number(i);
        rows.push_back({"*K" + k + "*", "K" + k, "N" + k, "C" + k, "A" + k, "B" + k, "D" + k});
    }
    return printlist::RowSet(fieldNames(), std::move(rows));
}

// One row with the given value in one slot's field and the others empty.
inline printlist::RowSet oneRow(settings::Slot slot, const QString& value) {
    QStringList row;
    for (int s = 0; s < settings::SlotCount; ++s) {
        row << (s == slot ? value : QString());
    }
    return printlist::RowSet(fieldNames(), {row});
}

} // namespace labelprint::test
