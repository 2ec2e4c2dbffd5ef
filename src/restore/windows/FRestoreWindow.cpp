// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/windows/FRestoreWindow.h"

#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/Placement.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/WidgetKit.h"
#include "platform/WinPath.h"
#include "restore/windows/FindHistoryWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace qarno {

namespace {
const QChar CR = u'\r';
const Qt::WindowStates kSizeStates = Qt::WindowMinimized | Qt::WindowMaximized;
}  // namespace

// ---------------------------------------------------------------------------------------
// The deferred initialisation

InitRestore::InitRestore(Module1& m, FRestoreWindow& window) : QObject(&window), m_(m), window_(window) {
  setObjectName(QStringLiteral("InitRestore"));
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, &InitRestore::Timer1_Timer);
  Timer1->start();
}

void InitRestore::Timer1_Timer() {
  if (m_.OpenDialogKind != DialogKind::Restore || !window_.initTrigger) return;
  window_.initTrigger = false;
  Timer1->stop();
  deleteLater();
  window_.FormInit();
}

// ---------------------------------------------------------------------------------------
// Work under way: the commands that would start a second one are off until it ends.

class FRestoreWindow::Work {
 public:
  explicit Work(FRestoreWindow& w) : w_(w) {
    ++w_.busy_;
    for (QWidget* c : {static_cast<QWidget*>(w_.OK), static_cast<QWidget*>(w_.Search),
                       static_cast<QWidget*>(w_.FindInHistory), static_cast<QWidget*>(w_.AllSelect),
                       static_cast<QWidget*>(w_.AllClear), static_cast<QWidget*>(w_.Position),
                       static_cast<QWidget*>(w_.ChgWriteHDir)})
      c->setEnabled(false);
  }
  ~Work() {
    --w_.busy_;
    w_.ShowState();
  }
  Work(const Work&) = delete;
  Work& operator=(const Work&) = delete;

 private:
  FRestoreWindow& w_;
};

// ---------------------------------------------------------------------------------------
// Building the window

FRestoreWindow::FRestoreWindow(QarnoWindow& main, std::function<void()> closed)
    : QWidget(nullptr), restore(main.m, main.main.HisTable), main_(main), closed_(std::move(closed)) {
  setObjectName(QStringLiteral("FRestore"));
  BuildControls();
  FinishControls(this);
  // The restore reads the main window's set, history and module: a window left open when
  // the main window goes (the program ends) goes with it, or its timer would read them after.
  connect(&main, &QObject::destroyed, this, [this] {
    Timer1->stop();
    if (!Busy()) delete this;
  });
  Form_Load();
}

FRestoreWindow::~FRestoreWindow() = default;

