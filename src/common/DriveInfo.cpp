// Drive and medium identity, free space and the space a save occupies.
#include "common/Module1.h"
#include "platform/WinPath.h"

namespace qarno {

QString Module1::FormatSerial(uint32_t serial) {
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

int64_t Module1::ClustersOf(int64_t bytes, int64_t clusterSize) {
  if (clusterSize <= 0) return 0;
  return bytes / clusterSize + (bytes % clusterSize != 0 ? 1 : 0);
}

bool Module1::ReadDriveInfo(QString& drive, QString& volumeName, QString& volumeSerial) {
  for (;;) {
    WriteDebugPath(3000, "ReadDriveInfo", drive, volumeName, volumeSerial);
    QString root;
    if (drive.isEmpty()) {
      drive = winpath::DriveRoot(set.SaveDir);
      root = drive;
    } else {
      root = winpath::DriveRoot(drive);
    }
    WriteDebugPath(3001, root);
    const DriveType type = fs.DriveTypeOf(root);
    WriteDebug(3002, static_cast<int>(type));
    const auto info = fs.VolumeOf(root);
    WriteDebugPath(3003, info.has_value(), info ? info->name : QString(), info ? static_cast<qint64>(info->serial) : 0);
    if (!info) {
      const Answer a = Warn(Question::DriveInfoUnreadable, MainCaption, root + u'\r' + QStringLiteral("ドライブ情報が取得できません。") + u'\r' +
                                             QStringLiteral("フォーマットされていますか？"),
                            Buttons::RetryCancel);
      if (a == Answer::Retry) continue;
      return false;
    }
    WriteDebug(3004);
    volumeSerial = FormatSerial(info->serial);
    WriteDebug(3005, volumeSerial);
    volumeName = info->name.trimmed();
    if (volumeName.endsWith(QChar(0))) volumeName.chop(1);
    // The history and the listings keep the volume name in a comma-separated field: a comma
    // of the label is recorded as the full-width one, which reads the same to a person.
    volumeName.replace(u',', QChar(0xFF0C));
    WriteDebugPath(3006, volumeName);

    const bool unidentifiable = volumeName.isEmpty() || info->serial == 0;
    const bool accepted = acceptedMedium.root == root && acceptedMedium.name == volumeName &&
                          acceptedMedium.serial == volumeSerial;
    if (unidentifiable && type != DriveType::Fixed && set.options.ChkVolSer == 1 && !accepted) {
      WriteDebug(3007);
      WriteDebug(3008, static_cast<int>(AutoRunMode.mode));
      Answer a = Answer::Ignore;
      if (!AutoRunMode.EndsProgram()) {
        a = Warn(Question::MediumUnidentifiable, MainCaption,
                 root + u'\r' + QStringLiteral("ボリューム名： ") + volumeName + QStringLiteral("　　シリアル番号: ") +
                     volumeSerial + u'\r' + u'\r' +
                     QStringLiteral("このプログラムはディスクのボリューム名とシリアル番号で履歴を管理しています。") +
                     u'\r' + QStringLiteral("フォーマットされるのをお勧めします。"),
                 Buttons::AbortRetryIgnore);
      }
      if (a == Answer::Abort) return false;
      if (a == Answer::Retry) continue;
      acceptedMedium = AcceptedMedium{root, volumeName, volumeSerial};
    }
    return true;
  }
}

int64_t Module1::GetFreeDiskKB(const QString& root) {
  WriteDebugPath(3020, "GetFreeDiskKB", root);
  const auto space = fs.FreeSpaceOf(winpath::DriveRoot(root));
  if (!space) return 0;
  const int64_t cluster = int64_t(space->sectorsPerCluster) * space->bytesPerSector;
  int64_t kb;
  if (cluster % 1024 == 0) kb = (cluster / 1024) * static_cast<int64_t>(space->freeClusters);
  else kb = RoundHalfEven(double(cluster) * double(space->freeClusters) / 1024.0);
  WriteDebug(3021, kb);
  return kb;
}

int64_t Module1::SumClusters(const QString& directory, int64_t count, int64_t clusterSize) {
  if (CancelFlag) return count;
  auto entries = fs.List(winpath::Join(directory, QStringLiteral("*.*")));
  if (!entries) return count;
  const int64_t start = count;
  for (const DirEntry& e : *entries) {
    ui.DoEvents();
    if (CancelFlag) return start;
    const QString path = winpath::Join(directory, e.name);
    currentItem = path;
    if (e.isDirectory) count = SumClusters(path, count, clusterSize);
    else count += ClustersOf(e.size, clusterSize);
  }
  if (CancelFlag) return start;
  return count;
}

std::optional<int64_t> Module1::UsedSpaceKB(const QString& listing, const QString& folder) {
  WriteDebugPath(3011, listing, folder);
  int64_t cluster = 32768;
  if (const auto space = fs.FreeSpaceOf(winpath::DriveRoot(folder))) {
    const int64_t c = int64_t(space->sectorsPerCluster) * space->bytesPerSector;
    if (c > 0) cluster = c;
  }
  WriteDebug(3012, cluster);
  // A missing listing adds nothing: the folder alone is what the save occupies then.
  int64_t clusters = ClustersOf(fs.FileLen(listing).value_or(0), cluster);
  WriteDebug(3013, clusters);
  clusters = SumClusters(folder, clusters, cluster);
  WriteDebug(3014, clusters);
  if (CancelFlag) return std::nullopt;  // a part of the folder was not counted
  const int64_t kb = RoundHalfEven(double(cluster) * double(clusters) / 1024.0);
  WriteDebug(3015, kb);
  return kb;
}

}  // namespace qarno
