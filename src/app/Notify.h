// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop notification after an unattended run that did not end cleanly (exit status 1,
// entries left uncopied, or 2, failed or cancelled): a message to the desktop's notification
// service (org.freedesktop.Notifications on the session bus) with the set, the save and what
// went wrong, and an action that opens the set's log.
//
// A run started by cron or a systemd timer must end as soon as it is done, yet the action
// can only be answered to the program that sent the notification (servers send their signals
// to the sender alone). So the run hands the notice to a small helper program, qarno-notify,
// started on its own; the helper sends it, waits for the action and opens the log. Without a
// session bus, a notification service or the helper nothing happens, silently, and nothing
// waits longer than a short timeout.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarno {

class Module1;
class DriveTable;
class HistoryTable;

struct RunNotice {
  QString summary;  // the notification's title
  QString body;     // set, save, what went wrong, the log (plain text)
  QString logPath;  // host path of the set's log, opened by the action
  bool failed = false;  // status 2: shown as critical (it stays until dismissed)
};

// The notice for an unattended run's exit status, or none: only 1 (entries left uncopied)
// and 2 (failed or cancelled) are told. `what` says what went wrong; `saveName` may be empty
// (the run failed before it chose one).
// `stale`, when not empty, is the warning of a set that has gone stale (StaleWarningText): it
// is told in the notice too.
std::optional<RunNotice> MakeRunNotice(int status, const QString& setName, const QString& saveName,
                                       const QString& what, const QString& logPath, const QString& stale = QString());

// The notice of a set that has gone stale (`stale` is its StaleWarningText), for a check
// that runs on its own (qarno-restore --status --notify from cron or a timer): backups that
// silently stopped are told even when no run is left to fail. None when `stale` is empty.
std::optional<RunNotice> MakeStaleNotice(const QString& setName, const QString& stale, const QString& logPath);

// After an unattended run of the current set: tells the desktop when the exit status is 1 or
// 2 and the settings allow it (Notify), through the helper. For the program with and
// without windows alike.
// With the set's history, a failed run of a set that has gone stale (BackupSet::StaleDays)
// says so as well.
void NotifyUnattendedRun(const Module1& m, const DriveTable& drives, int status, const QString& saveName,
                         const QString& what, const HistoryTable* history = nullptr);

// Tells the desktop that the current set has gone stale (as of `now`), when it has and the
// settings allow it; true when the helper was started.
bool NotifyStaleSet(const Module1& m, const DriveTable& drives, const HistoryTable& history, const QDateTime& now);

// True when this process has a session bus to talk to: DBUS_SESSION_BUS_ADDRESS is set and
// not empty, or (it is not set at all and) $XDG_RUNTIME_DIR/bus exists. Setting it to the
// empty text turns notifications off for a process and its children.
bool SessionBusConfigured();

// Where the helper lies: beside the executable (the build folder), else ../libexec/qarno/
// from it (an installed program). Empty when it is in neither place.
QString NotifyHelperPath();

// The helper's command line, and the notice it carries.
QStringList NotifyHelperArguments(const RunNotice& notice);
std::optional<RunNotice> NoticeFromHelperArguments(const QStringList& arguments);

// Starts the helper on its own for the notice; false when there is no session bus or no
// helper (always on Windows, which has neither). Never waits for it.
bool StartNotifyHelper(const RunNotice& notice, const QString& helperPath = NotifyHelperPath());

// The helper's options: the notice, and how long to wait for its action (--wait SECONDS);
// or --help, --version.
struct NotifyHelperOptions {
  RunNotice notice;
  // A notification kept longer in the desktop's message list still shows the log's path.
  int waitMs = 12 * 3600 * 1000;
  bool help = false;
  bool version = false;
};
// None when the arguments are wrong; `error` then names what is wrong, on one line.
std::optional<NotifyHelperOptions> ParseNotifyHelperArguments(const QStringList& arguments, QString* error = nullptr);

}  // namespace qarno
