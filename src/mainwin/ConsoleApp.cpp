#include "mainwin/ConsoleApp.h"

#include "common/Settings.h"
#include "mainwin/Qarno.h"
#include "platform/HostPlatform.h"
#include "platform/ProgramFolder.h"
#include "platform/WinPath.h"

#include <cstdio>

namespace qarno {

QString JoinCommandLine(const QStringList& arguments) {
  QStringList parts;
  for (const QString& a : arguments) parts += a.contains(u' ') ? u'"' + a + u'"' : a;
  return parts.join(u' ');
}

namespace {
void Print(const QString& text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }
}  // namespace

int RunConsole(const QStringList& arguments) {
  auto store = OpenSettingsStore();
  HostPlatform fs(LoadDriveTable(*store));
  HeadlessPrompter ui;
  const QString hostFolder = ProgramFolderHost();
  const auto programFolder = fs.drives().FromHost(hostFolder);
  if (!programFolder) {
    std::fprintf(stderr, "Qarno: the program folder %s lies on no drive of the drive table\n",
                 hostFolder.toLocal8Bit().constData());
    return kExitNoSet;
  }
  Module1 m(fs, ui, *programFolder);
  m.ProgramVersion = Qarno::MakeProgramVersion(QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
  ui.SetLogSink([&m](const QString& line) { m.WriteLog(line); });
  Qarno main(m);
  main.store = store.get();
  main.Form_Load(JoinCommandLine(arguments));

  if (m.set.Name.isEmpty()) {
    std::fprintf(stderr, "usage: Qarno SETNAME [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]\n");
    main.SaveIfChanged();
    return kExitNoSet;
  }
  if (!main.setLoaded) {
    main.SaveIfChanged();
    return kExitNoSet;
  }
  Print(QStringLiteral("セット名: ") + m.set.Name);
  Print(QStringLiteral("保存先: ") + m.set.SaveDir);
  Print(QStringLiteral("保存レベル: ") + Qarno::GetSaveLevelCaption(m.set.SaveLevel));
  Print(QStringLiteral("保存リスト: %1 / スキップリスト: %2 / 履歴: %3")
            .arg(m.set.SaveList.size())
            .arg(m.set.SkipList.size())
            .arg(main.HisTable.Rows() - 1));
  int status = kExitOk;
  if (m.AutoRunMode >= 0) {
    std::fprintf(stderr, "Qarno: backup runs are not built into this version yet\n");
    status = kExitFailed;
  }
  if (!main.SaveIfChanged()) status = kExitFailed;
  return status;
}

}  // namespace qarno
