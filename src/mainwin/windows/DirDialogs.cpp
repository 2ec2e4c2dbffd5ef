// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/DirDialogs.h"

#include "common/Utils.h"
#include "common/WindowGeometry.h"
#include "mainwin/SetCommands.h"
#include "mainwin/windows/WidgetKit.h"
#include "platform/WinPath.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace qarno {

namespace {
// Opens the directory list on the first of these that can be read: the directory itself,
// then its parents, then the platform's current directory, then the first drive that is
// ready.
void OpenNear(DirListBox* dir, DriveBox* drives, Platform& fs, const QString& wanted) {
  QString path = wanted.trimmed();
  while (!path.isEmpty()) {
    if (!winpath::DriveLetter(path).isNull() && dir->setPath(path)) return;
    QString parent, name;
    if (!SplitPath(path, parent, name) || parent == path) break;
    path = parent;
  }
  if (dir->setPath(fs.CurrentDir())) return;
  for (const DriveListEntry& e : drives->entries) {
    if (e.ready && dir->setPath(e.root)) return;
  }
}
// The path is what the folder dialogs are about: they start there, Tab goes on from it top
// to bottom, and each box is named for screen readers.
void PathFirst(QLineEdit* path, DriveBox* drive, DirListBox* dir, std::initializer_list<QWidget*> rest) {
  path->setAccessibleName(QCoreApplication::translate("FolderDialogs", "パス"));
  drive->setAccessibleName(QCoreApplication::translate("FolderDialogs", "ドライブ"));
  dir->setAccessibleName(QCoreApplication::translate("FolderDialogs", "ディレクトリ"));
  QWidget::setTabOrder(path, drive);
  QWidget::setTabOrder(drive, dir);
  QWidget* previous = dir;
  for (QWidget* next : rest) {
    QWidget::setTabOrder(previous, next);
    previous = next;
  }
  path->setFocus();
}

}  // namespace

// ---------------------------------------------------------------------------------------

