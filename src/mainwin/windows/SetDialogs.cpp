// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/SetDialogs.h"

#include "mainwin/SetCommands.h"
#include "mainwin/SetNames.h"
#include "mainwin/windows/WidgetKit.h"
#include "platform/WinPath.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <functional>

namespace qarno {

namespace {
// A set picked in the list with the arrow keys goes into the text box as a clicked one does
// (Tab into the list only marks its first row, which picks nothing).
void FollowListKeys(QListWidget* list, QLineEdit* text) {
  QObject::connect(list, &QListWidget::itemSelectionChanged, text, [list, text] {
    QListWidgetItem* item = list->currentItem();
    if (item && item->isSelected()) text->setText(item->text());
  });
}

// Enter (or the keypad's Enter) in a control does `act` instead of nothing.
class EnterKey : public QObject {
 public:
  EnterKey(QWidget* control, std::function<void()> act) : QObject(control), act_(std::move(act)) {
    control->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(e);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->modifiers() & ~Qt::KeypadModifier)
      return false;
    act_();
    return true;
  }

 private:
  std::function<void()> act_;
};
}  // namespace

// ---------------------------------------------------------------------------------------

GetSetName::GetSetName(Module1& m, QWidget* mainWindow, bool saveAsMode)
    : ChildDialog(mainWindow, m.settings, QStringLiteral("SetNameTop"), QStringLiteral("SetNameLeft"),
                  FirstPlace::Centred),
      m_(m),
      saveAsMode_(saveAsMode) {
  setObjectName(QStringLiteral("GetSetName"));
  setWindowTitle(m.ProgramName + tr("  セット名の選択"));
  Text1 = Named(new QLineEdit(m.set.Name, this), "Text1");
  List1 = Named(new QListWidget(this), "List1");
  OK = Button(this, "OK", QStringLiteral("OK"));
  Cancel = Button(this, "Cancel", tr("取消"));
  List1->addItems(ListSetNames(m.fs, m.SetFolder));
  // The arrow keys start from the current set.
  const auto current = List1->findItems(m.set.Name, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (!current.isEmpty()) List1->setCurrentItem(current.first());

  auto* grid = new QGridLayout(this);
  grid->addWidget(Text1, 0, 0);
  grid->addWidget(List1, 1, 0, 3, 1);
  grid->addWidget(OK, 0, 1);
  grid->addWidget(Cancel, 1, 1);
  grid->setRowStretch(3, 1);
  SetSizeTwips(4200, 3600);
  SetMinimumTwips(3000, 2400);

  connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { Text1->setText(i->text()); });
  FollowListKeys(List1, Text1);
  connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
    Text1->setText(i->text());
    OK_Click();
  });
  // Enter on a set of the list chooses it, as a double-click does.
  new EnterKey(List1, [this] {
    if (QListWidgetItem* i = List1->currentItem(); i && i->isSelected()) {
      Text1->setText(i->text());
      OK_Click();
    }
  });
  connect(Text1, &QLineEdit::returnPressed, this, &GetSetName::OK_Click);
  connect(OK, &QPushButton::clicked, this, &GetSetName::OK_Click);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void GetSetName::OK_Click() {
  QString name = Text1->text();
  if (!AcceptSetName(m_, name, saveAsMode_, windowTitle())) return;
  chosenName = name;
  accept();
}

// ---------------------------------------------------------------------------------------

