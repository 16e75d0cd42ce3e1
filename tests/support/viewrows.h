// The seven label values of every row of a list view, without its key column.
#pragma once

#include "printlist/rowset.h"

#include <QStringList>
#include <vector>

namespace test {

inline std::vector<QStringList> viewRows(const printlist::RowSet& view) {
    std::vector<QStringList> rows;
    for (int r = 0; r < view.rowCount(); ++r) {
        QStringList row;
        for (int i = 1; i < view.fieldCount(); ++i) {
            row << view.at(r, i);
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace test
