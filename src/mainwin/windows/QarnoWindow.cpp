// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/QarnoWindow.h"

#include "app/Notify.h"
#include "app/QarnoConsole.h"
#include "common/WindowGeometry.h"
#include "mainwin/SetCommands.h"
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/Placement.h"
#include "mainwin/windows/SetDialogs.h"
#include "mainwin/SetNames.h"
#include "mainwin/Staleness.h"
#include "mainwin/windows/WidgetKit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace qarno {

namespace {
QAction* Command(QMenu* menu, const char* name, const QString& text) {
  QAction* a = menu->addAction(text);
  a->setObjectName(QLatin1String(name));
  return a;
}

// The windows that come back from the task bar with the main window: the dialogs of the
// main window and the run, restore and settings windows.
bool ComesBackWithMain(DialogKind kind) {
  switch (kind) {
    case DialogKind::SetName:
    case DialogKind::SaveDir:
    case DialogKind::ListEntry:
    case DialogKind::SaveExec:
    case DialogKind::Restore:
    case DialogKind::Setting: return true;
    default: return false;
  }
}

bool IsEnabled(QWidget* o) {
  if (auto* menu = qobject_cast<QMenu*>(o)) return menu->menuAction()->isEnabled();
  return o->isEnabled();
}

void SetEnabled(QWidget* o, bool on) {
  if (auto* menu = qobject_cast<QMenu*>(o)) menu->menuAction()->setEnabled(on);
  else o->setEnabled(on);
}
}  // namespace

QarnoWindow::QarnoWindow(Program& p, ChildWindows& c)
    : program(p), m(*p.m), main(*p.main), children(c) {
  setObjectName(QStringLiteral("Qarno"));
  openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  clock = [] { return QDateTime::currentDateTime(); };
  quit = [](int status) { QCoreApplication::exit(status); };
  BuildControls();
  BuildMenus();
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, &QarnoWindow::Timer1_Timer);
  setWindowTitle(m.ProgramName);
}

QarnoWindow::~QarnoWindow() = default;

// ---------------------------------------------------------------------------------------
// Controls and menus

