// SPDX-License-Identifier: GPL-3.0-or-later
// The restore window with a listing of 32,765 entries (the most a save list holds): how long
// the window takes to be ready (reading the listing, filling the list, drawing it), to tick
// the drive's root (every entry), to search from the top to the last item, and how long
// "履歴から探す" takes to show every version of every file across kRuns such runs (each run
// holding a copy of everything: kRuns versions of each path). Runs offscreen in a temporary
// world of its own; prints one line per figure.
#include "app/Program.h"
#include "common/Settings.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/QarnoWindow.h"
#include "restore/windows/FRestoreWindow.h"
#include "restore/RunFinder.h"
#include "restore/windows/FindHistoryWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

namespace {

using namespace qarno;

constexpr int kEntries = 32765;
constexpr int kFolders = 100;
constexpr int kRuns = 10;

// Answers every question so that the work goes on (Ignore where offered), and yields to the
// event loop as the desktop's prompter does.
class GoOnPrompter : public Prompter {
 public:
  Answer MsgBox(const Message& message) override {
    if (Offers(message.buttons, Answer::Ignore)) return Answer::Ignore;
    if (Offers(message.buttons, Answer::Yes)) return Answer::Yes;
    return Answer::OK;
  }
  void Beep(BeepKind) override {}
  void DoEvents() override { QCoreApplication::processEvents(); }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::exit(2);
  }
}

QByteArray SaveName(int run) { return "qrn202401" + QByteArray::number(run + 1).rightJustified(2, '0') + "_01"; }

