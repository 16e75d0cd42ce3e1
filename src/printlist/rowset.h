// The result of one statement held in memory: rows of text values, fields by position and by
// name, and a current row. query1's row set is the list view that the grid shows and the
// label report walks.
#pragma once

#include "printlist/rowcursor.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace printlist {

class RowSet : public RowCursor {
  public:
    RowSet() = default;
    RowSet(QStringList fieldNames, std::vector<QStringList> rows);
    // `keys` holds each row's record key (its rowid), one per row, or nothing.
    RowSet(QStringList fieldNames, std::vector<QStringList> rows, std::vector<qint64> keys);

    int rowCount() const override { return int(rows_.size()); }
    int fieldCount() const { return int(names_.size()); }
    const QStringList& fieldNames() const { return names_; }
    // -1 when no field has that name (case-insensitive).
    int fieldIndex(const QString& name) const override;

    // Current row numbered from 1; 0 when empty.
    int currentRow() const { return rows_.empty() ? 0 : current_ + 1; }
    void first() override { current_ = 0; }
    void next() override {
        if (current_ < int(rows_.size())) {
            ++current_;
        }
    }
    // Moves to row n (from 1), clamped to the rows held.
    void moveTo(int n);
    // True once the current row has passed the last row (always for an empty set).
    bool eof() const override { return current_ >= int(rows_.size()); }

    // Text of field i / the named field in the current row; empty past the end or for an
    // unknown field.
    QString field(int i) const override;
    QString field(const QString& name) const;
    // Text of field i in row `row` (from 0), for the grid.
    QString at(int row, int i) const;
    // The record key of the current row; nullopt past the end or when no keys were read.
    std::optional<qint64> currentKey() const;
    // The record key of row `row` (from 0); nullopt outside the rows or when no keys were read.
    std::optional<qint64> keyAt(int row) const;

  private:
    QStringList names_;
    std::vector<QStringList> rows_;
    std::vector<qint64> keys_;
    int current_ = 0;
};

} // namespace printlist
