// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/windows/RestoreModels.h"

#include "mainwin/windows/WidgetKit.h"

namespace qarno {

// ---------------------------------------------------------------------------------------
// The restore list

RestoreListModel::RestoreListModel(const RestoreTable& table, std::function<void(int, bool)> itemCheck, QObject* parent)
    : QAbstractListModel(parent), table_(table), itemCheck_(std::move(itemCheck)) {}

int RestoreListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant RestoreListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row() + 1;
  if (!index.isValid() || row >= table_.Rows()) return QVariant();
  if (role == Qt::DisplayRole) return table_[row].path;
  if (role == Qt::CheckStateRole) return table_.IsMarked(row) ? Qt::Checked : Qt::Unchecked;
  return QVariant();
}

bool RestoreListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.row() + 1 >= table_.Rows()) return false;
  const bool ticked = value.toInt() == Qt::Checked;
  if (itemCheck_) itemCheck_(index.row(), ticked);
  // What the engine made of it (a folder ticks what is below it; a running restore ignores
  // the tick) is what the list shows.
  MarksChanged(index.row());
  return true;
}

Qt::ItemFlags RestoreListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

void RestoreListModel::Reload() {
  beginResetModel();
  rows_ = table_.Count();
  endResetModel();
}

void RestoreListModel::MarksChanged(int first) {
  if (rows_ == 0 || first >= rows_) return;
  emit dataChanged(index(std::max(first, 0)), index(rows_ - 1), {Qt::CheckStateRole});
}

// ---------------------------------------------------------------------------------------
// The totals grid

RestoreInfoModel::RestoreInfoModel(const RestoreTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int RestoreInfoModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }
int RestoreInfoModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant RestoreInfoModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  if (role == Qt::DisplayRole) return table_.Cell((index.row() + 1) * 4 + index.column() + 1);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return QVariant();
}

QVariant RestoreInfoModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::DisplayRole) return CoreCaption(table_.Cell(orientation == Qt::Horizontal ? section + 1 : (section + 1) * 4));
  if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return QVariant();
}

void RestoreInfoModel::Refresh() { emit dataChanged(index(0, 0), index(2, 2), {Qt::DisplayRole}); }

// ---------------------------------------------------------------------------------------
// The hidden tables

RestoreTableModel::RestoreTableModel(const RestoreTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int RestoreTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int RestoreTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : SaveListEntry::FieldCount;
}

QVariant RestoreTableModel::data(const QModelIndex& index, int role) const {
  const int row = index.row() + 1;
  if (role != Qt::DisplayRole || !index.isValid() || row >= table_.Rows()) return QVariant();
  return FieldText(table_[row], index.column());
}

QVariant RestoreTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return section + 1;
  return section < SaveListEntry::FieldCount ? CoreCaption(FieldText(table_[0], section)) : QVariant();
}

void RestoreTableModel::Reload() {
  beginResetModel();
  rows_ = table_.Count();
  endResetModel();
}

SaveNameTableModel::SaveNameTableModel(const FRestore& restore, QObject* parent)
    : QAbstractTableModel(parent), restore_(restore) {}

int SaveNameTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SaveNameTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant SaveNameTableModel::data(const QModelIndex& index, int role) const {
  const size_t row = static_cast<size_t>(index.row()) + 1;
  if (role != Qt::DisplayRole || !index.isValid() || row >= restore_.SaveNameTable().size()) return QVariant();
  const SaveNameRow& r = restore_.SaveNameTable()[row];
  return index.column() == 0 ? r.name : r.dir;
}

QVariant SaveNameTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
  const SaveNameRow& head = restore_.SaveNameTable().front();
  return CoreCaption(section == 0 ? head.name : head.dir);
}

void SaveNameTableModel::Reload() {
  beginResetModel();
  rows_ = static_cast<int>(restore_.SaveNameTable().size()) - 1;
  endResetModel();
}

}  // namespace qarno
