#include "printlist/rowset.h"

#include <algorithm>

namespace printlist {

RowSet::RowSet(QStringList fieldNames, std::vector<QStringList> rows)
    : names_(std::move(fieldNames)), rows_(std::move(rows)) {}

RowSet::RowSet(QStringList fieldNames, std::vector<QStringList> rows, std::vector<qint64> keys)
    : names_(std::move(fieldNames)), rows_(std::move(rows)), keys_(std::move(keys)) {
    if (keys_.size() != rows_.size()) {
        keys_.clear();
    }
}

std::optional<qint64> RowSet::currentKey() const {
    if (eof() || keys_.empty()) {
        return std::nullopt;
    }
    return keys_[size_t(current_)];
}

std::optional<qint64> RowSet::keyAt(int row) const {
    if (row < 0 || size_t(row) >= keys_.size()) {
        return std::nullopt;
    }
    return keys_[size_t(row)];
}

int RowSet::fieldIndex(const QString& name) const {
    return indexOfField(names_, name);
}

void RowSet::moveTo(int n) {
    if (rows_.empty()) {
        current_ = 0;
        return;
    }
    current_ = std::clamp(n, 1, int(rows_.size())) - 1;
}

QString RowSet::field(int i) const {
    if (eof()) {
        return {};
    }
    return at(current_, i);
}

QString RowSet::field(const QString& name) const {
    return field(fieldIndex(name));
}

QString RowSet::at(int row, int i) const {
    if (row < 0 || row >= int(rows_.size()) || i < 0 || i >= rows_[size_t(row)].size()) {
        return {};
    }
    return rows_[size_t(row)][i];
}

} // namespace printlist
