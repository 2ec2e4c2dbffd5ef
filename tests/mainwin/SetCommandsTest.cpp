// SPDX-License-Identifier: GPL-3.0-or-later
// The set commands and list editing of the main window, without widgets: names that may
// become files, the set dialogs' decisions, the drive list.
#include "mainwin/DriveList.h"
#include "mainwin/SetCommands.h"
#include "mainwin/SetNames.h"
#include "mainwin/StartMode.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

TEST(SetNames, RefusesWhatAWindowsFileNameCannotHoldOrWhatLeavesTheFolder) {
  for (const char* ok : {"daily", "my set", "日本語のセット", "a.b", ".hidden", "console", "com10", "x-y_z"})
    EXPECT_TRUE(InvalidNameReason(QString::fromUtf8(ok)).isEmpty()) << ok;
  for (const char* bad : {"../x", "..", ".", "a/b", "a\\b", "c:x", "a*", "a?", "a\"b", "<a>", "a|b", "x.", "x ",
                          "CON", "nul.txt", "Com1", "lpt9.qrn", "tab\there"})
    EXPECT_FALSE(InvalidNameReason(QString::fromUtf8(bad)).isEmpty()) << bad;
}

TEST(SetNames, ListsSetsAndFoldersAsAFileListShowsThem) {
  TestEnv env;
  for (const char* f : {"b.qrn", "A.qrn", "c.qrl", "notes.txt", "Z.QRN"}) env.WriteFile(QStringLiteral("T:\\sets\\") + QLatin1String(f), "");
  env.MakeDir(QStringLiteral("T:\\sets\\folder.qrn"));
  env.MakeDir(QStringLiteral("T:\\sets\\Sub"));
  env.MakeDir(QStringLiteral("T:\\sets\\another"));
  EXPECT_EQ(ListSetNames(env.fs, QStringLiteral("T:\\sets")),
            (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("Z")}));
  EXPECT_EQ(ListSubfolders(env.fs, QStringLiteral("T:\\sets")),
            (QStringList{QStringLiteral("another"), QStringLiteral("folder.qrn"), QStringLiteral("Sub")}));
  EXPECT_TRUE(ListSetNames(env.fs, QStringLiteral("T:\\missing")).isEmpty());
}

TEST(SetNames, AnAutomaticRunIsAskedByBOrS) {
  EXPECT_TRUE(AsksForAutoRun(QStringLiteral("daily /B2")));
  EXPECT_TRUE(AsksForAutoRun(QStringLiteral("daily /b")));
  EXPECT_TRUE(AsksForAutoRun(QStringLiteral("\"my set\" /s")));
  EXPECT_FALSE(AsksForAutoRun(QStringLiteral("daily /L1 /W2")));
  EXPECT_TRUE(AsksForAutoRun(QStringLiteral("/Bogus-1")));  // unreadable counts as 0: a run
  EXPECT_FALSE(AsksForAutoRun(QStringLiteral("daily /B-1")));
}

TEST(SetNames, SwitchesTheCommandLinePassesOverAreNamedAndNoOthers) {
  EXPECT_EQ(SwitchProblems(QStringLiteral("\"my set\" /L0 /l4 /B2 /B /c1 /W2 /S /D1 /D-3 /B2.6")), QStringList());
  EXPECT_EQ(SwitchProblems(QStringLiteral("daily /X1 /Lx /L9 /L /W5 /C2 /Bz / /L2")),
            (QStringList{QStringLiteral("不明なスイッチ: /X1"), QStringLiteral("スイッチの値が不正です: /Lx"),
                         QStringLiteral("スイッチの値が不正です: /L9"), QStringLiteral("スイッチの値が不正です: /L"),
                         QStringLiteral("スイッチの値が不正です: /W5"), QStringLiteral("スイッチの値が不正です: /C2"),
                         QStringLiteral("スイッチの値が不正です: /Bz"), QStringLiteral("不明なスイッチ: /")}));
}

