// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/windows/FindHistoryWindow.h"

#include "mainwin/windows/Placement.h"
#include "mainwin/windows/WidgetKit.h"
#include "platform/WinPath.h"
#include "records/SaveLayout.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace qarno {

namespace {
const QChar CR = u'\r';

// A result this large is shown folded, its paths in the first column only: expanding or
// spanning every path would cost the view a step for each.
constexpr int kUnfoldedPaths = 200;
}  // namespace

QString FindPatternFor(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.contains(u'*')) return t;
  return u'*' + t + u'*';
}

// ---------------------------------------------------------------------------------------
// The timeline model. A path row has the internal id 0; a version row carries its path's
// row + 1, so that its parent is found without a search.

FoundVersionsModel::FoundVersionsModel(QObject* parent) : QAbstractItemModel(parent) {}

void FoundVersionsModel::SetResult(std::vector<FoundVersion> versions) {
  beginResetModel();
  versions_ = std::move(versions);
  starts_.clear();
  for (size_t i = 0; i < versions_.size(); ++i) {
    if (i == 0 || versions_[i].path != versions_[i - 1].path) starts_.push_back(static_cast<int>(i));
  }
  starts_.push_back(static_cast<int>(versions_.size()));
  endResetModel();
}

const FoundVersion* FoundVersionsModel::Version(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this || index.internalId() == 0) return nullptr;
  const int path = static_cast<int>(index.internalId()) - 1;
  return &versions_[static_cast<size_t>(starts_[static_cast<size_t>(path)] + index.row())];
}

QModelIndex FoundVersionsModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= Columns) return QModelIndex();
  if (!parent.isValid()) return row < Paths() ? createIndex(row, column, quintptr(0)) : QModelIndex();
  if (parent.internalId() != 0 || row >= rowCount(parent)) return QModelIndex();
  return createIndex(row, column, quintptr(parent.row() + 1));
}

QModelIndex FoundVersionsModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == 0) return QModelIndex();
  return createIndex(static_cast<int>(child.internalId()) - 1, 0, quintptr(0));
}

int FoundVersionsModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return Paths();
  if (parent.internalId() != 0 || parent.column() != 0) return 0;
  const auto p = static_cast<size_t>(parent.row());
  return starts_[p + 1] - starts_[p];
}

int FoundVersionsModel::columnCount(const QModelIndex&) const { return Columns; }

QVariant FoundVersionsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const FoundVersion* v = Version(index);
  if (!v) {
    // A path row: the path, and how many versions the history holds of it.
    const auto p = static_cast<size_t>(index.row());
    const int count = starts_[p + 1] - starts_[p];
    const QString& path = versions_[static_cast<size_t>(starts_[p])].path;
    if (role == Qt::DisplayRole && index.column() == Name) return path + tr("  (%1 版)").arg(count);
    if (role == Qt::ToolTipRole && index.column() == Name) return path;
    if (role == PathRole) return path;
    return {};
  }
  if (role == Qt::TextAlignmentRole && index.column() == Size) return int(Qt::AlignRight | Qt::AlignVCenter);
  if (role == Qt::ToolTipRole && index.column() == Copy) return v->copyPath;
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case Name: return v->saveName;
    case RunDate: return v->runDate;
    case Level: return v->level;
    case Size: return QString::number(v->size);
    case FileDate: return v->fileDate;
    case Copy: return v->copyPath;
    default: return {};
  }
}

QVariant FoundVersionsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case Name: return tr("ファイル / 保存名");
    case RunDate: return tr("保存日時");
    case Level: return tr("レベル");
    case Size: return tr("サイズ");
    case FileDate: return tr("日付");
    case Copy: return tr("保存先");
    default: return {};
  }
}

// ---------------------------------------------------------------------------------------
// The dialog