void FRestoreWindow::BuildControls() {
  auto* setNameLabel = new QLabel(tr("セット名"), this);
  SetName = Named(new QLineEdit(this), "SetName");
  SetName->setReadOnly(true);
  auto* saveNameLabel = new QLabel(tr("保存名"), this);
  RestoreSaveName = Named(new QLineEdit(this), "RestoreSaveName");
  RestoreSaveName->setReadOnly(true);
  setNameLabel->setBuddy(SetName);
  saveNameLabel->setBuddy(RestoreSaveName);

  FRestoreSetting = Frame(this, "FRestoreSetting", tr("復元方法の設定"));
  FRestorePos = Frame(FRestoreSetting, "FRestorePos", tr("復元場所"));
  Position = Named(new QComboBox(FRestorePos), "Position");
  WriteHDir = Named(new QLineEdit(FRestorePos), "WriteHDir");
  // Chosen through the directory dialog only, as the stored top directory is.
  WriteHDir->setReadOnly(true);
  ChgWriteHDir = Button(FRestorePos, "ChgWriteHDir", tr("参照"));

  FRestoreList = Frame(this, "FRestoreList", tr("復元リスト"));
  RestoreList = Named(new QListView(FRestoreList), "RestoreList");
  RestoreList->setUniformItemSizes(true);  // 32,765 rows stay instant
  RestoreList->setSelectionMode(QAbstractItemView::SingleSelection);
  RestoreList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listModel = new RestoreListModel(restore.table(), [this](int item, bool ticked) { RestoreList_ItemCheck(item, ticked); },
                                   this);
  RestoreList->setModel(listModel);
  SearchName = Named(new QLineEdit(FRestoreList), "SearchName");
  Search = Button(FRestoreList, "Search", tr("サーチ"));
  FindInHistory = Button(FRestoreList, "FindInHistory", tr("履歴から探す"));
  AllSelect = Button(FRestoreList, "AllSelect", tr("全て選択"));
  AllClear = Button(FRestoreList, "AllClear", tr("全てクリア"));

  FListInfo = Frame(this, "FListInfo", tr("リスト情報"));
  RestoreListInfo = Named(new QTableView(FListInfo), "RestoreListInfo");
  infoModel = new RestoreInfoModel(restore.table(), this);
  RestoreListInfo->setModel(infoModel);
  RestoreListInfo->setSelectionMode(QAbstractItemView::NoSelection);
  RestoreListInfo->setFocusPolicy(Qt::NoFocus);
  RestoreListInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RestoreListInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RestoreListInfo->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  RestoreListInfo->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  {
    const int rowHeight = fontMetrics().height() + 8;
    RestoreListInfo->verticalHeader()->setDefaultSectionSize(rowHeight);
    RestoreListInfo->horizontalHeader()->setFixedHeight(rowHeight);
    RestoreListInfo->setFixedHeight(rowHeight * 4 + 2 * RestoreListInfo->frameWidth());
  }

  FStatus = Frame(this, "FStatus", tr("進行状況"));
  ProcesTime = Named(new QLabel(FStatus), "ProcesTime");
  Status = Named(new QLabel(FStatus), "Status");
  Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // A long path in the status line must not widen the window.
  Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  Status->setMinimumHeight(fontMetrics().height() * 3 + 4);
  // At the window's minimum the frame is narrow: the text goes on in the lines below.
  Status->setWordWrap(true);

  OK = Button(this, "OK", tr("開始"));
  Cancel = Button(this, "Cancel", tr("中止"));

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(300);

  // The hidden tables of the window.
  SaveList = Named(new QTableView(this), "SaveList");
  tableModel_ = new RestoreTableModel(restore.table(), this);
  SaveList->setModel(tableModel_);
  SaveList->hide();
  SaveNameTable = Named(new QTableView(this), "SaveNameTable");
  saveNameModel_ = new SaveNameTableModel(restore, this);
  SaveNameTable->setModel(saveNameModel_);
  SaveNameTable->hide();
  SaveNameList = Named(new QListView(this), "SaveNameList");
  saveNameListModel_ = new EntryListModel(this);
  SaveNameList->setModel(saveNameListModel_);
  SaveNameList->hide();

  // Layout: the names above, where to restore to, the list filling the middle, the totals
  // and the progress below it, the two buttons at the bottom.
  auto* names = new QGridLayout;
  names->addWidget(setNameLabel, 0, 0);
  names->addWidget(SetName, 0, 1);
  names->addWidget(saveNameLabel, 0, 2);
  names->addWidget(RestoreSaveName, 0, 3);
  names->setColumnStretch(1, 1);
  names->setColumnStretch(3, 1);

  auto* pos = new QHBoxLayout(FRestorePos);
  pos->addWidget(Position);
  pos->addWidget(WriteHDir, 1);
  pos->addWidget(ChgWriteHDir);
  auto* setting = new QVBoxLayout(FRestoreSetting);
  setting->addWidget(FRestorePos);
  // The outer frame is a heading over the inner one: the list keeps the height.
  FRestoreSetting->setFlat(true);
  setting->setContentsMargins(0, setting->contentsMargins().top(), 0, 0);
  pos->setContentsMargins(8, 4, 8, 6);

  auto* listBox = new QGridLayout(FRestoreList);
  listBox->addWidget(RestoreList, 0, 0, 1, 5);
  listBox->addWidget(SearchName, 1, 0);
  listBox->addWidget(Search, 1, 1);
  listBox->addWidget(FindInHistory, 1, 2);
  listBox->addWidget(AllSelect, 1, 3);
  listBox->addWidget(AllClear, 1, 4);
  listBox->setColumnStretch(0, 1);

  auto* info = new QVBoxLayout(FListInfo);
  info->addWidget(RestoreListInfo);
  const QString marked = CoreCaption(QStringLiteral("復元予約")) + u' ';
  FListInfo->setMinimumWidth(
      fontMetrics().horizontalAdvance(CoreCaption(QStringLiteral("サイズ(KB)")) + u' ' + marked + marked + marked) + 40);
  auto* status = new QVBoxLayout(FStatus);
  status->addWidget(ProcesTime);
  status->addWidget(Status, 1);
  auto* lower = new QHBoxLayout;
  lower->addWidget(FListInfo);
  lower->addWidget(FStatus, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OK);
  buttons->addWidget(Cancel);

  auto* box = new QVBoxLayout(this);
  box->setSpacing(4);
  box->addLayout(names);
  box->addWidget(FRestoreSetting);
  box->addWidget(FRestoreList, 1);
  box->addLayout(lower);
  box->addLayout(buttons);

  connect(Position, QOverload<int>::of(&QComboBox::activated), this, &FRestoreWindow::Position_Click);
  connect(ChgWriteHDir, &QPushButton::clicked, this, &FRestoreWindow::ChgWriteHDir_Click);
  connect(Search, &QPushButton::clicked, this, &FRestoreWindow::Search_Click);
  connect(FindInHistory, &QPushButton::clicked, this, &FRestoreWindow::FindInHistory_Click);
  connect(AllSelect, &QPushButton::clicked, this, &FRestoreWindow::AllSelect_Click);
  connect(AllClear, &QPushButton::clicked, this, &FRestoreWindow::AllClear_Click);
  connect(OK, &QPushButton::clicked, this, &FRestoreWindow::OK_Click);
  connect(Cancel, &QPushButton::clicked, this, &FRestoreWindow::Cancel_Click);
  connect(Timer1, &QTimer::timeout, this, &FRestoreWindow::Timer1_Timer);
  // Clicks that only clear the status line; Enter in the search text searches.
  for (QWidget* w : {RestoreList->viewport(), static_cast<QWidget*>(RestoreListInfo->viewport()),
                     static_cast<QWidget*>(Status), static_cast<QWidget*>(SearchName), static_cast<QWidget*>(WriteHDir)})
    w->installEventFilter(this);
}