void QarnoWindow::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);

  FSetName = Named(new QGroupBox(tr("セット名"), central), "FSetName");
  SetName = Named(new QLabel(FSetName), "SetName");
  SetName->setFrameShape(QFrame::StyledPanel);
  SetName->setFrameShadow(QFrame::Sunken);
  SetName->setTextInteractionFlags(Qt::NoTextInteraction);
  // A long name wraps within the narrow column instead of being cut.
  SetName->setWordWrap(true);
  SetName->installEventFilter(this);
  BSetName = Named(new QPushButton(tr("参照"), FSetName), "BSetName");
  StaleMark = Named(new QLabel(FSetName), "StaleMark");
  StaleMark->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
  StaleMark->hide();
  auto* setBox = new QVBoxLayout(FSetName);
  auto* setRow = new QHBoxLayout;
  setRow->addWidget(SetName, 1);
  setRow->addWidget(BSetName);
  setBox->addLayout(setRow);
  setBox->addWidget(StaleMark);

  FSaveDir = Named(new QGroupBox(tr("保存先ディレクトリ"), central), "FSaveDir");
  SaveDir = Named(new QLineEdit(FSaveDir), "SaveDir");
  BSaveDir = Named(new QPushButton(tr("参照"), FSaveDir), "BSaveDir");
  auto* dirRow = new QHBoxLayout(FSaveDir);
  dirRow->addWidget(SaveDir, 1);
  dirRow->addWidget(BSaveDir);

  FSaveLevel = Named(new QGroupBox(tr("保存レベル"), central), "FSaveLevel");
  SaveLevel = Named(new QComboBox(FSaveLevel), "SaveLevel");
  for (const QString& caption : Qarno::SaveLevelCaptions()) SaveLevel->addItem(CoreCaption(caption));  // InitSaveLevelList
  SaveLevel->setCurrentIndex(2);
  // Wide enough for its longest caption, closed as well as open: the left column widens
  // for it, the lists beside it give way.
  {
    int widest = 0;
    for (int i = 0; i < SaveLevel->count(); ++i)
      widest = std::max(widest, SaveLevel->fontMetrics().horizontalAdvance(SaveLevel->itemText(i)));
    SaveLevel->setMinimumWidth(ComboWidthFor(SaveLevel, widest));
  }
  (new QVBoxLayout(FSaveLevel))->addWidget(SaveLevel);

  SFrame = Named(new QGroupBox(tr("保存/スキップリスト"), central), "SFrame");
  SLabel = Named(new QLabel(tr("保存リスト"), SFrame), "SLabel");
  SList = Named(new QListView(SFrame), "SList");
  listModel = new EntryListModel(this);
  SList->setModel(listModel);
  SList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  SList->setUniformItemSizes(true);
  SList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SList->setDragDropMode(QAbstractItemView::NoDragDrop);
  SList->installEventFilter(this);
  Apend = Named(new QPushButton(tr("追加"), SFrame), "Apend");
  Remove = Named(new QPushButton(tr("削除"), SFrame), "Remove");
  Modify = Named(new QPushButton(tr("変更"), SFrame), "Modify");
  Change = Named(new QPushButton(tr("表示切替"), SFrame), "Change");
  auto* listBox = new QVBoxLayout(SFrame);
  listBox->addWidget(SLabel);
  listBox->addWidget(SList, 1);
  auto* listButtons = new QGridLayout;
  listButtons->addWidget(Apend, 0, 0);
  listButtons->addWidget(Remove, 0, 1);
  listButtons->addWidget(Modify, 1, 0);
  listButtons->addWidget(Change, 1, 1);
  listBox->addLayout(listButtons);

  FHistory = Named(new QGroupBox(tr("保存履歴"), central), "FHistory");
  HisTable = Named(new QTableView(FHistory), "HisTable");
  hisModel = new HistoryModel(main.HisTable, this);
  HisTable->setModel(hisModel);
  HisTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  HisTable->setSelectionMode(QAbstractItemView::SingleSelection);
  HisTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  HisTable->setWordWrap(false);
  HisTable->verticalHeader()->setDefaultSectionSize(HisTable->fontMetrics().height() + 6);
  HisTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  HisTable->horizontalHeader()->setHighlightSections(false);
  HisTable->viewport()->installEventFilter(this);
  HisTable->installEventFilter(this);
  FitHistoryColumns(HisTable);
  (new QVBoxLayout(FHistory))->addWidget(HisTable);

  BackUp = Named(new QPushButton(tr("保存開始"), central), "BackUp");
  Restore = Named(new QPushButton(tr("復元"), central), "Restore");
  BExit = Named(new QPushButton(tr("終了"), central), "BExit");
  auto* line = Named(new QFrame(central), "Line1");
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  // The left column (3700 twips wide) beside the history, the run buttons along the bottom.
  auto* left = new QVBoxLayout;
  left->addWidget(FSetName);
  left->addWidget(FSaveDir);
  left->addWidget(FSaveLevel);
  left->addWidget(SFrame, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addWidget(FHistory, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(BackUp);
  bottom->addWidget(Restore);
  bottom->addWidget(BExit);
  auto* outer = new QVBoxLayout(central);
  outer->addLayout(columns, 1);
  outer->addWidget(line);
  outer->addLayout(bottom);
  const int leftWidth = std::max(Px(this, 3700), FSaveLevel->sizeHint().width());
  for (QWidget* w : {FSetName, FSaveDir, FSaveLevel, SFrame}) w->setFixedWidth(leftWidth);
  columns->setSpacing(Px(this, 100));

  connect(BSetName, &QPushButton::clicked, this, &QarnoWindow::SetChoice);
  connect(BSaveDir, &QPushButton::clicked, this, &QarnoWindow::BSaveDir_Click);
  connect(SaveDir, &QLineEdit::textEdited, this, [this](const QString& text) {
    // A destination typed by hand is a change of the set like one chosen in the dialog.
    m.set.SaveDir = text;
    m.SetModified = true;
    SetBackUpEnabled();
  });
  connect(SaveLevel, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
    m.set.SaveLevel = LevelOfNumber(index);
    m.SetModified = true;
  });
  connect(Apend, &QPushButton::clicked, this, &QarnoWindow::Apend_Click);
  connect(Remove, &QPushButton::clicked, this, &QarnoWindow::Remove_Click);
  connect(Modify, &QPushButton::clicked, this, &QarnoWindow::Modify_Click);
  connect(Change, &QPushButton::clicked, this, &QarnoWindow::Change_Click);
  connect(SList, &QListView::doubleClicked, this, [this](const QModelIndex&) { Modify_Click(); });
  connect(HisTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            historyRow_ = current.isValid() ? current.row() + 1 : 0;
            // A row the user moved to (the keys, a click); the window's own selection is no pick.
            if (!selectingHistory_) historyPicked_ = current.isValid();
            SetRestoreEnabled();
          });
  connect(HisTable, &QTableView::clicked, this, [this](const QModelIndex& index) {
    historyRow_ = index.row() + 1;
    historyPicked_ = true;
    SetRestoreEnabled();
  });
  connect(HisTable, &QTableView::doubleClicked, this, [this](const QModelIndex&) { HistoryEdit_Click(); });
  connect(BackUp, &QPushButton::clicked, this, &QarnoWindow::BackUp_Click);
  connect(Restore, &QPushButton::clicked, this, &QarnoWindow::Restore_Click);
  connect(BExit, &QPushButton::clicked, this, &QarnoWindow::ExitCommand);

  // The lists give way first when the window is small: a few rows, never a squashed button.
  SList->setMinimumHeight(ListRowHeight(SList) * 2 + SList->frameWidth() * 2);
  HisTable->setMinimumHeight(HisTable->verticalHeader()->defaultSectionSize() * 3 +
                             HisTable->horizontalHeader()->sizeHint().height() + HisTable->frameWidth() * 2);
  SList->setAccessibleName(SLabel->text());
  SLabel->setBuddy(SList);
  FinishControls(this);
}

