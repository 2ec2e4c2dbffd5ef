// SPDX-License-Identifier: GPL-3.0-or-later
// Writes pictures of the main window and of its dialogs, as they look on this display, for
// the documentation: qarno-screenshots OUTDIR SETNAME. Every window is opened without
// waiting for input, drawn, saved as OUTDIR/<name>.png (and <name>-min.png at its minimum
// size), and closed again; nothing of the set is changed, except that the run window's
// pictures come from one more backup run of it.
#include "app/Program.h"
#include "platform/Language.h"
#include "maintenance/windows/HistoryDialogs.h"
#include "maintenance/windows/SettingDialogs.h"
#include "maintenance/windows/ShutdownDialog.h"
#include "engine/windows/RunWindow.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/QtPrompter.h"
#include "mainwin/windows/SetDialogs.h"
#include "restore/windows/FRestoreWindow.h"
#include "restore/windows/FindHistoryWindow.h"
#include "restore/windows/VerifyWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTableView>
#include <cstdio>

namespace qarno {
namespace {

QString outDir;

void Settle(int ms = 250) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The window's picture with a plain title bar drawn above it (the display has no window
// manager to draw one), so that the caption shows too.
void Save(QWidget& w, const QString& name) {
  Settle();
  const QPixmap body = w.grab();
  const int bar = w.fontMetrics().height() + 10;
  QPixmap shot(body.width() + 2, body.height() + bar + 1);
  shot.fill(QColor(0x50, 0x60, 0x78));
  QPainter p(&shot);
  p.setPen(Qt::white);
  p.setFont(w.font());
  p.drawText(QRect(8, 0, shot.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft, w.windowTitle());
  p.drawPixmap(1, bar, body);
  p.end();
  const QString path = outDir + u'/' + name + QStringLiteral(".png");
  if (!shot.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
}

void SaveBoth(QWidget& w, const QString& name) {
  Save(w, name);
  const QSize normal = w.size();
  w.resize(w.minimumSize());
  Save(w, name + QStringLiteral("-min"));
  w.resize(normal);
}

}  // namespace
}  // namespace qarno

int main(int argc, char** argv) {
  using namespace qarno;
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: qarno-screenshots OUTDIR SETNAME\n");
    return 2;
  }
  outDir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(outDir);
  InstallUiLanguage(app, UiLanguage::Japanese);  // the pictures show the program's own texts
  QtPrompter ui;
  Program program(ui);
  if (!program.ok()) {
    std::fprintf(stderr, "%s\n", qPrintable(program.error));
    return 2;
  }
  DesktopWindows windows;
  QarnoWindow w(program, windows);
  w.quit = [](int) {};
  w.Form_Load(QString::fromLocal8Bit(argv[2]));
  w.raise();
  SaveBoth(w, QStringLiteral("main"));
  Module1& m = *program.m;

  // The skip list shown.
  w.Change_Click();
  Save(w, QStringLiteral("main-skiplist"));
  w.Change_Click();

