// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/windows/RunWindow.h"

#include "app/Notify.h"
#include "app/Program.h"
#include "app/QarnoConsole.h"
#include "app/RunJournal.h"
#include "mainwin/Qarno.h"
#include "mainwin/windows/Placement.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/WidgetKit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace qarno {

namespace {
void SetIfChanged(QLineEdit* box, const QString& text) {
  if (box->text() != text) {
    box->setText(text);
    box->setCursorPosition(0);
  }
}

// A grid of fixed row height: 32,765 rows lay out at once.
void FixedRows(QTableView* grid) {
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  grid->setWordWrap(false);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
}
}  // namespace

// ---------------------------------------------------------------------------------------
// Models

SaveListModel::SaveListModel(const SaveListTable& list, const ResultView* view, QObject* parent)
    : QAbstractTableModel(parent), list_(list), view_(view) {}

bool SaveListModel::Readable() const { return !view_ || (view_->Visible() && !view_->Rebuilding()); }

int SaveListModel::Rows() const {
  if (!view_) return list_.Count();
  return Readable() ? static_cast<int>(view_->Rows().size() + view_->Refused().size()) : 0;
}

int SaveListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

int SaveListModel::columnCount(const QModelIndex& parent) const {
  // The result grid adds why an entry was not copied after the listing's fields.
  return parent.isValid() ? 0 : SaveListEntry::FieldCount + (view_ ? 1 : 0);
}

QVariant SaveListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_ || !Readable()) return {};
  int row = index.row() + 1;
  if (view_) {
    const std::vector<int>& rows = view_->Rows();
    const size_t at = static_cast<size_t>(index.row());
    if (at >= rows.size()) {
      // A refused name: only its path and why.
      const size_t refused = at - rows.size();
      if (refused >= static_cast<size_t>(view_->Refused().size()) || role != Qt::DisplayRole) return {};
      if (index.column() == SaveListEntry::Path) return view_->Refused()[static_cast<qsizetype>(refused)];
      if (index.column() == SaveListEntry::FieldCount) return ResultView::RefusedReason();
      return {};
    }
    row = rows[at];
  }
  if (row < 1 || row >= list_.Rows()) return {};
  if (index.column() == SaveListEntry::FieldCount)
    return role == Qt::DisplayRole ? QVariant(ResultView::ReasonOf(list_[row])) : QVariant();
  if (role == Qt::DisplayRole) return FieldText(list_[row], index.column());
  if (role == Qt::TextAlignmentRole && index.column() == SaveListEntry::Size)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant SaveListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section == SaveListEntry::FieldCount) return tr("理由");
  return CoreCaption(FieldText(SaveListTable::Header(), section));
}

bool SaveListModel::Sync() {
  const int rows = Rows();
  const int generation = view_ ? view_->Generation() : 0;
  // The working grid is read as it stands: a changed count is enough to tell.
  if (rows != count_ || (view_ && generation != generation_)) {
    beginResetModel();
    count_ = rows;
    generation_ = generation;
    endResetModel();
  }
  return Readable();
}

void SaveListModel::Clear() {
  if (count_ == 0) return;
  beginResetModel();
  count_ = 0;
  generation_ = -1;
  endResetModel();
}

ListInfoModel::ListInfoModel(const ListInfoTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {}

int ListInfoModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }
int ListInfoModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ListInfoModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return table_.Cell(index.row() + 1, index.column() + 1);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant ListInfoModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  // "^|total|this run|;|files|folders|size": the column headings, then the row headings.
  const QStringList parts = ListInfoTable::FormatString().split(u';');
  QStringList heads = parts.value(orientation == Qt::Horizontal ? 0 : 1).split(u'|');
  for (QString& h : heads) {
    if (h.startsWith(u'^') || h.startsWith(u'<') || h.startsWith(u'>')) h.remove(0, 1);
    h = h.trimmed();
  }
  return CoreCaption(heads.value(section + 1));
}

void ListInfoModel::Refresh() { emit dataChanged(index(0, 0), index(2, 1)); }