QSize QarnoWindow::OwnDefaultSize() {
  // Eight rows of the list, and the history's columns up to the date, whole; the stale
  // warning may show under the set name.
  const QSize listMin = SList->minimumSize(), historyMin = HisTable->minimumSize();
  SList->setMinimumHeight(ListRowHeight(SList) * 8 + SList->frameWidth() * 2);
  hisModel->Reload();
  FitHistoryColumns(HisTable);
  const int date = HistoryEntry::SaveDate;
  HisTable->setMinimumWidth(HisTable->columnViewportPosition(date) + HisTable->columnWidth(date) +
                            HisTable->verticalHeader()->width() + HisTable->frameWidth() * 2 +
                            HisTable->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  HisTable->setMinimumHeight(HisTable->verticalHeader()->defaultSectionSize() * 9 +
                             HisTable->horizontalHeader()->sizeHint().height() +
                             HisTable->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + HisTable->frameWidth() * 2);
  centralWidget()->layout()->invalidate();
  layout()->invalidate();
  QSize want = layout()->totalMinimumSize();
  if (StaleMark->isHidden()) want.rheight() += StaleMark->sizeHint().height() + 6;
  SList->setMinimumSize(listMin);
  HisTable->setMinimumSize(historyMin);
  centralWidget()->layout()->invalidate();
  layout()->invalidate();
  return want;
}

void QarnoWindow::BuildMenus() {
  FileMenu = Named(menuBar()->addMenu(tr("保存セット(&B)")), "FileMenu");
  FileNew = Command(FileMenu, "FileNew", tr("新規作成(&N)"));
  FileOpen = Command(FileMenu, "FileOpen", tr("開く(&O)"));
  FileSave = Command(FileMenu, "FileSave", tr("保存(&S)"));
  FileSaveAs = Command(FileMenu, "FileSaveAs", tr("名前をつけて保存"));
  FileMenu->addSeparator();
  FileExit = Command(FileMenu, "FileExit", tr("終了(&X)"));

  OptionMenu = Named(menuBar()->addMenu(tr("オプション(&O)")), "OptionMenu");
  OptionSetting = Command(OptionMenu, "OptionSetting", tr("設定(&S)"));
  OptionNoCompType = Command(OptionMenu, "OptionNoCompType", tr("非圧縮タイプの設定"));
  OptionMenu->addSeparator();
  OptionSetDir = Command(OptionMenu, "OptionSetDir", tr("セット名フォルダーの変更"));

  EditMenu = Named(menuBar()->addMenu(tr("編集(&E)")), "EditMenu");
  EditSetNameDelete = Command(EditMenu, "EditSetNameDelete", tr("セット名の削除"));
  EditMenu->addSeparator();
  EditHistoryEdit = Command(EditMenu, "EditHistoryEdit", tr("履歴情報の編集"));
  EditHistoryDisp = Command(EditMenu, "EditHistoryDisp", tr("保存内容の詳細表示"));
  EditHistoryVerify = Command(EditMenu, "EditHistoryVerify", tr("検証"));
  EditMenu->addSeparator();
  EditHistoryDelete = Command(EditMenu, "EditHistoryDelete", tr("履歴情報の削除"));

  HelpMenu = Named(menuBar()->addMenu(tr("ヘルプ(&H)")), "HelpMenu");
  HelpHelp = Command(HelpMenu, "HelpHelp", tr("ヘルプ(&M)"));
  HelpMenu->addSeparator();
  HelpVersion = Command(HelpMenu, "HelpVersion", tr("バージョン情報(&A)"));
  HelpMenu->addSeparator();
  HelpUnLhaVersion = Command(HelpMenu, "HelpUnLhaVersion", tr("UNLHAバージョン"));

  SetNameMenu = Named(new QMenu(tr("セット名"), this), "SetNameMenu");
  SetNameSelect = Named(SetNameMenu->addMenu(tr("セット名の選択")), "SetNameSelect");
  SetNameMenu->addSeparator();
  SetNameDel = Command(SetNameMenu, "SetNameDel", tr("セット名の削除"));
  // The set entries live only while the menu is open.
  connect(SetNameMenu, &QMenu::aboutToHide, this, [this] {
    QTimer::singleShot(0, this, [this] { SetNameSelect->clear(); });
  });

  HisTableMenu = Named(new QMenu(tr("履歴情報"), this), "HisTableMenu");
  HisTableEdit = Command(HisTableMenu, "HisTableEdit", tr("履歴情報の編集"));
  HisTableDisp = Command(HisTableMenu, "HisTableDisp", tr("保存内容の詳細表示"));
  HisTableVerify = Command(HisTableMenu, "HisTableVerify", tr("検証"));
  HisTableMenu->addSeparator();
  HisTableDelete = Command(HisTableMenu, "HisTableDelete", tr("履歴情報の削除"));

  connect(FileNew, &QAction::triggered, this, &QarnoWindow::SetChoice);
  connect(FileOpen, &QAction::triggered, this, &QarnoWindow::SetChoice);
  connect(FileSave, &QAction::triggered, this, &QarnoWindow::FileSave_Click);
  connect(FileSaveAs, &QAction::triggered, this, &QarnoWindow::FileSaveAs_Click);
  connect(FileExit, &QAction::triggered, this, &QarnoWindow::ExitCommand);
  connect(OptionSetting, &QAction::triggered, this, &QarnoWindow::OptionSetting_Click);
  connect(OptionNoCompType, &QAction::triggered, this, &QarnoWindow::OptionNoCompType_Click);
  connect(OptionSetDir, &QAction::triggered, this, &QarnoWindow::OptionSetDir_Click);
  for (QAction* a : {EditSetNameDelete, SetNameDel})
    connect(a, &QAction::triggered, this, &QarnoWindow::SetNameDelete_Click);
  for (QAction* a : {EditHistoryEdit, HisTableEdit})
    connect(a, &QAction::triggered, this, &QarnoWindow::HistoryEdit_Click);
  for (QAction* a : {EditHistoryDisp, HisTableDisp})
    connect(a, &QAction::triggered, this, &QarnoWindow::ShowRecordedRun);
  for (QAction* a : {EditHistoryVerify, HisTableVerify})
    connect(a, &QAction::triggered, this, &QarnoWindow::HistoryVerify_Click);
  for (QAction* a : {EditHistoryDelete, HisTableDelete})
    connect(a, &QAction::triggered, this, &QarnoWindow::HistoryDelete_Click);
  connect(HelpHelp, &QAction::triggered, this, &QarnoWindow::HelpHelp_Click);
  connect(HelpVersion, &QAction::triggered, this, &QarnoWindow::HelpVersion_Click);
  connect(HelpUnLhaVersion, &QAction::triggered, this, &QarnoWindow::HelpUnLhaVersion_Click);

  QWidget* controls[15] = {FileMenu, OptionMenu, HelpMenu, BSetName, BSaveDir, SaveLevel, Apend,   Remove,
                           Change,   BackUp,     Restore,  BExit,    SList,    HisTable,  EditMenu};
  std::copy(std::begin(controls), std::end(controls), controls_);
}

void QarnoWindow::SetToolTips() {
  Change->setToolTip(tr("リストに表示する内容を、保存リストとスキップリストの間で切替えます"));
  BSetName->setToolTip(tr("セット名を変更したり、新しいセットを作成するためのダイアログ・ボックスを開きます"));
  BSaveDir->setToolTip(tr("バックアップの保存先ディレクトリを選択するためのダイアログ・ボックスを開きます"));
  SaveLevel->setToolTip(tr("今回保存されるファイルとディレクトリの種類（レベル）を設定します"));
  HisTable->setToolTip(tr("今までのバックアップの履歴が表示されます"));
  BackUp->setToolTip(tr("バックアップを行うためのダイアログ・ボックスを開きます"));
  BExit->setToolTip(tr("プログラムを終了します"));
  Restore->setToolTip(tr("保存履歴で選択されている時点の状態に復元するためのダイアログ・ボックスを開きます"));
}

// ---------------------------------------------------------------------------------------
// Geometry

void QarnoWindow::ApplyGeometry() {
  const Settings& s = m.settings;
  const QSize frameExtra = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
  QSize size(Px(this, s.Width) - frameExtra.width(), Px(this, s.Height) - frameExtra.height());
  // Without a size of the user's, the window's own: the default of the settings shows too
  // little of the lists on today's fonts.
  if (!s.SizeStored) size = size.expandedTo(OwnDefaultSize());
  resize(size);
  move(Px(this, s.Left), Px(this, s.Top));
}

void QarnoWindow::StoreGeometry() {
  Settings& s = m.settings;
  QRect frame = frameGeometry();
  if (isMinimized() || isMaximized()) {
    const QRect normal = normalGeometry();
    const QSize extra = frame.size() - size();
    frame = QRect(normal.topLeft() - (geometry().topLeft() - frame.topLeft()), normal.size() + extra);
  }
  s.Top = Twips(this, frame.top());
  s.Left = Twips(this, frame.left());
  s.Height = Twips(this, frame.height());
  s.Width = Twips(this, frame.width());
  s.SizeStored = true;
}

void QarnoWindow::ArrangeControls() {
  if (isMinimized()) return;
  // The window is held at its minimum of 5900 × 6400 twips (frame included), or larger where
  // the controls need more: the lists give way down to a few rows, the controls never.
  const QSize extra = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
  setMinimumSize(QSize(Px(this, 5900) - extra.width(), Px(this, 6400) - extra.height()).expandedTo(minimumSizeHint()));
}

void QarnoWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  ArrangeControls();
}

void QarnoWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange) return;
  // An open dialog (or run window) comes back with the main window.
  if (openChild_ && ComesBackWithMain(m.OpenDialogKind) && !isMinimized() && openChild_->isMinimized())
    openChild_->setWindowState(openChild_->windowState() & ~Qt::WindowMinimized);
  ArrangeControls();
}

// ---------------------------------------------------------------------------------------
// Start-up and showing the set

void QarnoWindow::Form_Load(const QString& commandLine) {
  ShowListKind = true;
  program.Form_Load(commandLine);  // settings, set folder, command line, set, command line again, types
  SelectNewestHistoryRow();
  if (m.AutoRunMode.AskedUnattended() && (m.set.Name.isEmpty() || !m.AutoRunMode.Requested())) {
    // An unattended run that cannot start (no usable set name, a set or history that could
    // not be read) has nobody to show a window or the set name dialog to: the program ends
    // at once, with the status a script expects. The reason went to standard error (and,
    // with a set, to its log).
    const bool setRead = !m.set.Name.isEmpty() && main.setLoaded;
    exitStatus = setRead ? kExitFailed : kExitNoSet;
    program.Exit();
    exited = true;
    return;
  }
  setWindowTitle(m.MainCaption);
  SetToolTips();
  BackUp->setEnabled(false);
  Restore->setEnabled(false);
  ApplyGeometry();
  show();
  ApplyGeometry();  // now that the frame is known
  ArrangeControls();
  ShowSet();
  if (m.set.Name.isEmpty()) {
    GetSetName dialog(m, this, false);
    if (RunDialog(DialogKind::SetName, dialog) == QDialog::Accepted) {
      m.set.Name = dialog.chosenName;
      ReadSet();
      main.ResetSaveLevel();
      const bool autoRun = m.AutoRunMode.Requested();
      main.ReadCommandLine(commandLine);
      if (!autoRun) m.AutoRunMode.Stop();
      m.SetModified = false;
      ShowSet();
    }
  }
  Timer1->start();
  if (!m.AutoRunMode.Requested()) {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    return;
  }
  if (main.windowState == 1) setWindowState(windowState() | Qt::WindowMinimized);
  else if (main.windowState == 2) setWindowState(windowState() | Qt::WindowMaximized);
  BackUp_Click();
  // The run did not start (what changed could not be written first): an unattended run has
  // failed, and the timer ends the program with that status.
  if (m.OpenDialogKind == DialogKind::None && m.AutoRunMode.AskedUnattended()) exitStatus = kExitFailed;
}

