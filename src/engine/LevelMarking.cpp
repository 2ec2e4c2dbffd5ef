// Level marking: which entries this run copies, and which are still held by an earlier run,
// decided against the previous run's listing.
#include "engine/FSaveExec.h"
#include "platform/WinPath.h"
#include "records/CsvFields.h"

#include <array>

namespace qarno {

namespace {

bool NeedsCopy(const QString& flag) { return flag == u"0" || flag == u"-2" || flag == u"8"; }

// Raises the alias counter to the listing's highest alias number.
void RaiseAlias(int32_t& counter, const QString& aliasField) {
  if (aliasField.isEmpty()) return;
  bool ok = false;
  const qlonglong v = aliasField.toLongLong(&ok);
  if (ok && v > counter && v <= std::numeric_limits<int32_t>::max()) counter = static_cast<int32_t>(v);
}

// Up to ten fields after the path, as views of the line.
int ViewFields(CsvCursor& c, std::array<QStringView, 10>& f) {
  int n = 0;
  while (n < 10 && c.Field(f[static_cast<size_t>(n)])) ++n;
  return n;
}
}  // namespace

bool FSaveExec::SetSaveListNewMark() {
  if (m.CancelFlag) return false;
  m.WriteDebug(2190, "SetSaveListNewMark", Level());
  switch (Level()) {
    case level::Level0: return SetSaveListNewMark0();
    case level::Level1:
    case level::Level2:
    case level::Overwrite: return SetSaveListNewMark1() && SetSaveListNewMark0();
    case level::Repair: return SetSaveListNewMark2() && SetSaveListNewMark0();
    default:
      m.Warn(Question::LevelOutOfRange, FSaveExecCaption, QStringLiteral("保存レベルの設定") + u'\r' + QStringLiteral("選択の範囲外です"));
      return false;
  }
}

bool FSaveExec::SetSaveListNewMark0() {
  m.WriteDebug(2200, "SetSaveListNewMark0");
  Status = QStringLiteral("今回のセーブリストの調査");
  phaseNow = phase::ThisList;
  ListInfo.Set(ListInfoTable::Files, 2, 0);
  ListInfo.Set(ListInfoTable::Folders, 2, 0);
  ListInfo.Set(ListInfoTable::KB, 2, 0);
  lastEntry.clear();
  progressTotal = SaveList.Count();
  for (int row = 1; row < SaveList.Rows(); ++row) {
    progressCounter = row;
    if (m.CancelFlag) return false;
    SaveListEntry& e = SaveList[row];
    if (NeedsCopy(e[SaveListEntry::Flag])) e[SaveListEntry::Flag] = QStringLiteral("4");
    if (e[SaveListEntry::Flag] == u"4") {
      ListInfo.Add(e.IsDirectory() ? ListInfoTable::Folders : ListInfoTable::Files, 2, 1);
      ListInfo.Add(ListInfoTable::KB, 2, KbOf(e[SaveListEntry::Size].toLongLong()));
    }
    m.DoEvents();
  }
  Status = QStringLiteral("今回のセーブリストの調査") + kPhaseDone;
  phaseNow = phase::Idle;
  return true;
}

bool FSaveExec::MediumCheckAgainstHistory() {
  const QString preSerial = preRow > 0 ? main.HisTable.Cell(preRow, HistoryEntry::VolSerial) : QString();
  const QString preName = preRow > 0 ? main.HisTable.Cell(preRow, HistoryEntry::VolName) : QString();
  for (;;) {
    QString d = drive, name, serial;
    if (!m.ReadDriveInfo(d, name, serial)) return false;
    if (preSerial.isEmpty() || preSerial == serial) return true;
    if (m.AutoRunMode >= 2) return true;
    const Answer a = m.Warn(Question::MediumChangedSincePrevious, FSaveExecCaption,
                            d + u'\r' + QStringLiteral("前回とメディアが変わっています。") + u'\r' +
                                QStringLiteral("    前回のメディアのシリアル番号 : ") + preSerial + u'\r' +
                                QStringLiteral("    前回のメディアのボリューム名 : ") + preName + u'\r' +
                                QStringLiteral("    今回のメディアのシリアル番号 : ") + serial + u'\r' +
                                QStringLiteral("    今回のメディアのボリューム名 : ") + name + u'\r' + u'\r' +
                                QStringLiteral("交換して下さい。"),
                            Buttons::YesNoCancel);
    if (a == Answer::Yes) continue;
    return a == Answer::No;
  }
}

std::optional<QStringList> FSaveExec::ReadPreviousListing(QString& firstPath, bool createIfMissing) {
  const QString preName = preRow > 0 ? main.HisTable.Cell(preRow, HistoryEntry::SaveName) : TOldSetName;
  const QString preDir = preRow > 0 ? main.HisTable.Cell(preRow, HistoryEntry::SaveDir) : m.set.SaveDir;
  firstPath = winpath::Join(winpath::Join(preDir, m.set.Name), preName + QStringLiteral(".csv"));
  if (auto lines = m.ReadTextFile(firstPath)) return lines;
  if (createIfMissing) {
    // The first overwrite run after its listing went missing starts from an empty one.
    m.fs.WriteAtomic(firstPath, QByteArray());
    return QStringList();
  }
  const QString second = SaveSetHDir + u'\\' + preName + QStringLiteral(".csv");
  if (auto lines = m.ReadTextFile(second)) return lines;
  firstPath = second;
  return std::nullopt;
}

bool FSaveExec::PreviousListError() {
  phaseNow = phase::Idle;
  Status = QStringLiteral("前回のセーブリストの調査") + QStringLiteral("　...　エラーです");
  return false;
}

bool FSaveExec::SetSaveListNewMark1() {
  m.WriteDebug(2210, "SetSaveListNewMark1", preRow);
  if (preRow == 0) return true;
  Status = QStringLiteral("前回のセーブリストの調査");
  phaseNow = phase::PreviousList;
  if (!MediumCheckAgainstHistory()) return PreviousListError();

  QString path;
  const auto lines = ReadPreviousListing(path, Level() == level::Overwrite);
  if (!lines) {
    if (m.AutoRunMode >= 2) {
      m.set.SaveLevel = level::Level0;
      ShowLevel();
      preRow = 0;
      Status = QStringLiteral("前回のセーブリストの調査") + kPhaseDone;
      phaseNow = phase::Idle;
      return true;
    }
    m.Warn(Question::PreviousListingMissing, FSaveExecCaption, path + u'\r' + QStringLiteral("前回のCSVファイルがありません。"));
    m.AutoRunMode = -1;
    return PreviousListError();
  }

  // First pass: the count, and the highest alias number already used.
  progressTotal = lines->size();
  progressCounter = 0;
  for (const QString& line : *lines) {
    if (m.CancelFlag) return false;
    CsvCursor c(line);
    QStringView path;
    c.PathField(path);
    std::array<QStringView, 10> f;
    if (ViewFields(c, f) == 10) RaiseAlias(aliasCounter, f[9].toString());
  }
  // Second pass: apply each line, the search going on from the last row found.
  int position = 1;
  for (const QString& line : *lines) {
    CheckCsv(line, position);
    m.DoEvents();
    ++progressCounter;
    if (m.CancelFlag) return false;
  }
  phaseNow = phase::Idle;
  Status = QStringLiteral("前回のセーブリストの調査") + kPhaseDone;
  return true;
}

void FSaveExec::CheckCsv(const QString& line, int& position) {
  CsvCursor c(line);
  QStringView pathView;
  if (!c.PathField(pathView)) return;
  if (!FindNewPath(pathView.toString(), position)) return;
  SaveListEntry& row = SaveList[position];
  std::array<QStringView, 10> f;
  const int n = ViewFields(c, f);
  if (n < 4) {
    row[SaveListEntry::Flag] = QStringLiteral("4");
    return;
  }
  const QStringView attributes = f[0], size = f[1], date = f[2], flag = f[3];
  if (row[SaveListEntry::Date] == date && row[SaveListEntry::Size] == size &&
      row[SaveListEntry::Attributes] == attributes && (flag == u"3" || flag == u"2")) {
    row[SaveListEntry::Flag] = QStringLiteral("2");
    for (int i = 4; i < n; ++i) row[SaveListEntry::Flag + i - 3] = f[static_cast<size_t>(i)].toString();
  } else {
    row[SaveListEntry::Flag] = QStringLiteral("4");
  }
}

bool FSaveExec::SetSaveListNewMark2() {
  m.WriteDebug(2220, "SetSaveListNewMark2", preRow);
  Status = QStringLiteral("前回のセーブリストの調査");
  phaseNow = phase::PreviousList;
  if (m.ExecMode == 1 && !MediumCheckAgainstHistory()) return PreviousListError();
  QString path;
  const auto lines = ReadPreviousListing(path, false);
  if (!lines) {
    m.Warn(Question::PreviousListingMissing, FSaveExecCaption, path + u'\r' + QStringLiteral("前回のCSVファイルがありません。"));
    m.AutoRunMode = -1;
    return PreviousListError();
  }
  progressTotal = lines->size();
  progressCounter = 0;
  for (int r = 1; r <= 3; ++r) {
    ListInfo.Set(r, 1, 0);
    if (m.ExecMode == 1) ListInfo.Set(r, 2, 0);
  }
  for (const QString& line : *lines) {
    CsvCursor c(line);
    QStringView path;
    c.PathField(path);
    SaveListEntry e;
    e[SaveListEntry::Path] = path.toString();
    std::array<QStringView, 10> f;
    const int n = ViewFields(c, f);
    for (int i = 0; i < n; ++i) e[SaveListEntry::Attributes + i] = f[static_cast<size_t>(i)].toString();
    const int64_t kb = KbOf(e[SaveListEntry::Size].toLongLong());
    ListInfo.Add(ListInfoTable::KB, 1, kb);
    const int kind = e.IsDirectory() ? ListInfoTable::Folders : ListInfoTable::Files;
    ListInfo.Add(kind, 1, 1);
    if (m.ExecMode == 1) {
      if (NeedsCopy(e[SaveListEntry::Flag])) {
        ListInfo.Add(kind, 2, 1);
        ListInfo.Add(ListInfoTable::KB, 2, kb);
        e[SaveListEntry::Flag] = QStringLiteral("4");
      }
      if (e[SaveListEntry::Flag] == u"3") e[SaveListEntry::Flag] = QStringLiteral("5");
    }
    RaiseAlias(aliasCounter, e[SaveListEntry::Alias]);
    SaveList.Append(std::move(e));
    ++progressCounter;
    m.DoEvents();
    if (m.CancelFlag) return false;
  }
  phaseNow = phase::Idle;
  Status = QStringLiteral("前回のセーブリストの調査") + kPhaseDone;
  return true;
}

}  // namespace qarno
