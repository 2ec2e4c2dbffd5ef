// SPDX-License-Identifier: GPL-3.0-or-later
// FShutdown and ExitWindowsConfirm.
#include "app/StopSignals.h"
#include "maintenance/windows/ShutdownDialog.h"
#include "mainwin/windows/Placement.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/WidgetKit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace qarno {


namespace {
// What is shut down, as the user knows it on this system.
#ifdef _WIN32
const char* const kCaption = QT_TRANSLATE_NOOP("qarno::FShutdown", "Windows 終了確認");
const char* const kWhat = QT_TRANSLATE_NOOP("qarno::FShutdown", "Windowsを終了します");
#else
const char* const kCaption = QT_TRANSLATE_NOOP("qarno::FShutdown", "コンピューター 終了確認");
const char* const kWhat = QT_TRANSLATE_NOOP("qarno::FShutdown", "コンピューターを終了します");
#endif
}  // namespace

FShutdown::FShutdown(Module1& m, QWidget* mainWindow) : QDialog(mainWindow), m_(m), main_(mainWindow) {
  setObjectName(QStringLiteral("FShutdown"));
  setWindowTitle(tr(kCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  Label1 = Named(new QLabel(tr(kWhat), this), "Label1");
  Label2 = Named(new QLabel(tr("よろしいですか？"), this), "Label2");
  LStatus = Named(new QLabel(this), "LStatus");
  PBar = Named(new QProgressBar(this), "PBar");
  PBar->setRange(0, 100);
  PBar->setValue(0);
  PBar->setTextVisible(false);
  BOK = Named(new QPushButton(QStringLiteral("OK"), this), "BOK");
  BCancel = Named(new QPushButton(tr("取り消し"), this), "BCancel");
  BCancel->setDefault(true);  // Enter keeps the computer on
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);

  auto* box = new QVBoxLayout(this);
  box->addWidget(Label1);
  box->addWidget(Label2);
  box->addWidget(LStatus);
  box->addWidget(PBar);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BOK);
  buttons->addWidget(BCancel);
  box->addLayout(buttons);
  setMinimumWidth(Px(this, 4200));

  FinishControls(this);
  connect(Timer1, &QTimer::timeout, this, &FShutdown::Timer1_Timer);
  connect(BOK, &QPushButton::clicked, this, &FShutdown::BOK_Click);
  connect(BCancel, &QPushButton::clicked, this, &FShutdown::BCancel_Click);
}

void FShutdown::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (Timer1->isActive() || countdown_.Counter() > 0) return;
  tag = QStringLiteral("False");
  m_.BeepAsterisk();
  if (main_) move(main_->frameGeometry().topLeft());
  setWindowState(Qt::WindowNoState);
  LStatus->clear();
  Timer1->start();
}

void FShutdown::Timer1_Timer() {
  if (TakeStopRequest()) {
    // Ctrl+C or SIGTERM: the computer stays on and the program ends.
    stopSignalled = true;
    BCancel_Click();
    return;
  }
  const bool done = countdown_.Tick();
  LStatus->setText(countdown_.StatusText());
  PBar->setValue(countdown_.Progress(PBar->minimum(), PBar->maximum()));
  if (done) {
    Timer1->stop();
    BOK_Click();
  }
}

void FShutdown::BOK_Click() {
  m_.BeepAsterisk();
  tag = QStringLiteral("True");
  Timer1->stop();
  accept();
}

void FShutdown::BCancel_Click() {
  tag = QStringLiteral("False");
  Timer1->stop();
  reject();
}

bool ExitWindowsConfirm(QarnoWindow& main) {
  Module1& m = main.m;
  const DialogKind kind = m.OpenDialogKind;
  // The main window's exit timer and the stop-signal watch act only when no window is
  // open, and must not start another exit (or close the program) under the confirmation.
  m.OpenDialogKind = DialogKind::Shutdown;
  bool agreed = false, stopped = false;
  {
    FShutdown confirm(m, &main);
    confirm.tag = QStringLiteral("False");
    main.SetOpenChild(&confirm);
    confirm.exec();
    main.SetOpenChild(nullptr);
    agreed = confirm.tag == u"True";
    stopped = confirm.stopSignalled;
  }
  m.OpenDialogKind = kind;
  if (stopped) return true;
  if (!agreed) return false;
  main.hide();
  const bool accepted = m.fs.ShutdownComputer();
  main.show();
  if (!accepted) {
    m.WriteLog(QStringLiteral("コンピューターを終了できませんでした。"));
    m.CloseLogFile();
  }
  return accepted;
}

}  // namespace qarno