void FRestoreWindow::SetToolTips() {
  Position->setToolTip(tr("どこに復元するか設定します。"));
  WriteHDir->setToolTip(tr("このディレクトリの下に復元されます。"));
  ChgWriteHDir->setToolTip(tr("「別の場所に復元」を選んだ場合に、復元先のTOPディレクトリを選択します。"));
  RestoreList->setToolTip(tr("復元可能なファイルやフォルダーを表示し、「チェック」された項目を「復元予約」します。"));
  SearchName->setToolTip(tr("復元リストから探し出す文字を入力します。"));
  Search->setToolTip(tr("復元リストから探し出します。"));
  FindInHistory->setToolTip(tr("全ての保存履歴から探し出し、選んだ版を復元します。"));
  AllSelect->setToolTip(tr("全ての復元リストに｢復元予約」のマークをつけます。"));
  AllClear->setToolTip(tr("全ての復元リストから｢復元予約」のマークを消します。"));
  OK->setToolTip(tr("復元を実行します。"));
  Cancel->setToolTip(tr("処理を中止します。"));
}

// ---------------------------------------------------------------------------------------
// Showing the engine's state

void FRestoreWindow::ShowState() {
  const RestoreState& s = restore.state();
  SetName->setText(s.SetName);
  RestoreSaveName->setText(s.RestoreSaveName);
  {
    const QSignalBlocker block(Position);
    Position->setCurrentIndex(s.Position);
  }
  WriteHDir->setText(s.WriteHDir);
  Status->setText(LabelText(s.Status));
  Cancel->setText(CoreCaption(s.CancelCaption));
  Cancel->setEnabled(s.cancelEnabled);
  RestoreList->setVisible(s.listVisible);
  const bool idle = !Busy();
  OK->setEnabled(idle && s.okEnabled);
  Position->setEnabled(idle);
  ChgWriteHDir->setEnabled(idle && s.chgWriteHDirEnabled);
  for (QPushButton* b : {Search, FindInHistory, AllSelect, AllClear}) b->setEnabled(idle && s.listVisible);
  infoModel->Refresh();
  listModel->MarksChanged();
}

void FRestoreWindow::ClearStatus() {
  restore.SetStatus(QString());
  Status->clear();
}

// ---------------------------------------------------------------------------------------
// Opening and loading

