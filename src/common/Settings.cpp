// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Settings.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <limits>

namespace qarno {

namespace {
const QString kSection = QStringLiteral("Startup Setting");

// A number within [lo, hi]; a value that is missing, no number, or outside the range (a hand
// edit, another program's value) leaves the default in place.
template <typename T>
void ReadInt(QSettings& s, const char* key, T& value, long long lo, long long hi) {
  const QString text = s.value(QLatin1String(key)).toString().trimmed();
  if (text.isEmpty()) return;
  bool ok = false;
  long long v = text.toLongLong(&ok);
  if (!ok) {
    const double d = text.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > 1e15) return;
    v = std::llrint(d);
  }
  lo = std::max<long long>(lo, std::numeric_limits<T>::min());
  hi = std::min<long long>(hi, std::numeric_limits<T>::max());
  if (v < lo || v > hi) return;
  value = static_cast<T>(v);
}

// A switch of the store: 0 or 1.
template <typename T>
void ReadSwitch(QSettings& s, const char* key, T& value) {
  ReadInt(s, key, value, 0, 1);
}

// The main window's geometry; a size must be more than nothing.
void ReadDouble(QSettings& s, const char* key, double& value, bool positive = false) {
  bool ok = false;
  const double d = s.value(QLatin1String(key)).toString().trimmed().toDouble(&ok);
  if (ok && std::isfinite(d) && std::fabs(d) < 1e9 && (!positive || d > 0)) value = d;
}

void ReadText(QSettings& s, const char* key, QString& value) {
  const QString v = s.value(QLatin1String(key)).toString();
  if (!v.isEmpty()) value = v;
}
}  // namespace

QString SettingsStorePath() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/Qarno/Qarno.conf");
}

std::unique_ptr<QSettings> OpenSettingsStore() {
#ifdef _WIN32
  return std::make_unique<QSettings>(QStringLiteral("VB and VBA Program Settings"), QStringLiteral("Qarno"));
#else
  return std::make_unique<QSettings>(SettingsStorePath(), QSettings::IniFormat);
#endif
}

const QList<QPair<QString, QString>>& Settings::PositionKeys() {
  static const QList<QPair<QString, QString>> keys = {
      {"SettingTop", ""},        {"SettingLeft", ""},        {"SaveDirTop", ""},
      {"SaveDirLeft", ""},       {"SaveDirHeight", "4000"},  {"SaveDirWidth", "4500"},
      {"SetNameTop", ""},        {"SetNameLeft", ""},        {"FDelSetNameTop", ""},
      {"FDelSetNameLeft", ""},   {"FDelHisDataTop", ""},     {"FDelHisDataLeft", ""},
      {"FDelHisDataHeight", "5000"}, {"FDelHisDataWidth", "4400"}, {"FApendTop", ""},
      {"FApendLeft", ""},        {"FApendHeight", "3900"},   {"FApendWidth", "4400"},
      {"FSetDirTop", ""},        {"FSetDirLeft", ""},        {"EditHisDataTop", ""},
      {"EditHisDataLeft", ""},   {"NoCompTypeTop", "0"},     {"NoCompTypeLeft", "0"},
  };
  return keys;
}

