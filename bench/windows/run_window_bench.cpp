// SPDX-License-Identifier: GPL-3.0-or-later
// The backup run window's costs, on Qt's offscreen platform:
//   1. the result list rebuilt (DispSelSaveList) over a recorded run of 32,765 rows, with
//      the grid laid out and drawn again — goal under 0.2 s;
//   2. a Level-0 run of 30,000 files with the run window open (its 300 ms progress timer,
//      the grids, the event loop turning at every yield) next to the same run without
//      windows, as the command line runs it — goal at most 1.1 times as long.
// Runs are alternated so that both see the same machine load; medians are printed.
//
//   run_window_bench [RUNS] [WORKDIR]     (RUNS default 3; WORKDIR default under /dev/shm)
#include "app/Program.h"
#include "engine/FSaveExec.h"
#include "engine/windows/RunWindow.h"
#include "mainwin/Qarno.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/QtPrompter.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
using namespace qarno;

constexpr int kFiles = 30000;
constexpr int kDirs = 300;
constexpr int kListRows = 32765;  // the most rows a save list holds, heading included
const QString kListSave = QStringLiteral("qrn20240101_1");

QString root;  // host folder of drive D:

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void WriteSet(const QString& name, const QString& level) {
  WriteBytes(root + QStringLiteral("/home/SetDir/") + name + QStringLiteral(".qrn"),
             QStringLiteral("#Version 1.10\r\ndir=D:\\dest\r\n#SaveLevel=%1\r\n#ComplexTypeMode=0\r\n#RsvSizeChk=0\r\n"
                            "#RsvSize=0\r\n#PathLen=260\r\n#CalUseSize=0\r\nD:\\src\r\n")
                 .arg(level)
                 .toUtf8());
}

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// 1. The list view over 32,765 rows.
std::vector<double> TimeListRebuilds(int runs) {
  QByteArray csv = "\"D:\\src\",----D,0,2024/01/01 10:00:00,2," + kListSave.toUtf8() + ",,,,0,\r\n";
  const char* flags[] = {"2", "3", "-2", "3"};
  for (int i = 1; i < kListRows - 1; ++i)
    csv += QStringLiteral("\"D:\\src\\d%1\\file%2.txt\",---A-,%3,2024/01/01 10:00:00,%4,%5,,,,0,\r\n")
               .arg(i / 100, 3, 10, QLatin1Char('0'))
               .arg(i, 5, 10, QLatin1Char('0'))
               .arg(1000 + i)
               .arg(QLatin1String(flags[i % 4]), kListSave)
               .toUtf8();
  WriteBytes(root + QStringLiteral("/dest/list/") + kListSave + QStringLiteral(".csv"), csv);
  WriteSet(QStringLiteral("list"), QStringLiteral("1"));
  WriteBytes(root + QStringLiteral("/home/SetDir/list.qrl"),
             "#Version 1.10\r\n" + kListSave.toUtf8() + ",Level-0,100,D:\\dest,,,,2024/01/01 10:00:00,00:00:05,\"\",0\r\n");

  QtPrompter ui;
  Program program(ui);
  DesktopWindows windows;
  QarnoWindow w(program, windows);
  w.quit = [](int) {};
  w.Form_Load(QStringLiteral("list"));
  w.SelectHistoryRow(1);
  w.ShowRecordedRun();
  auto* r = qobject_cast<SaveExecWindow*>(w.OpenChild());
  std::vector<double> ms;
  if (!r) {
    std::fprintf(stderr, "run_window_bench: the recorded run did not open\n");
    return ms;
  }
  QElapsedTimer wait;
  wait.start();
  while (!r->SelSaveList->isVisible() && wait.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 10);
  if (r->selSaveListModel->rowCount() != kListRows - 1) {
    std::fprintf(stderr, "run_window_bench: the recorded run shows %d rows\n", r->selSaveListModel->rowCount());
    return ms;
  }
  for (int i = 0; i < runs; ++i) {
    for (int selection : {1, 0}) {  // only the copied entries, then the whole list
      QElapsedTimer t;
      t.start();
      r->ListSel_Click(selection);
      r->SelSaveList->viewport()->repaint();
      if (selection == 0) ms.push_back(t.nsecsElapsed() / 1e6);
    }
  }
  r->Cancel_Click();
  while (program.m->OpenDialogKind != DialogKind::None) QApplication::processEvents(QEventLoop::AllEvents, 10);
  return ms;
}

// 2. Level-0 with and without the window. Each is timed from the run's first yield (the
// start of the scan) to the end of OK_Click.
void FreshDestination() {
  QDir(root + QStringLiteral("/dest/bench")).removeRecursively();
  QFile::remove(root + QStringLiteral("/home/SetDir/bench.qrl"));
  QFile::remove(root + QStringLiteral("/home/SetDir/bench.log"));
}

bool CheckRun(const FSaveExec& run, const char* how) {
  const RunOutcome& o = run.state().outcome;
  if (o.succeeded && o.uncopiedCount == 0 && run.ListInfo().Value(ListInfoTable::Files, 2) == kFiles) return true;
  std::fprintf(stderr, "run_window_bench: the %s run did not copy every file (%lld)\n", how,
               static_cast<long long>(run.ListInfo().Value(ListInfoTable::Files, 2)));
  return false;
}

