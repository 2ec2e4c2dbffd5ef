// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/windows/VerifyWindow.h"

#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/WidgetKit.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace qarno {

namespace {
// The window speaks Japanese; the command line keeps its short English kinds for scripts.
QString KindCaption(VerifyProblem::Kind kind) {
  switch (kind) {
    case VerifyProblem::Kind::Missing: return QCoreApplication::translate("qarno::VerifyProblemModel", "コピーがありません");
    case VerifyProblem::Kind::SizeDiffers: return QCoreApplication::translate("qarno::VerifyProblemModel", "サイズが違います");
    case VerifyProblem::Kind::ContentDiffers: return QCoreApplication::translate("qarno::VerifyProblemModel", "内容が違います");
    case VerifyProblem::Kind::ArchiveDamaged: return QCoreApplication::translate("qarno::VerifyProblemModel", "書庫が壊れています");
    case VerifyProblem::Kind::ManifestDamaged: return QCoreApplication::translate("qarno::VerifyProblemModel", "目録が壊れています");
    case VerifyProblem::Kind::ListingDamaged: return QCoreApplication::translate("qarno::VerifyProblemModel", "保存リストが壊れています");
  }
  return VerifyKindText(kind);
}

const char* const kIdle = QT_TRANSLATE_NOOP("qarno::FVerify", "閉じる");
const char* const kStop = QT_TRANSLATE_NOOP("qarno::FVerify", "中止");
}  // namespace

// ---------------------------------------------------------------------------------------

void VerifyProblemModel::Show(std::vector<VerifyProblem> problems) {
  beginResetModel();
  problems_ = std::move(problems);
  endResetModel();
}

int VerifyProblemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(problems_.size());
}

int VerifyProblemModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant VerifyProblemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QVariant();
  const VerifyProblem& p = problems_[static_cast<size_t>(index.row())];
  switch (index.column()) {
    case Kind: return KindCaption(p.kind);
    case Path: return p.path;
    case Detail: return p.detail;
    default: return QVariant();
  }
}

QVariant VerifyProblemModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return section + 1;
  switch (section) {
    case Kind: return tr("種類");
    case Path: return tr("パス");
    case Detail: return tr("詳細");
    default: return QVariant();
  }
}

// ---------------------------------------------------------------------------------------