void LoadSettings(QSettings& s, const QString& programVersion, Settings& st, BackupSet& set) {
  s.beginGroup(kSection);
  ReadDouble(s, "Top", st.Top);
  ReadDouble(s, "Left", st.Left);
  {
    const double height = st.Height, width = st.Width;
    st.Height = st.Width = -1;
    ReadDouble(s, "Height", st.Height, true);
    ReadDouble(s, "Width", st.Width, true);
    st.SizeStored = st.Height > 0 && st.Width > 0;
    if (st.Height <= 0) st.Height = height;
    if (st.Width <= 0) st.Width = width;
  }
  st.ResentFile = s.value(QStringLiteral("ResentFile")).toString();
  set.Name = st.ResentFile;
  RunOptions& o = set.options;
  ReadSwitch(s, "ComplexType", o.ComplexTypeMode);
  ReadSwitch(s, "ComlexSetting", o.ComplexSettingMode);
  int level = NumberOf(set.SaveLevel);
  ReadInt(s, "SaveLevel", level, NumberOf(Level::Level0), NumberOf(Level::Repair));
  set.SaveLevel = static_cast<Level>(level);
  ReadSwitch(s, "RestorePosition", o.RestorePosition);
  ReadText(s, "RestoreHomeDir", o.RestoreHomeDir);
  st.Version = s.value(QStringLiteral("Version")).toString();
  ReadSwitch(s, "ChkVolSer", o.ChkVolSer);
  ReadText(s, "SetDirName", st.SetDirName);
  ReadSwitch(s, "DelOption", st.DelOption);
  ReadSwitch(s, "RsvSizeChk", o.RsvSizeChk);
  ReadInt(s, "RsvSize", o.RsvSize, 0, std::numeric_limits<int16_t>::max());
  ReadSwitch(s, "DElErrFile", o.DElErrFile);
  ReadSwitch(s, "LockFile", o.LockFile);
  ReadSwitch(s, "PathLenMode", o.PathLenMode);
  ReadInt(s, "PathLen", o.PathLen, 1, std::numeric_limits<int16_t>::max());
  ReadSwitch(s, "CalUseSize", o.CalUseSize);
  for (const auto& [key, def] : Settings::PositionKeys()) {
    // An empty value takes the default too, but for the history-deletion dialog's size,
    // whose empty values have fix-ups of their own below.
    const QString v = s.value(key).toString();
    const bool fixedUp = key == u"FDelHisDataHeight" || key == u"FDelHisDataWidth";
    st.positions[key] = v.isEmpty() && !(fixedUp && s.contains(key)) ? def : v;
    if (!v.isEmpty() && (key.endsWith(u"Height") || key.endsWith(u"Width"))) st.storedSizes.insert(key);
  }
  st.TextEncoding = s.value(QStringLiteral("TextEncoding")).toString();
  st.LhaMethod = s.value(QStringLiteral("LhaMethod")).toString();
  st.ArchiverPath = s.value(QStringLiteral("ArchiverPath")).toString();
  ReadSwitch(s, "Notify", st.Notify);
  ReadSwitch(s, "ContentManifest", st.ContentManifest);
  s.endGroup();

  // Fix-ups.
  if (st.positions[QStringLiteral("FDelHisDataHeight")].isEmpty()) st.positions[QStringLiteral("FDelHisDataHeight")] = QStringLiteral("3900");
  if (st.positions[QStringLiteral("FDelHisDataWidth")].isEmpty()) st.positions[QStringLiteral("FDelHisDataWidth")] = QStringLiteral("4400");
  if (st.Version.isEmpty()) st.Version = programVersion;
}

void SaveSettings(QSettings& s, const Settings& st, const BackupSet& set) {
  const RunOptions& o = set.options;
  s.beginGroup(kSection);
  s.setValue(QStringLiteral("Top"), QString::number(st.Top));
  s.setValue(QStringLiteral("Left"), QString::number(st.Left));
  s.setValue(QStringLiteral("Height"), QString::number(st.Height));
  s.setValue(QStringLiteral("Width"), QString::number(st.Width));
  s.setValue(QStringLiteral("ResentFile"), set.Name);
  s.setValue(QStringLiteral("ComplexType"), QString::number(o.ComplexTypeMode));
  s.setValue(QStringLiteral("ComlexSetting"), QString::number(o.ComplexSettingMode));
  s.setValue(QStringLiteral("SaveLevel"), QString::number(NumberOf(set.SaveLevel)));
  s.setValue(QStringLiteral("RestorePosition"), QString::number(o.RestorePosition));
  s.setValue(QStringLiteral("RestoreHomeDir"), o.RestoreHomeDir);
  s.setValue(QStringLiteral("Version"), st.Version);
  s.setValue(QStringLiteral("ChkVolSer"), QString::number(o.ChkVolSer));
  s.setValue(QStringLiteral("SetDirName"), st.SetDirName);
  s.setValue(QStringLiteral("DelOption"), QString::number(st.DelOption));
  s.setValue(QStringLiteral("RsvSizeChk"), QString::number(o.RsvSizeChk));
  s.setValue(QStringLiteral("RsvSize"), QString::number(o.RsvSize));
  s.setValue(QStringLiteral("DElErrFile"), QString::number(o.DElErrFile));
  s.setValue(QStringLiteral("LockFile"), QString::number(o.LockFile));
  s.setValue(QStringLiteral("PathLenMode"), QString::number(o.PathLenMode));
  s.setValue(QStringLiteral("PathLen"), QString::number(o.PathLen));
  s.setValue(QStringLiteral("CalUseSize"), QString::number(o.CalUseSize));
  for (const auto& [key, def] : Settings::PositionKeys()) {
    if (key == u"SaveDirHeight" || key == u"SaveDirWidth") continue;  // read only
    s.setValue(key, st.positions.value(key, def));
  }
  s.setValue(QStringLiteral("Notify"), QString::number(st.Notify));
  s.setValue(QStringLiteral("ContentManifest"), QString::number(st.ContentManifest));
  s.endGroup();
  s.sync();
}

DriveTable LoadDriveTable(QSettings& s) {
  DriveTable table;
  s.beginGroup(QStringLiteral("Drives"));
  for (const QString& key : s.childKeys()) {
    if (key.size() != 1 || !key[0].isLetter()) continue;
    const QString dir = s.value(key).toString().trimmed();
    if (dir.isEmpty()) table.Unmap(key[0]);
    else table.Map(key[0], dir);
  }
  s.endGroup();
  return table;
}

}  // namespace qarno
