// SPDX-License-Identifier: GPL-3.0-or-later
// The Qarno program. Everything without windows (--help, --version, the headless automatic
// run) runs here on QtCore alone; the windows, and with them the widget libraries, are
// loaded from the desktop library only when a display is there to show them on.
#include "app/Program.h"
#include "app/QarnoConsole.h"
#include "platform/Language.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The folder of this executable, symbolic links resolved (no QCoreApplication exists yet:
// the windows make their own).
QString ExecutableFolder(const char* argv0) {
#ifdef _WIN32
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
  if (length > 0 && length < sizeof path / sizeof path[0])
    return QFileInfo(QString::fromWCharArray(path, int(length))).absolutePath();
#else
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  if (const QString target = self.canonicalFilePath(); !target.isEmpty()) return QFileInfo(target).absolutePath();
#endif
  return argv0 ? QFileInfo(QString::fromLocal8Bit(argv0)).canonicalPath() : QString();
}

// The desktop library: beside the program (a build folder, Windows), or in the private
// library folder of an installed Qarno (bin/../lib/qarno).
QString DesktopLibraryPath(const QString& folder) {
#ifdef _WIN32
  const QString name = QStringLiteral("qarno-windows.dll");
  const QStringList candidates = {folder + QLatin1Char('/') + name};
#else
  const QString name = QStringLiteral("qarno-windows.so");
  const QStringList candidates = {folder + QLatin1Char('/') + name, folder + QStringLiteral("/../lib/qarno/") + name};
#endif
  for (const QString& candidate : candidates)
    if (QFileInfo(candidate).isFile()) return candidate;
  return candidates.front();
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = qarno::RunQarnoWithoutWindows(argc, argv); status >= 0) return status;
  QLibrary windows(DesktopLibraryPath(ExecutableFolder(argc > 0 ? argv[0] : nullptr)));
  using Entry = int (*)(int, char**);
  const auto entry = windows.load() ? reinterpret_cast<Entry>(windows.resolve("qarno_desktop_main")) : nullptr;
  if (!entry) {
    // No application object is left from before: one is made for the message's language.
    QCoreApplication app(argc, argv);
    qarno::InstallUiLanguage(app);
    const QString text = QCoreApplication::translate("QarnoMain", "Qarno: ウィンドウを読み込めませんでした: %1");
    std::fprintf(stderr, "%s\n", text.arg(windows.errorString()).toLocal8Bit().constData());
    return qarno::kExitNoSet;
  }
  // Never unloaded: the windows' statics live until the process ends.
  return entry(argc, argv);
}