void FRestoreWindow::Form_Load() {
  restore.Form_Load();
  ApplyRestoreSetChange(restore, main_.m);
  setWindowTitle(restore.state().Caption);
  // The main window's place and size.
  setGeometry(main_.geometry());
  setMinimumSize(Px(this, 5900), Px(this, 6400));
  SetToolTips();
  {
    const QSignalBlocker block(Position);
    Position->clear();
    Position->addItems({tr("元の場所に復元する"), tr("別の場所に復元する")});
  }
  listModel->Reload();
  tableModel_->Reload();
  ShowState();
  Timer1->start();
  // The listing is read once the window is on the screen.
  initTrigger = true;
  new InitRestore(main_.m, *this);
}

void FRestoreWindow::FormInit() {
  {
    Work work(*this);
    RestoreList->hide();
    restore.FormInit(main_.SelectedHistoryRow());
    listModel->Reload();
    tableModel_->Reload();
  }
  if (listModel->rowCount() > 0) RestoreList->setCurrentIndex(QModelIndex());
}

// ---------------------------------------------------------------------------------------
// Commands

void FRestoreWindow::Position_Click(int index) {
  if (Busy()) return;
  ClearStatus();
  restore.Position_Click(index);
  ApplyRestoreSetChange(restore, main_.m);
  ShowState();
}

void FRestoreWindow::ChgWriteHDir_Click() {
  if (Busy()) return;
  ClearStatus();
  GetSaveDir dialog(main_.m, main_.program.fs->drives(), this, 1, restore.state().Caption, WriteHDir->text());
  if (dialog.exec() == QDialog::Accepted) restore.ChgWriteHDir(dialog.chosen);
  ApplyRestoreSetChange(restore, main_.m);
  ShowState();
}

void FRestoreWindow::RestoreList_ItemCheck(int item, bool ticked) {
  restore.RestoreList_ItemCheck(item, ticked);
  infoModel->Refresh();
  OK->setEnabled(!Busy() && restore.state().okEnabled);
}

void FRestoreWindow::Search_Click() {
  if (Busy()) return;
  Module1& m = main_.m;
  Work work(*this);
  restore.SetListSearching(true);
  const QString text = SearchName->text();
  const QModelIndex selected = RestoreList->currentIndex();
  const int start = selected.isValid() ? selected.row() + 1 : 0;
  const RestoreTable::SearchResult search = restore.table().SearchPaths(text, start, [&](int item) {
    // The status line only shows between yields: it is written when events run.
    if ((item - start) % 231 == 0) {
      const QString s = tr("サーチ中(%1) ... %2 行目").arg(text, QString::number(item));
      restore.SetStatus(s);
      Status->setText(s);
      m.DoEvents();
    }
    if (!m.CancelFlag) return true;
    m.CancelFlag.Clear();
    return false;
  });
  QString result = tr("ありませんでした。");
  if (search.end == RestoreTable::SearchEnd::Stopped) {
    result = tr("サーチは中止されました。");
  } else if (search.end == RestoreTable::SearchEnd::Found) {
    const QModelIndex found = listModel->index(search.item);
    RestoreList->scrollTo(found, QAbstractItemView::PositionAtTop);
    RestoreList->selectionModel()->setCurrentIndex(found, QItemSelectionModel::ClearAndSelect);
    result = tr("見つけました(%1) ... %2 行目").arg(text, QString::number(search.item));
  }
  // A stop asked for just as the walk ended stops nothing more.
  if (m.CancelFlag) m.CancelFlag.Clear();
  restore.SetListSearching(false);
  restore.SetStatus(result);
}