FindHistoryWindow::FindHistoryWindow(Module1& m, const HistoryTable& history, const FRestore& place,
                                     const QString& pattern, QWidget* parent)
    : QDialog(parent), m_(m), history_(history), place_(place), pattern_(pattern) {
  setObjectName(QStringLiteral("FFindHistory"));
  setWindowTitle(place.state().Caption + tr("  履歴から探す"));

  auto* patternLabel = new QLabel(tr("探すファイル"), this);
  Pattern = Named(new QLineEdit(pattern, this), "Pattern");
  Pattern->setReadOnly(true);
  patternLabel->setBuddy(Pattern);
  Versions = Named(new QTreeView(this), "Versions");
  model = new FoundVersionsModel(this);
  Versions->setModel(model);
  Versions->setUniformRowHeights(true);  // thousands of versions stay instant
  Versions->setSelectionMode(QAbstractItemView::SingleSelection);
  Versions->setSelectionBehavior(QAbstractItemView::SelectRows);
  Versions->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Versions->setAllColumnsShowFocus(true);
  {
    const QFontMetrics fm = fontMetrics();
    Versions->setColumnWidth(FoundVersionsModel::Name, fm.horizontalAdvance(QStringLiteral("qrn20240101_01")) + 80);
    Versions->setColumnWidth(FoundVersionsModel::RunDate, fm.horizontalAdvance(QStringLiteral("2024/01/01 00:00:00")) + 16);
    Versions->setColumnWidth(FoundVersionsModel::Level, fm.horizontalAdvance(LevelName(Level::Level0)) + 16);
    Versions->setColumnWidth(FoundVersionsModel::Size, fm.horizontalAdvance(QStringLiteral("0000000000")) + 16);
    Versions->setColumnWidth(FoundVersionsModel::FileDate, fm.horizontalAdvance(QStringLiteral("2024/01/01 00:00:00")) + 16);
  }
  Versions->header()->setStretchLastSection(true);
  Versions->setToolTip(tr("見つかったファイルと、それを保存している保存履歴を新しい順に表示します。"));

  Target = Named(new QLabel(this), "Target");
  Target->setText(TargetText());
  Progress = Named(new QProgressBar(this), "Progress");
  Progress->setRange(0, std::max(1, history.Rows() - 1));
  Progress->setValue(0);
  Status = Named(new QLabel(this), "Status");
  Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  Status->setMinimumHeight(fontMetrics().height() * 2 + 4);
  Status->setTextInteractionFlags(Qt::TextSelectableByMouse);

  RestoreVersion = Button(this, "RestoreVersion", tr("この版を復元"));
  RestoreVersion->setToolTip(tr("選んだ版を、その版を保存している保存履歴から復元します。"));
  Cancel = Button(this, "Cancel", tr("中止"));
  Cancel->setToolTip(tr("処理を中止します。"));

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(100);

  auto* top = new QHBoxLayout;
  top->addWidget(patternLabel);
  top->addWidget(Pattern, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Target, 1);
  buttons->addWidget(RestoreVersion);
  buttons->addWidget(Cancel);
  auto* box = new QVBoxLayout(this);
  box->addLayout(top);
  box->addWidget(Versions, 1);
  box->addWidget(Progress);
  box->addWidget(Status);
  box->addLayout(buttons);

  connect(RestoreVersion, &QPushButton::clicked, this, &FindHistoryWindow::RestoreVersion_Click);
  connect(Cancel, &QPushButton::clicked, this, &FindHistoryWindow::Cancel_Click);
  connect(Timer1, &QTimer::timeout, this, &FindHistoryWindow::Timer1_Timer);
  connect(Versions->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ShowButtons(); });
  connect(Versions, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) {
    if (model->Version(i)) RestoreVersion_Click();
  });

  setMinimumSize(Px(this, 7200), Px(this, 4800));
  resize(Px(this, 13500), Px(this, 6600));
  ShowButtons();
  FinishControls(this);
}

FindHistoryWindow::~FindHistoryWindow() = default;

QString FindHistoryWindow::TargetText() const {
  const RestoreState& s = place_.state();
  return s.Position == 1 ? tr("復元先: %1 の下").arg(s.WriteHDir) : tr("復元先: 元の場所");
}