FApend::FApend(Module1& m, const DriveTable& drives, QWidget* mainWindow, int tag, bool saveList, int modifyRow,
               std::function<void(int)> shown)
    : ChildDialog(mainWindow, m.settings, QStringLiteral("FApendTop"), QStringLiteral("FApendLeft"),
                  FirstPlace::LowerRight),
      m_(m),
      tag_(tag),
      saveList_(saveList),
      modifyRow_(modifyRow),
      shown_(std::move(shown)) {
  setObjectName(QStringLiteral("FApend"));
  setWindowTitle(saveList ? (tag == 0 ? tr("保存リストの追加") : tr("保存リストの変更"))
                          : (tag == 0 ? tr("スキップリストの追加") : tr("スキップリストの変更")));
  Drive1 = Named(new DriveBox(m.fs, drives, this), "Drive1");
  Dir1 = Named(new DirListBox(m.fs, this), "Dir1");
  File1 = Named(new FileListBox(m.fs, this), "File1");
  Text1 = Named(new QLineEdit(this), "Text1");
  Apend = Button(this, "Apend", tr("追加"));
  BExit = Button(this, "BExit", tag == 0 ? tr("閉じる") : QStringLiteral("OK"));
  Apend->setVisible(tag == 0);
  Text1->setToolTip(tr("リストに追加するディレクトリやファイルを指定します"));
  Apend->setToolTip(tr("指定されているディレクトリやファイルをリストに追加します"));
  BExit->setToolTip(tr("このダイアログ･ボックスを閉じます"));

  auto* grid = new QGridLayout(this);
  grid->setSpacing(Px(this, 100));
  grid->setContentsMargins(Px(this, 100), Px(this, 100), Px(this, 200), Px(this, 100));
  grid->addWidget(Text1, 0, 0, 1, 2);
  grid->addWidget(Drive1, 1, 0);
  grid->addWidget(Dir1, 2, 0);
  grid->addWidget(File1, 1, 1, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Apend);
  buttons->addWidget(BExit);
  grid->addLayout(buttons, 3, 0, 1, 2);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);

  const auto& pos = m.settings.positions;
  SetSizeTwips(StoredTwips(pos.value(QStringLiteral("FApendWidth")), 4000),
               StoredTwips(pos.value(QStringLiteral("FApendHeight")), 4000));
  SetMinimumTwips(2400, 2400);
  StoreSizeAs(QStringLiteral("FApendHeight"), QStringLiteral("FApendWidth"));

  const QStringList& list = ShownList(m, saveList);
  QString start;
  if (modifyRow >= 0 && modifyRow < list.size()) start = list[modifyRow];
  else if (!list.isEmpty()) start = list.last();
  OpenOn(start);
  if (tag == 1 && modifyRow >= 0 && modifyRow < list.size()) Text1->setText(list[modifyRow]);

  connect(Drive1, &DriveBox::driveChosen, this, &FApend::Drive1_Change);
  connect(Dir1, &DirListBox::dirClicked, this, [this](const QString& dir) {
    File1->setFolder(dir);
    Text1->setText(dir);
  });
  connect(Dir1, &DirListBox::pathChanged, this, [this](const QString& dir) {
    Drive1->ShowDriveOf(dir);
    driveDirs_[winpath::DriveLetter(dir)] = dir;
    File1->setFolder(dir);
    Text1->setText(dir);
  });
  connect(File1, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* i) { Text1->setText(FileInDirectory(File1->folder(), i->text())); });
  connect(File1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
    Text1->setText(FileInDirectory(File1->folder(), i->text()));
    Apend_Click();
  });
  // A file picked with the arrow keys goes into the path box as a clicked one does.
  connect(File1, &QListWidget::itemSelectionChanged, this, [this] {
    QListWidgetItem* i = File1->currentItem();
    if (i && i->isSelected()) Text1->setText(FileInDirectory(File1->folder(), i->text()));
  });
  connect(Text1, &QLineEdit::returnPressed, this, [this] {
    if (tag_ == 0) Apend_Click();
    else BExit_Click();
  });
  connect(Apend, &QPushButton::clicked, this, &FApend::Apend_Click);
  connect(BExit, &QPushButton::clicked, this, &FApend::BExit_Click);
  PathFirst(Text1, Drive1, Dir1, {File1, Apend, BExit});
  File1->setAccessibleName(tr("ファイル"));
}

void FApend::OpenOn(const QString& startEntry) {
  // The entry's directory, and the entry itself when it is a directory.
  QString dir, name;
  SplitPath(startEntry, dir, name);
  bool opened = false;
  if (!startEntry.isEmpty() && m_.fs.IsDirectory(startEntry)) opened = Dir1->setPath(startEntry);
  if (!opened && !dir.isEmpty()) opened = Dir1->setPath(dir);
  if (!opened) OpenNear(Dir1, Drive1, m_.fs, m_.fs.CurrentDir());
  Drive1->ShowDriveOf(Dir1->path());
  driveDirs_[winpath::DriveLetter(Dir1->path())] = Dir1->path();
  File1->setFolder(Dir1->path());
}

void FApend::Drive1_Change(const DriveListEntry& drive) {
  const QString dir = driveDirs_.value(drive.letter, drive.root);
  if (!drive.ready || !m_.fs.IsDirectory(drive.root) || !(Dir1->setPath(dir) || Dir1->setPath(drive.root))) {
    Drive1->ShowDriveOf(Dir1->path());
    m_.Warn(Question::ApendDriveNotReady, windowTitle(),
            drive.text + u'\r' + TrWords("qarno::FApend", "ドライブの準備ができていません"));
    return;
  }
  Text1->setText(Dir1->path());
}

bool FApend::Apend_Click() {
  const int index = ApendEntry(m_, saveList_, Text1->text(), tag_ == 1 ? modifyRow_ : -1, windowTitle());
  if (index < 0) return false;
  if (shown_) shown_(index);
  return true;
}