TEST(SetCommands, SetNameDialogCreatesOnlyNewSetsItWasToldToAndNeverOutsideTheFolder) {
  TestEnv env;
  Module1& m = *env.m;
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), "dir=T:\\d\r\n");
  QString name = QStringLiteral("  daily ");
  EXPECT_TRUE(AcceptSetName(m, name, false, QStringLiteral("t")));
  EXPECT_EQ(name, QStringLiteral("daily"));
  EXPECT_TRUE(env.ui.messages.isEmpty());

  name = QStringLiteral("../escape");
  env.ui.Expect(Question::SetNameInvalid, Answer::OK, QStringLiteral("../escape\rこの名前は使えません。"));
  EXPECT_FALSE(AcceptSetName(m, name, false, QStringLiteral("t")));
  env.ui.Expect(Question::SetNameInvalid, Answer::OK);
  EXPECT_FALSE(AcceptSetName(m, name, true, QStringLiteral("t")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\escape.qrn")));

  name = QStringLiteral("new");
  env.ui.Expect(Question::CreateSet, Answer::OK);
  EXPECT_TRUE(AcceptSetName(m, name, false, QStringLiteral("t")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\new.qrn")));
  name = QStringLiteral("other");
  EXPECT_TRUE(AcceptSetName(m, name, true, QStringLiteral("t")));  // save as a new name: no question
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\other.qrn")));  // written by the caller

  // A set file that cannot be made: the set folder is missing.
  m.SetFolder = QStringLiteral("T:\\prog\\NoSuchFolder");
  name = QStringLiteral("lost");
  env.ui.Expect(Question::CreateSet, Answer::OK);
  env.ui.Expect(Question::SetFileNotCreated, Answer::OK, QStringLiteral("lost\rセットファイルを作成できませんでした。"));
  EXPECT_FALSE(AcceptSetName(m, name, false, QStringLiteral("t")));
  EXPECT_TRUE(env.ui.Exhausted());
}

TEST(SetCommands, DeletingASetRemovesItsFilesButNeverTheSaves) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno main(m);
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\old.qrn"), "x");
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\old.qrl"), "y");
  env.WriteFile(QStringLiteral("T:\\dst\\old\\qrn20240101_1\\a.txt"), "saved");
  m.set.Name = QStringLiteral("current");
  env.ui.Expect(Question::DeleteSet, Answer::OK);
  EXPECT_EQ(DeleteSet(main, QStringLiteral(" old "), QStringLiteral("t")), SetDeletion::Deleted);
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\old.qrn")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\old.qrl")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\old\\qrn20240101_1\\a.txt")));
  EXPECT_EQ(m.set.Name, QStringLiteral("current"));
  // A name that would reach outside the set folder deletes nothing, without asking.
  env.WriteFile(QStringLiteral("T:\\prog\\keep.qrn"), "k");
  env.ui.Expect(Question::SetNameInvalid, Answer::OK);
  EXPECT_EQ(DeleteSet(main, QStringLiteral("..\\keep"), QStringLiteral("t")), SetDeletion::NotDone);
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\prog\\keep.qrn")));
  // The current set: emptied, and its flags cleared.
  m.set.SaveList = {QStringLiteral("T:\\a")};
  m.SetModified = m.HistoryModified = true;
  env.ui.Expect(Question::DeleteSet, Answer::OK);
  EXPECT_EQ(DeleteSet(main, QStringLiteral("current"), QStringLiteral("t")), SetDeletion::DeletedCurrent);
  EXPECT_TRUE(m.set.Name.isEmpty());
  EXPECT_TRUE(m.set.SaveList.isEmpty());
  EXPECT_FALSE(m.SetModified || m.HistoryModified);
  EXPECT_TRUE(env.ui.Exhausted());
}

TEST(SetCommands, SaveAsThatCannotWriteKeepsTheSetUnderItsOwnName) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno main(m);
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), "dir=T:\\d\r\nT:\\src\r\n");
  env.MakeDir(QStringLiteral("T:\\prog\\SetDir\\taken.qrn"));  // a folder where the set file would go
  m.set.Name = QStringLiteral("daily");
  main.ReadSetFile();
  m.set.SaveList += QStringLiteral("T:\\more");
  m.SetModified = true;
  env.ui.Expect(Question::SetFileNotSaved, Answer::OK);
  EXPECT_FALSE(SaveSetAs(main, QStringLiteral("taken")));
  EXPECT_EQ(m.set.Name, QStringLiteral("daily"));
  EXPECT_EQ(m.set.SaveList, (QStringList{QStringLiteral("T:\\src"), QStringLiteral("T:\\more")}));
  EXPECT_TRUE(m.SetModified);
  // Written under the new name, the set is read back from there.
  EXPECT_TRUE(SaveSetAs(main, QStringLiteral("copy")));
  EXPECT_EQ(m.set.Name, QStringLiteral("copy"));
  EXPECT_EQ(m.MainCaption, m.ProgramName + QStringLiteral("  copy"));
  EXPECT_EQ(m.set.SaveList, (QStringList{QStringLiteral("T:\\src"), QStringLiteral("T:\\more")}));
  EXPECT_FALSE(m.SetModified);
  EXPECT_TRUE(env.ui.Exhausted());
}

