// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/Qarno.h"

#include "mainwin/SetNames.h"

#include "mainwin/SetFile.h"
#include "platform/WinPath.h"

#include <cmath>

namespace qarno {

Qarno::Qarno(Module1& module) : m(module) {}

QStringList Qarno::SaveLevelCaptions() {
  QStringList captions;
  for (const LevelCaption& c : kLevelCaptions) captions += QString::fromUtf16(c.selector);
  return captions;
}

QString Qarno::GetSaveLevelCaption(Level level) { return LevelName(level); }

QString Qarno::MakeProgramVersion(int major, int minor, int revision) {
  return QString::number(major) + u'.' + QString::number(minor) + QString::number(revision);
}

QString Qarno::SetFilePath() const { return winpath::Join(m.SetFolder, m.set.Name + QStringLiteral(".qrn")); }

QString Qarno::HisFilePath() const { return winpath::Join(m.SetFolder, m.set.Name + QStringLiteral(".qrl")); }

// ---------------------------------------------------------------------------------------
// The set file

void Qarno::ReadSetFile() {
  m.MainCaption = m.ProgramName + QStringLiteral("  ") + m.set.Name;
  ClearSetFileData();
  const auto lines = m.ReadTextFile(SetFilePath());
  setLoaded = lines.has_value();
  if (!lines) {
    m.Warn(Question::SetFileMissing, m.MainCaption, TrWords("Qarno", "セットファイルがありません。"));
    m.AutoRunMode.Stop();
    return;
  }
  const bool levelApplied = ApplySetFileLines(m.set, *lines);
  if (levelApplied && m.set.SaveLevel >= Level::Level0 && m.set.SaveLevel <= Level::Level2)
    m.set.SaveLevel = Level::Level2;
  ReadHisFile();
}

bool Qarno::WriteSetFile() {
  if (m.WriteTextFile(SetFilePath(), FormatSetFile(m.set, m.ProgramVersion))) {
    m.SetModified = false;
    return true;
  }
  m.Warn(Question::SetFileNotSaved, m.MainCaption, SetFilePath() + u'\r' + TrWords("Qarno", "保存できませんでした"));
  m.AutoRunMode.Stop();
  return false;
}

void Qarno::ClearSetFileData() {
  m.set.SaveList.clear();
  m.set.SkipList.clear();
  m.set.SaveDir.clear();
  m.set.StaleDays = 0;  // per set: another set's warning never carries over
  m.set.KeepChains = 0;  // nor another set's pruning
  m.set.KeepDays = 0;
  m.set.PruneForSpace = false;
  m.SetModified = false;
  ClearHisTable();
}

// ---------------------------------------------------------------------------------------
// The history

void Qarno::ClearHisTable() {
  HisTable.Clear();
  m.HistoryModified = false;
}

void Qarno::ReadHisFile() {
  ClearHisTable();
  const QString path = HisFilePath();
  auto bytes = m.fs.ReadAll(path);
  bool hadVersion = true;
  historyUnreadable_ = false;
  if (!bytes && m.fs.Exists(path)) {
    // A history that is there but cannot be read (no permission, not a file) is never
    // replaced: the program goes on without it, and will not write over it.
    historyUnreadable_ = true;
    m.Warn(Question::HistoryUnreadable, m.MainCaption, path + u'\r' + TrWords("Qarno", "ファイルが読めません。"));
    m.AutoRunMode.Stop();
    return;
  }
  if (!bytes) {
    if (!m.fs.WriteAtomic(path, QByteArray())) {
      m.Warn(Question::HistoryNotCreated, m.MainCaption, path + u'\r' + TrWords("Qarno", "ファイルが作れませんでした。"));
      m.AutoRunMode.Stop();
      return;
    }
  } else {
    hadVersion = ParseHistoryFile(m.codec.DecodeLines(*bytes), HisTable);
  }
  SortHisTable();
  if (!hadVersion && HisTable.HasData()) {
    int lowest = 0;
    for (int r = 1; r < HisTable.Rows(); ++r) {
      if (HisTable.Cell(r, HistoryEntry::Level).isEmpty()) {
        HisTable.SetCell(r, HistoryEntry::Level, LevelName(Level::Level1));
        lowest = r;
      }
    }
    if (lowest > 0) HisTable.SetCell(lowest, HistoryEntry::Level, LevelName(Level::Level0));
  }
  if (!HisTable.HasData() && m.set.SaveLevel >= Level::Level0 && m.set.SaveLevel <= Level::Level2)
    m.set.SaveLevel = Level::Level0;
}

void Qarno::Reload() {
  if (m.HistoryModified) return;
  ReadHisFile();
}

bool Qarno::SaveHisFile() {
  m.WriteDebug(1020, "SaveHisFile");
  const QString path = HisFilePath();
  if (historyUnreadable_) {
    m.Warn(Question::HistoryNotSaved, m.MainCaption, path + u'\r' + TrWords("Qarno", "保存できませんでした"));
    m.AutoRunMode.Stop();
    return false;
  }
  m.WriteDebugPath(1021, path);
  if (!HisTable.HasData()) {
    m.WriteDebug(1022);
    m.fs.Kill(path);
    m.WriteDebug(1023);
    return true;
  }
  m.WriteDebug(1024);
  const QStringList lines = FormatHistoryFile(HisTable, m.ProgramVersion);
  m.WriteDebug(1025);
  if (m.DebugMode != 0) {
    for (int r = 1; r < lines.size(); ++r) m.WriteDebugPath(1026, r, lines[r]);
  }
  m.WriteDebug(1027);
  // Not while another process runs, restores or changes the set (a run of this process
  // that writes its history holds the set already).
  std::unique_ptr<SetLock> hold;
  if (!m.HoldSet(m.set.Name, LockKind::Exclusive, m.MainCaption, hold)) {
    m.AutoRunMode.Stop();
    return false;
  }
  if (m.WriteTextFile(path, lines)) {
    m.HistoryModified = false;
    m.WriteDebug(1028);
    return true;
  }
  m.Warn(Question::HistoryNotSaved, m.MainCaption, path + u'\r' + TrWords("Qarno", "保存できませんでした"));
  m.AutoRunMode.Stop();
  m.WriteDebug(1029);
  return false;
}

bool Qarno::ChkHis(const QString& name) const {
  for (int r = 1; r < HisTable.Rows(); ++r) {
    if (HisTable.Cell(r, HistoryEntry::SaveName).compare(name, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

void Qarno::AddHisTable(const QString& saveName, const QString& levelCaption, const QString& savedKB,
                        const QString& saveDir, const QString& volSerial, const QString& volName,
                        const QString& usedKB, const QString& saveDate, const QString& processTime,
                        const QString& comment, const QString& uncopiedCount) {
  HistoryEntry e;
  e[HistoryEntry::SaveName] = saveName;
  e[HistoryEntry::Level] = levelCaption;
  e[HistoryEntry::SavedKB] = savedKB;
  e[HistoryEntry::SaveDir] = saveDir;
  e[HistoryEntry::VolSerial] = volSerial;
  e[HistoryEntry::VolName] = volName;
  e[HistoryEntry::UsedKB] = usedKB;
  e[HistoryEntry::SaveDate] = saveDate;
  e[HistoryEntry::ProcessTime] = processTime;
  e[HistoryEntry::Comment] = comment;
  e[HistoryEntry::UncopiedCount] = uncopiedCount;
  RecordRun(e, m.set.SaveLevel == Level::Repair);
}

int Qarno::RecordRun(const HistoryEntry& run, bool repair) {
  const QString& saveName = run[HistoryEntry::SaveName];
  m.WriteDebugPath(1010, "AddHisTable", saveName, run[HistoryEntry::Level], run[HistoryEntry::SavedKB],
                   run[HistoryEntry::SaveDir], run[HistoryEntry::VolSerial], run[HistoryEntry::VolName],
                   run[HistoryEntry::UsedKB], run[HistoryEntry::SaveDate], run[HistoryEntry::ProcessTime],
                   run[HistoryEntry::Comment], run[HistoryEntry::UncopiedCount]);
  int target = 0;
  if (!repair) {
    for (int r = HisTable.Rows() - 1; r >= 1; --r) {
      if (HisTable.Cell(r, HistoryEntry::SaveName) == saveName) HisTable.RemoveRow(r);
    }
    m.WriteDebug(1011);
    target = HisTable.AddRow(saveName);
    HisTable.SetCell(target, HistoryEntry::Level, run[HistoryEntry::Level]);
    HisTable.SetCell(target, HistoryEntry::SavedKB, run[HistoryEntry::SavedKB]);
  } else {
    // The row of the save being repaired, found by its name: an overwrite row may sort
    // above it, and the first row is then not the repaired run.
    target = HisTable.RowOf(saveName);
    if (target == 0) {
      if (!HisTable.HasData()) return 0;
      target = 1;
    }
    const qint64 sum =
        HisTable.Cell(target, HistoryEntry::SavedKB).toLongLong() + run[HistoryEntry::SavedKB].toLongLong();
    HisTable.SetCell(target, HistoryEntry::SavedKB, QString::number(sum));
  }
  m.WriteDebug(1012, target);
  for (int column : {HistoryEntry::SaveDir, HistoryEntry::VolSerial, HistoryEntry::VolName, HistoryEntry::UsedKB,
                     HistoryEntry::SaveDate, HistoryEntry::ProcessTime, HistoryEntry::Comment,
                     HistoryEntry::UncopiedCount})
    HisTable.SetCell(target, column, run[column]);
  m.HistoryModified = true;
  m.WriteDebug(1013);
  const QString kept = HisTable.Cell(target, HistoryEntry::SaveName);
  SortHisTable();
  m.WriteDebug(1014);
  return HisTable.RowOf(kept);
}

void Qarno::ForgetRun(const QString& saveName) {
  for (int r = HisTable.Rows() - 1; r >= 1; --r) {
    if (HisTable.Cell(r, HistoryEntry::SaveName) == saveName) HisTable.RemoveRow(r);
  }
}

bool Qarno::PreviousRun(Level saveLevel, int& row) const {
  row = 0;
  auto findFirst = [&](std::initializer_list<Level> levels) {
    for (int r = 1; r < HisTable.Rows(); ++r) {
      const QString& lv = HisTable.Cell(r, HistoryEntry::Level);
      for (const Level want : levels) {
        if (lv == QStringView(kLevelCaptions[NumberOf(want)].name)) {
          row = r;
          return true;
        }
      }
    }
    return false;
  };
  switch (saveLevel) {
    case Level::Level0: return true;
    case Level::Level1: return findFirst({Level::Level0, Level::Level1});
    case Level::Level2:
    case Level::Repair: return findFirst({Level::Level0, Level::Level1, Level::Level2});
    case Level::Overwrite: return findFirst({Level::Overwrite});
    default: return false;
  }
}

// ---------------------------------------------------------------------------------------
// Start-up, command line, exit

void Qarno::ResetSaveLevel() {
  if (m.set.SaveLevel >= Level::Level0 && m.set.SaveLevel <= Level::Level2)
    m.set.SaveLevel = HisTable.HasData() ? Level::Level2 : Level::Level0;
}

bool Qarno::GetNextArg(QString& text, QString& argument) {
  if (text.isEmpty()) return false;
  const QChar first = text[0];
  if (first == u'"' || first == u'\'') {
    const qsizetype close = text.indexOf(first, 1);
    if (close < 0) {
      argument = text.mid(1);
      text.clear();
    } else {
      argument = text.mid(1, close - 1);
      text = text.mid(close + 1).trimmed();
    }
    return true;
  }
  const qsizetype blank = text.indexOf(u' ');
  if (blank < 0) {
    argument = text;
    text.clear();
  } else {
    argument = text.left(blank);
    text = text.mid(blank + 1).trimmed();
  }
  return true;
}

namespace {
// The switch's number, rounded to an integer; nullopt when it cannot be read.
std::optional<long long> SwitchNumber(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v) || std::fabs(v) > 1e9) return std::nullopt;
  return std::llrint(v);
}
}  // namespace

void Qarno::ReadCommandLine(const QString& commandLine) {
  m.AutoRunMode.Stop();
  m.ShutdownAfterRun = false;
  refusedSetName.clear();
  QString text = commandLine.trimmed();
  QString arg;
  while (GetNextArg(text, arg)) {
    if (!arg.startsWith(u'/')) {
      // The set file, its log and its history are named after the set in the set folder: a
      // name the set dialogs would refuse could reach a file outside it.
      if (InvalidNameReason(arg).isEmpty()) {
        m.set.Name = arg;
        refusedSetName.clear();
      } else {
        refusedSetName = arg;
      }
      continue;
    }
    if (arg.size() < 2) continue;
    const QChar letter = arg[1].toUpper();
    const auto n = SwitchNumber(arg.mid(2));
    const long long v = n.value_or(0);
    switch (letter.unicode()) {
      case u'L':
        if (n && v >= 0 && v <= 4) m.set.SaveLevel = LevelOfNumber(v);
        break;
      case u'B': m.AutoRunMode.mode = static_cast<int16_t>(std::clamp<long long>(v, -32768, 32767)); break;
      case u'C':
        if (v == 0 || v == 1) m.set.options.ComplexTypeMode = static_cast<int32_t>(v);
        break;
      case u'W':
        if (v >= 0 && v <= 2) windowState = static_cast<int>(v);
        break;
      case u'S': m.ShutdownAfterRun = true; break;
      case u'D': m.DebugMode = static_cast<int16_t>(std::clamp<long long>(v, -32768, 32767)); break;
      default: break;
    }
  }
  if (m.ShutdownAfterRun && !m.AutoRunMode.EndsProgram()) m.AutoRunMode.mode = 1;
  m.AutoRunMode.asked = m.AutoRunMode.mode;
}

bool Qarno::SaveBeforeAction() {
  if (m.SetModified && !WriteSetFile()) return false;
  if (m.HistoryModified && !SaveHisFile()) return false;
  return true;
}

bool Qarno::CheckBeforeRun() {
  m.WriteDebug(1000, "BackUp_Click");
  if (m.set.Name.isEmpty()) {
    m.Warn(Question::NoSetName, m.MainCaption, TrWords("Qarno", "セット名を指定してください。"));
    return false;
  }
  m.WriteDebug(1001);
  if (!SaveBeforeAction()) return false;
  m.WriteDebug(1002);
  return true;
}

void Qarno::OpenChild(DialogKind dialogKind, SaveExecMode execMode) {
  m.OpenDialogKind = dialogKind;
  m.ExecMode = execMode;
  m.WriteDebug(1003);
}

void Qarno::ChildClosed() {
  m.OpenDialogKind = DialogKind::None;
  m.ExecMode = SaveExecMode::None;
  m.WriteDebug(1004);
}

bool Qarno::SaveIfChanged() {
  if (m.SetModified && !WriteSetFile()) return false;
  if (m.HistoryModified) return SaveHisFile();
  return true;
}

void Qarno::Form_Load(const QString& commandLine) {
  m.SetModified = false;
  m.DebugMode = 0;
  m.LogEnabled = true;
  m.MainCaption = m.ProgramName;
  m.OpenDialogKind = DialogKind::None;
  m.ExecMode = SaveExecMode::None;
  ClearHisTable();
  if (store) {
    LoadSettings(*store, m.ProgramVersion, m.settings, m.set);
    m.codec = TextCodec::FromSettingText(m.settings.TextEncoding);
  }
  // The set folder is a folder of the program folder: a name that would reach elsewhere
  // (a path, "..") or that no folder can have takes the usual name.
  if (m.settings.SetDirName.isEmpty() || !InvalidNameReason(m.settings.SetDirName).isEmpty())
    m.settings.SetDirName = QStringLiteral("SetDir");
  m.SetFolder = winpath::Join(m.ProgramFolder, m.settings.SetDirName);
  m.MakeDirPath(m.SetFolder);
  ReadCommandLine(commandLine);
  if (!refusedSetName.isEmpty()) {
    // Neither that name nor the set of the last session: the run asked for is not run.
    m.set.Name.clear();
    m.AutoRunMode.Stop();
    // No set, so no set's log: the message goes to the user (or standard error) alone.
    const bool logging = m.LogEnabled;
    m.LogEnabled = false;
    m.Warn(Question::SetNameInvalid, m.MainCaption,
           refusedSetName + u'\r' + TrWords("Qarno", "この名前は使えません。") + u'\r' + InvalidNameWords(refusedSetName));
    m.LogEnabled = logging;
  }
  if (!m.set.Name.isEmpty()) {
    ReadSetFile();
    ResetSaveLevel();
    const bool autoRun = m.AutoRunMode.Requested();
    ReadCommandLine(commandLine);
    // A failed read of the set has already stopped the automatic run; reading the command
    // line again must not start it anyway.
    if (!autoRun) m.AutoRunMode.Stop();
  }
  m.SetModified = false;
}

bool Qarno::FileSave_Click() {
  if (!m.SetModified && !m.HistoryModified) return true;
  return SaveBeforeAction();
}

}  // namespace qarno
