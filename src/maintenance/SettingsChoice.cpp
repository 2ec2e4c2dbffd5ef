// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/SettingsChoice.h"

#include <algorithm>

namespace qarno {

SettingsChoice CurrentSettings(const Module1& m) {
  const RunOptions& o = m.set.options;
  SettingsChoice c;
  c.compress = o.ComplexTypeMode != 0;
  c.compressAlways = o.ComplexSettingMode == 1;
  c.chkVolSer = o.ChkVolSer != 0;
  c.debugMode = m.DebugMode;
  c.rsvSizeChk = o.RsvSizeChk != 0;
  c.rsvSize = QString::number(o.RsvSize);
  c.delErrFile = o.DElErrFile != 0;
  c.lockFile = o.LockFile != 0;
  c.pathLenMode = o.PathLenMode != 0;
  c.pathLen = QString::number(o.PathLen);
  c.calUseSize = o.CalUseSize != 0;
  c.staleDays = QString::number(m.set.StaleDays > 0 ? m.set.StaleDays : 0);
  c.keepChains = std::max(m.set.KeepChains, 0);
  c.keepDays = std::max(m.set.KeepDays, 0);
  c.pruneForSpace = m.set.PruneForSpace;
  return c;
}

std::optional<int16_t> ParseOptionNumber(const QString& text, int lo, int hi) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  for (qsizetype i = 0; i < t.size(); ++i) {
    const QChar c = t[i];
    const bool sign = i == 0 && (c == u'-' || c == u'+') && t.size() > 1;
    if (!sign && (c < u'0' || c > u'9')) return std::nullopt;
  }
  bool ok = false;
  const qlonglong v = t.toLongLong(&ok);
  if (!ok || v < lo || v > hi) return std::nullopt;
  return static_cast<int16_t>(v);
}

std::optional<int32_t> ParseStaleDays(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return 0;
  // Digits only: a sign, a decimal point or a unit is a mistake worth telling.
  for (const QChar c : t) {
    if (c < u'0' || c > u'9') return std::nullopt;
  }
  bool ok = false;
  const qlonglong v = t.toLongLong(&ok);
  if (!ok || v > BackupSet::kMaxStaleDays) return std::nullopt;
  return static_cast<int32_t>(v);
}

SettingsProblem TakeOverSettings(Module1& m, const SettingsChoice& c, bool changed) {
  const auto rsvSize = ParseOptionNumber(c.rsvSize, kRsvSizeMin, kOptionNumberMax);
  if (!rsvSize) return SettingsProblem::RsvSize;
  const auto pathLen = ParseOptionNumber(c.pathLen, kPathLenMin, kOptionNumberMax);
  if (!pathLen) return SettingsProblem::PathLen;
  const auto staleDays = ParseStaleDays(c.staleDays);
  if (!staleDays) return SettingsProblem::StaleDays;
  RunOptions& o = m.set.options;
  if (changed) {
    o.ComplexTypeMode = c.compress ? 1 : 0;
    o.ComplexSettingMode = c.compressAlways ? 1 : 0;
    m.SetModified = true;
  }
  // The set file holds these options too and is read again with the set: a new value of
  // any of them, the medium check included, marks the set as changed, or the next read of
  // the set would undo it (the debug mode is no option of the set at all).
  const RunOptions before = o;
  o.ChkVolSer = c.chkVolSer ? 1 : 0;
  m.DebugMode = static_cast<int16_t>(c.debugMode >= 0 && c.debugMode <= 2 ? c.debugMode : 0);
  o.RsvSizeChk = c.rsvSizeChk ? 1 : 0;
  o.RsvSize = *rsvSize;
  o.DElErrFile = c.delErrFile ? 1 : 0;
  o.LockFile = c.lockFile ? 1 : 0;
  o.PathLenMode = c.pathLenMode ? 1 : 0;
  o.PathLen = *pathLen;
  o.CalUseSize = c.calUseSize ? 1 : 0;
  if (o.ChkVolSer != before.ChkVolSer || o.RsvSizeChk != before.RsvSizeChk || o.RsvSize != before.RsvSize ||
      o.DElErrFile != before.DElErrFile || o.LockFile != before.LockFile || o.PathLenMode != before.PathLenMode ||
      o.PathLen != before.PathLen || o.CalUseSize != before.CalUseSize)
    m.SetModified = true;
  if (*staleDays != std::max(m.set.StaleDays, 0)) {
    m.set.StaleDays = *staleDays;
    m.SetModified = true;
  }
  const int32_t keepChains = std::clamp<int32_t>(c.keepChains, 0, BackupSet::kMaxKeepChains);
  const int32_t keepDays = std::clamp<int32_t>(c.keepDays, 0, BackupSet::kMaxKeepDays);
  if (keepChains != m.set.KeepChains || keepDays != m.set.KeepDays || c.pruneForSpace != m.set.PruneForSpace) {
    m.set.KeepChains = keepChains;
    m.set.KeepDays = keepDays;
    m.set.PruneForSpace = c.pruneForSpace;
    m.SetModified = true;
  }
  return SettingsProblem::None;
}

}  // namespace qarno
