// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "履歴から探す": a file looked for across every run of the set's history, shown as a
// timeline per file (the path, then each version newest first: the run holding it, the run's
// date and level, the file's size and date, where its copy lies), and one chosen version
// restored.
//
// The search is the core's RunFinder, run from the dialog once it is on the screen; it
// yields through the prompter, so the progress shows and "中止" stops it at its next yield.
// The result is held once, in the model; the view draws only the rows it shows, so a search
// over a long history with thousands of versions opens at once.
//
// A version is restored through the restore engine of its own, never the restore window's:
// the listing of a run that lists that version is loaded, only that path is marked, and the
// restore goes where the restore window says (in place or under its top directory), after
// the user's OK. The restore window's own run, marks and list stay as they were. A version
// whose copy cannot be read is reported as not restored; no other version stands in for it.
#include "restore/FRestore.h"
#include "restore/RunFinder.h"

#include <QAbstractItemModel>
#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace qarno {

// The pattern searched for, from the text of the restore window's search box: a text with a
// "*" is a pattern of the skip list, matched against the whole path; any other text is looked
// for anywhere in the path, as the list's own search does ("readme" → "*readme*"). Blanks
// around the text are dropped; nothing is left → empty.
QString FindPatternFor(const QString& text);

// The result as a two-level tree: one top row per path (in the result's order; it reads the
// path and how many versions there are), its versions below it, newest first. Columns of a
// version: save name, run date, level, size, file date, copy.
class FoundVersionsModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  enum Column { Name, RunDate, Level, Size, FileDate, Copy, Columns };
  static constexpr int PathRole = Qt::UserRole;  // a path row's path alone
  explicit FoundVersionsModel(QObject* parent = nullptr);

  void SetResult(std::vector<FoundVersion> versions);
  int Paths() const { return static_cast<int>(starts_.size()) - 1; }
  int Versions() const { return static_cast<int>(versions_.size()); }
  // The version of a row below a path; nullptr for a path row or an invalid index.
  const FoundVersion* Version(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<FoundVersion> versions_;
  std::vector<int> starts_{0};  // first version of each path, then the end
};

class FindHistoryWindow : public QDialog {
  Q_OBJECT
 public:
  // `place` is the restore window's engine: where a restored version goes, and the saves it
  // must not be written into. The search starts once the dialog is shown.
  FindHistoryWindow(Module1& m, const HistoryTable& history, const FRestore& place, const QString& pattern,
                    QWidget* parent = nullptr);
  ~FindHistoryWindow() override;

  // --- Controls, named as their objectNames ---
  QLineEdit* Pattern;
  QTreeView* Versions;
  QProgressBar* Progress;
  QLabel *Target, *Status;
  QPushButton *RestoreVersion, *Cancel;
  QTimer* Timer1;
  FoundVersionsModel* model;

  // --- Events ---
  void FindVersions();
  void RestoreVersion_Click();
  void Cancel_Click();
  void Timer1_Timer();
  bool Searching() const { return finder_ != nullptr; }
  bool Restoring() const { return engine_ != nullptr; }
  const FindResult& Result() const { return result_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  bool Busy() const { return Searching() || Restoring(); }
  void ShowButtons();
  // The history rows whose listing may list the version: the run holding it, then the newer
  // ones, nearest first (a later run lists an unchanged file as held by the older run).
  std::vector<int> RowsListing(const FoundVersion& v) const;
  // Restores the version through `engine`: true when a listing listed it and it was marked.
  bool LoadAndMark(FRestore& engine, const FoundVersion& v);
  QString TargetText() const;

  Module1& m_;
  const HistoryTable& history_;
  const FRestore& place_;
  QString pattern_;
  FindResult result_;
  std::unique_ptr<RunFinder> finder_;
  std::unique_ptr<FRestore> engine_;
  bool started_ = false;
  bool closeWanted_ = false;
  bool stopAsked_ = false;  // the user's stop, not a listing that failed to load
};

}  // namespace qarno
