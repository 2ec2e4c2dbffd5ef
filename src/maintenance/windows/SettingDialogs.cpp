// SPDX-License-Identifier: GPL-3.0-or-later
// FSetting and FNoCompType.
#include "maintenance/NoCompTypes.h"
#include "maintenance/SettingsChoice.h"
#include "maintenance/windows/SettingDialogs.h"
#include "mainwin/windows/WidgetKit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace qarno {

namespace {
// A check box (or option button) with a number box and its unit beside it, in a frame.
void NumberRow(QGroupBox* frame, QWidget* check, QLineEdit* box, const QString& unit) {
  auto* row = new QHBoxLayout(frame);
  row->addWidget(check);
  row->addStretch();
  box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  box->setAlignment(Qt::AlignRight);
  row->addWidget(box);
  row->addWidget(new QLabel(unit, frame));
}

const char* const kCompressTip = QT_TRANSLATE_NOOP("qarno::FSetting", "保存時のファイル圧縮方法を選択します。");
const char* const kReserveTip = QT_TRANSLATE_NOOP("qarno::FSetting", "保存実行時に、保存先ディスクに空き容量を残しておきます。");
const char* const kLockTip = QT_TRANSLATE_NOOP("qarno::FSetting", "他のプログラムでロックされているファイルの保存の有無。全セット名に共通です。");
const char* const kPathTip = QT_TRANSLATE_NOOP("qarno::FSetting",
    "保存先に使用できるパス名の文字数制限を設定します。この値を超えた場合、実際のコピーは専用のフォルダーに別の名前で行われます。全セット名に共通です。");
const char* const kStaleTip = QT_TRANSLATE_NOOP("qarno::FSetting",
    "最後に成功した保存からこの日数を過ぎると、メイン画面のセット名の下に警告を表示します。0 または空欄で警告しません。");
const char* const kUseSizeTip =
    QT_TRANSLATE_NOOP("qarno::FSetting", "保存後に実際に使用したディスクサイズを計算します。次の保存時の目安に使用して下さい。");
}  // namespace

// ---------------------------------------------------------------------------------------

