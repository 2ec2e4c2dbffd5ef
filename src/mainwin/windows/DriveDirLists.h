// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The browsing controls of the add-entries and directory dialogs, over the platform layer
// (so over the drive table): a drive list, a directory list that shows the opened directory
// with its parents above and its subdirectories below, and a file list.
#include "mainwin/DriveList.h"

#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>

namespace qarno {

class DriveBox : public QComboBox {
  Q_OBJECT
 public:
  DriveBox(Platform& fs, const DriveTable& drives, QWidget* parent = nullptr);
  QList<DriveListEntry> entries;
  // Shows the drive of the path without telling anyone.
  void ShowDriveOf(const QString& path);
  // At least as wide as the drive it shows: a long volume name or host folder widens the
  // box, never the box cuts it.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;
  const DriveListEntry* Current() const;
  // Goes back to the drive shown before the user's last choice.
  void Revert();

 signals:
  // The user chose another drive.
  void driveChosen(const DriveListEntry& entry);

 private:
  int shown_ = -1;
};

class DirListBox : public QTreeWidget {
  Q_OBJECT
 public:
  explicit DirListBox(Platform& fs, QWidget* parent = nullptr);
  // The opened directory.
  QString path() const { return path_; }
  // Opens a directory: its parents above it, its subdirectories below. False (and nothing
  // changes) when it cannot be read.
  bool setPath(const QString& path);
  // The directory of the selected entry (the opened one when none is selected).
  QString selectedPath() const;

 signals:
  // An entry was selected (click or arrow keys).
  void dirClicked(const QString& path);
  // A directory was opened (double-click, Enter, or setPath).
  void pathChanged(const QString& path);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  Platform& fs_;
  QString path_;
};

class FileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit FileListBox(Platform& fs, QWidget* parent = nullptr);
  QString folder() const { return folder_; }
  void setFolder(const QString& folder);

 private:
  Platform& fs_;
  QString folder_;
};

}  // namespace qarno
