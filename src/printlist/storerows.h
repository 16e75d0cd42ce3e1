// The rows of a print-list store as the layout run reads them, taken one at a time from the
// store's row stream, so a list of any length takes the same memory.
#pragma once

#include "printlist/rowcursor.h"
#include "printlist/store.h"

#include <QStringList>
#include <memory>

namespace printlist {

class StoreRows : public StreamedRows {
  public:
    // Goes through the store's stream once to count the rows for the progress; the run then
    // reads a fresh stream. Throws DatabaseError.
    explicit StoreRows(std::unique_ptr<Store> store);

    int rowCount() const override { return rowCount_; }
    int fieldIndex(const QString& name) const override;
    void first() override;
    void next() override;

  private:
    std::unique_ptr<Store> store_;
    std::unique_ptr<RowStream> stream_;
    QStringList names_;
    int rowCount_ = 0;
};

} // namespace printlist