FSetting::FSetting(Module1& m, QWidget* mainWindow)
    : ChildDialog(mainWindow, m.settings, QStringLiteral("SettingTop"), QStringLiteral("SettingLeft"),
                  FirstPlace::Centred),
      m_(m) {
  setObjectName(QStringLiteral("FSetting"));
  FComplexType = Frame(this, "FComplexType", tr("ファイル圧縮"));
  ComplexType1 = Named(new QRadioButton(tr("圧縮しない"), FComplexType), "ComplexType1");
  ComplexType2 = Named(new QRadioButton(tr("圧縮する(LHA)"), FComplexType), "ComplexType2");
  FComplexSetting = Frame(this, "FComplexSetting", tr("圧縮の設定"));
  ComplexSetting1 =
      Named(new QRadioButton(tr("指定したファイルタイプは圧縮しない"), FComplexSetting), "ComplexSetting1");
  ComplexSetting2 = Named(new QRadioButton(tr("必ず圧縮する"), FComplexSetting), "ComplexSetting2");
  BTypeSetting = Button(FComplexSetting, "BTypeSetting", tr("設定"));
  FSerChk = Frame(this, "FSerChk", tr("ボリューム・シリアル"));
  CVolSer = Named(new QCheckBox(tr("保存時に確認する"), FSerChk), "CVolSer");
  FRsvSizeChk = Frame(this, "FRsvSizeChk", tr("保存先ディスク"));
  CRsvSizeChk = Named(new QCheckBox(tr("残量制限を行う"), FRsvSizeChk), "CRsvSizeChk");
  TRsvSize = Named(new QLineEdit(FRsvSizeChk), "TRsvSize");
  FDElErrFile = Frame(this, "FDElErrFile", tr("保存時のエラー処理"));
  CDElErrFile = Named(new QCheckBox(tr("不要な中間ファイルを削除する"), FDElErrFile), "CDElErrFile");
  FLockFile = Frame(this, "FLockFile", tr("ロックされたファイル"));
  CLockFile = Named(new QCheckBox(tr("保存する"), FLockFile), "CLockFile");
  FPathLen = Frame(this, "FPathLen", tr("パス名"));
  CPathLen = Named(new QCheckBox(tr("文字数制限を行う"), FPathLen), "CPathLen");
  TPathLen = Named(new QLineEdit(FPathLen), "TPathLen");
  FCalUseSize = Frame(this, "FCalUseSize", tr("使用サイズの計算"));
  CCalUseSize = Named(new QCheckBox(tr("計算する"), FCalUseSize), "CCalUseSize");
  Frame1 = Frame(this, "Frame1", tr("デバッグ設定"));
  DebModeSel = Named(new QComboBox(Frame1), "DebModeSel");
  FStaleDays = Frame(this, "FStaleDays", tr("古い保存の警告"));
  TStaleDays = Named(new QLineEdit(FStaleDays), "TStaleDays");
  OK = Button(this, "OK", QStringLiteral("OK"));
  OK->setDefault(true);
  Cancel = Button(this, "Cancel", tr("取消"));

  {
    auto* box = new QVBoxLayout(FComplexType);
    box->addWidget(ComplexType1);
    box->addWidget(ComplexType2);
    box->addStretch();
  }
  {
    auto* grid = new QGridLayout(FComplexSetting);
    grid->addWidget(ComplexSetting1, 0, 0);
    grid->addWidget(ComplexSetting2, 1, 0);
    grid->addWidget(BTypeSetting, 0, 1, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
  }
  (new QVBoxLayout(FSerChk))->addWidget(CVolSer);
  NumberRow(FRsvSizeChk, CRsvSizeChk, TRsvSize, QStringLiteral("MB"));
  (new QVBoxLayout(FDElErrFile))->addWidget(CDElErrFile);
  (new QVBoxLayout(FLockFile))->addWidget(CLockFile);
  NumberRow(FPathLen, CPathLen, TPathLen, tr("文字"));
  (new QVBoxLayout(FCalUseSize))->addWidget(CCalUseSize);
  (new QVBoxLayout(Frame1))->addWidget(DebModeSel);
  NumberRow(FStaleDays, new QLabel(tr("警告までの日数"), FStaleDays), TStaleDays, tr("日"));
  // Two columns of frames, each frame as high as it needs, one above the other: a frame more
  // goes at the foot of a column. OK and 取消 under them.
  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->setObjectName(QStringLiteral("LeftFrames"));
  for (QGroupBox* f : {FComplexType, FSerChk, FDElErrFile, FPathLen, FStaleDays}) left->addWidget(f);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->setObjectName(QStringLiteral("RightFrames"));
  for (QGroupBox* f : {FComplexSetting, FRsvSizeChk, FLockFile, FCalUseSize, Frame1}) right->addWidget(f);
  right->addStretch();
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OK);
  buttons->addWidget(Cancel);
  auto* box = new QVBoxLayout(this);
  box->addLayout(columns, 1);
  // The pruning frame under both columns: its check box's caption is long.
  box->addWidget(MakePruneFrame());
  box->addLayout(buttons);
  SetMinimumTwips(6600, 5400);
  SetSizeTwips(7200, 5600);
  TRsvSize->setAccessibleName(tr("残量制限の値（MB）"));
  TPathLen->setAccessibleName(tr("文字数制限の値（文字）"));
  TStaleDays->setAccessibleName(tr("警告までの日数"));
  DebModeSel->setAccessibleName(tr("デバッグ設定"));

  // The changed flag: the compression choices, the clean-up and the reserve.
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{ComplexType1, ComplexType2, ComplexSetting1,
                                                                     ComplexSetting2, CDElErrFile, CRsvSizeChk})
    connect(b, &QAbstractButton::clicked, this, [this] { changed = true; });
  connect(TRsvSize, &QLineEdit::textChanged, this, [this] { changed = true; });
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{ComplexType1, ComplexType2, ComplexSetting1,
                                                                     ComplexSetting2, CRsvSizeChk, CPathLen})
    connect(b, &QAbstractButton::toggled, this, &FSetting::ApplyEnableRules);
  connect(BTypeSetting, &QPushButton::clicked, this, &FSetting::BTypeSetting_Click);
  connect(OK, &QPushButton::clicked, this, &FSetting::OK_Click);
  connect(Cancel, &QPushButton::clicked, this, &FSetting::Cancel_Click);
  Form_Load();
}