FVerify::FVerify(QarnoWindow& main, int row)
    : ChildDialog(&main, main.m.settings, QStringLiteral("VerifyTop"), QStringLiteral("VerifyLeft"),
                  FirstPlace::Centred),
      m_(main.m) {
  if (row >= 1 && row < main.main.HisTable.Rows()) run_ = main.main.HisTable.Row(row);
  setObjectName(QStringLiteral("FVerify"));
  setWindowTitle(m_.MainCaption + tr("  検証"));

  FSaveName = Named(new QGroupBox(tr("保存名"), this), "FSaveName");
  TSaveName = Named(new QLineEdit(FSaveName), "TSaveName");
  TSaveName->setReadOnly(true);
  TSaveName->setText(QStringLiteral("%1    %2    %3")
                         .arg(run_[HistoryEntry::SaveName], run_[HistoryEntry::Level], run_[HistoryEntry::SaveDate]));
  FVerifyKind = Named(new QGroupBox(tr("検証の方法"), this), "FVerifyKind");
  QuickVerify = Named(new QRadioButton(tr("簡易検証"), FVerifyKind), "QuickVerify");
  FullVerify = Named(new QRadioButton(tr("完全検証"), FVerifyKind), "FullVerify");
  QuickVerify->setChecked(true);
  QuickVerify->setToolTip(tr("保存したファイルが保存先にあり、サイズが記録どおりかを確かめます。短時間で終わります。"));
  FullVerify->setToolTip(tr(
      "保存したファイルをすべて読み戻し（圧縮ファイルは展開し）、保存時の内容の目録と照合します。保存の大きさに応じて時間がかかります。"));
  Start = Button(this, "Start", tr("検証開始"));
  Start->setDefault(true);
  Start->setToolTip(tr("選んだ方法で検証を始めます。検証は保存先のファイルを読むだけで、何も書き換えません。"));
  Cancel = Button(this, "Cancel", tr(kIdle));

  FStatus = Named(new QGroupBox(tr("進行状況"), this), "FStatus");
  Progress = Named(new QProgressBar(FStatus), "Progress");
  Progress->setRange(0, 100);
  Progress->setValue(0);
  Status = Named(new QLabel(FStatus), "Status");
  Status->setWordWrap(true);
  Status->setText(tr("検証の方法を選んで「検証開始」を押してください。"));
  ManifestNote = Named(new QLabel(FStatus), "ManifestNote");
  ManifestNote->setWordWrap(true);
  ManifestNote->hide();
  Totals = Named(new QLabel(FStatus), "Totals");
  Totals->setWordWrap(true);

  FProblems = Named(new QGroupBox(tr("見つかった問題"), this), "FProblems");
  Problems = Named(new QTableView(FProblems), "Problems");
  problemModel = new VerifyProblemModel(this);
  Problems->setModel(problemModel);
  Problems->setSelectionBehavior(QAbstractItemView::SelectRows);
  Problems->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Problems->setWordWrap(false);
  Problems->verticalHeader()->setDefaultSectionSize(Problems->fontMetrics().height() + 6);
  Problems->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Problems->horizontalHeader()->setStretchLastSection(true);
  Problems->setColumnWidth(VerifyProblemModel::Kind, Problems->fontMetrics().horizontalAdvance(QStringLiteral("manifest damaged")) + 16);
  Problems->setColumnWidth(VerifyProblemModel::Path, Px(this, 3600));

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(200);

  (new QVBoxLayout(FSaveName))->addWidget(TSaveName);
  {
    auto* kinds = new QHBoxLayout(FVerifyKind);
    kinds->addWidget(QuickVerify);
    kinds->addWidget(FullVerify);
    kinds->addStretch();
  }
  {
    auto* box = new QVBoxLayout(FStatus);
    box->addWidget(Progress);
    box->addWidget(Status);
    box->addWidget(ManifestNote);
    box->addWidget(Totals);
  }
  (new QVBoxLayout(FProblems))->addWidget(Problems);
  auto* grid = new QGridLayout(this);
  grid->addWidget(FSaveName, 0, 0, 1, 2);
  grid->addWidget(FVerifyKind, 1, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Start);
  buttons->addWidget(Cancel);
  grid->addLayout(buttons, 1, 1, Qt::AlignRight | Qt::AlignBottom);
  grid->addWidget(FStatus, 2, 0, 1, 2);
  grid->addWidget(FProblems, 3, 0, 1, 2);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);
  SetMinimumTwips(6000, 5000);
  SetSizeTwips(8400, 6600);
  FinishControls(this);

  connect(Start, &QPushButton::clicked, this, &FVerify::Start_Click);
  connect(Cancel, &QPushButton::clicked, this, &FVerify::Cancel_Click);
  connect(Timer1, &QTimer::timeout, this, &FVerify::Timer1_Timer);
  Start->setEnabled(!run_[HistoryEntry::SaveName].isEmpty());
}

void FVerify::SetRunning(bool running) {
  running_ = running;
  for (QWidget* w : std::initializer_list<QWidget*>{Start, QuickVerify, FullVerify}) w->setEnabled(!running);
  Cancel->setText(tr(running ? kStop : kIdle));
  Cancel->setToolTip(running ? tr("検証を次のファイルで止めます。") : QString());
  if (running) Timer1->start();
  else Timer1->stop();
}