double HeadlessRun() {
  FreshDestination();
  HeadlessPrompter ui;
  Program program(ui);
  program.Form_Load(QStringLiteral("bench /L0"));
  QElapsedTimer t;
  ui.SetOnYield([&] {
    if (!t.isValid()) t.start();
  });
  program.main->OpenChild(DialogKind::SaveExec, SaveExecMode::Run);
  FSaveExec run(*program.m, *program.main);
  run.Form_Load();
  run.OK_Click();
  const double ms = t.nsecsElapsed() / 1e6;
  program.main->ChildClosed();
  return CheckRun(run, "headless") ? ms : -1;
}

double WindowRun() {
  FreshDestination();
  QtPrompter ui;
  Program program(ui);
  DesktopWindows windows;
  QarnoWindow w(program, windows);
  w.quit = [](int) {};
  w.Form_Load(QStringLiteral("bench /L0"));
  QElapsedTimer t;
  ui.SetOnYield([&] {
    if (!t.isValid()) t.start();
  });
  w.BackUp_Click();
  auto* r = qobject_cast<SaveExecWindow*>(w.OpenChild());
  if (!r) return -1;
  double ms = -1;
  while (ms < 0) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // OK_Click runs inside the event processing above; this is right after it returned.
    if (t.isValid() && !r->Running()) ms = t.nsecsElapsed() / 1e6;
  }
  const bool ok = CheckRun(r->run, "window");
  r->Cancel_Click();
  while (program.m->OpenDialogKind != DialogKind::None) QApplication::processEvents(QEventLoop::AllEvents, 10);
  Settle();
  return ok ? ms : -1;
}

// The offscreen platform says at every window that it cannot do what a desktop does.
QtMessageHandler previousHandler = nullptr;
void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("This plugin does not support"))) return;
  if (previousHandler) previousHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
  previousHandler = qInstallMessageHandler(Quiet);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 3);
  std::unique_ptr<QTemporaryDir> temp;
  if (argc > 2) {
    root = QString::fromLocal8Bit(argv[2]);
  } else {
    temp = std::make_unique<QTemporaryDir>(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/qarno-winbench.XXXXXX")
                                                                      : QDir::tempPath() + QStringLiteral("/qarno-winbench.XXXXXX"));
    root = temp->path();
  }
  // Qarno's world: the folder is drive D:, the program folder and the settings live on it.
  qputenv("QARNO_HOME", QFile::encodeName(root + QStringLiteral("/home")));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
  qputenv("DBUS_SESSION_BUS_ADDRESS", "");  // no notifications from the runs
  QDir().mkpath(root + QStringLiteral("/home/SetDir"));
  WriteBytes(root + QStringLiteral("/config/Qarno/Qarno.conf"), "[Drives]\nD=" + QFile::encodeName(root) + "\n");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  std::printf("Run window benchmark, %s, offscreen, median of %d runs, in %s\n",
              qPrintable(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd"))), runs, qPrintable(root));
  const std::vector<double> list = TimeListRebuilds(runs);
  if (list.empty()) return 1;
  const double listMs = Median(list);

  // The tree: 30,000 files of 1 KB in 300 folders.
  const QByteArray content(1024, 'q');
  for (int i = 0; i < kFiles; ++i)
    if (!WriteBytes(root + QStringLiteral("/src/d%1/f%2.dat").arg(i % kDirs, 3, 10, QLatin1Char('0')).arg(i), content)) {
      std::fprintf(stderr, "run_window_bench: cannot write the tree\n");
      return 1;
    }
  WriteSet(QStringLiteral("bench"), QStringLiteral("0"));
  std::vector<double> windowed, headless;
  for (int i = 0; i < runs; ++i) {
    const double h = HeadlessRun();
    const double w = WindowRun();
    if (h < 0 || w < 0) return 1;
    headless.push_back(h);
    windowed.push_back(w);
  }
  QDir(root + QStringLiteral("/src")).removeRecursively();
  QDir(root + QStringLiteral("/dest")).removeRecursively();
  const double hMs = Median(headless), wMs = Median(windowed);

  std::printf("\n%-48s %12s %12s %8s  %-8s %s\n", "measure", "window", "headless", "ratio", "goal", "result");
  std::printf("%-48s %9.1f ms %12s %8s  %-8s %s\n", "DispSelSaveList, 32,765 rows, grid drawn", listMs, "-", "-",
              "< 200 ms", listMs < 200 ? "met" : "MISSED");
  const double ratio = hMs > 0 ? wMs / hMs : 0;
  std::printf("%-48s %9.1f ms %9.1f ms %7.2fx  %-8s %s\n", "Level-0, 30,000 files (scan to end of run)", wMs, hMs, ratio,
              "<= 1.1x", ratio <= 1.1 ? "met" : "MISSED");
  std::printf("\nrebuilds (ms):");
  for (double v : list) std::printf(" %.1f", v);
  std::printf("\nLevel-0 with the window (ms):");
  for (double v : windowed) std::printf(" %.0f", v);
  std::printf("\nLevel-0 headless (ms):");
  for (double v : headless) std::printf(" %.0f", v);
  std::printf("\n");
  return 0;
}