void FSetting::Form_Load() {
  setWindowTitle(m_.MainCaption + tr("  設定"));
  for (QWidget* w : std::initializer_list<QWidget*>{FComplexType, ComplexType1, ComplexType2})
    w->setToolTip(tr(kCompressTip));
  FComplexSetting->setToolTip(tr("「圧縮する」を選択した場合に、圧縮する条件を設定します"));
  ComplexSetting1->setToolTip(
      tr("「圧縮する」を選択した場合でも、登録しているタイプのファイルは圧縮しません。"));
  ComplexSetting2->setToolTip(tr("「圧縮する」を選択した場合は必ず圧縮します。"));
  BTypeSetting->setToolTip(tr("圧縮しないファイルタイプを登録します。全セット名で共通です"));
  CVolSer->setToolTip(
      tr("保存先ドライブに対してボリューム・シリアルとボリューム名がついているか確認する。"));
  CRsvSizeChk->setToolTip(tr(kReserveTip));
  TRsvSize->setToolTip(tr(kReserveTip));
  CDElErrFile->setToolTip(tr(
      "保存実行でエラーが発生し、保存履歴に登録されなかった無駄な保存名で作成したファイルなどを削除します。"));
  FLockFile->setToolTip(tr(kLockTip));
  CLockFile->setToolTip(tr(kLockTip));
  for (QWidget* w : std::initializer_list<QWidget*>{FPathLen, CPathLen, TPathLen}) w->setToolTip(tr(kPathTip));
  FCalUseSize->setToolTip(tr(kUseSizeTip));
  CCalUseSize->setToolTip(tr(kUseSizeTip));
  FStaleDays->setToolTip(tr(kStaleTip));
  TStaleDays->setToolTip(tr(kStaleTip));

  const SettingsChoice c = CurrentSettings(m_);
  (c.compress ? ComplexType2 : ComplexType1)->setChecked(true);
  (c.compressAlways ? ComplexSetting2 : ComplexSetting1)->setChecked(true);
  CVolSer->setChecked(c.chkVolSer);
  DebModeSel->clear();
  DebModeSel->addItems({tr("デバッグ情報を出力しない"), tr("デバッグ情報を出力する"),
                        tr("ファイル名を含めないで出力する")});
  DebModeSel->setCurrentIndex(c.debugMode >= 0 && c.debugMode <= 2 ? c.debugMode : 0);
  CRsvSizeChk->setChecked(c.rsvSizeChk);
  TRsvSize->setText(c.rsvSize);
  CDElErrFile->setChecked(c.delErrFile);
  CLockFile->setChecked(c.lockFile);
  CPathLen->setChecked(c.pathLenMode);
  TPathLen->setText(c.pathLen);
  CCalUseSize->setChecked(c.calUseSize);
  TStaleDays->setText(c.staleDays);
  SKeepChains->setValue(c.keepChains);
  SKeepDays->setValue(c.keepDays);
  CPruneForSpace->setChecked(c.pruneForSpace);
  ApplyEnableRules();
  changed = false;  // what the lines above set is no change of the user's
}

