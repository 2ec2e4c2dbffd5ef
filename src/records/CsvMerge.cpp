// The merge of an overwrite run: entries of the previous overwrite listing that this run's
// scan no longer finds are carried over, since their copies still lie in the save folder.
#include "engine/FSaveExec.h"
#include "records/CsvFields.h"

namespace qarno {

void FSaveExec::MergeCsv() {
  m.WriteDebug(2340, "MergeCsv");
  Status = QStringLiteral("前回のCSVファイルとの合成") + QStringLiteral("... 処理中");
  const QString previous = SaveSetHDir + u'\\' + TOldSetName + QStringLiteral(".csv");
  const auto lines = m.ReadTextFile(previous);
  auto done = [&] {
    phaseNow = phase::Idle;
    Status = QStringLiteral("前回のCSVファイルとの合成") + QStringLiteral("... 終了");
  };
  if (!lines) return done();
  progressCounter = 0;
  progressTotal = lines->size();
  phaseNow = phase::Merge;
  int position = 1;
  for (const QString& line : *lines) {
    if (m.CancelFlag) return;
    CsvCursor c(line);
    QStringView path, field;
    if (c.PathField(path) && !FindNewPath(path.toString(), position)) {
      SaveListEntry e;
      e[SaveListEntry::Path] = path.toString();
      bool whole = true;
      for (int f = SaveListEntry::Attributes; f <= SaveListEntry::Flag && whole; ++f) {
        whole = c.Field(field);
        e[f] = field.toString();
      }
      if (whole) {
        if (e[SaveListEntry::Flag] == u"3") e[SaveListEntry::Flag] = QStringLiteral("2");
        for (int f = SaveListEntry::SaveName; f <= SaveListEntry::Alias && c.Field(field); ++f) e[f] = field.toString();
        SaveList.Append(std::move(e));
      }
    }
    m.DoEvents();
    ++progressCounter;
  }
  done();
}

}  // namespace qarno