void FApend::BExit_Click() {
  // A change that was refused keeps the dialog open, so that the typed text is not lost.
  if (tag_ == 1 && !Apend_Click()) return;
  accept();
}

// ---------------------------------------------------------------------------------------

GetSaveDir::GetSaveDir(Module1& m, const DriveTable& drives, QWidget* mainWindow, int mode,
                       const QString& callerCaption, const QString& text)
    : ChildDialog(mainWindow, m.settings, QStringLiteral("SaveDirTop"), QStringLiteral("SaveDirLeft"),
                  FirstPlace::Centred),
      m_(m),
      mode_(mode) {
  setObjectName(QStringLiteral("GetSaveDir"));
  setWindowTitle(callerCaption +
                 (mode == 1 ? tr("  復元先ディレクトリの選択") : tr("  保存先ディレクトリの選択")));
  Drive1 = Named(new DriveBox(m.fs, drives, this), "Drive1");
  Dir1 = Named(new DirListBox(m.fs, this), "Dir1");
  Text1 = Named(new QLineEdit(text, this), "Text1");
  OK = Button(this, "OK", QStringLiteral("OK"));
  Cancel = Button(this, "Cancel", tr("取消"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(Text1, 0, 0, 1, 2);
  grid->addWidget(Drive1, 1, 0);
  grid->addWidget(Dir1, 2, 0, 2, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(OK);
  buttons->addWidget(Cancel);
  buttons->addStretch();
  grid->addLayout(buttons, 1, 1, 3, 1);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);

  // The size is the one the settings gave at program start; it is never stored back.
  const auto& pos = m.settings.positions;
  SetSizeTwips(StoredTwips(pos.value(QStringLiteral("SaveDirWidth")), 4000),
               StoredTwips(pos.value(QStringLiteral("SaveDirHeight")), 4000));
  SetMinimumTwips(3000, 3500);

  OpenNear(Dir1, Drive1, m.fs, text);
  Drive1->ShowDriveOf(Dir1->path());
  driveDirs_[winpath::DriveLetter(Dir1->path())] = Dir1->path();
  Text1->setText(text);

  connect(Drive1, &DriveBox::driveChosen, this, &GetSaveDir::Drive1_Change);
  PathFirst(Text1, Drive1, Dir1, {OK, Cancel});
  connect(Dir1, &DirListBox::dirClicked, this, [this](const QString& dir) { Text1->setText(dir); });
  connect(Dir1, &DirListBox::pathChanged, this, [this](const QString& dir) {
    Drive1->ShowDriveOf(dir);
    driveDirs_[winpath::DriveLetter(dir)] = dir;
    Text1->setText(dir);
  });
  connect(Text1, &QLineEdit::returnPressed, this, &GetSaveDir::OK_Click);
  connect(OK, &QPushButton::clicked, this, &GetSaveDir::OK_Click);
  connect(Cancel, &QPushButton::clicked, this, &GetSaveDir::Cancel_Click);
}

void GetSaveDir::Drive1_Change(const DriveListEntry& drive) {
  const QString dir = driveDirs_.value(drive.letter, drive.root);
  if (!drive.ready || !m_.fs.IsDirectory(drive.root) || !(Dir1->setPath(dir) || Dir1->setPath(drive.root))) {
    Drive1->ShowDriveOf(Dir1->path());
    m_.Warn(Question::SaveDirDriveNotReady, windowTitle(),
            TrWords("qarno::GetSaveDir", "ドライブの準備ができていません。") + Words(u'\r') +
                TrWords("qarno::GetSaveDir", "しばらくしてから再試行してください。"));
  }
}

void GetSaveDir::OK_Click() {
  if (Text1->text().isEmpty()) {
    m_.Warn(Question::NoDirectoryName, windowTitle(), TrWords("qarno::GetSaveDir", "ディレクトリ名を指定してください。"));
    return;
  }
  chosen = Text1->text();
  accept();
}

void GetSaveDir::Cancel_Click() {
  chosen.clear();
  reject();
}

}  // namespace qarno