QGroupBox* FSetting::MakePruneFrame() {
  FPrune = Frame(this, "FPrune", tr("古い保存の整理"));
  auto spin = [this](const char* name, int max, const QString& label, const QString& unit) {
    auto* box = Named(new QSpinBox(FPrune), name);
    box->setRange(0, max);
    box->setSuffix(u' ' + unit);
    box->setSpecialValueText(tr("指定しない"));
    box->setAccessibleName(label);
    box->setAlignment(Qt::AlignRight);
    return box;
  };
  SKeepChains = spin("SKeepChains", BackupSet::kMaxKeepChains, tr("残す系列の数"), tr("系列"));
  SKeepDays = spin("SKeepDays", BackupSet::kMaxKeepDays, tr("残す日数"), tr("日"));
  CPruneForSpace = Named(new QCheckBox(tr("空き容量が足りないときは古い保存から削除する"), FPrune), "CPruneForSpace");
  CPruneForSpace->setAccessibleName(CPruneForSpace->text());
  auto* chainsLabel = new QLabel(tr("残す系列の数"), FPrune);
  auto* daysLabel = new QLabel(tr("残す日数"), FPrune);
  chainsLabel->setBuddy(SKeepChains);
  daysLabel->setBuddy(SKeepDays);
  auto* grid = new QGridLayout(FPrune);
  grid->addWidget(chainsLabel, 0, 0);
  grid->addWidget(SKeepChains, 0, 1);
  grid->addWidget(daysLabel, 0, 2);
  grid->addWidget(SKeepDays, 0, 3);
  grid->addWidget(CPruneForSpace, 1, 0, 1, 4);
  grid->setColumnStretch(4, 1);
  const QString tip = tr(
      "保存のあとで、Level-0 とそれに続く保存（系列）ごとに古い保存を削除します。新しい系列から指定の数と、"
      "最後の保存が指定の日数より新しい系列は残します。最新の系列と上書き保存は削除しません。");
  for (QWidget* w : std::initializer_list<QWidget*>{FPrune, SKeepChains, SKeepDays}) w->setToolTip(tip);
  CPruneForSpace->setToolTip(tr(
      "保存先の残量が制限値を下回ったとき、残す設定にあたらない最も古い系列から削除して空きを作ります。"));
  return FPrune;
}

void FSetting::ApplyEnableRules() {
  // The condition buttons keep their choice while greyed out.
  const bool compress = ComplexType2->isChecked();
  ComplexSetting1->setEnabled(compress);
  ComplexSetting2->setEnabled(compress);
  BTypeSetting->setEnabled(!ComplexSetting2->isChecked());
  TRsvSize->setEnabled(CRsvSizeChk->isChecked());
  TPathLen->setEnabled(CPathLen->isChecked());
}

void FSetting::BTypeSetting_Click() {
  FNoCompType types(m_, mainWindow(), this);
  types.exec();
}

void FSetting::OK_Click() {
  SettingsChoice c;
  c.compress = !ComplexType1->isChecked();
  c.compressAlways = !ComplexSetting1->isChecked();
  c.chkVolSer = CVolSer->isChecked();
  c.debugMode = DebModeSel->currentIndex();
  c.rsvSizeChk = CRsvSizeChk->isChecked();
  c.rsvSize = TRsvSize->text();
  c.delErrFile = CDElErrFile->isChecked();
  c.lockFile = CLockFile->isChecked();
  c.pathLenMode = CPathLen->isChecked();
  c.pathLen = TPathLen->text();
  c.calUseSize = CCalUseSize->isChecked();
  c.staleDays = TStaleDays->text();
  c.keepChains = SKeepChains->value();
  c.keepDays = SKeepDays->value();
  c.pruneForSpace = CPruneForSpace->isChecked();
  const SettingsProblem problem = TakeOverSettings(m_, c, changed);
  if (problem == SettingsProblem::StaleDays) {
    const QString typed = TStaleDays->text();
    TStaleDays->setText(QString::number(std::max(m_.set.StaleDays, 0)));
    m_.Warn(Question::OptionNumberInvalid, windowTitle(),
            typed + u'\r' +
                TrWords("qarno::FSetting", "警告までの日数は 0 から %1 までの整数で指定してください（0 または空欄で警告しません）。")
                    .arg(BackupSet::kMaxStaleDays) +
                TrWords("qarno::FSetting", "元の値に戻しました。"));
    TStaleDays->setFocus();
    TStaleDays->selectAll();
    return;
  }
  if (problem != SettingsProblem::None) {
    // The box gets its value back and the dialog stays open for another try.
    const bool reserve = problem == SettingsProblem::RsvSize;
    QLineEdit* box = reserve ? TRsvSize : TPathLen;
    const QString typed = box->text();
    {
      const QSignalBlocker quiet(box);
      box->setText(QString::number(reserve ? m_.set.options.RsvSize : m_.set.options.PathLen));
    }
    m_.Warn(Question::OptionNumberInvalid, windowTitle(),
            typed + u'\r' +
                (reserve ? TrWords("qarno::FSetting", "残量制限の値は %1 から %2 までの整数で指定してください。").arg(kRsvSizeMin)
                         : TrWords("qarno::FSetting", "文字数制限の値は %1 から %2 までの整数で指定してください。").arg(kPathLenMin))
                    .arg(kOptionNumberMax) +
                TrWords("qarno::FSetting", "元の値に戻しました。"));
    box->setFocus();
    box->selectAll();
    return;
  }
  takenOver = true;
  Cancel_Click();
}

