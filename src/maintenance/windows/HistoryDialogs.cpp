// SPDX-License-Identifier: GPL-3.0-or-later
// FDelAgree, FDelHisData and FEditHisData.
#include "common/WindowGeometry.h"
#include "maintenance/windows/HistoryDialogs.h"
#include "mainwin/windows/ListModels.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/WidgetKit.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace qarno {

// ---------------------------------------------------------------------------------------

FDelAgree::FDelAgree(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FDelAgree"));
  setWindowTitle(tr("Qarno　履歴情報の削除"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  Picture = Named(new QLabel(this), "Picture");
  const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  Picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(side, side));
  Label1 = Named(new QLabel(this), "Label1");
  // The text comes broken into its lines: no line is broken again mid-word.
  Label1->setWordWrap(false);
  Label2 = Named(new QLabel(tr("よろしいですか？"), this), "Label2");
  BDel = Button(this, "BDel", tr("削除"));
  BDelALL = Button(this, "BDelALL", tr("全て削除"));
  BNo = Button(this, "BNo", tr("いいえ"));
  BCancel = Button(this, "BCancel", tr("取消"));
  BDel->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Picture, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(Label1, 0, 1);
  grid->addWidget(Label2, 1, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {BDel, BDelALL, BNo, BCancel}) buttons->addWidget(b);
  grid->addLayout(buttons, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  setMinimumWidth(Px(this, 4800));
  FinishControls(this);

  auto reply = [this](DeleteAnswer a, bool agreed) {
    answer = a;
    agreed ? accept() : reject();
  };
  connect(BDel, &QPushButton::clicked, this, [reply] { reply(DeleteAnswer::Delete, true); });
  connect(BDelALL, &QPushButton::clicked, this, [reply] { reply(DeleteAnswer::DeleteAll, true); });
  connect(BNo, &QPushButton::clicked, this, [reply] { reply(DeleteAnswer::No, false); });
  connect(BCancel, &QPushButton::clicked, this, [reply] { reply(DeleteAnswer::Cancel, false); });
}

// ---------------------------------------------------------------------------------------

FDelHisData::FDelHisData(Qarno& main, QWidget* mainWindow)
    : ChildDialog(mainWindow, main.m.settings, QStringLiteral("FDelHisDataTop"), QStringLiteral("FDelHisDataLeft"),
                  FirstPlace::Centred),
      deletion(main.m, main.HisTable),
      main_(main) {
  Module1& m = main.m;
  setObjectName(QStringLiteral("FDelHisData"));
  setWindowTitle(m.MainCaption + tr("  履歴情報の削除"));
  deletion.title = windowTitle();
  FSetName = Named(new QGroupBox(tr("セット名"), this), "FSetName");
  TSetName = Named(new QLineEdit(m.set.Name, FSetName), "TSetName");
  TSetName->setReadOnly(true);
  FHistory = Named(new QGroupBox(tr("保存履歴"), this), "FHistory");
  HisTable = Named(new QTableView(FHistory), "HisTable");
  model_ = new HistoryModel(deletion.table, this);
  HisTable->setModel(model_);
  HisTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  HisTable->setSelectionMode(QAbstractItemView::ContiguousSelection);
  HisTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  HisTable->setWordWrap(false);
  HisTable->verticalHeader()->setDefaultSectionSize(HisTable->fontMetrics().height() + 6);
  HisTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  FitHistoryColumns(HisTable);
  FDelOption = Named(new QGroupBox(tr("削除設定"), this), "FDelOption");
  CDelOption = Named(new QCheckBox(tr("データも削除する"), FDelOption), "CDelOption");
  CDelOption->setChecked(m.settings.DelOption == 1);
  Remove = Button(this, "Remove", tr("項目削除"));
  AllRemove = Button(this, "AllRemove", tr("全項目削除"));
  FStatus = Named(new QGroupBox(tr("進行状況"), this), "FStatus");
  Status = Named(new QLabel(FStatus), "Status");
  Status->setWordWrap(true);
  Status->setMinimumHeight(Status->fontMetrics().height() * 2);
  Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Cancel = Button(this, "Cancel", tr("終了"));
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(300);

  (new QVBoxLayout(FSetName))->addWidget(TSetName);
  (new QVBoxLayout(FHistory))->addWidget(HisTable);
  {
    // The box as wide as its caption: a click beside the caption is no click on it.
    auto* option = new QHBoxLayout(FDelOption);
    option->addWidget(CDelOption);
    option->addStretch();
  }
  (new QVBoxLayout(FStatus))->addWidget(Status);
  // The frames one above the other, the commands in a row beside the options (room for one
  // more), the end button under them.
  auto* grid = new QGridLayout(this);
  grid->addWidget(FSetName, 0, 0, 1, 2);
  grid->addWidget(FHistory, 1, 0, 1, 2);
  grid->addWidget(FDelOption, 2, 0);
  auto* buttons = new QHBoxLayout;
  buttons->setObjectName(QStringLiteral("DeleteButtons"));
  buttons->addWidget(MakePrunePreview());
  buttons->addWidget(Remove);
  buttons->addWidget(AllRemove);
  grid->addLayout(buttons, 2, 1, Qt::AlignRight | Qt::AlignBottom);
  grid->addWidget(FStatus, 3, 0);
  grid->addWidget(Cancel, 3, 1, Qt::AlignRight | Qt::AlignBottom);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(0, 1);
  HisTable->setMinimumHeight(HisTable->verticalHeader()->defaultSectionSize() * 3);
  SetMinimumTwips(4000, 3600);
  StoreSizeAs(QStringLiteral("FDelHisDataHeight"), QStringLiteral("FDelHisDataWidth"));
  // Without a size of the user's: eight rows and the columns up to the date.
  const int date = HistoryEntry::SaveDate;
  const int gridWidth = HisTable->columnViewportPosition(date) + HisTable->columnWidth(date) +
                        HisTable->verticalHeader()->sizeHint().width() +
                        HisTable->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + HisTable->frameWidth() * 2;
  const int gridHeight = HisTable->verticalHeader()->defaultSectionSize() * 8 +
                         HisTable->horizontalHeader()->sizeHint().height() +
                         HisTable->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + HisTable->frameWidth() * 2;
  const QSize least = layout()->totalMinimumSize();
  const int frames = FHistory->sizeHint().width() - HisTable->sizeHint().width();  // the frames' margins
  const QSize own(std::max(least.width(), gridWidth + frames + layout()->contentsMargins().left() +
                                               layout()->contentsMargins().right()),
                  least.height() - HisTable->minimumHeight() + gridHeight);
  SetSizeFromSettings(QStringLiteral("FDelHisDataWidth"), QStringLiteral("FDelHisDataHeight"), QSize(4000, 4000),
                      QSize(qRound(Twips(this, own.width() + 8)), qRound(Twips(this, own.height() + 8))));

  deletion.agree = [this](const QString& text) { return Agree(text); };
  deletion.onBusy = [this](bool busy) {
    Cancel->setText(busy ? tr("中止") : tr("終了"));
    if (busy) Timer1->start();
    else Timer1->stop();
    Status->setText(LabelText(deletion.ProgressText()));
  };
  deletion.onTableChanged = [this] {
    model_->Reload();
    FitHistoryColumns(HisTable);
  };
  connect(CDelOption, &QCheckBox::clicked, this,
          [this](bool on) { main_.m.settings.DelOption = static_cast<int16_t>(on ? 1 : 0); });
  connect(Remove, &QPushButton::clicked, this, &FDelHisData::Remove_Click);
  connect(AllRemove, &QPushButton::clicked, this, &FDelHisData::AllRemove_Click);
  connect(Cancel, &QPushButton::clicked, this, &FDelHisData::Cancel_Click);
  connect(Timer1, &QTimer::timeout, this, &FDelHisData::Timer1_Timer);
}

FDelHisData::~FDelHisData() {
  deletion.agree = nullptr;
  deletion.onBusy = nullptr;
  deletion.onTableChanged = nullptr;
}

DeleteAnswer FDelHisData::Agree(const QString& text) {
  FDelAgree agree(this);
  agree.Label1->setText(LabelText(text));
  agree.adjustSize();
  agree.move(frameGeometry().topLeft());
  agree.exec();
  return agree.answer;
}

void FDelHisData::SetWorking(bool working) {
  working_ = working;
  for (QWidget* w : std::initializer_list<QWidget*>{Remove, AllRemove, PrunePreview, HisTable, CDelOption})
    w->setEnabled(!working);
}

void FDelHisData::Remove_Click() {
  if (working_) return;
  Status->clear();
  const QModelIndexList rows = HisTable->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  int first = rows.first().row() + 1, last = first;
  for (const QModelIndex& i : rows) {
    first = std::min(first, i.row() + 1);
    last = std::max(last, i.row() + 1);
  }
  SetWorking(true);
  const int select = deletion.Remove(first, last);
  model_->Reload();
  HisTable->clearSelection();
  if (select >= 1) {
    HisTable->selectRow(select - 1);
    HisTable->setCurrentIndex(model_->index(select - 1, 0));
  }
  Status->setText(LabelText(deletion.status));
  SetWorking(false);
}

QPushButton* FDelHisData::MakePrunePreview() {
  PrunePreview = Button(this, "PrunePreview", tr("整理のプレビュー"));
  PrunePreview->setAccessibleName(PrunePreview->text());
  PrunePreview->setToolTip(tr(
      "設定の「古い保存の整理」で削除される保存を選択して示します。削除は「項目削除」で行います。"));
  connect(PrunePreview, &QPushButton::clicked, this, &FDelHisData::PrunePreview_Click);
  return PrunePreview;
}

void FDelHisData::PrunePreview_Click() {
  if (working_) return;
  const qarno::PrunePreview preview = PreviewPruning(main_.m.set, deletion.table, main_.m.clock.Now());
  HisTable->clearSelection();
  QItemSelection marked;
  for (const int row : preview.rows) marked.select(model_->index(row - 1, 0), model_->index(row - 1, model_->columnCount() - 1));
  HisTable->selectionModel()->select(marked, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (!preview.rows.empty()) HisTable->scrollTo(model_->index(preview.rows.front() - 1, 0));
  Status->setText(LabelText(preview.text));
}

void FDelHisData::AllRemove_Click() {
  if (working_ || !deletion.table.HasData()) return;
  HisTable->selectAll();
  main_.m.DoEvents();
  Remove_Click();
  Cancel_Click();
}

void FDelHisData::Cancel_Click() {
  if (deletion.busy) {
    main_.m.CancelFlag.Set();  // the deletion stops at its next item; the dialog stays
    return;
  }
  if (working_) return;
  done(Accepted);
}

void FDelHisData::Timer1_Timer() {
  if (deletion.busy) Status->setText(LabelText(deletion.ProgressText()));
}

void FDelHisData::done(int result) {
  if (deletion.busy) {
    main_.m.CancelFlag.Set();
    return;
  }
  if (working_) return;
  deletion.CopyTo(main_.HisTable);
  ChildDialog::done(result);
}

void FDelHisData::closeEvent(QCloseEvent* e) {
  // Closing while the deletion runs stops it, as its Cancel button does; the dialog stays.
  if (deletion.busy || working_) {
    if (deletion.busy) main_.m.CancelFlag.Set();
    e->ignore();
    return;
  }
  ChildDialog::closeEvent(e);
}

// ---------------------------------------------------------------------------------------

FEditHisData::FEditHisData(QarnoWindow& main)
    : ChildDialog(&main, main.m.settings, QStringLiteral("EditHisDataTop"), QStringLiteral("EditHisDataLeft"),
                  FirstPlace::AtMain),
      main_(main) {
  setObjectName(QStringLiteral("FEditHisData"));
  setWindowTitle(main.m.MainCaption + tr("  履歴情報の編集"));
  Frame1 = Named(new QGroupBox(tr("履歴情報"), this), "Frame1");
  static const char* const kNames[] = {"TSaveName", "TSaveLevel", "TErrCnt",  "TMemo",      "TPTime",  "TSaveDate",
                                       "TSaveSize", "TUseSize",   "TSaveDir", "TVolSerial", "TVolName"};
  static const char* const kLabels[] = {
      QT_TR_NOOP("保存名"),
      QT_TR_NOOP("保存レベル"),
      QT_TR_NOOP("未コピー数"),
      QT_TR_NOOP("コメント"),
      QT_TR_NOOP("処理時間"),
      QT_TR_NOOP("保存日時"),
      QT_TR_NOOP("保存サイズ"),
      QT_TR_NOOP("使用サイズ"),
      QT_TR_NOOP("保存先"),
      QT_TR_NOOP("シリアル番号"),
      QT_TR_NOOP("ボリューム名"),
  };
  auto* form = new QGridLayout(Frame1);
  for (int c = 0; c < HistoryEntry::ColumnCount; ++c) {
    auto* label = new QLabel(tr(kLabels[c]), Frame1);
    label->setObjectName(QStringLiteral("L") + QLatin1String(kNames[c] + 1));
    boxes[static_cast<size_t>(c)] = Named(new QLineEdit(Frame1), kNames[c]);
    // Only the comment is taken over; the other boxes show.
    boxes[static_cast<size_t>(c)]->setReadOnly(c != HistoryEntry::Comment);
    label->setBuddy(boxes[static_cast<size_t>(c)]);
    form->addWidget(label, c, 0);
    form->addWidget(boxes[static_cast<size_t>(c)], c, 1);
  }
  form->setColumnStretch(1, 1);
  TSaveName = boxes[HistoryEntry::SaveName];
  TSaveLevel = boxes[HistoryEntry::Level];
  TErrCnt = boxes[HistoryEntry::UncopiedCount];
  TMemo = boxes[HistoryEntry::Comment];
  TPTime = boxes[HistoryEntry::ProcessTime];
  TSaveDate = boxes[HistoryEntry::SaveDate];
  TSaveSize = boxes[HistoryEntry::SavedKB];
  TUseSize = boxes[HistoryEntry::UsedKB];
  TSaveDir = boxes[HistoryEntry::SaveDir];
  TVolSerial = boxes[HistoryEntry::VolSerial];
  TVolName = boxes[HistoryEntry::VolName];
  BPre = Button(this, "BPre", tr("戻る"));
  BNext = Button(this, "BNext", tr("次へ"));
  BExit = Button(this, "BExit", tr("閉じる"));

  auto* box = new QVBoxLayout(this);
  box->addWidget(Frame1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BPre);
  buttons->addWidget(BNext);
  buttons->addStretch();
  buttons->addWidget(BExit);
  box->addLayout(buttons);
  SetMinimumTwips(5000, 4600);
  SetSizeTwips(6000, 5000);

  connect(TMemo, &QLineEdit::textChanged, this, &FEditHisData::TMemo_Change);
  connect(BPre, &QPushButton::clicked, this, &FEditHisData::BPre_Click);
  connect(BNext, &QPushButton::clicked, this, &FEditHisData::BNext_Click);
  connect(BExit, &QPushButton::clicked, this, &QDialog::accept);
}

int FEditHisData::exec() {
  // On the header row (or none) the dialog closes as soon as it opens.
  if (!ShowHisEntry()) return Rejected;
  return ChildDialog::exec();
}

bool FEditHisData::ShowHisEntry() {
  const HistoryTable& table = main_.main.HisTable;
  const int r = main_.SelectedHistoryRow();
  if (r <= 0 || r >= table.Rows()) {
    if (isVisible()) accept();
    return false;
  }
  for (int c = 0; c < HistoryEntry::ColumnCount; ++c) {
    const QSignalBlocker quiet(boxes[static_cast<size_t>(c)]);
    boxes[static_cast<size_t>(c)]->setText(table.Cell(r, c));
    boxes[static_cast<size_t>(c)]->setCursorPosition(0);
  }
  // Filling the comment box is a change of it too, as typing is.
  TMemo_Change();
  BPre->setEnabled(r >= 2);
  BNext->setEnabled(r < table.Rows() - 1);
  return true;
}

void FEditHisData::Step(int by) {
  const HistoryTable& table = main_.main.HisTable;
  const int r = main_.SelectedHistoryRow() + by;
  if (r < 1 || r >= table.Rows()) return;
  main_.SelectHistoryRow(r);
  ShowHisEntry();
}

void FEditHisData::BPre_Click() { Step(-1); }
void FEditHisData::BNext_Click() { Step(+1); }

void FEditHisData::TMemo_Change() {
  HistoryTable& table = main_.main.HisTable;
  const int r = main_.SelectedHistoryRow();
  if (r < 1 || r >= table.Rows()) return;
  SetHistoryComment(main_.m, table, r, TMemo->text());
  main_.ShowHistoryCell(r, HistoryEntry::Comment);
}

}  // namespace qarno
