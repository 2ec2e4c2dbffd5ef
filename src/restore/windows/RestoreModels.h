// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Views over the restore engine's tables, not copies of them. The restore list's ticks are
// the restore marks of the table: a tick reads "row k+1 is marked for restoring", and a tick
// given in the view is sent to the engine as the list's item check (which also ticks what is
// listed below a folder). The totals grid reads the table's cells; the hidden tables of the
// window (the whole listing, the save names of a run) are shown for whoever looks for them.
//
// Each model counts its rows only when told (Reload): the engine fills its table while the
// window yields, and a view must not meet rows it was never told about.
#include "restore/FRestore.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <functional>

namespace qarno {

class RestoreListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // `itemCheck` is the window's RestoreList_ItemCheck (item counted from 0, the new tick).
  RestoreListModel(const RestoreTable& table, std::function<void(int, bool)> itemCheck, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  void Reload();
  // The marks of the rows from `first` on may have changed (item numbers).
  void MarksChanged(int first = 0);

 private:
  const RestoreTable& table_;
  std::function<void(int, bool)> itemCheck_;
  int rows_ = 0;
};

// The totals grid: columns total, marked, restored; rows files, folders, size in KB.
class RestoreInfoModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RestoreInfoModel(const RestoreTable& table, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Refresh();

 private:
  const RestoreTable& table_;
};

// The whole restore table (the hidden SaveList), eleven columns.
class RestoreTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RestoreTableModel(const RestoreTable& table, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();

 private:
  const RestoreTable& table_;
  int rows_ = 0;
};

// The save names of a run and their directories (the hidden SaveNameTable).
class SaveNameTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit SaveNameTableModel(const FRestore& restore, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();

 private:
  const FRestore& restore_;
  int rows_ = 0;
};

}  // namespace qarno