void FindHistoryWindow::ShowButtons() {
  RestoreVersion->setEnabled(!Busy() && model->Version(Versions->currentIndex()) != nullptr);
  Cancel->setText(Busy() ? tr("中止") : tr("閉じる"));
  Progress->setVisible(Searching());
}

void FindHistoryWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (started_) return;
  started_ = true;
  // Once the dialog is drawn: the search yields, and this call would not return before it ends.
  QTimer::singleShot(0, this, &FindHistoryWindow::FindVersions);
}

// ---------------------------------------------------------------------------------------
// The search

void FindHistoryWindow::FindVersions() {
  if (Busy()) return;
  started_ = true;
  stopAsked_ = false;
  m_.CancelFlag.Clear();
  finder_ = std::make_unique<RunFinder>(m_, history_, m_.set.Name);
  Status->setText(tr("履歴から探しています ..."));
  ShowButtons();
  Timer1->start();
  result_ = finder_->Find(pattern_);
  finder_.reset();
  m_.CancelFlag.Clear();  // the stop is used up by the search it stopped
  Timer1->stop();

  const int searched = result_.listingsRead + static_cast<int>(result_.listingsUnread.size());
  model->SetResult(std::move(result_.versions));
  result_.versions.clear();
  QString text;
  if (result_.stopped)
    text = tr("中止されました。(%1 / %2 の保存履歴を探しました)").arg(searched).arg(history_.Rows() - 1);
  else if (model->Versions() == 0)
    text = tr("「%1」は保存履歴にありませんでした。").arg(pattern_);
  else
    text = tr("%1 個のファイル、%2 個の版が見つかりました。").arg(model->Paths()).arg(model->Versions());
  if (!result_.listingsUnread.isEmpty()) {
    QStringList names = result_.listingsUnread.mid(0, 3);
    if (result_.listingsUnread.size() > 3) names += QStringLiteral("...");
    text += CR + tr("読めなかったCSVファイル %1 個: ").arg(result_.listingsUnread.size()) + names.join(u' ');
  }
  Status->setText(LabelText(text));
  if (model->Paths() > 0) {
    if (model->Paths() <= kUnfoldedPaths) {
      // The path spans the row (the view keeps spanned rows in a list: only for a few).
      for (int p = 0; p < model->Paths(); ++p) Versions->setFirstColumnSpanned(p, QModelIndex(), true);
      Versions->expandAll();
    }
    const QModelIndex first = model->index(0, 0, model->index(0, 0));
    Versions->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Versions->scrollTo(first);
  }
  ShowButtons();
  if (closeWanted_) QDialog::reject();
}

// ---------------------------------------------------------------------------------------
// Restoring a version

std::vector<int> FindHistoryWindow::RowsListing(const FoundVersion& v) const {
  const int holder = history_.RowOf(v.saveName);
  std::vector<int> rows;
  // Newest first in the history: the newer runs are the rows above the holder's.
  for (int h = holder; h >= 1; --h) {
    const QString& name = history_.Cell(h, HistoryEntry::SaveName);
    if (!IsSaveName(name)) continue;
    // Only listings that are there: a missing one would ask about every run in between.
    const QString here = RunPaths::Of(m_.set.SaveDir, m_.set.Name, name).SaveCsvFile;
    const QString recorded = RunPaths::Of(history_.Cell(h, HistoryEntry::SaveDir), m_.set.Name, name).SaveCsvFile;
    if (m_.fs.Exists(here) || m_.fs.Exists(recorded)) rows.push_back(h);
  }
  return rows;
}

bool FindHistoryWindow::LoadAndMark(FRestore& engine, const FoundVersion& v) {
  for (int h : RowsListing(v)) {
    if (stopAsked_) return false;
    if (!engine.FormInit(h)) {
      if (stopAsked_) return false;
      m_.CancelFlag.Clear();  // a listing that could not be read: the next run's may do
      continue;
    }
    const RestoreTable& t = engine.table();
    for (int r = 1; r < t.Rows(); ++r) {
      const SaveListEntry& e = t[r];
      if (e.IsDirectory() || e.path != v.path || e.saveName != v.saveName) continue;
      engine.SetRestoreMark(r, true);
      return true;
    }
  }
  return false;
}