// ---------------------------------------------------------------------------------------
// The window

SaveExecWindow::SaveExecWindow(QarnoWindow& mainWindow, std::function<void()> closed)
    : QWidget(nullptr, Qt::Window), main(mainWindow), m(mainWindow.m), run(mainWindow.m, mainWindow.main),
      closed_(std::move(closed)) {
  setObjectName(QStringLiteral("FSaveExec"));
  BuildControls();
  FinishControls(this);
  // The run reads the main window's set and history: it cannot outlive them.
  connect(&main, &QObject::destroyed, this, [this] {
    Timer1->stop();
    AutoSave->stop();
    if (busy_ == 0) delete this;
  });
  Form_Load();
}

SaveExecWindow::~SaveExecWindow() = default;

void SaveExecWindow::BuildControls() {
  auto box = [this](const char* name, const QString& label) {
    auto* l = new QLabel(label, this);
    l->setObjectName(QLatin1String("L") + QLatin1String(name));
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    l->setBuddy(e);
    return e;
  };
  TSetName = box("TSetName", tr("セット名"));
  TNewSetName = box("TNewSetName", tr("今回の保存名"));
  TOldSetName = box("TOldSetName", tr("前回の保存名"));
  SaveDir = box("SaveDir", tr("保存先"));
  SaveLevel = box("SaveLevel", tr("保存レベル"));
  CompMode = box("CompMode", tr("圧縮方法"));

  // The result grid and its selector.
  FSavelist = Named(new QGroupBox(tr("セーブリスト"), this), "FSavelist");
  ListSel = Named(new QComboBox(FSavelist), "ListSel");
  for (const QString& choice : ResultView::SelectionTexts()) ListSel->addItem(CoreCaption(choice));
  ListSel->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  SelSaveList = Named(new QTableView(FSavelist), "SelSaveList");
  FixedRows(SelSaveList);
  selSaveListModel = new SaveListModel(run.SaveList(), &run.View(), this);
  SelSaveList->setModel(selSaveListModel);
  const int widths[SaveListEntry::FieldCount] = {4200, 800, 1100, 2000, 600, 1500, 1200, 1200, 900, 900, 1500};
  for (int c = 0; c < SaveListEntry::FieldCount; ++c) SelSaveList->setColumnWidth(c, Px(this, widths[c]));
  auto* listBox = new QVBoxLayout(FSavelist);
  listBox->addWidget(ListSel, 0, Qt::AlignLeft);
  listBox->addWidget(SelSaveList, 1);
  // The working grid stays hidden; it is there for what reads the list.
  SaveList = Named(new QTableView(this), "SaveList");
  FixedRows(SaveList);
  saveListModel = new SaveListModel(run.SaveList(), nullptr, this);
  SaveList->setModel(saveListModel);
  SaveList->hide();

  // Progress.
  FStatus = Named(new QGroupBox(tr("進行状況"), this), "FStatus");
  Status = Named(new QLabel(FStatus), "Status");
  Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Status->setTextFormat(Qt::PlainText);
  Status->setMinimumHeight(2 * Status->fontMetrics().lineSpacing());
  ProcesTime = Named(new QLabel(FStatus), "ProcesTime");
  ProcesTime->setTextFormat(Qt::PlainText);
  ProgressBar = Named(new QProgressBar(FStatus), "ProgressBar");
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  auto* statusBox = new QVBoxLayout(FStatus);
  statusBox->addWidget(Status, 1);
  statusBox->addWidget(ProcesTime);
  statusBox->addWidget(ProgressBar);

  // Totals.
  FListInfo = Named(new QGroupBox(tr("リスト情報"), this), "FListInfo");
  ListInfo = Named(new QTableView(FListInfo), "ListInfo");
  FixedRows(ListInfo);
  ListInfo->setSelectionMode(QAbstractItemView::NoSelection);
  ListInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ListInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ListInfo->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  listInfoModel = new ListInfoModel(run.ListInfo(), this);
  ListInfo->setModel(listInfoModel);
  auto* infoBox = new QVBoxLayout(FListInfo);
  infoBox->addWidget(ListInfo);

  Cancel = Named(new QPushButton(tr("中止"), this), "Cancel");
  connect(Cancel, &QPushButton::clicked, this, &SaveExecWindow::Cancel_Click);
  connect(ListSel, &QComboBox::activated, this, &SaveExecWindow::ListSel_Click);

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(300);
  connect(Timer1, &QTimer::timeout, this, &SaveExecWindow::Timer1_Timer);
  AutoSave = Named(new QTimer(this), "AutoSave");
  AutoSave->setInterval(100);
  connect(AutoSave, &QTimer::timeout, this, &SaveExecWindow::AutoSave_Timer);
}

