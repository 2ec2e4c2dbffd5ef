// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The confirmation before the computer is shut down after an automatic run (FShutdown), and
// the main window's routine around it.
#include "common/Module1.h"
#include "maintenance/ShutdownCountdown.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace qarno {

class QarnoWindow;

// FShutdown: 30 seconds to cancel the shutdown; `tag` is "True" when the computer is to be
// shut down.
class FShutdown : public QDialog {
  Q_OBJECT
 public:
  FShutdown(Module1& m, QWidget* mainWindow);

  QLabel *Label1, *Label2, *LStatus;
  QProgressBar* PBar;
  QPushButton *BOK, *BCancel;
  QTimer* Timer1;
  QString tag = QStringLiteral("False");
  bool stopSignalled = false;  // Ctrl+C or SIGTERM arrived while it counted

  void Timer1_Timer();
  void BOK_Click();
  void BCancel_Click();
  int Counter() const { return countdown_.Counter(); }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  Module1& m_;
  QWidget* main_;
  ShutdownCountdown countdown_;
};

// Shows FShutdown and, when confirmed, shuts the computer down through the platform (the
// main window hidden meanwhile). True when the program may end: the shutdown was accepted,
// or a stop signal ended the confirmation (the computer then stays on).
bool ExitWindowsConfirm(QarnoWindow& main);

}  // namespace qarno