TEST(SetCommands, SetFolderNamesAndTheChange) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno main(m);
  m.settings.SetDirName = QStringLiteral("SetDir");
  m.set.Name = QStringLiteral("daily");
  m.set.SaveDir = QStringLiteral("T:\\d");
  EXPECT_TRUE(AcceptSetFolderName(m, QStringLiteral("Sets 2"), QStringLiteral("t")));
  env.ui.Expect(Question::SetFolderNameMissing, Answer::OK, QStringLiteral("セットフォルダー名を指定してください。"));
  EXPECT_FALSE(AcceptSetFolderName(m, QStringLiteral("  "), QStringLiteral("t")));
  env.ui.Expect(Question::SetFolderNameInvalid, Answer::OK);
  EXPECT_FALSE(AcceptSetFolderName(m, QStringLiteral("..\\up"), QStringLiteral("t")));
  EXPECT_FALSE(ChangeSetFolder(main, QStringLiteral("SetDir")));  // unchanged: nothing happens
  EXPECT_EQ(m.set.Name, QStringLiteral("daily"));
  EXPECT_TRUE(ChangeSetFolder(main, QStringLiteral("Sets 2")));
  EXPECT_TRUE(QFileInfo(env.Host(QStringLiteral("T:\\prog\\Sets 2"))).isDir());
  EXPECT_EQ(m.SetFolder, QStringLiteral("T:\\prog\\Sets 2"));
  EXPECT_EQ(m.settings.SetDirName, QStringLiteral("Sets 2"));
  EXPECT_TRUE(m.set.Name.isEmpty());
  EXPECT_TRUE(m.set.SaveDir.isEmpty());
  EXPECT_TRUE(env.ui.Exhausted());
}

TEST(ListEdits, RemoveAddAndModifyKeepTheOtherListAndCompareWithoutCase) {
  TestEnv env;
  Module1& m = *env.m;
  m.set.SaveList = {"T:\\1", "T:\\2", "T:\\3", "T:\\4", "T:\\5", "T:\\6"};
  m.set.SkipList = {"*.tmp"};
  EXPECT_TRUE(RemoveEntries(m, true, {4, 1, 4}, QStringLiteral("t")));
  EXPECT_EQ(m.set.SaveList, (QStringList{"T:\\1", "T:\\3", "T:\\4", "T:\\6"}));
  EXPECT_EQ(m.set.SkipList, QStringList{"*.tmp"});
  EXPECT_TRUE(m.SetModified);
  m.SetModified = false;
  env.ui.Expect(Question::NoItemSelected, Answer::OK);
  EXPECT_FALSE(RemoveEntries(m, false, {}, QStringLiteral("t")));
  EXPECT_FALSE(m.SetModified);

  env.ui.Expect(Question::AlreadyRegistered, Answer::OK, QStringLiteral("t:\\3\rすでに登録済みです。"));
  EXPECT_EQ(ApendEntry(m, true, QStringLiteral(" t:\\3 "), -1, QStringLiteral("t")), -1);
  EXPECT_EQ(ApendEntry(m, true, QStringLiteral("T:\\7"), -1, QStringLiteral("t")), 4);
  EXPECT_EQ(ApendEntry(m, true, QStringLiteral("T:\\3"), 1, QStringLiteral("t")), 1);  // its own text
  EXPECT_EQ(ApendEntry(m, true, QStringLiteral("t:\\three"), 1, QStringLiteral("t")), 1);
  EXPECT_EQ(m.set.SaveList[1], QStringLiteral("t:\\three"));
  EXPECT_EQ(ApendEntry(m, false, QStringLiteral("T:\\1"), -1, QStringLiteral("t")), 1);  // the skip list is its own
  env.ui.Expect(Question::NoItemSelected, Answer::OK);
  EXPECT_EQ(ApendEntry(m, false, QStringLiteral("   "), -1, QStringLiteral("t")), -1);
  EXPECT_TRUE(env.ui.Exhausted());

  EXPECT_EQ(ForcusTopRow(5), 0);
  EXPECT_EQ(ForcusTopRow(12), 0);
  EXPECT_EQ(ForcusTopRow(13), 1);
  EXPECT_EQ(ForcusTopRow(20), 8);
  EXPECT_EQ(FileInDirectory(QStringLiteral("A:\\"), QStringLiteral("x.txt")), QStringLiteral("A:\\x.txt"));
  EXPECT_EQ(FileInDirectory(QStringLiteral("A:\\dir"), QStringLiteral("x.txt")), QStringLiteral("A:\\dir\\x.txt"));
}

TEST(DriveListEntries, TheTablesLettersShownTheWindowsWayMissingFoldersNotReady) {
  TestEnv env;
  DriveTable table;
  table.Map(u'T', env.root());
  table.Map(u'E', env.root() + QStringLiteral("/gone"));
  HostPlatform fs(table);
  const QList<DriveListEntry> list = ReadDriveList(fs, table);
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list[0].text, QStringLiteral("c: [/]"));
  EXPECT_TRUE(list[0].ready);
  EXPECT_EQ(list[1].text, QStringLiteral("e:"));
  EXPECT_FALSE(list[1].ready);
  EXPECT_EQ(list[2].root, QStringLiteral("T:\\"));
  EXPECT_EQ(list[2].text, QStringLiteral("t: [") + env.root() + u']');
  EXPECT_EQ(DriveIndexOf(list, QStringLiteral("t:\\x\\y")), 2);
  EXPECT_EQ(DriveIndexOf(list, QStringLiteral("Q:\\")), -1);
}

}  // namespace
}  // namespace qarno