void QarnoWindow::ShowSet() {
  setWindowTitle(m.MainCaption);
  SetName->setText(m.set.Name);
  SaveDir->setText(m.set.SaveDir);
  SaveLevel->setCurrentIndex(NumberOf(m.set.SaveLevel) >= 0 && NumberOf(m.set.SaveLevel) <= 4 ? NumberOf(m.set.SaveLevel) : -1);
  SListDisp();
  ShowHistory();
  SetBackUpEnabled();
}

void QarnoWindow::ShowHistory() {
  hisModel->Reload();
  FitHistoryColumns(HisTable);
  // Rows added or removed under the selection: the row picked may now be another run.
  if (main.HisTable.Rows() != shownHistoryRows_) historyPicked_ = false;
  shownHistoryRows_ = main.HisTable.Rows();
  const bool wasSelecting = selectingHistory_;
  selectingHistory_ = true;
  // A selection the rows changed under (a run recorded, rows deleted, the file read again)
  // stays while it still names a row; otherwise the newest run is selected.
  if (historyRow_ < 1 || historyRow_ >= main.HisTable.Rows()) SelectNewestHistoryRow();
  const int row = historyRow_;
  if (row >= 1 && row < main.HisTable.Rows()) {
    HisTable->selectRow(row - 1);
    HisTable->setCurrentIndex(hisModel->index(row - 1, 0));
  }
  historyRow_ = row;
  selectingHistory_ = wasSelecting;
  SaveLevel->setCurrentIndex(NumberOf(m.set.SaveLevel) >= 0 && NumberOf(m.set.SaveLevel) <= 4 ? NumberOf(m.set.SaveLevel) : -1);
  SetRestoreEnabled();
  ShowStaleMark();
}

void QarnoWindow::ShowStaleMark() {
  const QDateTime now = clock();
  staleDay_ = now.date();
  // One short line under the set name (the left column is narrow); the whole warning, with
  // the limit, in its tooltip. The timer looks again when it may change, not before.
  const StaleMarkView mark = StaleMarkOf(main.HisTable, m.set.Name.isEmpty() ? 0 : m.set.StaleDays, now);
  StaleMark->setText(mark.text);
  StaleMark->setToolTip(mark.toolTip);
  StaleMark->setVisible(!mark.toolTip.isEmpty());
  ArrangeControls();  // the warning takes a line of its own
  staleRecheck_ = mark.recheck;
}

// ---------------------------------------------------------------------------------------
// The list view

int QarnoWindow::SListTopRow() const { return SList->indexAt(QPoint(2, 2)).row(); }

void QarnoWindow::SListDisp() {
  const int top = SListTopRow();
  const QStringList& list = ShownList(m, ShowListKind);
  listModel->Show(&list);
  if (ShowListKind) {
    SLabel->setText(tr("保存リスト"));
    SList->setToolTip(tr(
        "ここに登録されているファイル又はディレクトリ（その全てのサブディレクトリとファイルを含む）が保存対象に含まれます"));
    Apend->setToolTip(tr("保存リストに追加するためのダイアログ・ボックスを開きます"));
    Remove->setToolTip(tr("選択されている項目を保存リストから削除します"));
  } else {
    SLabel->setText(tr("スキップリスト"));
    SList->setToolTip(tr(
        "ここに登録されているファイル又はディレクトリ（その全てのサブディレクトリとファイルを含む）は保存対象から除かれます"));
    Apend->setToolTip(tr("スキップリストに追加するためのダイアログ・ボックスを開きます"));
    Remove->setToolTip(tr("選択されている項目をスキップリストから削除します"));
  }
  if (top >= 0 && top < list.size()) SList->scrollTo(listModel->index(top), QAbstractItemView::PositionAtTop);
  else SList->scrollToTop();
  SetBackUpEnabled();
}