void SaveExecWindow::Form_Load() {
  m.WriteDebug(2000, "Form_Load", static_cast<int>(m.ExecMode));
  // Exactly over the main window.
  const bool normal = !(main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
  setGeometry(normal ? main.geometry() : main.normalGeometry());
  run.Form_Load();
  setWindowTitle(run.state().texts.FSaveExecCaption);
  Cancel->setToolTip(tr("バックアップを中断して、このダイアログ･ボックスを閉じます"));
  ListSel->setToolTip(tr("セーブリストに表示する内容を選択します"));
  Status->clear();
  ProcesTime->clear();
  ProgressBar->setVisible(m.ExecMode == SaveExecMode::Run);  // a recorded run has no progress
  SelSaveList->hide();
  FListInfo->hide();
  ListInfo->hide();
  overall_ = 0;
  finishedOk_ = false;
  ShowRunState();
  ReForm();
  Timer1->start();
  // The run starts from an event once the window is up, not inside its opening.
  startTrigger_ = true;
  AutoSave->start();
}

void SaveExecWindow::AutoSave_Timer() {
  // A start meant for another window (or one already taken) does nothing.
  if (m.OpenDialogKind != DialogKind::SaveExec || !startTrigger_) return;
  startTrigger_ = false;
  AutoSave->stop();
  OK_Click();
}

void SaveExecWindow::OK_Click() {
  ++busy_;
  const bool backup = m.ExecMode == SaveExecMode::Run;
  // A failed write during the run turns the automatic run off; it still was one.
  const bool unattended = m.AutoRunMode.Unattended();
  running_ = backup;
  finishedOk_ = false;
  ListSel->setEnabled(false);  // no second rebuild of the list while the run goes on
  selSaveListModel->Clear();
  SelSaveList->hide();
  FListInfo->show();
  ListInfo->show();
  if (backup && unattended) {
    journal_ = std::make_unique<RunJournal>(QStringLiteral("Qarno"), !StderrIsTerminal());
    journal_->Start(BackupStartFacts(m));
  }
  run.OK_Click(backup ? 0 : main.SelectedHistoryRow());
  // The main window's level box shows what an unattended run fell back to.
  if (run.state().outcome.fellBackToLevel0) m.set.SaveLevel = Level::Level0;
  running_ = false;
  ListSel->setEnabled(true);
  if (backup) {
    finishedOk_ = run.state().outcome.succeeded;
    ShowProgress(false);
    RunFinished();
    if (unattended) {
      const RunOutcome& outcome = run.state().outcome;
      const QString what = !outcome.succeeded ? tr("保存が完了しませんでした。")
                           : outcome.uncopiedCount > 0
                               ? tr("%n 個コピーできませんでした。", nullptr, outcome.uncopiedCount)
                               : QString();
      NotifyUnattendedRun(m, main.program.fs->drives(), main.exitStatus, run.state().texts.TNewSetName, what);
      if (journal_) {
        if (main.exitStatus != kExitOk) journal_->Failure(what);
        journal_->Summary(BackupSummaryFacts(m, run.state()), main.exitStatus,
                          main.program.fs->drives().ToHost(m.LogFilePath()).value_or(m.LogFilePath()));
        journal_.reset();
      }
    }
  } else {
    ShowRunState();
    Status->clear();
    ProcesTime->clear();
  }
  --busy_;
  if (unloadPending_ && busy_ == 0) Unload();
}

void SaveExecWindow::RunFinished() {
  const RunOutcome& outcome = run.state().outcome;
  main.exitStatus = ExitStatusOf(outcome);
  UpdateCaption();
}

void SaveExecWindow::Cancel_Click() { run.Cancel_Click(); }

void SaveExecWindow::closeEvent(QCloseEvent* e) {
  if (unloaded_) {
    e->accept();
    return;
  }
  // A request to close does what Cancel does: the timer closes the window once it may.
  e->ignore();
  Cancel_Click();
}

void SaveExecWindow::Timer1_Timer() { ShowProgress(true); }

void SaveExecWindow::ShowProgress(bool closeCheck) {
  if (unloaded_) return;
  if (closeCheck && run.TakeCloseRequest()) {
    Unload();
    return;
  }
  const ProgressView v = run.Describe(overall_);
  overall_ = v.overall;
  if (journal_ && running_) journal_->Tick([this] { return BackupProgressFacts(run.state().progress); });
  if (run.state().progress.phase != phase::Idle || running_) Status->setText(LabelText(v.status));
  if (m.ExecMode == SaveExecMode::Run) ProcesTime->setText(v.processTime);
  ProgressBar->setValue(v.overall);
  ShowRunState();
  UpdateCaption();
}

void SaveExecWindow::ShowRunState() {
  const RunTexts& t = run.state().texts;
  SetIfChanged(TSetName, t.TSetName);
  SetIfChanged(SaveDir, t.SaveDir);
  SetIfChanged(TNewSetName, t.TNewSetName);
  SetIfChanged(SaveLevel, t.SaveLevel);
  SetIfChanged(TOldSetName, t.TOldSetName);
  SetIfChanged(CompMode, t.CompMode);
  if (const QString cancel = CoreCaption(t.CancelCaption); Cancel->text() != cancel) Cancel->setText(cancel);
  listInfoModel->Refresh();
  saveListModel->Sync();
  const bool shown = selSaveListModel->Sync();
  SelSaveList->setVisible(shown);
  if (shown) SelSaveList->viewport()->update();  // flags change under the same rows
  if (ListSel->currentIndex() != run.View().ListSel()) ListSel->setCurrentIndex(run.View().ListSel());
}

void SaveExecWindow::UpdateCaption() {
  const QString& caption = run.state().texts.FSaveExecCaption;
  QString title = caption;
  if (isMinimized()) {
    if (finishedOk_) title = caption + tr("　終了");
    else if (m.ExecMode == SaveExecMode::Run) title = m.MainCaption + u' ' + QString::number(overall_) + u'%';
  }
  if (windowTitle() != title) setWindowTitle(title);
}

void SaveExecWindow::ListSel_Click(int index) {
  if (running_ || index < 0) return;
  ++busy_;
  ListSel->setEnabled(false);
  selSaveListModel->Clear();
  SelSaveList->hide();
  run.ListSel_Click(index);
  ListSel->setEnabled(true);
  ShowRunState();
  --busy_;
  if (unloadPending_ && busy_ == 0) Unload();
}

void SaveExecWindow::DispSelSaveList() { ListSel_Click(run.View().ListSel()); }

void SaveExecWindow::Unload() {
  if (unloaded_) return;
  // Not under a command of the window still on the stack: it ends first.
  if (busy_ > 0) {
    unloadPending_ = true;
    return;
  }
  Form_Unload();
}

void SaveExecWindow::Form_Unload() {
  m.WriteDebug(2340, "Form_Unload");
  unloaded_ = true;
  Timer1->stop();
  AutoSave->stop();
  // The main window takes this window's state, and its place and size when it is normal.
  const Qt::WindowStates state = windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
  if (!state) main.setGeometry(geometry());
  main.setWindowState(state);
  hide();
  if (closed_) {
    auto closed = std::move(closed_);
    closed_ = nullptr;
    closed();  // no dialog kind, Qarno_RestoreState, no mode, the main window shown
  }
  deleteLater();
}

void SaveExecWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  ReForm();
}

