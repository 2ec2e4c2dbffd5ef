// SPDX-License-Identifier: GPL-3.0-or-later
// Times the search of a file across a long history (RunFinder::Find): RUNS listings of
// ENTRIES lines each, as a year of daily runs at the largest save list makes them, written
// into a scratch folder, then one search for a single file's versions and one for a folder.
//
//   find_bench DIR [RUNS] [ENTRIES] [REPEAT]   prints "<pattern> <versions> <nanoseconds>"
#include "mainwin/HistoryTable.h"
#include "platform/HostPlatform.h"
#include "restore/RunFinder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: find_bench DIR [RUNS] [ENTRIES] [REPEAT]\n");
    return 2;
  }
  const int runs = args.size() > 2 ? args[2].toInt() : 100;
  const int entries = args.size() > 3 ? args[3].toInt() : 32765;
  const int repeat = args.size() > 4 ? args[4].toInt() : 5;
  using namespace qarno;
  QDir().mkpath(args[1] + QStringLiteral("/dst/bench"));
  DriveTable drives;
  drives.Map(u'W', args[1]);
  HostPlatform fs(drives);
  HeadlessPrompter ui;
  Module1 m(fs, ui, QStringLiteral("W:\\prog"));
  HistoryTable history;
  // Newest first, as the history grid holds them. Every run changes one file in 50 and
  // lists the rest as held by the run before.
  QStringList names;
  for (int r = 0; r < runs; ++r) names += QStringLiteral("qrn2024%1_01").arg(1001 + r, 4, 10, QChar(u'0'));
  for (int r = runs - 1; r >= 0; --r) {
    const int row = history.AddRow(names[r]);
    history.SetCell(row, HistoryEntry::Level, r == 0 ? QStringLiteral("Level-0") : QStringLiteral("Level-2"));
    history.SetCell(row, HistoryEntry::SaveDate, QStringLiteral("2024/10/01 01:00:00"));
    history.SetCell(row, HistoryEntry::SaveDir, QStringLiteral("W:\\dst"));
  }
  for (int r = 0; r < runs; ++r) {
    QByteArray listing;
    listing.reserve(entries * 120);
    for (int i = 0; i < entries; ++i) {
      const int folder = i / 30;
      const bool changed = r == 0 || (i + r) % 50 == 0;
      int holder = r;
      if (!changed) holder = r - 1 - ((r - 1 + i) % 50 + 50) % 50 % std::max(r, 1) % std::max(r, 1);
      if (holder < 0) holder = 0;
      listing += "\"C:\\Users\\someone\\Documents\\project" + QByteArray::number(folder) + "\\file" + QByteArray::number(i) +
                 ".dat\",---A-," + QByteArray::number(1000 + i + r) + ",2024/09/30 12:00:00," + (changed ? "3," : "2,") +
                 names[holder].toLatin1() + ",1A2B-3C4D,BACKUP,,0,\r\n";
    }
    QFile f(args[1] + QStringLiteral("/dst/bench/") + names[r] + QStringLiteral(".csv"));
    if (!f.open(QIODevice::WriteOnly) || f.write(listing) != listing.size()) return 1;
  }
  for (const QString& pattern : {QStringLiteral("*\\file12345.dat"), QStringLiteral("C:\\Users\\someone\\Documents\\project7\\*")}) {
    for (int i = 0; i < repeat; ++i) {
      RunFinder finder(m, history, QStringLiteral("bench"));
      QElapsedTimer t;
      t.start();
      const FindResult r = finder.Find(pattern);
      const qint64 ns = t.nsecsElapsed();
      std::printf("%s %zu %lld\n", qPrintable(pattern), r.versions.size(), static_cast<long long>(ns));
    }
  }
  return 0;
}