void FSetting::Cancel_Click() { done(takenOver ? Accepted : Rejected); }

// ---------------------------------------------------------------------------------------

FNoCompType::FNoCompType(Module1& m, QWidget* mainWindow, QWidget* parent)
    : ChildDialog(mainWindow, m.settings, QStringLiteral("NoCompTypeTop"), QStringLiteral("NoCompTypeLeft"),
                  FirstPlace::AtMain),
      m_(m) {
  if (parent) setParent(parent, windowFlags());
  setObjectName(QStringLiteral("FNoCompType"));
  setWindowTitle(m.ProgramName);
  Frame1 = Frame(this, "Frame1", tr("圧縮しないファイルタイプ"));
  LNoCompType = Named(new QListWidget(Frame1), "LNoCompType");
  Text1 = Named(new QLineEdit(this), "Text1");
  BAdd = Button(this, "BAdd", tr("追加"));
  BDel = Button(this, "BDel", tr("削除"));
  BInit = Button(this, "BInit", tr("標準"));
  BOK = Button(this, "BOK", tr("閉じる"));
  LNoCompType->addItems(m.NoCompTypes);

  (new QVBoxLayout(Frame1))->addWidget(LNoCompType);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Frame1, 0, 0, 5, 1);
  grid->addWidget(Text1, 5, 0);
  grid->addWidget(BAdd, 5, 1);
  grid->addWidget(BDel, 0, 1);
  grid->addWidget(BInit, 1, 1);
  grid->addWidget(BOK, 3, 1);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(0, 1);
  SetSizeTwips(3600, 3600);
  SetMinimumTwips(2800, 2800);

  connect(Text1, &QLineEdit::returnPressed, this, &FNoCompType::BAdd_Click);
  connect(BAdd, &QPushButton::clicked, this, &FNoCompType::BAdd_Click);
  connect(BDel, &QPushButton::clicked, this, &FNoCompType::BDel_Click);
  connect(BInit, &QPushButton::clicked, this, &FNoCompType::BInit_Click);
  connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
}

void FNoCompType::BAdd_Click() {
  QStringList items;
  for (int i = 0; i < LNoCompType->count(); ++i) items += LNoCompType->item(i)->text();
  const QString typed = Text1->text();
  Text1->clear();
  switch (AddNoCompType(items, typed)) {
    case NoCompTypeAdd::Added: LNoCompType->addItem(items.last()); break;
    case NoCompTypeAdd::Unusable:
      m_.Warn(Question::NoCompTypeUnusable, windowTitle(),
              typed.trimmed() + u'\r' + TrWords("qarno::FNoCompType", "ファイルタイプに「,」と「\"」は使えません。"));
      break;
    case NoCompTypeAdd::Empty:
    case NoCompTypeAdd::Duplicate: break;
  }
}

void FNoCompType::BDel_Click() {
  QListWidgetItem* item = LNoCompType->currentItem();
  if (!item || !item->isSelected()) return;
  delete LNoCompType->takeItem(LNoCompType->row(item));
}

void FNoCompType::BInit_Click() {
  LNoCompType->clear();
  LNoCompType->addItems(DefaultNoCompTypes());
}

void FNoCompType::done(int result) {
  // There is no cancel: the list as it stands is the program's list from now on.
  QStringList items;
  for (int i = 0; i < LNoCompType->count(); ++i) items += LNoCompType->item(i)->text();
  m_.NoCompTypes = items;
  ChildDialog::done(result);
}

}  // namespace qarno