// The set "bench" saving T:\ to T:\dst, kRuns Level-0 runs whose listings have kEntries
// entries each: the root, kFolders folders and files spread over them, the last one named
// "zzlast.txt".
void MakeWorld(const QString& root) {
  const QString setDir = root + QStringLiteral("/prog/SetDir/");
  WriteFile(setDir + QStringLiteral("bench.qrn"),
            "#Version 1.10\r\ndir=T:\\dst\r\n#SaveLevel=2\r\n#ComplexTypeMode=0\r\n#RsvSizeChk=0\r\n#CalUseSize=0\r\n"
            "#PathLen=260\r\nT:\\\r\n");
  QByteArray history = "#Version 1.10\r\n";
  for (int run = kRuns - 1; run >= 0; --run)  // newest first
    history += SaveName(run) + ",Level-0,0,T:\\dst,,,,2024/01/" + QByteArray::number(run + 1).rightJustified(2, '0') +
               " 10:00:00,00:00:01,\"\",0\r\n";
  WriteFile(setDir + QStringLiteral("bench.qrl"), history);
  for (int run = 0; run < kRuns; ++run) {
    QByteArray csv;
    csv.reserve(kEntries * 110);
    const QByteArray tail = ",2024/01/01 10:00:00,3," + SaveName(run) + ",1234-ABCD,BENCH,,0,\r\n";
    csv += "\"T:\\\",----D,0" + tail;
    int written = 1;
    const int filesPerFolder = (kEntries - 1 - kFolders) / kFolders + 1;
    for (int d = 0; d < kFolders && written < kEntries; ++d) {
      const QByteArray folder = "T:\\folder" + QByteArray::number(d).rightJustified(3, '0');
      csv += "\"" + folder + "\",----D,0" + tail;
      ++written;
      for (int f = 0; f < filesPerFolder && written < kEntries; ++f) {
        const bool last = written == kEntries - 1;
        const QByteArray name = last ? QByteArray("zzlast.txt") : "file" + QByteArray::number(f).rightJustified(4, '0') + ".txt";
        csv += "\"" + folder + "\\" + name + "\",---A-," + QByteArray::number(1000 + f + run) + tail;
        ++written;
      }
    }
    WriteFile(root + QStringLiteral("/dst/bench/") + QString::fromLatin1(SaveName(run)) + QStringLiteral(".csv"), csv);
  }
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir dir;
  if (!dir.isValid()) return 2;
  const QString root = dir.path();
  QDir(root).mkpath(QStringLiteral("prog/SetDir"));
  QDir(root).mkpath(QStringLiteral("config"));
  qputenv("QARNO_HOME", (root + QStringLiteral("/prog")).toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toLocal8Bit());
  qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray(""));
  QApplication app(argc, argv);
  {
    QSettings store(SettingsStorePath(), QSettings::IniFormat);
    store.setValue(QStringLiteral("Drives/T"), root);
    store.sync();
  }
  MakeWorld(root);

  GoOnPrompter ui;
  Program program(ui);
  if (!program.ok()) {
    std::fprintf(stderr, "%s\n", qPrintable(program.error));
    return 2;
  }
  DesktopWindows children;
  QarnoWindow main(program, children);
  main.quit = [](int) {};
  main.Form_Load(QStringLiteral("bench"));
  main.SelectHistoryRow(1);
  // The main window's hand-over, then the window; its initialisation is timed by itself.
  main.LockControls();
  main.hide();
  program.main->OpenChild(DialogKind::Restore, SaveExecMode::Run);
  FRestoreWindow* w = OpenRestoreWindow(main, [] {});
  w->initTrigger = false;
  QCoreApplication::processEvents();

  QElapsedTimer t;
  t.start();
  w->FormInit();
  QCoreApplication::processEvents();  // the list drawn
  const double ready = Ms(t);
  const int rows = w->listModel->rowCount();
  if (rows != kEntries)
    std::fprintf(stderr, "set %s, save dir %s, history rows %d, save %s, listing %s\n", qPrintable(program.m->set.Name),
                 qPrintable(program.m->set.SaveDir), program.main->HisTable.Rows() - 1,
                 qPrintable(w->restore.state().RestoreSaveName), qPrintable(w->restore.state().ResCsvFile));
  std::printf("restore window ready (listing read, list filled and drawn, %d entries): %.1f ms\n", rows, ready);

  t.restart();
  w->listModel->setData(w->listModel->index(0), Qt::Checked, Qt::CheckStateRole);
  QCoreApplication::processEvents();
  const double tickRoot = Ms(t);
  std::printf("tick the drive root (%d entries marked): %.1f ms\n", w->restore.table().ReservedCount(), tickRoot);

  t.restart();
  w->listModel->setData(w->listModel->index(0), Qt::Unchecked, Qt::CheckStateRole);
  QCoreApplication::processEvents();
  std::printf("untick the drive root (%d entries marked): %.1f ms\n", w->restore.table().ReservedCount(), Ms(t));

  t.restart();
  w->AllSelect_Click();
  QCoreApplication::processEvents();
  std::printf("all select: %.1f ms\n", Ms(t));
  t.restart();
  w->AllClear_Click();
  QCoreApplication::processEvents();
  std::printf("all clear: %.1f ms\n", Ms(t));

  w->RestoreList->setCurrentIndex(QModelIndex());
  w->SearchName->setText(QStringLiteral("ZZLAST"));
  t.restart();
  w->Search_Click();
  QCoreApplication::processEvents();
  const double search = Ms(t);
  std::printf("search from the top to the last item (found at item %d): %.1f ms\n", w->RestoreList->currentIndex().row(),
              search);

  // Every file of every run: the core's search alone, then through the dialog (the search,
  // the timeline model and its first drawing).
  t.restart();
  size_t coreVersions = 0;
  {
    RunFinder finder(*program.m, program.main->HisTable, program.m->set.Name);
    coreVersions = finder.Find(QStringLiteral("*")).versions.size();
  }
  std::printf("find in %d runs, every file, the search alone (%zu versions): %.1f ms\n", kRuns, coreVersions, Ms(t));
  w->SearchName->setText(QStringLiteral("*"));
  t.restart();
  w->FindInHistory_Click();
  FindHistoryWindow* d = w->findHistory;
  while (d && (!d->isVisible() || d->Searching() || d->model->Paths() == 0) && t.elapsed() < 60000)
    QCoreApplication::processEvents();
  QCoreApplication::processEvents();  // the timeline drawn
  const double find = Ms(t);
  const int versions = d ? d->model->Versions() : 0;
  std::printf("find in %d runs, every file (%d paths, %d versions shown): %.1f ms\n", kRuns, d ? d->model->Paths() : 0,
              versions, find);
  if (d) {
    t.restart();
    d->Versions->scrollToBottom();
    d->Versions->expand(d->model->index(d->model->Paths() - 1, 0));
    QCoreApplication::processEvents();
    std::printf("timeline scrolled to the last path and unfolded: %.1f ms\n", Ms(t));
    d->close();
    QCoreApplication::processEvents();
  }

  const bool ok = rows == kEntries && ready < 1000 && tickRoot < 500 && search < 500 &&
                  w->RestoreList->currentIndex().row() == kEntries - 1 && versions == kRuns * (kEntries - 1 - kFolders) &&
                  find < 5000;
  std::printf("%s (limits: ready < 1000 ms, tick < 500 ms, search < 500 ms, find < 5000 ms)\n",
              ok ? "within the limits" : "OVER THE LIMITS");
  program.main->OpenChild(DialogKind::None);
  w->close();
  QCoreApplication::processEvents();
  return ok ? 0 : 1;
}
