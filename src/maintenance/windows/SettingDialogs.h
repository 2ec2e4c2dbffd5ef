// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run options dialog (FSetting) and the list of file types never packed (FNoCompType),
// over the main window. The work is the core's (maintenance/SettingsChoice.h, NoCompTypes.h).
#include "common/Module1.h"
#include "mainwin/windows/Placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace qarno {

// FSetting: the run options and the debug mode. OK takes them over; `changed` tells
// whether the set now counts as changed.
class FSetting : public ChildDialog {
  Q_OBJECT
 public:
  FSetting(Module1& m, QWidget* mainWindow);

  QGroupBox *FComplexType, *FComplexSetting, *FSerChk, *FRsvSizeChk, *FDElErrFile, *FLockFile, *FPathLen,
      *FCalUseSize, *Frame1, *FStaleDays;
  QRadioButton *ComplexType1, *ComplexType2, *ComplexSetting1, *ComplexSetting2;
  QPushButton* BTypeSetting;
  QCheckBox *CVolSer, *CRsvSizeChk, *CDElErrFile, *CLockFile, *CPathLen, *CCalUseSize;
  QLineEdit *TRsvSize, *TPathLen;
  // "警告までの日数": the number alone switches the warning, 0 or blank being off.
  QLineEdit* TStaleDays;
  QComboBox* DebModeSel;
  // "古い保存の整理": the chains and days to keep (0 is off) and pruning for space.
  QGroupBox* FPrune;
  QSpinBox *SKeepChains, *SKeepDays;
  QCheckBox* CPruneForSpace;
  QPushButton *OK, *Cancel;

  bool changed = false;  // the dialog's changed flag
  bool takenOver = false;

  void Form_Load();
  void OK_Click();
  void Cancel_Click();
  void BTypeSetting_Click();

 private:
  void ApplyEnableRules();
  QGroupBox* MakePruneFrame();
  Module1& m_;
};

// FNoCompType: the list of types never packed; every change is taken over when it closes.
class FNoCompType : public ChildDialog {
  Q_OBJECT
 public:
  FNoCompType(Module1& m, QWidget* mainWindow, QWidget* parent = nullptr);

  QGroupBox* Frame1;
  QListWidget* LNoCompType;
  QLineEdit* Text1;
  QPushButton *BAdd, *BDel, *BInit, *BOK;

  void BAdd_Click();
  void BDel_Click();
  void BInit_Click();
  void done(int result) override;

 private:
  Module1& m_;
};

}  // namespace qarno
