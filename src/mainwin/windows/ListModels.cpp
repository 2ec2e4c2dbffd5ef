// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/ListModels.h"

#include "mainwin/windows/WidgetKit.h"

namespace qarno {

HistoryModel::HistoryModel(HistoryTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
  Qt::Alignment align = Qt::AlignLeft;
  for (QString part : HistoryTable::FormatString().split(u'|')) {
    if (part.startsWith(u'<')) align = Qt::AlignLeft, part.remove(0, 1);
    else if (part.startsWith(u'>')) align = Qt::AlignRight, part.remove(0, 1);
    else if (part.startsWith(u'^')) align = Qt::AlignHCenter, part.remove(0, 1);
    headers += CoreCaption(part.trimmed());
    alignments += align | Qt::AlignVCenter;
  }
}

int HistoryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.Rows() - 1; }

int HistoryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : HistoryEntry::ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() + 1 >= table_.Rows()) return {};
  if (role == Qt::DisplayRole) return table_.Cell(index.row() + 1, index.column());
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignments.value(index.column()));
  return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return headers.value(section);
  if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
  return {};
}

void HistoryModel::CellChanged(int row, int column) {
  const QModelIndex at = index(row - 1, column);
  if (at.isValid()) emit dataChanged(at, at, {Qt::DisplayRole});
}

void HistoryModel::Reload() {
  beginResetModel();
  endResetModel();
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !list_ ? 0 : static_cast<int>(list_->size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
  if (!list_ || !index.isValid() || index.row() >= list_->size()) return {};
  if (role == Qt::DisplayRole) return list_->at(index.row());
  return {};
}

void EntryListModel::Show(const QStringList* list) {
  beginResetModel();
  list_ = list;
  endResetModel();
}

}  // namespace qarno