void QarnoWindow::SListSetForcus(int index) {
  const QModelIndex at = listModel->index(index);
  SList->selectionModel()->clearSelection();
  if (at.isValid()) {
    SList->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
  }
  const QModelIndex top = listModel->index(ForcusTopRow(index));
  if (top.isValid()) SList->scrollTo(top, QAbstractItemView::PositionAtTop);
  else SList->scrollToTop();
}

QList<int> QarnoWindow::SelectedRows() const {
  QList<int> rows;
  for (const QModelIndex& i : SList->selectionModel()->selectedIndexes()) rows += i.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

// ---------------------------------------------------------------------------------------
// Enabling

void QarnoWindow::SaveControlState() {
  for (size_t i = 0; i < savedState_.size(); ++i) savedState_[i] = IsEnabled(controls_[i]);
}

void QarnoWindow::LockControls() {
  SaveControlState();
  for (QWidget* c : controls_) SetEnabled(c, false);
  locked_ = true;
}

void QarnoWindow::Qarno_RestoreState() {
  for (size_t i = 0; i < savedState_.size(); ++i) SetEnabled(controls_[i], savedState_[i]);
  locked_ = false;
}

void QarnoWindow::SetBackUpEnabled() {
  const bool on = !m.set.Name.isEmpty() && !SaveDir->text().isEmpty() && !m.set.SaveList.isEmpty();
  // While a dialog holds the window, the state to come back to is what changes.
  if (locked_) savedState_[9] = on;
  else BackUp->setEnabled(on);
}

void QarnoWindow::SetRestoreEnabled() {
  // Restoring starts from the run the user picked: the newest row the window selects by
  // itself is highlighted for the menus, but is no choice of a run to go back to.
  const bool on = main.HisTable.HasData() && historyRow_ >= 1 && historyPicked_;
  if (locked_) savedState_[10] = on;
  else Restore->setEnabled(on);
}

int QarnoWindow::RunDialog(DialogKind kind, QDialog& dialog, bool lock) {
  if (lock) LockControls();
  main.OpenChild(kind);
  openChild_ = &dialog;
  const int result = dialog.exec();
  openChild_ = nullptr;
  main.ChildClosed();
  if (lock) Qarno_RestoreState();
  return result;
}

int QarnoWindow::SelectedHistoryRow() const {
  const int row = historyRow_;
  return main.HisTable.HasData() && row >= 1 && row < main.HisTable.Rows() ? row : 0;
}

void QarnoWindow::SelectHistoryRow(int row) {
  historyRow_ = row;
  if (row >= 1 && row < main.HisTable.Rows() && row <= hisModel->rowCount()) {
    const bool wasSelecting = selectingHistory_;
    selectingHistory_ = true;
    HisTable->selectRow(row - 1);
    HisTable->setCurrentIndex(hisModel->index(row - 1, 0));
    selectingHistory_ = wasSelecting;
  }
  historyRow_ = row;
  SetRestoreEnabled();
}

void QarnoWindow::SelectNewestHistoryRow() {
  historyRow_ = main.HisTable.HasData() ? 1 : 0;
  historyPicked_ = false;
}

void QarnoWindow::ShowHistoryCell(int row, int column) { hisModel->CellChanged(row, column); }

void QarnoWindow::ReadSet() {
  main.ReadSetFile();
  SelectNewestHistoryRow();
}

// ---------------------------------------------------------------------------------------
// Events

bool QarnoWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
    const QPoint global = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
    if (watched == SetName && FileMenu->menuAction()->isEnabled()) {
      // What changed is written first: the menu may load another set without asking.
      if (main.SaveBeforeAction()) ShowSetNameMenu(global);
      return true;
    }
    if (watched == HisTable->viewport() && HisTable->isEnabled()) {
      const QModelIndex at = HisTable->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint());
      if (at.isValid()) {
        HisTable->selectRow(at.row());
        historyRow_ = at.row() + 1;
        historyPicked_ = true;
        SetRestoreEnabled();
      }
      ShowHisTableMenu(global);
      return true;
    }
  }
  if (watched == HisTable && e->type() == QEvent::KeyPress) {
    // The keys pick a row as a click does, the one already highlighted included.
    switch (static_cast<QKeyEvent*>(e)->key()) {
      case Qt::Key_Space:
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Home:
      case Qt::Key_End:
        if (HisTable->currentIndex().isValid()) {
          historyRow_ = HisTable->currentIndex().row() + 1;
          historyPicked_ = true;
          SetRestoreEnabled();
        }
        break;
      default: break;
    }
  }
  if (watched == SList && e->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      Remove_Click();
      return true;
    }
    if (key->key() == Qt::Key_A && (key->modifiers() & Qt::ControlModifier)) {
      SList->selectAll();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void QarnoWindow::ShowSetNameMenu(const QPoint& globalPos) {
  SetNameSelect->clear();
  for (const QString& name : ListSetNames(m.fs, m.SetFolder)) {
    QAction* a = SetNameSelect->addAction(name);
    a->setObjectName(QStringLiteral("SetNameS"));
    connect(a, &QAction::triggered, this, [this, name] { SetNameS_Click(name); });
  }
  SetNameSelect->menuAction()->setEnabled(!SetNameSelect->isEmpty());
  SetNameMenu->popup(globalPos);
}

void QarnoWindow::ShowHisTableMenu(const QPoint& globalPos) {
  if (!main.HisTable.HasData()) return;
  HisTableMenu->popup(globalPos);
}

void QarnoWindow::SetNameS_Click(const QString& name) {
  m.set.Name = name;
  LoadNamedSet();
}

void QarnoWindow::LoadNamedSet() {
  SetBackUpEnabled();
  if (!m.set.Name.isEmpty()) {
    main.ResetSaveLevel();
    ReadSet();
  }
  ShowSet();
}

// ---------------------------------------------------------------------------------------
// Commands

void QarnoWindow::HandOver(DialogKind kind, SaveExecMode execMode) {
  LockControls();
  hide();
  main.OpenChild(kind, execMode);
}

void QarnoWindow::TakeBack() {
  openChild_ = nullptr;
  main.ChildClosed();
  show();
  Qarno_RestoreState();
  ShowHistory();
  SetBackUpEnabled();
}

void QarnoWindow::BackUp_Click() {
  if (!main.CheckBeforeRun()) return;
  HandOver(DialogKind::SaveExec, SaveExecMode::Run);
  children.OpenSaveExec(*this, SaveExecMode::Run, [this] { TakeBack(); });
}

void QarnoWindow::Restore_Click() {
  if (!main.CheckBeforeRun()) return;
  HandOver(DialogKind::Restore, SaveExecMode::Run);
  // The restore window may change the restore target options of the set.
  m.SetModified = true;
  children.OpenRestore(*this, [this] { TakeBack(); });
}

void QarnoWindow::ShowRecordedRun() {
  if (SelectedHistoryRow() == 0) return;
  HandOver(DialogKind::SaveExec, SaveExecMode::RecordedRun);
  children.OpenSaveExec(*this, SaveExecMode::RecordedRun, [this] { TakeBack(); });
}

void QarnoWindow::SetChoice() {
  if (!AskToSaveChanges(main)) return;
  GetSetName dialog(m, this, false);
  if (RunDialog(DialogKind::SetName, dialog) == QDialog::Accepted) m.set.Name = dialog.chosenName;
  LoadNamedSet();
}

void QarnoWindow::FileSave_Click() { main.FileSave_Click(); }

void QarnoWindow::FileSaveAs_Click() {
  if (!AskToDropHistory(main)) return;
  GetSetName dialog(m, this, true);
  if (RunDialog(DialogKind::SetName, dialog, false) != QDialog::Accepted) return;
  if (!SaveSetAs(main, dialog.chosenName)) return;
  SelectNewestHistoryRow();
  ShowSet();
}

void QarnoWindow::OptionSetDir_Click() {
  if (!AskToSaveChanges(main)) return;
  FSetDir dialog(m, this);
  RunDialog(DialogKind::SetFolder, dialog);
  if (!ChangeSetFolder(main, dialog.chosenFolder)) return;
  ShowSet();
  SetChoice();
}

void QarnoWindow::OptionSetting_Click() {
  LockControls();
  main.OpenChild(DialogKind::Setting);
  if (children.OpenSetting(*this)) m.SetModified = true;
  openChild_ = nullptr;
  main.ChildClosed();
  Qarno_RestoreState();
  ShowSet();
}

void QarnoWindow::OptionNoCompType_Click() { children.OpenNoCompType(*this); }

void QarnoWindow::SetNameDelete_Click() {
  FDelSetName dialog(main, this);
  RunDialog(DialogKind::DeleteSetName, dialog);
  if (dialog.deletedCurrent) ShowSet();
  SetBackUpEnabled();
}

void QarnoWindow::HistoryEdit_Click() {
  const int row = SelectedHistoryRow();
  if (row == 0) return;
  LockControls();
  main.OpenChild(DialogKind::EditHistory);
  children.OpenEditHisData(*this, row);
  openChild_ = nullptr;
  main.ChildClosed();
  Qarno_RestoreState();
  ShowHistory();
}

void QarnoWindow::HistoryVerify_Click() {
  const int row = SelectedHistoryRow();
  if (row == 0) return;
  // The verify window, modal over the locked main window; it changes nothing.
  LockControls();
  main.OpenChild(DialogKind::Verify);
  children.OpenVerify(*this, row);
  openChild_ = nullptr;
  main.ChildClosed();
  Qarno_RestoreState();
  ShowHistory();
}

void QarnoWindow::HistoryDelete_Click() {
  LockControls();
  main.OpenChild(DialogKind::DeleteHistory);
  children.OpenDelHisData(*this);
  openChild_ = nullptr;
  main.ChildClosed();
  Qarno_RestoreState();
  main.ResetSaveLevel();
  ShowHistory();
}

QString QarnoWindow::GuidePath() {
  const QString base = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {base + QStringLiteral("/../share/qarno/guide/index.html"),
                                   base + QStringLiteral("/guide/index.html")}) {
    if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
  }
  return QString();
}