void FRestoreWindow::FindInHistory_Click() {
  if (Busy()) return;
  const QString pattern = FindPatternFor(SearchName->text());
  if (pattern.isEmpty()) {
    restore.SetStatus(tr("探すファイルの名前を入力してください。"));
    Status->setText(restore.state().Status);
    return;
  }
  ClearStatus();
  // This window's commands are off while the dialog is open; a stop pressed there is the
  // dialog's (this window's timer does not take it for a close while work is under way).
  findWork_ = std::make_unique<Work>(*this);
  auto* dialog = new FindHistoryWindow(main_.m, main_.main.HisTable, restore, pattern, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  findHistory = dialog;
  connect(dialog, &QDialog::finished, this, [this] {
    if (main_.m.CancelFlag) main_.m.CancelFlag.Clear();
    findWork_.reset();
  });
  dialog->open();
}

void FRestoreWindow::AllSelect_Click() {
  if (Busy()) return;
  ClearStatus();
  Work work(*this);
  restore.AllSelect_Click();
}

void FRestoreWindow::AllClear_Click() {
  if (Busy()) return;
  ClearStatus();
  Work work(*this);
  restore.AllClear_Click();
}

void FRestoreWindow::OK_Click() {
  if (Busy() || !restore.state().okEnabled) return;
  Module1& m = main_.m;
  const RestoreState& s = restore.state();
  // Under another directory the target must be a directory on a drive, and not among the
  // saves the restore reads from.
  if (const TopDirProblem problem = s.Position == 1 ? restore.CheckTopDir(s.WriteHDir) : TopDirProblem::None;
      problem != TopDirProblem::None) {
    m.Warn(Question::RestoreTopDirInvalid, s.Caption, s.WriteHDir + CR + TopDirProblemText(problem));
    return;
  }
  RestoreOutcome outcome;
  {
    Work work(*this);
    outcome = restore.OK_Click();
    // The stop that ended the run is used up: the window stays open with what it shows.
    if (outcome == RestoreOutcome::Stopped) m.CancelFlag.Clear();
    saveNameModel_->Reload();
    saveNameListModel_->Show(&restore.SaveNameList());
  }
  if (outcome != RestoreOutcome::NotStarted && isMinimized()) setWindowTitle(s.Caption + tr(" 終了"));
}

void FRestoreWindow::Cancel_Click() { restore.Cancel_Click(); }

void FRestoreWindow::Timer1_Timer() {
  const RestoreState& s = restore.state();
  if (s.stage == rstage::ListSearch) return;
  // A stop asked for while work is under way is that work's to see; the window closes on a
  // later tick, once the work has ended and allows it.
  if (!Busy() && restore.TakeCloseRequest()) {
    close();
    return;
  }
  const RestoreTimerView v = restore.Describe();
  if (!v.update) return;
  if (!v.procesTime.isEmpty()) ProcesTime->setText(v.procesTime);
  Status->setText(LabelText(v.status));
  if (v.percent >= 0 && isMinimized())
    setWindowTitle(s.Caption + u' ' + QString::number(v.percent) + u'%');
  if (s.stage == rstage::Restore || s.stage == rstage::Search) {
    // Restored entries lose their ticks; the restored column counts up.
    listModel->MarksChanged();
    infoModel->Refresh();
  }
}

// ---------------------------------------------------------------------------------------
// Closing and the window state

void FRestoreWindow::closeEvent(QCloseEvent* e) {
  if (unloaded_) {
    e->accept();
    return;
  }
  Cancel_Click();
  if (Busy()) {
    // The work under way stops at its next yield; a loading window then closes by its timer.
    e->ignore();
    return;
  }
  Form_Unload();
  e->accept();
}

void FRestoreWindow::Form_Unload() {
  unloaded_ = true;
  Timer1->stop();
  main_.m.CancelFlag.Clear();
  // The main window comes back in this window's state, and where this window was.
  const Qt::WindowStates mine = windowState() & kSizeStates;
  if (!mine) main_.setGeometry(geometry());
  main_.setWindowState((main_.windowState() & ~kSizeStates) | mine);
  if (closed_) {
    auto closed = std::move(closed_);
    closed_ = nullptr;
    closed();
  }
}

void FRestoreWindow::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange || unloaded_) return;
  const Qt::WindowStates mine = windowState() & kSizeStates;
  if ((main_.windowState() & kSizeStates) != mine) main_.setWindowState((main_.windowState() & ~kSizeStates) | mine);
  if (!isMinimized()) setWindowTitle(restore.state().Caption);
}

void FRestoreWindow::keyPressEvent(QKeyEvent* e) {
  // Escape is the window's 中止 / 閉じる button, as it is a dialog's.
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && Cancel->isEnabled()) {
    Cancel->click();
    return;
  }
  QWidget::keyPressEvent(e);
}

bool FRestoreWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == SearchName && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Search_Click();
      return true;
    }
  }
  if (e->type() == QEvent::MouseButtonPress && !Busy()) ClearStatus();
  return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------
// The main window's entry

FRestoreWindow* OpenRestoreWindow(QarnoWindow& main, std::function<void()> closed) {
  auto* w = new FRestoreWindow(main, std::move(closed));
  w->setAttribute(Qt::WA_DeleteOnClose);
  main.SetOpenChild(w);
  w->show();
  return w;
}

}  // namespace qarno