void FindHistoryWindow::RestoreVersion_Click() {
  if (Busy()) return;
  const FoundVersion* chosen = model->Version(Versions->currentIndex());
  if (!chosen) return;
  const FoundVersion v = *chosen;
  const RestoreState& s = place_.state();
  // Under another directory the target must be a directory on a drive, and not among the
  // saves the restore reads from (as for the restore window's own run).
  if (const TopDirProblem problem = s.Position == 1 ? place_.CheckTopDir(s.WriteHDir) : TopDirProblem::None;
      problem != TopDirProblem::None) {
    m_.Warn(Question::RestoreTopDirInvalid, s.Caption, s.WriteHDir + CR + TopDirProblemText(problem));
    return;
  }
  const QString target = place_.TargetOf(v.path);
  const Answer ok = m_.ui.MsgBox(Question::RestoreVersion, s.Caption,
                                 v.path + CR + TrWords("qarno::FindHistoryWindow", "保存名 ") + v.saveName +
                                     QStringLiteral("  ") + v.runDate + Words(CR) +
                                     TrWords("qarno::FindHistoryWindow", "復元先 ") + target + Words(CR) +
                                     TrWords("qarno::FindHistoryWindow", "この版を復元しますか？"),
                                 Buttons::OKCancel, Icon::Question);
  if (ok != Answer::OK) return;

  stopAsked_ = false;
  engine_ = std::make_unique<FRestore>(m_, history_);
  FRestore& engine = *engine_;
  engine.Form_Load();
  ApplyRestoreSetChange(engine, m_);
  engine.SetTarget(s.Position, s.WriteHDir);
  ShowButtons();
  Timer1->start();
  QString text;
  if (!LoadAndMark(engine, v)) {
    text = stopAsked_ ? tr("中止されました。")
                         : tr("この版を載せた保存履歴のCSVファイルが読めません。") + CR + v.saveName;
  } else {
    engine.OK_Click();
    const RestoreTable& t = engine.table();
    RestoreFlag mark = RestoreFlag::None;
    for (int r = 1; r < t.Rows() && mark == RestoreFlag::None; ++r) {
      if (t.Mark(r) != RestoreFlag::None) mark = t.Mark(r);
    }
    if (mark == RestoreFlag::Restored) text = tr("復元しました。") + CR + target;
    else if (mark == RestoreFlag::Failed) text = tr("復元できませんでした。") + CR + target;
    else text = tr("中止されました。");
  }
  Timer1->stop();
  engine_.reset();
  m_.CancelFlag.Clear();
  Status->setText(LabelText(text));
  ShowButtons();
  if (closeWanted_) QDialog::reject();
}

// ---------------------------------------------------------------------------------------
// Progress, stop and close

void FindHistoryWindow::Timer1_Timer() {
  if (finder_) {
    Progress->setMaximum(std::max(1, finder_->Total()));
    Progress->setValue(finder_->Done());
    Status->setText(tr("履歴から探しています ... %1 / %2").arg(finder_->Done()).arg(finder_->Total()));
  } else if (engine_) {
    const RestoreTimerView v = engine_->Describe();
    if (v.update) Status->setText(LabelText(v.status));
  }
}

void FindHistoryWindow::Cancel_Click() {
  if (Busy()) {
    stopAsked_ = true;
    m_.CancelFlag.Set();
    return;
  }
  QDialog::reject();
}

void FindHistoryWindow::reject() {
  if (Busy()) {
    // The work stops at its next yield; the dialog closes when it has.
    stopAsked_ = true;
    m_.CancelFlag.Set();
    closeWanted_ = true;
    return;
  }
  QDialog::reject();
}

void FindHistoryWindow::closeEvent(QCloseEvent* e) {
  if (Busy()) {
    stopAsked_ = true;
    m_.CancelFlag.Set();
    closeWanted_ = true;
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}

}  // namespace qarno