  {
    GetSetName d(m, &w, false);
    d.show();
    SaveBoth(d, QStringLiteral("GetSetName"));
  }
  {
    FDelSetName d(*program.main, &w);
    d.show();
    SaveBoth(d, QStringLiteral("FDelSetName"));
  }
  {
    FSetDir d(m, &w);
    d.show();
    SaveBoth(d, QStringLiteral("FSetDir"));
  }
  {
    FApend d(m, program.fs->drives(), &w, 0, true, -1, nullptr);
    d.show();
    SaveBoth(d, QStringLiteral("FApend"));
  }
  if (!m.set.SaveList.isEmpty()) {
    FApend d(m, program.fs->drives(), &w, 1, true, 0, nullptr);
    d.show();
    Save(d, QStringLiteral("FApend-modify"));
  }
  {
    GetSaveDir d(m, program.fs->drives(), &w, 0, m.MainCaption, m.set.SaveDir);
    d.show();
    SaveBoth(d, QStringLiteral("GetSaveDir"));
  }
  {
    // The question before another set is chosen, as the prompter shows it.
    QMessageBox box(QMessageBox::Warning, m.MainCaption,
                    MessageBoxText(QStringLiteral("（") + m.set.Name + QStringLiteral("）は変更されています。\r保存しますか？")),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &w);
    box.setDefaultButton(QMessageBox::Yes);
    box.show();
    Save(box, QStringLiteral("MsgBox"));
  }
  {
    // The set-name pop-up menu over the set name.
    auto* setName = w.findChild<QLabel*>(QStringLiteral("SetName"));
    auto* setNameMenu = w.findChild<QMenu*>(QStringLiteral("SetNameMenu"));
    w.ShowSetNameMenu(setName->mapToGlobal(QPoint(10, 10)));
    Settle();
    Save(*setNameMenu, QStringLiteral("SetNameMenu"));
    setNameMenu->hide();
  }
  // The settings and history-upkeep dialogs, and the shutdown confirmation.
  {
    FSetting d(m, &w);
    d.show();
    SaveBoth(d, QStringLiteral("settings"));
  }
  {
    FNoCompType d(m, &w);
    d.show();
    SaveBoth(d, QStringLiteral("no-comp-types"));
  }
  {
    FDelHisData d(*program.main, &w);
    d.show();
    if (d.HisTable->model()->rowCount() > 0) d.HisTable->selectRow(0);
    SaveBoth(d, QStringLiteral("delete-history"));
  }
  if (program.main->HisTable.HasData()) {
    w.SelectHistoryRow(1);
    FEditHisData d(w);
    if (d.ShowHisEntry()) {
      d.show();
      SaveBoth(d, QStringLiteral("edit-history"));
    }
  }
  {
    FShutdown d(m, &w);
    d.show();
    d.Timer1->stop();
    for (int i = 0; i < 3; ++i) d.Timer1_Timer();
    Save(d, QStringLiteral("shutdown"));
    d.reject();
  }
  {
    // The run window during the copy and at the end, then the recorded-run view of the run.
    bool running = false;
    ui.SetOnYield([&] {
      auto* r = qobject_cast<SaveExecWindow*>(w.OpenChild());
      if (running || !r || r->run.state().progress.phase != phase::Copy) return;
      if (r->run.state().progress.processedCount * 2 < r->run.state().progress.rowCount) return;
      running = true;
      r->Timer1_Timer();
      Save(*r, QStringLiteral("run-window-running"));
    });
    m.set.SaveLevel = Level::Level0;  // a run that copies everything
    w.BackUp_Click();
    auto* r = qobject_cast<SaveExecWindow*>(w.OpenChild());
    QElapsedTimer wait;
    wait.start();
    while (r && (r->Running() || !r->run.state().outcome.succeeded) && wait.elapsed() < 30000) Settle(50);
    ui.SetOnYield(nullptr);
    if (r) {
      r->Timer1_Timer();
      Save(*r, QStringLiteral("run-window-done"));
      r->Cancel_Click();
    }
    while (m.OpenDialogKind != DialogKind::None && wait.elapsed() < 30000) Settle(50);
    w.SelectHistoryRow(1);
    w.ShowRecordedRun();
    if (auto* v = qobject_cast<SaveExecWindow*>(w.OpenChild())) {
      while (!v->SelSaveList->isVisible() && wait.elapsed() < 30000) Settle(50);
      Save(*v, QStringLiteral("recorded-run"));
      v->Cancel_Click();
      while (m.OpenDialogKind != DialogKind::None && wait.elapsed() < 30000) Settle(50);
    }
  }
  if (program.main->HisTable.HasData()) {
    // The restore window over the newest run, a folder ticked and an item found.
    w.SelectHistoryRow(1);
    program.main->OpenChild(DialogKind::Restore, SaveExecMode::Run);
    FRestoreWindow* r = OpenRestoreWindow(w, [] {});
    r->initTrigger = false;
    r->FormInit();
    RestoreListModel& list = *r->listModel;
    for (int i = 1; i < list.rowCount(); ++i) {
      if (r->restore.table()[i + 1].IsDirectory()) {
        list.setData(list.index(i), Qt::Checked, Qt::CheckStateRole);
        break;
      }
    }
    r->SearchName->setText(QStringLiteral("readme"));
    r->Search_Click();
    Save(*r, QStringLiteral("restore-window"));
    r->close();
    program.main->ChildClosed();
  }
  if (program.main->HisTable.HasData()) {
    // The verify window after a quick verify of the newest run.
    w.SelectHistoryRow(1);
    FVerify d(w, 1);
    d.show();
    d.Start_Click();
    Save(d, QStringLiteral("verify"));
  }
  if (program.main->HisTable.HasData()) {
    // "履歴から探す" from the restore window: every version of the readme across the runs.
    w.SelectHistoryRow(1);
    program.main->OpenChild(DialogKind::Restore, SaveExecMode::Run);
    FRestoreWindow* r = OpenRestoreWindow(w, [] {});
    r->initTrigger = false;
    r->FormInit();
    r->SearchName->setText(QStringLiteral("readme"));
    r->FindInHistory_Click();
    QElapsedTimer wait;
    wait.start();
    while (r->findHistory && (!r->findHistory->isVisible() || r->findHistory->Searching() ||
                              r->findHistory->Status->text().startsWith(QStringLiteral("履歴から探して"))) &&
           wait.elapsed() < 30000)
      Settle(50);
    if (FindHistoryWindow* d = r->findHistory) {
      Save(*d, QStringLiteral("find-history"));
      d->close();
      Settle(50);
    }
    r->close();
    program.main->ChildClosed();
  }
  w.hide();
  return 0;
}
