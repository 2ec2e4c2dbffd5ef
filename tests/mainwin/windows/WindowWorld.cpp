// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/WindowWorld.h"

#include "common/Settings.h"
#include "engine/windows/RunWindow.h"
#include "restore/windows/VerifyWindow.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace qarno::test {

namespace {
int KindOf(const QarnoWindow& main) { return static_cast<int>(main.m.OpenDialogKind); }
}  // namespace

void RecordingChildren::OpenSaveExec(QarnoWindow& main, SaveExecMode execMode, std::function<void()> closed) {
  calls += QStringLiteral("FSaveExec %1 kind %2").arg(static_cast<int>(execMode)).arg(KindOf(main));
  if (runForReal) {
    OpenRunWindow(main, std::move(closed));
    return;
  }
  QTimer::singleShot(0, [closed] { closed(); });
}

void RecordingChildren::OpenRestore(QarnoWindow& main, std::function<void()> closed) {
  calls += QStringLiteral("FRestore kind %1").arg(KindOf(main));
  if (onRestore) {
    onRestore(main, std::move(closed));
    return;
  }
  QTimer::singleShot(0, [closed] { closed(); });
}

bool RecordingChildren::OpenSetting(QarnoWindow& main) {
  calls += QStringLiteral("FSetting kind %1").arg(KindOf(main));
  if (onSetting) return onSetting(main);
  return settingChanged;
}

void RecordingChildren::OpenVerify(QarnoWindow& main, int row) {
  calls += QStringLiteral("FVerify row %1 kind %2").arg(row).arg(KindOf(main));
  OpenVerifyWindow(main, row);
}

void RecordingChildren::OpenNoCompType(QarnoWindow&) { calls += QStringLiteral("FNoCompType"); }

void RecordingChildren::OpenDelHisData(QarnoWindow& main) {
  calls += QStringLiteral("FDelHisData kind %1").arg(KindOf(main));
  if (onDelHisData) onDelHisData(main);
}

void RecordingChildren::OpenEditHisData(QarnoWindow& main, int row) {
  calls += QStringLiteral("FEditHisData row %1 kind %2").arg(row).arg(KindOf(main));
  if (onEditHisData) onEditHisData(main, row);
}

bool RecordingChildren::ConfirmShutdown(QarnoWindow& main) {
  calls += QStringLiteral("FShutdown");
  if (onShutdown) return onShutdown(main);
  return shutdownAgreed;
}

MainControls::MainControls(QarnoWindow& w) {
  const auto find = [&w](auto*& control, const char* name) {
    control = w.findChild<std::remove_reference_t<decltype(control)>>(QLatin1String(name));
    if (!control) ADD_FAILURE() << "no control " << name << " in the main window";
  };
  find(FSetName, "FSetName");
  find(FSaveDir, "FSaveDir");
  find(FSaveLevel, "FSaveLevel");
  find(SFrame, "SFrame");
  find(FHistory, "FHistory");
  find(SetName, "SetName");
  find(StaleMark, "StaleMark");
  find(SLabel, "SLabel");
  find(BSetName, "BSetName");
  find(BSaveDir, "BSaveDir");
  find(Apend, "Apend");
  find(Remove, "Remove");
  find(Modify, "Modify");
  find(Change, "Change");
  find(BackUp, "BackUp");
  find(Restore, "Restore");
  find(BExit, "BExit");
  find(SaveDir, "SaveDir");
  find(SaveLevel, "SaveLevel");
  find(SList, "SList");
  find(HisTable, "HisTable");
  find(FileMenu, "FileMenu");
  find(OptionMenu, "OptionMenu");
  find(EditMenu, "EditMenu");
  find(HelpMenu, "HelpMenu");
  find(SetNameMenu, "SetNameMenu");
  find(SetNameSelect, "SetNameSelect");
  find(HisTableMenu, "HisTableMenu");
  find(FileSaveAs, "FileSaveAs");
  find(OptionSetting, "OptionSetting");
  find(OptionNoCompType, "OptionNoCompType");
  find(OptionSetDir, "OptionSetDir");
  find(EditSetNameDelete, "EditSetNameDelete");
  find(EditHistoryEdit, "EditHistoryEdit");
  find(EditHistoryDisp, "EditHistoryDisp");
  find(EditHistoryVerify, "EditHistoryVerify");
  find(EditHistoryDelete, "EditHistoryDelete");
  find(HelpHelp, "HelpHelp");
  find(HelpVersion, "HelpVersion");
  find(HelpUnLhaVersion, "HelpUnLhaVersion");
  find(HisTableDisp, "HisTableDisp");
  find(HisTableVerify, "HisTableVerify");
  hisModel = HisTable ? dynamic_cast<HistoryModel*>(HisTable->model()) : nullptr;
  listModel = SList ? dynamic_cast<EntryListModel*>(SList->model()) : nullptr;
}

