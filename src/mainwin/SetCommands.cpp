// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/SetCommands.h"

#include "mainwin/SetNames.h"
#include "platform/WinPath.h"

#include <algorithm>

namespace qarno {

bool AskToSaveChanges(Qarno& main) {
  Module1& m = main.m;
  if (!m.SetModified && !m.HistoryModified) return true;
  const Answer a = m.Warn(Question::SaveChangedSet, m.MainCaption,
                          TrWords("SetCommands", "（%1）は変更されています。").arg(m.set.Name) + u'\r' + TrWords("SetCommands", "保存しますか？"),
                          Buttons::YesNoCancel);
  if (a == Answer::Yes) {
    if (m.SetModified && !main.WriteSetFile()) return false;
    if (m.HistoryModified && !main.SaveHisFile()) return false;
    return true;
  }
  if (a == Answer::No) {
    m.Warn(Question::ChangesDiscarded, m.MainCaption,
           TrWords("SetCommands", "（%1）の変更は破棄されました。").arg(m.set.Name));
    return true;
  }
  return false;
}

bool AskToDropHistory(Qarno& main) {
  Module1& m = main.m;
  if (!m.HistoryModified) return true;
  return m.Warn(Question::DiscardChangedHistory, m.MainCaption,
                TrWords("SetCommands", "（%1）の保存履歴は変更されています。").arg(m.set.Name) + u'\r' + TrWords("SetCommands", "破棄しますか？"),
                Buttons::YesNo) == Answer::Yes;
}

bool SaveSetAs(Qarno& main, const QString& name) {
  Module1& m = main.m;
  const QString before = m.set.Name;
  m.set.Name = name;
  if (!main.WriteSetFile()) {
    m.set.Name = before;
    return false;
  }
  main.ReadSetFile();
  return true;
}

bool AcceptSetName(Module1& m, QString& name, bool saveAsMode, const QString& title) {
  name = name.trimmed();
  if (name.isEmpty()) {
    m.Warn(Question::SetFileNameMissing, title, TrWords("SetCommands", "セットファイル名を指定してください。"));
    return false;
  }
  if (const Words reason = InvalidNameWords(name); !reason.Own().isEmpty()) {
    m.Warn(Question::SetNameInvalid, title, name + u'\r' + TrWords("SetCommands", "この名前は使えません。") + u'\r' + reason);
    return false;
  }
  const QString path = winpath::Join(m.SetFolder, name + QStringLiteral(".qrn"));
  const bool exists = m.fs.Open(path, QIODevice::ReadOnly) != nullptr;
  if (exists) {
    if (saveAsMode &&
        m.Warn(Question::OverwriteSet, title,
               name + u'\r' + TrWords("SetCommands", "すでにあります。") + u'\r' + TrWords("SetCommands", "上書きしますか？"),
               Buttons::YesNo) != Answer::Yes)
      return false;
    return true;
  }
  if (saveAsMode) return true;
  if (m.Warn(Question::CreateSet, title,
             name + u'\r' + TrWords("SetCommands", "新しいセット名です。") + u'\r' + TrWords("SetCommands", "作成しますか？"),
             Buttons::OKCancel) != Answer::OK)
    return false;
  // A new set file is made empty, and never over a file that appeared meanwhile.
  auto file = m.fs.Open(path, QIODevice::WriteOnly | QIODevice::NewOnly);
  if (!file) {
    m.Warn(Question::SetFileNotCreated, title, name + u'\r' + TrWords("SetCommands", "セットファイルを作成できませんでした。"));
    return false;
  }
  return true;
}

SetDeletion DeleteSet(Qarno& main, QString name, const QString& title) {
  Module1& m = main.m;
  name = name.trimmed();
  if (name.isEmpty()) {
    m.Warn(Question::NoSetName, title, TrWords("SetCommands", "セット名を指定してください。"));
    return SetDeletion::NotDone;
  }
  // A name that could reach outside the set folder never deletes anything.
  if (const Words reason = InvalidNameWords(name); !reason.Own().isEmpty()) {
    m.Warn(Question::SetNameInvalid, title, name + u'\r' + TrWords("SetCommands", "この名前は使えません。") + u'\r' + reason);
    return SetDeletion::NotDone;
  }
  if (m.Warn(Question::DeleteSet, title,
             TrWords("SetCommands", "セット名： ") + name + u'\r' + TrWords("SetCommands", "本当に削除しますか？") + u'\r' + u'\r' +
                 TrWords("SetCommands", "(保存履歴は削除されますが、保存データは削除されません！）"),
             Buttons::OKCancel) != Answer::OK)
    return SetDeletion::NotDone;
  m.fs.Kill(winpath::Join(m.SetFolder, name + QStringLiteral(".qrn")));
  m.fs.Kill(winpath::Join(m.SetFolder, name + QStringLiteral(".qrl")));
  if (name != m.set.Name) return SetDeletion::Deleted;
  m.SetModified = false;
  m.HistoryModified = false;
  m.set.Name.clear();
  main.ClearSetFileData();
  m.MainCaption = m.ProgramName;
  return SetDeletion::DeletedCurrent;
}

bool AcceptSetFolderName(Module1& m, const QString& name, const QString& title) {
  if (name.trimmed().isEmpty()) {
    m.Warn(Question::SetFolderNameMissing, title, TrWords("SetCommands", "セットフォルダー名を指定してください。"));
    return false;
  }
  if (const Words reason = InvalidNameWords(name); !reason.Own().isEmpty()) {
    m.Warn(Question::SetFolderNameInvalid, title,
           name + u'\r' + TrWords("SetCommands", "この名前は使えません。") + u'\r' + reason);
    return false;
  }
  return true;
}

bool ChangeSetFolder(Qarno& main, const QString& folderName) {
  Module1& m = main.m;
  if (folderName == m.settings.SetDirName) return false;
  const QString folder = winpath::Join(m.ProgramFolder, folderName);
  if (!m.MakeDirPath(folder)) {
    m.Warn(Question::NewSetFolderNotMade, m.MainCaption, folder + u'\r' + TrWords("SetCommands", "フォルダーが作成できません。"));
    return false;
  }
  m.settings.SetDirName = folderName;
  m.SetFolder = folder;
  m.set.Name.clear();
  main.ClearSetFileData();
  m.MainCaption = m.ProgramName;
  return true;
}

QStringList& ShownList(Module1& m, bool saveList) { return saveList ? m.set.SaveList : m.set.SkipList; }

bool RemoveEntries(Module1& m, bool saveList, QList<int> rows, const QString& title) {
  QStringList& list = ShownList(m, saveList);
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  bool removed = false;
  for (const int r : rows) {
    if (r < 0 || r >= list.size()) continue;
    list.removeAt(r);
    removed = true;
  }
  if (removed) {
    m.SetModified = true;
    return true;
  }
  m.Warn(Question::NoItemSelected, title, TrWords("SetCommands", "項目が選択されていません。"));
  return false;
}

int ApendEntry(Module1& m, bool saveList, QString text, int modifyRow, const QString& title) {
  text = text.trimmed();
  if (text.isEmpty()) {
    m.Warn(Question::NoItemSelected, title, TrWords("SetCommands", "項目が選択されていません。"));
    return -1;
  }
  QStringList& list = ShownList(m, saveList);
  for (int i = 0; i < list.size(); ++i) {
    if (i == modifyRow) continue;
    if (list[i].compare(text, Qt::CaseInsensitive) == 0) {
      m.Warn(Question::AlreadyRegistered, title, text + u'\r' + TrWords("SetCommands", "すでに登録済みです。"));
      return -1;
    }
  }
  int index;
  if (modifyRow >= 0 && modifyRow < list.size()) {
    list[modifyRow] = text;
    index = modifyRow;
  } else {
    list.append(text);
    index = static_cast<int>(list.size()) - 1;
  }
  m.SetModified = true;
  return index;
}

QString FileInDirectory(const QString& directory, const QString& file) {
  if (directory.size() == 3 && directory.endsWith(u'\\')) return directory + file;
  return directory + u'\\' + file;
}

}  // namespace qarno
