// The rows of one select statement, stepped one at a time as the reader moves on: only the
// current row is held. Values read as the list view reads them (UTF-8 text, a null as empty).
#pragma once

#include "printlist/database.h"
#include "printlist/rowcursor.h"

#include <vector>

struct sqlite3_stmt;

namespace printlist {

class StatementRows : public RowCursor {
  public:
    // Prepares `sql` on `connection`, which must outlive this. `rowCount` is what the caller
    // counted beforehand. Throws DatabaseError when the statement cannot be prepared.
    StatementRows(Connection& connection, const QString& sql, int rowCount);
    ~StatementRows() override;
    StatementRows(const StatementRows&) = delete;
    StatementRows& operator=(const StatementRows&) = delete;

    int rowCount() const override { return rowCount_; }
    int fieldIndex(const QString& name) const override;
    // Starts the statement again from its first row. Throws DatabaseError when a step fails.
    void first() override;
    void next() override;
    bool eof() const override { return eof_; }
    QString field(int i) const override;

  private:
    void step();

    Connection& connection_;
    sqlite3_stmt* stmt_ = nullptr;
    QStringList names_;
    std::vector<int> columns_; // result column of each offered field
    int rowCount_ = 0;
    bool eof_ = true;
};

// "select count(*) from seznam" and the like: the first column of the first row as a number.
// Throws DatabaseError.
long long countRows(Connection& connection, const QString& sql);

} // namespace printlist