WindowWorld::WindowWorld() { MapDrive(u'T', env.root()); }

namespace {
// Dialog handlers still waiting: a test must not leave one behind for the next test.
QList<QPointer<QTimer>>& PendingHandlers() {
  static QList<QPointer<QTimer>> pending;
  return pending;
}
}  // namespace

WindowWorld::~WindowWorld() {
  for (const QPointer<QTimer>& t : PendingHandlers()) {
    if (!t) continue;
    ADD_FAILURE() << "a dialog handler was never used: " << t->objectName().toStdString();
    delete t.data();
  }
  PendingHandlers().clear();
  if (w) {
    w->hide();
    w.reset();
  }
  program.reset();
}

void WindowWorld::MapDrive(QChar letter, const QString& hostDir) {
  QSettings store(SettingsStorePath(), QSettings::IniFormat);
  store.setValue(QStringLiteral("Drives/") + letter, hostDir);
  store.sync();
}

QString WindowWorld::SetFile(const QString& name) const {
  return env.root() + QStringLiteral("/prog/SetDir/") + name + QStringLiteral(".qrn");
}

void WindowWorld::WriteSet(const QString& name, const QStringList& lines, const QStringList& history) {
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\") + name + QStringLiteral(".qrn"),
                (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
  if (!history.isEmpty())
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\") + name + QStringLiteral(".qrl"),
                  ((QStringList{QStringLiteral("#Version 1.10")} + history).join(QStringLiteral("\r\n")) +
                   QStringLiteral("\r\n"))
                      .toUtf8());
}

void WindowWorld::Start(const QString& commandLine) {
  program = std::make_unique<Program>(env.ui);
  ASSERT_TRUE(program->ok()) << program->error.toStdString();
  program->fs->SetPowerOff([this] {
    ++powerOffs;
    return powerOffAccepted;
  });
  w = std::make_unique<QarnoWindow>(*program, children);
  w->openUrl = [](const QUrl&) { return true; };
  w->quit = [](int) {};
  w->Form_Load(commandLine);
}

void WindowWorld::Restart(const QString& commandLine) {
  w->ExitCommand();
  w.reset();
  program.reset();
  Start(commandLine);
}

void OnModal(const QString& objectName, std::function<void(QWidget&)> act, int timeoutMs) {
  auto* timer = new QTimer;
  timer->setObjectName(objectName);
  PendingHandlers().append(timer);
  auto* elapsed = new QElapsedTimer;
  elapsed->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [=] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->objectName() == objectName && modal->isVisible()) {
      timer->stop();
      PendingHandlers().removeAll(timer);
      timer->deleteLater();
      delete elapsed;
      act(*modal);
      // A handler that returned early (a failed assertion) must not leave the dialog open.
      if (modal->isVisible()) {
        ADD_FAILURE() << objectName.toStdString() << " was left open by its handler";
        if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
      }
      return;
    }
    if (elapsed->elapsed() > timeoutMs) {
      timer->stop();
      PendingHandlers().removeAll(timer);
      timer->deleteLater();
      delete elapsed;
      ADD_FAILURE() << "no modal " << objectName.toStdString() << " appeared";
      if (modal) {
        if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
      }
    }
  });
  timer->start();
}

QStringList PlainSet(const QString& saveDir, const QStringList& saveList, int level) {
  QStringList lines = {QStringLiteral("#Version 1.10"),
                       QStringLiteral("dir=") + saveDir,
                       QStringLiteral("#SaveLevel=%1").arg(level),
                       QStringLiteral("#ComplexTypeMode=0"),
                       QStringLiteral("#RsvSizeChk=0"),
                       QStringLiteral("#CalUseSize=0"),
                       QStringLiteral("#PathLen=260")};
  return lines + saveList;
}

void PickHistoryRow(QarnoWindow& w, int row) {
  const MainControls ui(w);
  const QRect cell = ui.HisTable->visualRect(ui.hisModel->index(row - 1, 0));
  QTest::mouseClick(ui.HisTable->viewport(), Qt::LeftButton, {}, cell.center());
}

void DoubleClick(QWidget* w, QPoint at) {
  QTest::mouseClick(w, Qt::LeftButton, {}, at);
  QTest::mouseDClick(w, Qt::LeftButton, {}, at);
}

void RightClick(QWidget* w, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

}  // namespace qarno::test
