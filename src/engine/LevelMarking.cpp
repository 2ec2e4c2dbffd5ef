// SPDX-License-Identifier: GPL-3.0-or-later
// Level marking: which entries this run copies, and which are still held by an earlier run,
// decided against the previous run's listing.
#include "engine/FSaveExec.h"

#include "engine/Marking.h"
#include "platform/WinPath.h"
#include "records/ListingLine.h"

namespace qarno {

bool FSaveExec::SetSaveListNewMark() {
  if (env_.cancel) return false;
  env_.WriteDebug(2190, "SetSaveListNewMark", NumberOf(Level()));
  switch (Level()) {
    case Level::Level0: return SetSaveListNewMark0();
    case Level::Level1:
    case Level::Level2:
    case Level::Overwrite: return SetSaveListNewMark1() && SetSaveListNewMark0();
    case Level::Repair: return SetSaveListNewMark2() && SetSaveListNewMark0();
    default:
      env_.Warn(Question::LevelOutOfRange, s_.texts.FSaveExecCaption,
             TrWords("FSaveExec", "保存レベルの設定") + u'\r' + TrWords("FSaveExec", "選択の範囲外です"));
      return false;
  }
}

bool FSaveExec::SetSaveListNewMark0() {
  env_.WriteDebug(2200, "SetSaveListNewMark0");
  RunProgress& p = s_.progress;
  run_.Enter(phase::ThisList, QCoreApplication::translate("FSaveExec", "今回のセーブリストの調査"));
  ListInfo_.Set(ListInfoTable::Files, 2, 0);
  ListInfo_.Set(ListInfoTable::Folders, 2, 0);
  ListInfo_.Set(ListInfoTable::KB, 2, 0);
  p.lastEntry.clear();
  p.total = SaveList_.Count();
  for (int row = 1; row < SaveList_.Rows(); ++row) {
    p.counter = row;
    if (env_.cancel) return false;
    SaveListEntry& e = SaveList_[row];
    if (NeedsCopy(e.flag)) e.flag = Flag::ToCopy;
    if (e.flag == Flag::ToCopy) {
      ListInfo_.Add(e.IsDirectory() ? ListInfoTable::Folders : ListInfoTable::Files, 2, 1);
      ListInfo_.Add(ListInfoTable::KB, 2, KbOf(e.size.Bytes()));
    }
    env_.DoEvents();
  }
  run_.Enter(phase::Idle, QCoreApplication::translate("FSaveExec", "今回のセーブリストの調査") + PhaseDone());
  return true;
}

bool FSaveExec::MediumCheckAgainstHistory() {
  const HistoryTable& h = history_.Table();
  const QString preSerial = s_.preRow > 0 ? h.Cell(s_.preRow, HistoryEntry::VolSerial) : QString();
  const QString preName = s_.preRow > 0 ? h.Cell(s_.preRow, HistoryEntry::VolName) : QString();
  for (;;) {
    QString d = s_.medium.drive, name, serial;
    if (!ReadDrive(d, name, serial)) return false;
    if (preSerial.isEmpty() || preSerial == serial) return true;
    if (autoRun_.Unattended()) return true;
    const Answer a = env_.Warn(Question::MediumChangedSincePrevious, s_.texts.FSaveExecCaption,
                            d + u'\r' + TrWords("FSaveExec", "前回とメディアが変わっています。") + u'\r' +
                                TrWords("FSaveExec", "    前回のメディアのシリアル番号 : ") + preSerial + u'\r' +
                                TrWords("FSaveExec", "    前回のメディアのボリューム名 : ") + preName + u'\r' +
                                TrWords("FSaveExec", "    今回のメディアのシリアル番号 : ") + serial + u'\r' +
                                TrWords("FSaveExec", "    今回のメディアのボリューム名 : ") + name + u'\r' + u'\r' +
                                TrWords("FSaveExec", "交換して下さい。"),
                            Buttons::YesNoCancel);
    if (a == Answer::Yes) continue;
    return a == Answer::No;
  }
}

std::optional<QStringList> FSaveExec::ReadPreviousListing(QString& firstPath, bool createIfMissing) {
  const HistoryTable& h = history_.Table();
  const QString preName = s_.preRow > 0 ? h.Cell(s_.preRow, HistoryEntry::SaveName) : s_.texts.TOldSetName;
  const QString preDir = s_.preRow > 0 ? h.Cell(s_.preRow, HistoryEntry::SaveDir) : request_.set.SaveDir;
  firstPath = RunPaths::Of(preDir, request_.set.Name, preName).SaveCsvFile;
  if (auto lines = env_.ReadTextFile(firstPath)) return lines;
  if (createIfMissing) {
    // The first overwrite run after its listing went missing starts from an empty one.
    env_.fs.WriteAtomic(firstPath, QByteArray());
    return QStringList();
  }
  const QString second = s_.paths.ListingOf(preName);
  if (auto lines = env_.ReadTextFile(second)) return lines;
  firstPath = second;
  return std::nullopt;
}

bool FSaveExec::PreviousListError() {
  run_.Enter(phase::Idle, QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査") + QCoreApplication::translate("FSaveExec", "　...　エラーです"));
  return false;
}

void FSaveExec::FallBackToLevel0() {
  level_ = Level::Level0;
  s_.outcome.fellBackToLevel0 = true;
  ShowLevel();
  s_.preRow = 0;
}

bool FSaveExec::SetSaveListNewMark1() {
  env_.WriteDebug(2210, "SetSaveListNewMark1", s_.preRow);
  if (s_.preRow == 0) return true;
  RunProgress& p = s_.progress;
  run_.Enter(phase::PreviousList, QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査"));
  if (!MediumCheckAgainstHistory()) return PreviousListError();

  QString path;
  const auto lines = ReadPreviousListing(path, Level() == Level::Overwrite);
  if (!lines) {
    if (autoRun_.Unattended()) {
      FallBackToLevel0();
      run_.Enter(phase::Idle, QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査") + PhaseDone());
      return true;
    }
    env_.Warn(Question::PreviousListingMissing, s_.texts.FSaveExecCaption,
           path + u'\r' + TrWords("FSaveExec", "前回のCSVファイルがありません。"));
    autoRun_.Stop();
    return PreviousListError();
  }

  // First pass: the count, and the highest alias number already used.
  p.total = lines->size();
  p.counter = 0;
  for (const QString& line : *lines) {
    if (env_.cancel) return false;
    s_.aliasCounter = RaiseAlias(s_.aliasCounter, SplitListingLine(line)[SaveListEntry::Alias]);
  }
  // Second pass: apply each line, the search going on from the last row found.
  int position = 1;
  for (const QString& line : *lines) {
    CheckCsv(line, position);
    env_.DoEvents();
    ++p.counter;
    if (env_.cancel) return false;
  }
  run_.Enter(phase::Idle, QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査") + PhaseDone());
  return true;
}

void FSaveExec::CheckCsv(const QString& line, int& position) {
  const ListingFields fields = SplitListingLine(line);
  if (!fields.HasPath()) return;
  if (!SaveList_.FindNewPath(fields[SaveListEntry::Path].toString(), position)) return;
  SaveListEntry& row = SaveList_[position];
  MarkAgainstPrevious(row, fields);
  // A changed entry of the overwrite save: its previous copy stays until a new one replaces
  // it, and is what the listing names if the new copy fails.
  if (Level() == Level::Overwrite && row.flag == Flag::ToCopy && fields.WellFormed() &&
      fields[SaveListEntry::SaveName] == kOverwriteSave)
    previousCopies_[position] = fields.ToEntry();
}

bool FSaveExec::SetSaveListNewMark2() {
  env_.WriteDebug(2220, "SetSaveListNewMark2", s_.preRow);
  RunProgress& p = s_.progress;
  run_.Enter(phase::PreviousList, QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査"));
  const bool backupRun = request_.execMode == SaveExecMode::Run;
  if (backupRun && !MediumCheckAgainstHistory()) return PreviousListError();
  QString path;
  const auto lines = ReadPreviousListing(path, false);
  if (!lines) {
    // A repair run reads the previous run's listing; the recorded-run view reads the listing
    // of the run the user picked, which need not be the previous one.
    env_.Warn(Question::PreviousListingMissing, s_.texts.FSaveExecCaption,
              path + u'\r' +
                  (backupRun ? TrWords("FSaveExec", "前回のCSVファイルがありません。")
                             : TrWords("FSaveExec", "この保存のCSVファイルがありません。")));
    autoRun_.Stop();
    return PreviousListError();
  }
  p.total = lines->size();
  p.counter = 0;
  for (int r = 1; r <= 3; ++r) {
    ListInfo_.Set(r, 1, 0);
    if (backupRun) ListInfo_.Set(r, 2, 0);
  }
  SaveList_.Reserve(static_cast<int>(lines->size()));
  for (const QString& line : *lines) {
    SaveListEntry e = SplitListingLine(line).ToEntry();
    // A repair copies what the listing names: only paths a run may take.
    if (backupRun && !IsListablePath(e.path)) {
      RefuseName(e.path);
      ++p.counter;
      continue;
    }
    const int64_t kb = KbOf(e.size.Bytes());
    ListInfo_.Add(ListInfoTable::KB, 1, kb);
    const int kind = e.IsDirectory() ? ListInfoTable::Folders : ListInfoTable::Files;
    ListInfo_.Add(kind, 1, 1);
    if (backupRun) {
      if (NeedsCopy(e.flag)) {
        ListInfo_.Add(kind, 2, 1);
        ListInfo_.Add(ListInfoTable::KB, 2, kb);
        e.flag = Flag::ToCopy;
      }
      if (e.flag == Flag::Copied) e.flag = Flag::Repaired;
    }
    s_.aliasCounter = RaiseAlias(s_.aliasCounter, e.alias);
    SaveList_.Append(std::move(e));
    ++p.counter;
    env_.DoEvents();
    if (env_.cancel) return false;
  }
  run_.Enter(phase::Idle, QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査") + PhaseDone());
  return true;
}

}  // namespace qarno
