// SPDX-License-Identifier: GPL-3.0-or-later
// Drive and medium identity, free space and the space a save occupies.
#include "common/DriveInfo.h"

#include "common/Module1.h"
#include "platform/WinPath.h"

namespace qarno {

QString FormatSerial(uint32_t serial) {
  // Asked for every copied file (the medium check): written out by hand, no formatting.
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  QString text(9, u'-');
  QChar* out = text.data();
  for (int i = 0, shift = 28; i < 9; ++i) {
    if (i == 4) continue;
    out[i] = QChar(kDigits[(serial >> shift) & 0xF]);
    shift -= 4;
  }
  return text;
}

int64_t ClustersOf(int64_t bytes, int64_t clusterSize) {
  if (clusterSize <= 0) return 0;
  return bytes / clusterSize + (bytes % clusterSize != 0 ? 1 : 0);
}

bool ReadDriveInfo(const RunEnvironment& env, const MediumQuery& query, AcceptedMedium& accepted, QString& drive,
                   QString& volumeName, QString& volumeSerial) {
  for (;;) {
    env.WriteDebugPath(3000, "ReadDriveInfo", drive, volumeName, volumeSerial);
    QString root;
    if (drive.isEmpty()) {
      drive = winpath::DriveRoot(query.saveDir);
      root = drive;
    } else {
      root = winpath::DriveRoot(drive);
    }
    env.WriteDebugPath(3001, root);
    const DriveType type = env.fs.DriveTypeOf(root);
    env.WriteDebug(3002, static_cast<int>(type));
    const auto info = env.fs.VolumeOf(root);
    env.WriteDebugPath(3003, info.has_value(), info ? info->name : QString(), info ? static_cast<qint64>(info->serial) : 0);
    if (!info) {
      const Answer a = env.Warn(Question::DriveInfoUnreadable, query.title,
                                root + u'\r' + TrWords("DriveInfo", "ドライブ情報が取得できません。") + u'\r' +
                                    TrWords("DriveInfo", "フォーマットされていますか？"),
                                Buttons::RetryCancel);
      if (a == Answer::Retry) continue;
      return false;
    }
    env.WriteDebug(3004);
    volumeSerial = FormatSerial(info->serial);
    env.WriteDebug(3005, volumeSerial);
    volumeName = info->name.trimmed();
    if (volumeName.endsWith(QChar(0))) volumeName.chop(1);
    // The history and the listings keep the volume name in a comma-separated field: a comma
    // of the label is recorded as the full-width one, which reads the same to a person.
    volumeName.replace(u',', QChar(0xFF0C));
    env.WriteDebugPath(3006, volumeName);
    // Every copied entry records the medium's name and serial: the texts of the medium read
    // last are handed out again while they are the same, so that the entries share one copy.
    static thread_local QString lastName, lastSerial;
    if (volumeSerial == lastSerial) volumeSerial = lastSerial;
    else lastSerial = volumeSerial;
    if (volumeName == lastName) volumeName = lastName;
    else lastName = volumeName;

    const bool unidentifiable = volumeName.isEmpty() || info->serial == 0;
    const bool known = accepted.root == root && accepted.name == volumeName && accepted.serial == volumeSerial;
    if (unidentifiable && type != DriveType::Fixed && query.checkSerial && !known) {
      env.WriteDebug(3007);
      env.WriteDebug(3008, static_cast<int>(query.autoRunMode));
      Answer a = Answer::Ignore;
      if (query.asks) {
        a = env.Warn(Question::MediumUnidentifiable, query.title,
                     root + u'\r' + TrWords("DriveInfo", "ボリューム名： ") + volumeName + TrWords("DriveInfo", "　　シリアル番号: ") +
                         volumeSerial + u'\r' + u'\r' +
                         TrWords("DriveInfo", "このプログラムはディスクのボリューム名とシリアル番号で履歴を管理しています。") +
                         u'\r' + TrWords("DriveInfo", "フォーマットされるのをお勧めします。"),
                     Buttons::AbortRetryIgnore);
      }
      if (a == Answer::Abort) return false;
      if (a == Answer::Retry) continue;
      accepted = AcceptedMedium{root, volumeName, volumeSerial};
    }
    return true;
  }
}

FreeSpace FreeSpaceKB(Platform& fs, const QString& root) {
  const auto space = fs.FreeSpaceOf(winpath::DriveRoot(root));
  if (!space) return FreeSpace{};
  FreeSpace free;
  free.cluster = int64_t(space->sectorsPerCluster) * space->bytesPerSector;
  if (free.cluster % 1024 == 0) free.kb = (free.cluster / 1024) * static_cast<int64_t>(space->freeClusters);
  else free.kb = RoundHalfEven(double(free.cluster) * double(space->freeClusters) / 1024.0);
  free.known = true;
  return free;
}

int64_t GetFreeDiskKB(const RunEnvironment& env, const QString& root) {
  env.WriteDebugPath(3020, "GetFreeDiskKB", root);
  const FreeSpace free = FreeSpaceKB(env.fs, root);
  if (!free.known) return 0;
  env.WriteDebug(3021, free.kb);
  return free.kb;
}

namespace {
int64_t SumClusters(const RunEnvironment& env, const QString& directory, int64_t count, int64_t clusterSize,
                    QString* currentItem) {
  if (env.cancel) return count;
  auto entries = env.fs.List(winpath::Join(directory, QStringLiteral("*.*")));
  if (!entries) return count;
  const int64_t start = count;
  for (const DirEntry& e : *entries) {
    env.DoEvents();
    if (env.cancel) return start;
    const QString path = winpath::Join(directory, e.name);
    if (currentItem) *currentItem = path;
    if (e.isDirectory) count = SumClusters(env, path, count, clusterSize, currentItem);
    else count += ClustersOf(e.size, clusterSize);
  }
  if (env.cancel) return start;
  return count;
}
}  // namespace

std::optional<int64_t> UsedSpaceKB(const RunEnvironment& env, const QString& listing, const QString& folder,
                                   QString* currentItem) {
  env.WriteDebugPath(3011, listing, folder);
  int64_t cluster = 32768;
  if (const auto space = env.fs.FreeSpaceOf(winpath::DriveRoot(folder))) {
    const int64_t c = int64_t(space->sectorsPerCluster) * space->bytesPerSector;
    if (c > 0) cluster = c;
  }
  env.WriteDebug(3012, cluster);
  // A missing listing adds nothing: the folder alone is what the save occupies then.
  int64_t clusters = ClustersOf(env.fs.FileLen(listing).value_or(0), cluster);
  env.WriteDebug(3013, clusters);
  clusters = SumClusters(env, folder, clusters, cluster, currentItem);
  env.WriteDebug(3014, clusters);
  if (env.cancel) return std::nullopt;  // a part of the folder was not counted
  const int64_t kb = RoundHalfEven(double(cluster) * double(clusters) / 1024.0);
  env.WriteDebug(3015, kb);
  return kb;
}

bool MakeDirPath(Platform& fs, const QString& path, const std::function<uint32_t(const QString&)>& modeFor) {
  QSet<QString> nothingKnown;  // the whole walk, from the drive root
  return MakeDirPath(fs, path, modeFor, nothingKnown);
}

bool MakeDirPath(Platform& fs, const QString& path, const std::function<uint32_t(const QString&)>& modeFor,
                 QSet<QString>& known) {
  if (known.contains(path)) {
    // The folder of the last copy, made or entered a moment ago: nothing to ask again.
    if (fs.CurrentDir() == path || fs.SetCurrentDir(path)) return true;
    known.clear();
  }
  QStringList levels;  // from the drive root down to the folder itself
  for (int n = 1;; ++n) {
    QString prefix = GetPathPrefix(path, n);
    if (prefix.isEmpty()) break;
    levels.push_back(std::move(prefix));
  }
  // The walk starts below the deepest folder known to be there. One that cannot be entered
  // any more (it went meanwhile, or the medium changed) sends it back to the drive root.
  qsizetype first = 0;
  for (qsizetype i = levels.size() - 2; i > 0; --i) {
    if (!known.contains(levels[i])) continue;
    if (fs.SetCurrentDir(levels[i])) first = i + 1;
    else known.clear();
    break;
  }
  if (first == 0) {
    if (fs.SetCurrentDir(path)) {
      known.insert(path);
      return true;
    }
  }
  for (qsizetype i = first; i < levels.size(); ++i) {
    const QString& prefix = levels[i];
    if (!fs.SetCurrentDir(prefix)) {
      if (i == 0) return false;  // a drive root is never created
      const uint32_t mode = modeFor ? modeFor(prefix) : kDefaultDirMode;
      if (!fs.MkDir(prefix, mode) && !fs.IsDirectory(prefix)) return false;
      if (!fs.SetCurrentDir(prefix)) return false;
    }
    known.insert(prefix);
  }
  if (!fs.SetCurrentDir(path)) return false;
  known.insert(path);
  return true;
}

void DeleteTree(const RunEnvironment& env, const QString& directory, QString* currentItem) {
  if (env.cancel) return;
  auto entries = env.fs.List(winpath::Join(directory, QStringLiteral("*.*")));
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    env.DoEvents();
    if (env.cancel) return;
    const QString path = winpath::Join(directory, e.name);
    if (currentItem) *currentItem = path;
    if (e.isDirectory) DeleteTree(env, path, currentItem);
    else env.fs.Kill(path);
    if (env.cancel) return;
  }
  QString parent, name;
  SplitPath(directory, parent, name);
  if (!parent.isEmpty()) env.fs.SetCurrentDir(parent);
  env.fs.RmDir(directory);
}