void QarnoWindow::HelpHelp_Click() {
  const QString path = GuidePath();
  if (path.isEmpty() || !openUrl(QUrl::fromLocalFile(path))) {
    m.Warn(Question::HelpMissing, m.MainCaption,
           (path.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../share/qarno/guide/index.html")
                           : path) +
               u'\r' + TrWords("qarno::QarnoWindow", "ヘルプファイルを開けませんでした。"));
  }
}

void QarnoWindow::HelpVersion_Click() {
  m.BeepDefault();
  m.ui.MsgBox(Question::ProgramVersionInfo, m.MainCaption, QStringLiteral("Qarno Version ") + m.ProgramVersion,
              Buttons::OK, Icon::Information);
}

void QarnoWindow::HelpUnLhaVersion_Click() {
  const int version = m.archiver ? m.archiver->GetVersion() : -1;
  if (version < 0) {
    m.Warn(Question::ArchiverMissing, m.MainCaption,
           TrWords("qarno::QarnoWindow", "UNLHA32がインストールされていません。"));
    return;
  }
  m.ui.MsgBox(Question::ArchiverVersionInfo, m.MainCaption,
              TrWords("qarno::QarnoWindow", "UNLHA32 バージョン情報") + Words(u'\r') + QStringLiteral("    Version ") +
                  QString::number(version / 100.0, 'f', 2),
              Buttons::OK, Icon::Information);
}

