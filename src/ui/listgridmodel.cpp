#include "ui/listgridmodel.h"

#include "settings/layoutsettings.h"

namespace {
const char* const kTitles[settings::SlotCount] = {"kód1",  "kód2",  "název", "cena",
                                                  "text1", "text2", "text3"};
}

void ListGridModel::setView(const printlist::RowSet* view) {
    view_ = view;
    reset();
}

void ListGridModel::reset() {
    beginResetModel();
    fieldOfColumn_.clear();
    for (const QString& name : settings::slotNames()) {
        fieldOfColumn_.push_back(view_ ? view_->fieldIndex(name) : -1);
    }
    endResetModel();
}

void ListGridModel::currentRowChanged() {
    if (rowCount() > 0) {
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }
}

int ListGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !view_ ? 0 : view_->rowCount();
}

int ListGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : settings::SlotCount;
}

QVariant ListGridModel::data(const QModelIndex& index, int role) const {
    if (!view_ || !index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return view_->at(index.row(), fieldOfColumn_[size_t(index.column())]);
}

QVariant ListGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section >= 0 && section < settings::SlotCount ? QString::fromUtf8(kTitles[section])
                                                             : QVariant();
    }
    // The indicator column: a marker on the current row only.
    return view_ && view_->currentRow() == section + 1 ? QStringLiteral("▶") : QString();
}

Qt::ItemFlags ListGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