bool HoldSet(const RunEnvironment& env, QStringList& exclusiveHolds, int waitMs, const QString& setFolder,
             const QString& setName, LockKind kind, const QString& title, std::unique_ptr<SetLock>& hold,
             bool* waited) {
  hold.reset();
  if (waited) *waited = false;
  if (exclusiveHolds.contains(setName)) return true;
  SetLockResult r = env.fs.LockSet(setFolder, setName, kind, waitMs);
  if (waited) *waited = r.waited;
  if (r) {
    if (kind == LockKind::Shared) {
      hold = std::move(r.lock);
      return true;
    }
    // The name is the process's own until the hold goes.
    struct Exclusive : SetLock {
      Exclusive(QStringList& holds, const QString& name, std::unique_ptr<SetLock> inner)
          : holds_(holds), name_(name), inner_(std::move(inner)) {
        holds_.append(name_);
      }
      ~Exclusive() override { holds_.removeOne(name_); }
      QStringList& holds_;
      QString name_;
      std::unique_ptr<SetLock> inner_;
    };
    hold = std::make_unique<Exclusive>(exclusiveHolds, setName, std::move(r.lock));
    return true;
  }
  // A set folder where no hold can be made (missing, or not the user's to write): what
  // follows fails there by itself, with its own message, or only reads.
  if (!r.busy) return true;
  env.Warn(Question::SetInUse, title,
           TrWords("DriveInfo", "セット「%1」は他で使用中です（保存・復元・履歴の変更）。").arg(setName) + u'\r' +
               TrWords("DriveInfo", "終わってからもう一度実行してください。"));
  return false;
}

