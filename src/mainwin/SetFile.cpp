// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/SetFile.h"

#include <limits>

namespace qarno {

QStringList FormatSetFile(const BackupSet& s, const QString& programVersion) {
  const RunOptions& o = s.options;
  auto n = [](auto v) { return QString::number(v); };
  QStringList lines = {
      QStringLiteral("#Version ") + programVersion,
      QStringLiteral("dir=") + s.SaveDir,
      QStringLiteral("#SaveLevel=") + n(NumberOf(s.SaveLevel)),
      QStringLiteral("#RestorePosition=") + n(o.RestorePosition),
      QStringLiteral("#RestoreHomeDir=") + o.RestoreHomeDir,
      QStringLiteral("#ComplexTypeMode=") + n(o.ComplexTypeMode),
      QStringLiteral("#ComplexSettingMode=") + n(o.ComplexSettingMode),
      QStringLiteral("#ChkVolSer=") + n(o.ChkVolSer),
      QStringLiteral("#RsvSizeChk=") + n(o.RsvSizeChk),
      QStringLiteral("#RsvSize=") + n(o.RsvSize),
      QStringLiteral("#DElErrFile=") + n(o.DElErrFile),
      QStringLiteral("#LockFile=") + n(o.LockFile),
      QStringLiteral("#PathLenMode=") + n(o.PathLenMode),
      QStringLiteral("#PathLen=") + n(o.PathLen),
      QStringLiteral("#CalUseSize=") + n(o.CalUseSize),
  };
  // Written only when set, so that a set without it keeps the file it always had; readers
  // that do not know the key skip it as they skip every "#" line they do not know.
  if (s.StaleDays > 0) lines += QStringLiteral("#StaleDays=") + n(s.StaleDays);
  if (s.KeepChains > 0) lines += QStringLiteral("#KeepChains=") + n(s.KeepChains);
  if (s.KeepDays > 0) lines += QStringLiteral("#KeepDays=") + n(s.KeepDays);
  if (s.PruneForSpace) lines += QStringLiteral("#PruneForSpace=1");
  lines += s.SaveList;
  for (const QString& skip : s.SkipList) lines += QStringLiteral("#skip ") + skip;
  return lines;
}

namespace {

template <typename T>
void SetNumber(T& field, const QString& text, long long lo = std::numeric_limits<T>::min(),
               long long hi = std::numeric_limits<T>::max()) {
  bool ok = false;
  const long long v = text.toLongLong(&ok);
  if (ok && v >= lo && v <= hi) field = static_cast<T>(v);
}

enum class Key { Dir, SaveLevel, RestorePosition, RestoreHomeDir, ComplexTypeMode, ComplexSettingMode, ChkVolSer,
                 RsvSizeChk, RsvSize, DElErrFile, LockFile, PathLenMode, PathLen, CalUseSize, StaleDays, KeepChains, KeepDays,
                 PruneForSpace, Skip };

// In the order in which they are tried: "#RsvSizeChk=" before "#RsvSize=" is what keeps the
// two apart, since only a full key matches.
const std::pair<QLatin1String, Key> kKeys[] = {
    {QLatin1String("dir="), Key::Dir},
    {QLatin1String("#SaveLevel="), Key::SaveLevel},
    {QLatin1String("#RestorePosition="), Key::RestorePosition},
    {QLatin1String("#RestoreHomeDir="), Key::RestoreHomeDir},
    {QLatin1String("#ComplexTypeMode="), Key::ComplexTypeMode},
    {QLatin1String("#ComplexSettingMode="), Key::ComplexSettingMode},
    {QLatin1String("#ChkVolSer="), Key::ChkVolSer},
    {QLatin1String("#RsvSizeChk="), Key::RsvSizeChk},
    {QLatin1String("#RsvSize="), Key::RsvSize},
    {QLatin1String("#DElErrFile="), Key::DElErrFile},
    {QLatin1String("#LockFile="), Key::LockFile},
    {QLatin1String("#PathLenMode="), Key::PathLenMode},
    {QLatin1String("#PathLen="), Key::PathLen},
    {QLatin1String("#CalUseSize="), Key::CalUseSize},
    {QLatin1String("#StaleDays="), Key::StaleDays},
    {QLatin1String("#KeepChains="), Key::KeepChains},
    {QLatin1String("#KeepDays="), Key::KeepDays},
    {QLatin1String("#PruneForSpace="), Key::PruneForSpace},
    {QLatin1String("#skip "), Key::Skip},
};

}  // namespace

bool ApplySetFileLines(BackupSet& s, const QStringList& lines) {
  RunOptions& o = s.options;
  bool levelApplied = false;
  for (const QString& line : lines) {
    if (line.isEmpty()) continue;  // never written; a blank line would otherwise be a path
    bool matched = false;
    for (const auto& [key, which] : kKeys) {
      if (!line.startsWith(key, Qt::CaseInsensitive)) continue;
      matched = true;
      const QString v = line.mid(key.size()).trimmed();
      switch (which) {
        case Key::Dir: s.SaveDir = v; break;
        case Key::SaveLevel: {
          bool ok = false;
          const long long x = v.toLongLong(&ok);
          if (ok && x >= NumberOf(Level::None) && x <= NumberOf(Level::Repair)) {
            s.SaveLevel = static_cast<Level>(x);
            levelApplied = true;
          }
          break;
        }
        case Key::RestorePosition: SetNumber(o.RestorePosition, v); break;
        case Key::RestoreHomeDir: o.RestoreHomeDir = v; break;
        case Key::ComplexTypeMode: SetNumber(o.ComplexTypeMode, v); break;
        case Key::ComplexSettingMode: SetNumber(o.ComplexSettingMode, v); break;
        case Key::ChkVolSer: SetNumber(o.ChkVolSer, v); break;
        case Key::RsvSizeChk: SetNumber(o.RsvSizeChk, v); break;
        case Key::RsvSize: SetNumber(o.RsvSize, v); break;
        case Key::DElErrFile: SetNumber(o.DElErrFile, v); break;
        case Key::LockFile: SetNumber(o.LockFile, v); break;
        case Key::PathLenMode: SetNumber(o.PathLenMode, v); break;
        case Key::PathLen: SetNumber(o.PathLen, v); break;
        case Key::CalUseSize: SetNumber(o.CalUseSize, v); break;
        case Key::StaleDays: SetNumber(s.StaleDays, v, 0, BackupSet::kMaxStaleDays); break;
        case Key::KeepChains: SetNumber(s.KeepChains, v, 0, BackupSet::kMaxKeepChains); break;
        case Key::KeepDays: SetNumber(s.KeepDays, v, 0, BackupSet::kMaxKeepDays); break;
        case Key::PruneForSpace: {
          int32_t on = s.PruneForSpace ? 1 : 0;
          SetNumber(on, v, 0, 1);
          s.PruneForSpace = on == 1;
          break;
        }
        case Key::Skip: s.SkipList.append(v); break;
      }
      break;
    }
    if (matched || line.startsWith(u'#')) continue;
    s.SaveList.append(line);
  }
  return levelApplied;
}

}  // namespace qarno