void SaveExecWindow::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange) return;
  FollowWindowState(&main, this);
  ReForm();
  UpdateCaption();
}

void SaveExecWindow::keyPressEvent(QKeyEvent* e) {
  // Escape is the window's 中止 / 閉じる button, as it is a dialog's.
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && Cancel->isVisible() && Cancel->isEnabled()) {
    Cancel->click();
    return;
  }
  QWidget::keyPressEvent(e);
}

void SaveExecWindow::ReForm() {
  if (isMinimized()) return;
  m.WriteDebug(2350, "ReForm");
  // At least 7900 × 6000 twips, frame included.
  const QSize extra = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
  setMinimumSize(Px(this, 7900) - extra.width(), Px(this, 6000) - extra.height());
  const int w = width(), h = height();
  const int gap = Px(this, 100);
  const int margin = Px(this, 100);

  // The text boxes, two columns of three, label beside box.
  const int rowH = std::max(TSetName->sizeHint().height(), Px(this, 300));
  const int rowGap = Px(this, 60);
  const int labelW = Px(this, 1200);
  const int colW = (w - 2 * margin - gap) / 2;
  QLineEdit* boxes[2][3] = {{TSetName, SaveDir, SaveLevel}, {TNewSetName, TOldSetName, CompMode}};
  for (int c = 0; c < 2; ++c) {
    for (int r = 0; r < 3; ++r) {
      QLineEdit* e = boxes[c][r];
      const int x = margin + c * (colW + gap);
      const int y = gap + r * (rowH + rowGap);
      if (auto* l = findChild<QLabel*>(QLatin1String("L") + e->objectName())) l->setGeometry(x, y, labelW, rowH);
      e->setGeometry(x + labelW, y, colW - labelW, rowH);
    }
  }
  const int top = gap + 3 * rowH + 2 * rowGap + gap;

  // From the bottom: Cancel at the right margin, the totals above it, the progress to
  // their left, the result list over everything above.
  const int cancelW = Px(this, 1300);
  const int cancelH = std::max(Cancel->sizeHint().height(), Px(this, 400));
  Cancel->setGeometry(w - margin - cancelW, h - gap - cancelH, cancelW, cancelH);
  // The totals show whole: three rows under their heading, both columns.
  const QFontMetrics fm = ListInfo->fontMetrics();
  const int columnW = fm.horizontalAdvance(CoreCaption(QStringLiteral("今回コピー分"))) + fm.height() * 2;
  const int tableH = ListInfo->horizontalHeader()->sizeHint().height() +
                     3 * ListInfo->verticalHeader()->defaultSectionSize() + 2 * ListInfo->frameWidth();
  ListInfo->setFixedHeight(tableH);
  const QMargins framed = FListInfo->layout()->contentsMargins();
  const int infoW = std::max(Px(this, 3600), ListInfo->verticalHeader()->sizeHint().width() + 2 * columnW +
                                                 2 * ListInfo->frameWidth() + framed.left() + framed.right());
  const QMargins title = FListInfo->contentsMargins();  // the frame and the title
  const int infoH = std::max(Px(this, 1500), tableH + framed.top() + framed.bottom() + title.top() + title.bottom());
  const int infoY = h - gap - cancelH - gap - infoH;
  FListInfo->setGeometry(w - margin - infoW, infoY, infoW, infoH);
  const int statusW = w - margin - infoW - gap - margin;
  FStatus->setGeometry(margin, infoY, statusW, h - gap - infoY);
  FSavelist->setGeometry(margin, top, w - 2 * margin, std::max(0, infoY - gap - top));
}

SaveExecWindow* OpenRunWindow(QarnoWindow& main, std::function<void()> closed) {
  auto* w = new SaveExecWindow(main, std::move(closed));
  main.SetOpenChild(w);
  const Qt::WindowStates state = main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
  w->setWindowState(state);
  w->show();
  return w;
}

}  // namespace qarno