// --- The module's own, for its windows ---

QString Module1::FormatSerial(uint32_t serial) { return qarno::FormatSerial(serial); }

int64_t Module1::ClustersOf(int64_t bytes, int64_t clusterSize) { return qarno::ClustersOf(bytes, clusterSize); }

MediumQuery Module1::Medium() const {
  return MediumQuery{set.SaveDir, set.options.ChkVolSer == 1, !AutoRunMode.EndsProgram(), MainCaption,
                     AutoRunMode.mode};
}

bool Module1::ReadDriveInfo(QString& drive, QString& volumeName, QString& volumeSerial) {
  return qarno::ReadDriveInfo(Environment(), Medium(), acceptedMedium, drive, volumeName, volumeSerial);
}

int64_t Module1::GetFreeDiskKB(const QString& root) { return qarno::GetFreeDiskKB(Environment(), root); }

std::optional<int64_t> Module1::UsedSpaceKB(const QString& listing, const QString& folder) {
  return qarno::UsedSpaceKB(Environment(), listing, folder, &currentItem);
}

bool Module1::MakeDirPath(const QString& path, const std::function<uint32_t(const QString&)>& modeFor) {
  return qarno::MakeDirPath(fs, path, modeFor);
}

void Module1::DeleteTree(const QString& directory) { qarno::DeleteTree(Environment(), directory, &currentItem); }

bool Module1::HoldSet(const QString& setName, LockKind kind, const QString& title, std::unique_ptr<SetLock>& hold,
                      bool* waited) {
  return qarno::HoldSet(Environment(), exclusiveHolds_, setHoldWaitMs, SetFolder, setName, kind, title, hold, waited);
}

}  // namespace qarno