void FVerify::Start_Click() {
  if (running_ || run_[HistoryEntry::SaveName].isEmpty()) return;
  const bool full = FullVerify->isChecked();
  problemModel->Show({});
  report_ = VerifyReport();
  ManifestNote->hide();
  Totals->clear();
  Progress->setValue(0);
  Status->setText(tr("保存リストを読んでいます..."));
  m_.CancelFlag.Clear();
  closeWanted_ = false;
  RunVerifier verifier(m_, m_.set.Name);
  verifier_ = &verifier;
  SetRunning(true);
  report_ = verifier.Verify(run_, full);
  verifier_ = nullptr;
  m_.CancelFlag.Clear();
  SetRunning(false);
  ShowReport();
  if (closeWanted_) ChildDialog::done(Rejected);
}

void FVerify::Timer1_Timer() {
  if (!verifier_) return;
  const int64_t total = verifier_->Total();
  Progress->setValue(total > 0 ? static_cast<int>(verifier_->Done() * 100 / total) : 0);
  Status->setText(tr("検証中 %1 / %2  %3").arg(verifier_->Done()).arg(total).arg(verifier_->Current()));
}

void FVerify::ShowReport() {
  const VerifyReport& v = report_;
  problemModel->Show(v.problems);
  if (!v.listingRead) {
    Progress->setValue(0);
    Status->setText(tr("保存リストを読めませんでした。検証できません。\n") + v.listing);
    return;
  }
  Progress->setValue(v.files > 0 ? static_cast<int>(v.checked * 100 / v.files) : 100);
  const QString how = v.full ? tr("完全検証") : tr("簡易検証");
  if (v.stopped) Status->setText(tr("%1を中止しました。問題はそれまでに見つかったものです。").arg(how));
  else if (v.problems.empty()) Status->setText(tr("%1が終わりました。問題は見つかりませんでした。").arg(how));
  else Status->setText(tr("%1が終わりました。問題が %2 件見つかりました。").arg(how, QString::number(v.problems.size())));

  QStringList notes;
  switch (v.manifest) {
    case VerifyReport::Manifest::Missing:
      notes += tr(
          "この保存には内容の目録がありません（目録のない版で保存されたか、目録を作らない設定でした）。"
          "保存リストで確かめられる範囲で検証しました。");
      break;
    case VerifyReport::Manifest::NewerVersion:
      notes += tr("内容の目録は新しい版のプログラムで書かれています。保存リストで確かめられる範囲で検証しました。");
      break;
    default: break;
  }
  if (v.full && v.notInManifest > 0)
    notes += tr("目録にない %1 ファイルは、サイズと書庫の CRC だけで確かめました。").arg(v.notInManifest);
  ManifestNote->setText(notes.join(u'\n'));
  ManifestNote->setVisible(!notes.isEmpty());
  Totals->setText(tr("検証したファイル %1 / %2、目録と照合 %3、問題 %4 件")
                      .arg(v.checked)
                      .arg(v.files)
                      .arg(v.contentChecked)
                      .arg(v.problems.size()));
}

void FVerify::Cancel_Click() {
  if (running_) {
    m_.CancelFlag.Set();  // the verifier stops at its next file; the window stays
    return;
  }
  done(Rejected);
}

void FVerify::done(int result) {
  // Escape or the close box while running: stop first, close once the verifier has returned.
  if (running_) {
    m_.CancelFlag.Set();
    closeWanted_ = true;
    return;
  }
  ChildDialog::done(result);
}

void FVerify::closeEvent(QCloseEvent* e) {
  if (running_) {
    m_.CancelFlag.Set();
    closeWanted_ = true;
    e->ignore();
    return;
  }
  ChildDialog::closeEvent(e);
}

// ---------------------------------------------------------------------------------------

void OpenVerifyWindow(QarnoWindow& main, int row) {
  FVerify dialog(main, row);
  main.SetOpenChild(&dialog);
  dialog.exec();
  main.SetOpenChild(nullptr);
}

}  // namespace qarno