void QarnoWindow::BSaveDir_Click() {
  GetSaveDir dialog(m, program.fs->drives(), this, 0, m.MainCaption, SaveDir->text());
  if (RunDialog(DialogKind::SaveDir, dialog) == QDialog::Accepted) {
    m.set.SaveDir = dialog.chosen;
    SaveDir->setText(dialog.chosen);
    m.SetModified = true;
  }
  SetBackUpEnabled();
}

void QarnoWindow::Apend_Click() {
  FApend dialog(m, program.fs->drives(), this, 0, ShowListKind, -1, [this](int index) {
    SListDisp();
    SListSetForcus(index);
  });
  RunDialog(DialogKind::ListEntry, dialog);
  SetBackUpEnabled();
}

void QarnoWindow::Modify_Click() {
  QModelIndex current = SList->currentIndex();
  if (!current.isValid() || !SList->selectionModel()->isSelected(current)) {
    const QList<int> rows = SelectedRows();
    current = rows.isEmpty() ? QModelIndex() : listModel->index(rows.first());
  }
  if (!current.isValid()) {
    m.Warn(Question::NoItemSelected, m.MainCaption, TrWords("qarno::QarnoWindow", "項目が選択されていません。"));
    return;
  }
  FApend dialog(m, program.fs->drives(), this, 1, ShowListKind, current.row(), [this](int index) {
    SListDisp();
    SListSetForcus(index);
  });
  RunDialog(DialogKind::ListEntry, dialog);
  SetBackUpEnabled();
}

void QarnoWindow::Remove_Click() {
  RemoveEntries(m, ShowListKind, SelectedRows(), m.MainCaption);
  SListDisp();
  SetBackUpEnabled();
}

void QarnoWindow::Change_Click() {
  ShowListKind = !ShowListKind;
  SListDisp();
}

// ---------------------------------------------------------------------------------------
// Exit

bool QarnoWindow::ExitCommand() {
  StoreGeometry();
  if (!program.Exit()) {
    // The user decides what to do about a set or history that could not be written; an
    // unattended run has nobody to decide and ends, failed.
    if (!m.AutoRunMode.AskedUnattended()) return false;
    if (exitStatus != kExitFailed)
      NotifyUnattendedRun(m, program.fs->drives(), kExitFailed, QString(),
                          tr("セットファイルまたは履歴ファイルが保存できませんでした。"), &main.HisTable);
    exitStatus = kExitFailed;
  }
  if (m.ShutdownAfterRun && m.AutoRunMode.EndsProgram() && !children.ConfirmShutdown(*this)) return false;
  exiting_ = true;
  exited = true;
  Timer1->stop();
  close();
  quit(exitStatus);
  return true;
}

void QarnoWindow::closeEvent(QCloseEvent* e) {
  if (exiting_) {
    e->accept();
    return;
  }
  StoreGeometry();
  if (!program.Exit()) {
    e->ignore();
    return;
  }
  exiting_ = true;
  exited = true;
  Timer1->stop();
  e->accept();
  quit(exitStatus);
}

void QarnoWindow::StopTimer() { Timer1->stop(); }

void QarnoWindow::Timer1_Timer() {
  // The stale warning: a comparison of times per tick; the history is looked at only when
  // the warning is due to change or the day has changed.
  {
    const QDateTime now = clock();
    if ((staleRecheck_.isValid() && now >= staleRecheck_) || now.date() != staleDay_) ShowStaleMark();
  }
  if ((m.AutoRunMode.EndsProgram() || m.AutoRunMode.AskedUnattended()) && m.OpenDialogKind == DialogKind::None && !exited) {
    ExitCommand();
    m.AutoRunMode.Stop();
  }
}

}  // namespace qarno
