// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Views over the core's tables, not copies of them: the history grid over the history table
// and the save/skip list view over the list the main window shows. Both are told to reset
// when the table behind them was rebuilt, which is how the main window refreshes them.
#include "mainwin/HistoryTable.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>

namespace qarno {

class HistoryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit HistoryModel(HistoryTable& table, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();  // the table changed as a whole
  void CellChanged(int row, int column);  // one cell of history row `row` (1 = the newest)

  // Header text and alignment per column, from the grid's format string.
  QStringList headers;
  QList<Qt::Alignment> alignments;

 private:
  HistoryTable& table_;
};

class EntryListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit EntryListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Shows this list from now on (it is read, never changed, through the model).
  void Show(const QStringList* list);

 private:
  const QStringList* list_ = nullptr;
};

}  // namespace qarno
