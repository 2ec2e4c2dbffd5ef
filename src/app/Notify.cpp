// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Notify.h"

#include "mainwin/Staleness.h"

#include "common/Module1.h"
#include "platform/DriveTable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace qarno {

namespace {
struct Notify {
  Q_DECLARE_TR_FUNCTIONS(Notify)
};
}  // namespace

std::optional<RunNotice> MakeRunNotice(int status, const QString& setName, const QString& saveName,
                                       const QString& what, const QString& logPath, const QString& stale) {
  if (status != 1 && status != 2) return std::nullopt;
  RunNotice n;
  n.failed = status == 2;
  n.summary = n.failed ? Notify::tr("Qarno: バックアップが失敗しました")
                       : Notify::tr("Qarno: コピーできなかったファイルがあります");
  QStringList lines;
  lines += Notify::tr("セット名: %1").arg(setName);
  if (!saveName.isEmpty()) lines += Notify::tr("保存名: %1").arg(saveName);
  if (!what.isEmpty()) lines += what;
  if (!stale.isEmpty()) lines += stale;
  if (!logPath.isEmpty()) lines += Notify::tr("ログ: %1").arg(logPath);
  n.body = lines.join(u'\n');
  n.logPath = logPath;
  return n;
}

std::optional<RunNotice> MakeStaleNotice(const QString& setName, const QString& stale, const QString& logPath) {
  if (stale.isEmpty()) return std::nullopt;
  RunNotice n;
  n.failed = true;  // stays until dismissed: nothing else will remind the user
  n.summary = Notify::tr("Qarno: バックアップが止まっています");
  QStringList lines{Notify::tr("セット名: %1").arg(setName), stale};
  if (!logPath.isEmpty()) lines += Notify::tr("ログ: %1").arg(logPath);
  n.body = lines.join(u'\n');
  n.logPath = logPath;
  return n;
}

bool NotifyStaleSet(const Module1& m, const DriveTable& drives, const HistoryTable& history, const QDateTime& now) {
  if (m.settings.Notify == 0) return false;
  const QString log = drives.ToHost(m.LogFilePath()).value_or(QString());
  const auto notice = MakeStaleNotice(m.set.Name, StaleWarningText(history, m.set.StaleDays, now), log);
  return notice && StartNotifyHelper(*notice);
}

void NotifyUnattendedRun(const Module1& m, const DriveTable& drives, int status, const QString& saveName,
                         const QString& what, const HistoryTable* history) {
  if (m.settings.Notify == 0) return;
  const QString log = drives.ToHost(m.LogFilePath()).value_or(QString());
  const QString stale =
      history ? StaleWarningText(*history, m.set.StaleDays, QDateTime::currentDateTime()) : QString();
  if (const auto notice = MakeRunNotice(status, m.set.Name, saveName, what, log, stale)) StartNotifyHelper(*notice);
}

bool SessionBusConfigured() {
  if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

QString NotifyHelperPath() {
  const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  if (dir.isEmpty()) return QString();
  for (const QString& candidate : {dir + QStringLiteral("/qarno-notify"), dir + QStringLiteral("/../libexec/qarno/qarno-notify")}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return info.canonicalFilePath();
  }
  return QString();
}

QStringList NotifyHelperArguments(const RunNotice& notice) {
  QStringList args{QStringLiteral("--summary"), notice.summary, QStringLiteral("--body"), notice.body};
  if (!notice.logPath.isEmpty()) args << QStringLiteral("--log") << notice.logPath;
  if (notice.failed) args << QStringLiteral("--critical");
  return args;
}

std::optional<NotifyHelperOptions> ParseNotifyHelperArguments(const QStringList& args, QString* error) {
  auto fail = [error](const QString& why) -> std::optional<NotifyHelperOptions> {
    if (error) *error = why;
    return std::nullopt;
  };
  QCommandLineParser parser;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption critical(QStringLiteral("critical"));
  // An option's value is the next argument whatever it looks like: a title may begin with "--".
  const QCommandLineOption summary(QStringLiteral("summary"), QString(), QStringLiteral("TEXT"));
  const QCommandLineOption body(QStringLiteral("body"), QString(), QStringLiteral("TEXT"));
  const QCommandLineOption log(QStringLiteral("log"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption wait(QStringLiteral("wait"), QString(), QStringLiteral("SECONDS"));
  parser.addOptions({help, version, critical, summary, body, log, wait});
  if (!parser.parse(QStringList{QStringLiteral("qarno-notify")} + args)) return fail(parser.errorText());
  NotifyHelperOptions o;
  o.help = parser.isSet(help);
  o.version = parser.isSet(version);
  if (o.help || o.version) return o;
  if (!parser.positionalArguments().isEmpty())
    return fail(Notify::tr("余分な引数です: %1").arg(parser.positionalArguments().first()));
  o.notice.failed = parser.isSet(critical);
  o.notice.summary = parser.value(summary);
  o.notice.body = parser.value(body);
  o.notice.logPath = parser.value(log);
  if (parser.isSet(wait)) {
    bool ok = false;
    const int seconds = parser.value(wait).toInt(&ok);
    if (!ok || seconds < 0 || seconds > NotifyHelperOptions().waitMs / 1000)
      return fail(Notify::tr("--wait の値が不正です: %1").arg(parser.value(wait)));
    o.waitMs = seconds * 1000;
  }
  if (o.notice.summary.isEmpty()) return fail(Notify::tr("--summary がありません"));
  return o;
}

std::optional<RunNotice> NoticeFromHelperArguments(const QStringList& arguments) {
  const auto o = ParseNotifyHelperArguments(arguments);
  if (!o || o->help || o->version) return std::nullopt;
  return o->notice;
}

bool StartNotifyHelper(const RunNotice& notice, const QString& helperPath) {
#ifdef _WIN32
  Q_UNUSED(notice);
  Q_UNUSED(helperPath);
  return false;
#else
  if (!SessionBusConfigured() || helperPath.isEmpty()) return false;
  QProcess p;
  p.setProgram(helperPath);
  p.setArguments(NotifyHelperArguments(notice));
  // The helper may outlive the run by hours: it must not hold the run's folder (a backup
  // medium that is to be unmounted) nor write into a cron mail.
  p.setWorkingDirectory(QStringLiteral("/"));
  p.setStandardInputFile(QProcess::nullDevice());
  p.setStandardOutputFile(QProcess::nullDevice());
  p.setStandardErrorFile(QProcess::nullDevice());
  return p.startDetached();
#endif
}

}  // namespace qarno