FDelSetName::FDelSetName(Qarno& main, QWidget* mainWindow)
    : ChildDialog(mainWindow, main.m.settings, QStringLiteral("FDelSetNameTop"), QStringLiteral("FDelSetNameLeft"),
                  FirstPlace::Centred),
      main_(main) {
  setObjectName(QStringLiteral("FDelSetName"));
  setWindowTitle(main.m.ProgramName + tr("  セット名の削除"));
  Text1 = Named(new QLineEdit(main.m.set.Name, this), "Text1");
  List1 = Named(new QListWidget(this), "List1");
  Remove = Button(this, "Remove", tr("削除"));
  Cancel = Button(this, "Cancel", tr("終了"));
  Fill();

  auto* grid = new QGridLayout(this);
  grid->addWidget(Text1, 0, 0);
  grid->addWidget(List1, 1, 0, 3, 1);
  grid->addWidget(Remove, 0, 1);
  grid->addWidget(Cancel, 1, 1);
  grid->setRowStretch(3, 1);
  SetSizeTwips(4200, 3600);
  SetMinimumTwips(3000, 2400);

  connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { Text1->setText(i->text()); });
  FollowListKeys(List1, Text1);
  connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
    Text1->setText(i->text());
    Remove_Click();
  });
  connect(Text1, &QLineEdit::returnPressed, this, &FDelSetName::Remove_Click);
  connect(Remove, &QPushButton::clicked, this, &FDelSetName::Remove_Click);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FDelSetName::Fill() {
  List1->clear();
  List1->addItems(ListSetNames(main_.m.fs, main_.m.SetFolder));
}

void FDelSetName::Remove_Click() {
  if (DeleteSet(main_, Text1->text(), windowTitle()) == SetDeletion::DeletedCurrent) deletedCurrent = true;
  Fill();
}

// ---------------------------------------------------------------------------------------

FSetDir::FSetDir(Module1& m, QWidget* mainWindow)
    : ChildDialog(mainWindow, m.settings, QStringLiteral("FSetDirTop"), QStringLiteral("FSetDirLeft"),
                  FirstPlace::Centred),
      m_(m) {
  setObjectName(QStringLiteral("FSetDir"));
  setWindowTitle(m.ProgramName + tr(" セットフォルダーの選択"));
  chosenFolder = m.settings.SetDirName;
  LSetDir = Named(new QListWidget(this), "LSetDir");
  auto* frameSets = Named(new QGroupBox(tr("セット名"), this), "FSetName");
  LSetName = Named(new QListWidget(frameSets), "LSetName");
  auto* frameFolder = Named(new QGroupBox(tr("セットフォルダー"), this), "FSetDirName");
  TSetDir = Named(new QLineEdit(frameFolder), "TSetDir");
  OK = Button(this, "OK", QStringLiteral("OK"));
  LSetDir->setToolTip(tr("現在あるフォルダーのリスト"));
  LSetName->setToolTip(tr("選択されたフォルダーにあるセット名のリスト"));
  TSetDir->setToolTip(tr("セットフォルダーとして使用するフォルダー名"));
  LSetName->setSelectionMode(QAbstractItemView::NoSelection);

  (new QVBoxLayout(frameSets))->addWidget(LSetName);
  (new QVBoxLayout(frameFolder))->addWidget(TSetDir);
  auto* grid = new QGridLayout(this);
  grid->addWidget(LSetDir, 0, 0, 3, 1);
  grid->addWidget(frameSets, 0, 1);
  grid->addWidget(frameFolder, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OK);
  grid->addLayout(buttons, 2, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  SetSizeTwips(5400, 3900);
  SetMinimumTwips(4000, 3000);

  LSetDir->addItems(ListSubfolders(m.fs, m.ProgramFolder));
  connect(LSetDir, &QListWidget::currentTextChanged, this, &FSetDir::LSetDir_Click);
  connect(LSetDir, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { LSetDir_Click(i->text()); });
  connect(LSetDir, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
    LSetDir_Click(i->text());
    OK_Click();
  });
  connect(TSetDir, &QLineEdit::returnPressed, this, &FSetDir::OK_Click);
  connect(OK, &QPushButton::clicked, this, &FSetDir::OK_Click);
  const auto current = LSetDir->findItems(chosenFolder, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (!current.isEmpty()) LSetDir->setCurrentItem(current.first());
  else TSetDir->setText(chosenFolder);
}

void FSetDir::LSetDir_Click(const QString& folder) {
  if (folder.isEmpty()) return;
  TSetDir->setText(folder);
  LSetName->clear();
  LSetName->addItems(ListSetNames(m_.fs, winpath::Join(m_.ProgramFolder, folder)));
}

void FSetDir::OK_Click() {
  const QString name = TSetDir->text();
  if (!AcceptSetFolderName(m_, name, windowTitle())) return;
  chosenFolder = name;
  accept();
}

}  // namespace qarno
