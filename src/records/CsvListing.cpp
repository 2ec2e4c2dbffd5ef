// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/CsvListing.h"

#include "records/ListingLine.h"

namespace qarno {

bool OutCsvList(RunContext& run, const RunPaths& paths, bool overwrite, const QString& previousSave,
                const SaveListTable& list, RunMedium& medium) {
  const RunEnvironment& m = run.env;
  RunProgress& progress = run.progress;
  m.WriteDebug(2260, "OutCsvList");
  progress.status = QCoreApplication::translate("CsvListing", "CSVファイルの出力");
  auto failure = [&] {
    m.ui.Beep(BeepKind::Asterisk);
    const Words message = paths.SaveCsvFile + u'\r' + TrWords("CsvListing", "CSVファイルが作成できませんでした。");
    progress.status = QCoreApplication::translate("CsvListing", "CSVファイルの出力") + u'\r' + message.Shown();
    m.ui.MsgBox(Question::ListingNotWritten, run.caption, message, Buttons::OK, Icon::Exclamation);
    run.autoRun.Stop();
    progress.phase = phase::Idle;
    return false;
  };
  QString drive;
  if (!run.ReadDriveInfo(drive, medium.volumeName, medium.volumeSerial)) return failure();
  medium.drive = drive;
  if (!MakeDirPath(m.fs, paths.SaveSetHDir)) return failure();
  // The copies the listing vouches for reach the medium before the listing does.
  if (m.fs.IsDirectory(paths.SaveSetDir) && !m.fs.Sync(paths.SaveSetDir)) return failure();
  if (overwrite) {
    // The previous listing is kept as the backup listing by a copy: the listing itself stays
    // in place until the new one has replaced it whole, so that a stop, a write error or a
    // kill in between never leaves the overwrite save without a listing.
    const QString bak = paths.SaveSetHDir + u'\\' + kOverwriteBackupListing;
    const QString previous = paths.ListingOf(previousSave);
    if (m.fs.FileLen(previous)) m.fs.Copy(previous, bak);
    else m.fs.Kill(bak);
  }
  const int count = list.Count();
  progress.counter = 1;
  progress.total = count;
  progress.phase = phase::Csv;
  // Written in pieces as the lines are made: a listing of 32,765 entries is never whole in
  // memory beside the list it comes from.
  constexpr qsizetype kPiece = 256 * 1024;
  int row = 1;
  bool stopped = false;
  const FsStatus written = m.fs.WriteAtomic(paths.SaveCsvFile, [&](QByteArray& piece) {
    piece.clear();
    for (; row <= count && piece.size() < kPiece; ++row) {
      // A stop leaves the earlier listing, if any, as it was: the new one is written whole
      // or not at all.
      if (m.cancel) {
        stopped = true;
        return false;
      }
      const QString line = FormatListingLine(list[row]);
      m.WriteDebugPath(2270, "OutCsv", row);
      if (m.log.DebugMode == 1) m.WriteDebugPath(2271, line);
      else m.WriteDebug(2271);
      progress.lastEntry = list[row].path;
      piece += m.codec.EncodeLine(line);
      m.DoEvents();
      ++progress.counter;
    }
    return true;
  });
  if (stopped) return false;
  if (!written) return failure();
  progress.status = QCoreApplication::translate("CsvListing", "CSVファイルの出力") + QCoreApplication::translate("CsvListing", " ..... 終了");
  progress.phase = phase::Idle;
  return true;
}

bool OutSumList(RunContext& run, const RunPaths& paths, bool addToSave, const std::vector<ManifestEntry>& entries) {
  const RunEnvironment& m = run.env;
  m.WriteDebug(2265, "OutSumList");
  std::vector<ManifestEntry> merged;
  if (addToSave) {
    const auto earlier = m.fs.ReadAll(paths.SaveSumFile);
    merged = MergeManifest(ParseManifest(earlier.value_or(QByteArray())), entries);
  }
  ManifestText text(addToSave ? merged : entries);
  const auto next = [&](QByteArray& piece) {
    piece = text.Next(256 * 1024);
    return true;
  };
  if (m.fs.WriteAtomic(paths.SaveSumFile, next)) return true;
  // The earlier manifest no longer vouches for the copies this run replaced.
  m.fs.Kill(paths.SaveSumFile);
  m.WriteLog(QStringLiteral("内容の一覧を書けませんでした（保存は有効です）"), paths.SaveSumFile);
  run.progress.status += u'\r' + QCoreApplication::translate("CsvListing", "内容の一覧を書けませんでした");
  return false;
}

void MergeCsv(RunContext& run, const RunPaths& paths, const QString& previousSave, SaveListTable& list) {
  const RunEnvironment& m = run.env;
  RunProgress& progress = run.progress;
  m.WriteDebug(2340, "MergeCsv");
  progress.status = QCoreApplication::translate("CsvListing", "前回のCSVファイルとの合成") + QCoreApplication::translate("CsvListing", "... 処理中");
  const auto lines = m.ReadTextFile(paths.ListingOf(previousSave));
  auto done = [&] {
    progress.phase = phase::Idle;
    progress.status = QCoreApplication::translate("CsvListing", "前回のCSVファイルとの合成") + QCoreApplication::translate("CsvListing", "... 終了");
  };
  if (!lines) return done();
  progress.counter = 0;
  progress.total = lines->size();
  progress.phase = phase::Merge;
  int position = 1;
  for (const QString& line : *lines) {
    if (m.cancel) return;
    const ListingFields fields = SplitListingLine(line);
    const QString path = fields[SaveListEntry::Path].toString();
    if (fields.HasPath() && !list.FindNewPath(path, position) && fields.WellFormed() && IsListablePath(path)) {
      SaveListEntry e = fields.ToEntry();
      if (e.flag == Flag::Copied) e.flag = Flag::Unchanged;
      list.Append(std::move(e));
    }
    m.DoEvents();
    ++progress.counter;
  }
  done();
}

}  // namespace qarno
