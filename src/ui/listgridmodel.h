// The list view as the grid shows it: seven columns found by field name, the current row
// marked in the indicator column.
#pragma once

#include "printlist/rowset.h"

#include <QAbstractTableModel>

class ListGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ListGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The model reads `view` live; call reset() after the list view was reloaded.
    void setView(const printlist::RowSet* view);
    void reset();
    // Tells the view that the current row moved.
    void currentRowChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    const printlist::RowSet* view_ = nullptr;
    std::vector<int> fieldOfColumn_;
};
