// SPDX-License-Identifier: GPL-3.0-or-later
// A restore as an attacker who can write a listing or a save folder would drive it, and as a
// user whose saves went bad: what it must never do to the files it finds in its way, to
// files outside its target and to the saves it reads — on real files, links and pipes.
#include "RestoreWorld.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

namespace qarno::test {
namespace {

const QString S0 = QStringLiteral("qrn20010203_00");
const QString S1 = QStringLiteral("qrn20010203_01");
const QString kRun0 = QStringLiteral("T:\\dst\\daily\\qrn20010203_00");

// A restore that waits on a pipe never comes back: the alarm ends the test program, which
// the test run reports as a failure.
struct Deadline {
  explicit Deadline(unsigned seconds) { ::alarm(seconds); }
  ~Deadline() { ::alarm(0); }
};

struct RestoreSafety : ::testing::Test {
  RestoreWorld w;
  using W = RestoreWorld;

  static QString L(const QString& path, qint64 size, const QString& save = S0, const QString& attrs = QStringLiteral("---A-"),
                   const QString& comp = QStringLiteral("0")) {
    return W::Line(path, attrs, size, QStringLiteral("3"), save, comp);
  }
  QByteArray Native(const QString& winPath) const { return QFile::encodeName(w.Host(winPath)); }
  struct stat LStat(const QString& winPath) const {
    struct stat st {};
    ::lstat(Native(winPath).constData(), &st);
    return st;
  }
  mode_t Mode(const QString& winPath) const { return LStat(winPath).st_mode & 07777; }
  bool IsLink(const QString& winPath) const { return S_ISLNK(LStat(winPath).st_mode); }
  void Chmod(const QString& winPath, mode_t mode) { ASSERT_EQ(::chmod(Native(winPath).constData(), mode), 0); }
  void Link(const QString& winPath, const QString& pointsTo) {
    QDir().mkpath(QFileInfo(w.Host(winPath)).path());
    ASSERT_EQ(::symlink(Native(pointsTo).constData(), Native(winPath).constData()), 0);
  }
  void Fifo(const QString& winPath) {
    QDir().mkpath(QFileInfo(w.Host(winPath)).path());
    ASSERT_EQ(::mkfifo(Native(winPath).constData(), 0644), 0);
  }
  QString Mark(const FRestore& r, int row) { return FieldText(r.table()[row], SaveListEntry::RestoreFlag); }
  QStringList Marks(const FRestore& r) {
    QStringList out;
    for (int i = 1; i < r.table().Rows(); ++i) out += Mark(r, i);
    return out;
  }
  // Every name below the folder (links not followed).
  QStringList Names(const QString& winDir) const {
    QStringList out;
    QDirIterator it(w.Host(winDir), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) out += QDir(w.Host(winDir)).relativeFilePath(it.next());
    out.sort();
    return out;
  }
};

// The saved copy is a folder, a pipe or (for a user other than root) unreadable: the file in
// the target's place stays as it was, read-only bit and all. Before, it was made writable
// and deleted after the second failed copy.
TEST_F(RestoreSafety, AnUnreadableSavedCopyNeverCostsTheLiveFile) {
  w.env.MakeDir(kRun0 + QStringLiteral("\\Drive_T\\src\\a.txt"));  // a folder where the copy should be
  w.env.WriteFile(kRun0 + QStringLiteral("\\Drive_T\\src\\b.txt"), "saved b");
  QStringList lines{L(QStringLiteral("T:\\src\\a.txt"), 7), L(QStringLiteral("T:\\src\\b.txt"), 7)};
  if (::geteuid() != 0) {
    w.env.WriteFile(kRun0 + QStringLiteral("\\Drive_T\\src\\c.txt"), "saved c");
    Chmod(kRun0 + QStringLiteral("\\Drive_T\\src\\c.txt"), 0);
    lines += L(QStringLiteral("T:\\src\\c.txt"), 7);
  }
  w.WriteListing(S0, lines);
  w.AddHistory(S0);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    const QString live = QStringLiteral("T:\\src\\") + QLatin1String(name);
    w.env.WriteFile(live, "live", RestoreWorld::kTime);
    Chmod(live, 0444);
  }
  // b.txt's copy is fine, but its place refuses it (the cause is the destination's): the
  // second try lifts the read-only bit, and puts it back when that fails as well.
  w.fs.copyFails = {kRun0 + QStringLiteral("\\Drive_T\\src\\b.txt")};
  auto r = w.Open(S0);
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    const QString live = QStringLiteral("T:\\src\\") + QLatin1String(name);
    EXPECT_EQ(w.env.ReadFile(live), "live") << name;
    EXPECT_EQ(Mode(live), 0444u) << name;
    EXPECT_EQ(w.MTime(live), RestoreWorld::kTime.toSecsSinceEpoch()) << name;
  }
  EXPECT_EQ(Marks(*r), QStringList(lines.size(), QStringLiteral("-1")));
  if (::geteuid() != 0) Chmod(kRun0 + QStringLiteral("\\Drive_T\\src\\c.txt"), 0644);
}

// Restoring into the save it reads from, by its own name or through a link, and a saved
// copy shorter than its listing says: the saves stay whole, and the entries are reported
// as not restored instead of restored.
TEST_F(RestoreSafety, TheSaveItselfAsTargetAndAShortCopyAreFailuresThatChangeNothing) {
  const QString copyA = kRun0 + QStringLiteral("\\Drive_T\\src\\a.txt");
  w.env.WriteFile(copyA, "saved a", RestoreWorld::kTime);
  Chmod(copyA, 0444);
  w.env.WriteFile(kRun0 + QStringLiteral("\\Drive_T\\src\\short.txt"), "0123456789");
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\src"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      L(QStringLiteral("T:\\src\\a.txt"), 7, S0, QStringLiteral("R--A-")),
                      L(QStringLiteral("T:\\src\\short.txt"), 100)});
  w.AddHistory(S0);
  auto expectSaveWhole = [&] {
    EXPECT_EQ(w.env.ReadFile(copyA), "saved a");
    EXPECT_EQ(Mode(copyA), 0444u);
    EXPECT_EQ(w.env.ReadFile(kRun0 + QStringLiteral("\\Drive_T\\src\\short.txt")), "0123456789");
    EXPECT_EQ(Mode(kRun0 + QStringLiteral("\\Drive_T\\src")) & 0200, 0200u);
  };
  for (const QString& top : {kRun0, QStringLiteral("T:\\dst\\daily"), QStringLiteral("t:\\DST\\daily\\somewhere")}) {
    auto r = w.Open(S0);
    EXPECT_TRUE(r->InSaveArea(top));
    EXPECT_EQ(w.RestoreAll(*r, top), RestoreOutcome::Finished);
    EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("-1,-1,-1")) << top.toStdString();
    EXPECT_EQ(r->state().Status, QStringLiteral("復元を実行中  ...... 終了\r        3 個復元できませんでした"));
    expectSaveWhole();
  }
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\somewhere")));
  EXPECT_TRUE(w.ui.messages.isEmpty());

  // The same save reached through a link the user made: the copy sees the same file on
  // both sides and leaves it alone.
  Link(QStringLiteral("T:\\via"), kRun0);
  auto viaLink = w.Open(S0);
  EXPECT_FALSE(viaLink->InSaveArea(QStringLiteral("T:\\via")));
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  EXPECT_EQ(w.RestoreAll(*viaLink, QStringLiteral("T:\\via")), RestoreOutcome::Finished);
  EXPECT_EQ(Mark(*viaLink, 2), QStringLiteral("-1"));
  EXPECT_EQ(Mark(*viaLink, 3), QStringLiteral("-1"));
  expectSaveWhole();

  // In place, the short copy never replaces the file that is there.
  w.env.WriteFile(QStringLiteral("T:\\src\\short.txt"), "the whole live file");
  auto inPlace = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*inPlace), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\short.txt")), "the whole live file");
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "saved a");
  EXPECT_EQ(Marks(*inPlace).join(u','), QStringLiteral("2,2,-1"));
  Chmod(copyA, 0644);
}

// Links already in the target — a folder link and file links below the top directory, a
// file link and a folder link at the last component in place — are never followed: nothing
// lands outside, nothing is overwritten or has its permissions changed through them.
TEST_F(RestoreSafety, LinksFoundInTheTargetAreNeverFollowed) {
  for (const char* name : {"src\\a.txt", "other\\b.txt", "other\\sub\\c.txt", "src\\in.txt"})
    w.WriteCopy(S0, QStringLiteral("T:\\") + QLatin1String(name), QByteArray("saved ") + QString::fromLatin1(name).section(u'\\', -1).toUtf8());
  w.WriteListing(S0, {L(QStringLiteral("T:\\src\\a.txt"), 11, S0, QStringLiteral("R--A-")),
                      W::Line(QStringLiteral("T:\\src\\dirlink"), QStringLiteral("R---D"), 0, QStringLiteral("3"), S0),
                      L(QStringLiteral("T:\\other\\b.txt"), 11),
                      L(QStringLiteral("T:\\other\\sub\\c.txt"), 11)});
  w.AddHistory(S0);
  w.env.WriteFile(QStringLiteral("T:\\outside\\victim.txt"), "victim");
  Chmod(QStringLiteral("T:\\outside\\victim.txt"), 0644);
  Chmod(QStringLiteral("T:\\outside"), 0755);
  w.env.MakeDir(QStringLiteral("T:\\restore\\Drive_T\\src"));
  Link(QStringLiteral("T:\\restore\\Drive_T\\src\\a.txt"), QStringLiteral("T:\\outside\\victim.txt"));
  Link(QStringLiteral("T:\\restore\\Drive_T\\src\\dirlink"), QStringLiteral("T:\\outside"));
  Link(QStringLiteral("T:\\restore\\Drive_T\\other"), QStringLiteral("T:\\outside"));
  auto r = w.Open(S0);
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  EXPECT_EQ(w.RestoreAll(*r, QStringLiteral("T:\\restore")), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\outside\\victim.txt")), "victim");
  EXPECT_EQ(Mode(QStringLiteral("T:\\outside\\victim.txt")), 0644u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\outside")), 0755u);
  EXPECT_EQ(Names(QStringLiteral("T:\\outside")), QStringList{QStringLiteral("victim.txt")});
  // The file link was replaced by the restored file; the folder links stay links, and
  // what would have gone through them failed.
  EXPECT_FALSE(IsLink(QStringLiteral("T:\\restore\\Drive_T\\src\\a.txt")));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\restore\\Drive_T\\src\\a.txt")), "saved a.txt");
  EXPECT_TRUE(IsLink(QStringLiteral("T:\\restore\\Drive_T\\other")));
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,-1,-1,-1"));
  Chmod(QStringLiteral("T:\\restore\\Drive_T\\src\\a.txt"), 0644);

  // In place only the last component is guarded: a file link there is replaced, a folder
  // link keeps its target's permissions.
  w.WriteListing(S1, {L(QStringLiteral("T:\\src\\in.txt"), 12, S0, QStringLiteral("R--A-")),
                      W::Line(QStringLiteral("T:\\src\\dirlink"), QStringLiteral("R---D"), 0, QStringLiteral("3"), S0)});
  w.AddHistory(S1);
  Link(QStringLiteral("T:\\src\\in.txt"), QStringLiteral("T:\\outside\\victim.txt"));
  Link(QStringLiteral("T:\\src\\dirlink"), QStringLiteral("T:\\outside"));
  auto inPlace = w.Open(S1);
  EXPECT_EQ(w.RestoreAll(*inPlace), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\outside\\victim.txt")), "victim");
  EXPECT_EQ(Mode(QStringLiteral("T:\\outside\\victim.txt")), 0644u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\outside")), 0755u);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\in.txt")), "saved in.txt");
  EXPECT_EQ(Marks(*inPlace).join(u','), QStringLiteral("2,-1"));
  Chmod(QStringLiteral("T:\\src\\in.txt"), 0644);
}

// Saved copies with set-user-ID, set-group-ID and sticky bits, one of them owned by another
// user: restored files get the permission bits only, and belong to whoever restores.
TEST_F(RestoreSafety, RestoredFilesNeverCarrySetIdOrStickyBits) {
  const QStringList names{QStringLiteral("suid"), QStringLiteral("sgid"), QStringLiteral("sticky"), QStringLiteral("old")};
  const mode_t modes[] = {04755, 02755, 01755, 0644};
  QStringList lines;
  for (int i = 0; i < names.size(); ++i) {
    const QString copy = kRun0 + QStringLiteral("\\Drive_T\\src\\") + names[i];
    w.env.WriteFile(copy, "#!/bin/sh\n");
    // Another user's file, where the test may give it away (before the mode: a change of
    // owner clears the set-ID bits).
    if (i == 0 && ::geteuid() == 0) {
      ASSERT_EQ(::chown(Native(copy).constData(), 65534, 65534), 0);
    }
    Chmod(copy, modes[i]);
    lines += L(QStringLiteral("T:\\src\\") + names[i], 10);
  }
  ASSERT_EQ(Mode(kRun0 + QStringLiteral("\\Drive_T\\src\\suid")), 04755u);
  w.WriteListing(S0, lines);
  w.AddHistory(S0);
  // A set-user-ID file already in place is replaced without its bit surviving either.
  w.env.WriteFile(QStringLiteral("T:\\src\\old"), "old");
  Chmod(QStringLiteral("T:\\src\\old"), 04755);
  auto r = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,2,2"));
  EXPECT_EQ(Mode(QStringLiteral("T:\\src\\suid")), 0755u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\src\\sgid")), 0755u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\src\\sticky")), 0755u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\src\\old")), 0644u);
  EXPECT_EQ(LStat(QStringLiteral("T:\\src\\suid")).st_uid, ::geteuid());
}

// A listing line's save name that is no save of ours names a folder anywhere; so does a
// history row the search walks. Neither is read from.
TEST_F(RestoreSafety, SaveNamesThatAreNoSavesOfOursAreRefused) {
  // Where "..\secret" and "qrn/../../secret" would lead from the set's folder.
  w.env.WriteFile(QStringLiteral("T:\\dst\\secret\\Drive_T\\src\\a.txt"), "secret");
  w.env.WriteFile(QStringLiteral("T:\\secret\\Drive_T\\src\\b.txt"), "secret");
  QString nul = S0;
  nul[3] = QChar(0);
  w.WriteListing(S0, {L(QStringLiteral("T:\\src\\a.txt"), 6, QStringLiteral("..\\secret")),
                      L(QStringLiteral("T:\\src\\b.txt"), 6, QStringLiteral("qrn/../../secret")),
                      L(QStringLiteral("T:\\src\\c.txt"), 6, nul),
                      W::Line(QStringLiteral("T:\\src\\d.txt"), QStringLiteral("---A-"), 4, QStringLiteral("2"), QString())});
  w.AddHistory(S0);
  // The history row after it names a folder beside the set's, with a listing that holds d.txt.
  w.AddHistory(QStringLiteral("..\\evil"));
  w.env.WriteFile(QStringLiteral("T:\\dst\\evil.csv"), (L(QStringLiteral("T:\\src\\d.txt"), 4, QStringLiteral("..\\evil")) + "\r\n").toUtf8());
  w.env.WriteFile(QStringLiteral("T:\\dst\\evil\\Drive_T\\src\\d.txt"), "evil");
  w.main.HisTable.Sort();
  ASSERT_EQ(w.main.HisTable.Cell(2, HistoryEntry::SaveName), QStringLiteral("..\\evil"));
  auto r = w.Open(S0);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes);
  w.ui.Expect(Question::RestoreIncomplete, Answer::OK);
  EXPECT_EQ(w.RestoreAll(*r, QStringLiteral("T:\\restore")), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("-1,-1,-1,1"));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\restore")));
  w.m.CloseLogFile();
  const QByteArray log = w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log"));
  EXPECT_EQ(log.count(QStringLiteral("復元しません(不正な保存名)").toUtf8()), 3);
  EXPECT_TRUE(log.contains(QStringLiteral("復元に使いません(不正な保存名) [..\\evil]").toUtf8()));

  // Nor is a listing of a history row with such a name loaded.
  w.ui.Expect(Question::ListingUnreadable, Answer::Cancel);
  w.Open(QStringLiteral("..\\evil"), false);
}

// Pipes in place of a saved copy, a packed copy, the run's listing and an older run's
// listing: each "cannot be read" at once.
TEST_F(RestoreSafety, PipesInPlaceOfSavedFilesAreUnreadableAtOnce) {
  const Deadline deadline(20);
  Fifo(kRun0 + QStringLiteral("\\Drive_T\\src\\a.txt"));
  Fifo(kRun0 + QStringLiteral("\\Drive_T\\src\\p.txt.LZH"));
  w.WriteListing(S0, {L(QStringLiteral("T:\\src\\a.txt"), 1), L(QStringLiteral("T:\\src\\p.txt"), 1, S0, QStringLiteral("---A-"), QStringLiteral("1")),
                      L(QStringLiteral("T:\\src\\z.txt"), 1, QString())});
  w.AddHistory(S0);
  w.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "live");
  auto r = w.Open(S0);
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  // The search reads S0's own listing again: a pipe by now.
  QFile::remove(w.Host(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral(".csv")));
  Fifo(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral(".csv"));
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes);
  w.ui.Expect(Question::OlderListingMissing, Answer::Ignore);
  w.ui.Expect(Question::RestoreIncomplete, Answer::OK);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("-1,-1,1"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "live");
  // The run's listing itself a pipe: unreadable, the window does not open.
  w.ui.Expect(Question::ListingUnreadable, Answer::Cancel);
  w.Open(S0, false);
}

// A listing written in Shift-JIS by a Japanese Windows system, whose half-width katakana
// names are valid UTF-8 as well, with the setting that says so: the names are read as
// Shift-JIS, listed and restored as they were saved.
TEST_F(RestoreSafety, ShiftJisListingsAreReadAsShiftJisWhenTheSettingSaysSo) {
  w.m.codec = TextCodec::FromSettingText(QStringLiteral("Shift_JIS"));
  const QString kana = QStringLiteral("T:\\src\\ﾃｽﾄｺ.txt");
  w.WriteCopy(S0, kana, "kana");
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral(".csv"), w.m.codec.EncodeLines({L(kana, 4)}));
  w.AddHistory(S0);
  auto r = w.Open(S0);
  ASSERT_EQ(r->table().Rows(), 2);
  EXPECT_EQ(r->table()[1].path, kana);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(kana), "kana");
}

// Sizes at and past the 64-bit limit, negative and not numbers: the totals stay true (or
// held at the largest value), and a listed size no copy can have is no restored file.
TEST_F(RestoreSafety, HugeAndBrokenSizesNeitherOverflowTheTotalsNorPassAsRestored) {
  const QString max = QString::number(std::numeric_limits<qint64>::max());
  auto line = [](const QString& path, const QString& size) {
    return u'"' + path + QStringLiteral("\",---A-,") + size + QStringLiteral(",2001/02/03 04:05:06,3,") + S0 +
           QStringLiteral(",1A2B-3C4D,BACKUP1,,0,");
  };
  w.WriteCopy(S0, QStringLiteral("T:\\src\\max"), "small");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\neg"), "n");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\text"), "text");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\ok"), "");
  w.WriteListing(S0, {line(QStringLiteral("T:\\src\\max"), max), line(QStringLiteral("T:\\src\\neg"), QStringLiteral("-5")),
                      line(QStringLiteral("T:\\src\\min"), QStringLiteral("-9223372036854775808")),
                      line(QStringLiteral("T:\\src\\over"), QStringLiteral("99999999999999999999")),
                      line(QStringLiteral("T:\\src\\text"), QStringLiteral("1e30")), line(QStringLiteral("T:\\src\\ok"), QStringLiteral(" 0 "))});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_EQ(r->table().Cell(cell::TotalKB), QStringLiteral("9007199254740992"));  // (2^63 - 1) / 1024, rounded up
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  // Five bytes are not 2^63 - 1; a size that does not read as one cannot tell a whole copy
  // from a cut one: neither is restored, though the copies are there.
  EXPECT_EQ(Marks(*r), (QStringList{"-1", "-1", "-1", "-1", "-1", "2"}));
  for (const char* name : {"max", "neg", "text"}) EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\") + QLatin1String(name))) << name;
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\src\\ok")));
  EXPECT_TRUE(r->Mismatches().empty());
  EXPECT_EQ(r->table().Cell(cell::RestoredKB), QStringLiteral("0"));

  // Enough of them to pass the limit: held there, and unmarking one stays in range.
  QStringList many;
  for (int i = 0; i < 1100; ++i) many += line(QStringLiteral("T:\\src\\f%1").arg(i), max);
  w.WriteListing(S1, many);
  w.AddHistory(S1);
  auto big = w.Open(S1);
  EXPECT_EQ(big->table().Cell(cell::TotalKB), max);
  big->SetAllRestoreMarks();
  EXPECT_EQ(big->table().Cell(cell::MarkedKB), max);
  big->SetRestoreMark(1, false);
  EXPECT_GT(big->table().Marked().kb, 0);
}

// qarno-restore skips a listing's blank lines without a question, in the run's listing and
// in the older ones; the window keeps asking about them.
TEST_F(RestoreSafety, BlankLinesAreSkippedByTheCommandLineRestoreAndAskedAboutByTheWindow) {
  w.WriteCopy(S0, QStringLiteral("T:\\src\\a.txt"), "a");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\b.txt"), "b");
  w.WriteListing(S0, {L(QStringLiteral("T:\\src\\a.txt"), 1), QString(), QStringLiteral("   "), L(QStringLiteral("T:\\src\\b.txt"), 1)});
  w.WriteListing(S1, {QString(), W::Line(QStringLiteral("T:\\src\\a.txt"), QStringLiteral("---A-"), 1, QStringLiteral("2"), QString()),
                      QString(), W::Line(QStringLiteral("T:\\src\\b.txt"), QStringLiteral("---A-"), 1, QStringLiteral("2"), QString())});
  w.AddHistory(S0);
  w.AddHistory(S1);
  FRestore console(w.m, w.main.HisTable);
  console.SkipBlankLines(true);
  console.Form_Load();
  ASSERT_TRUE(console.FormInit(2));  // S0, the older row
  EXPECT_EQ(console.table().Count(), 2);
  FRestore searching(w.m, w.main.HisTable);
  searching.SkipBlankLines(true);
  searching.Form_Load();
  ASSERT_TRUE(searching.FormInit(1));
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes);
  EXPECT_EQ(w.RestoreAll(searching), RestoreOutcome::Finished);
  EXPECT_EQ(Marks(searching).join(u','), QStringLiteral("2,2"));
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(w.ui.messages.size(), 1);

  w.ui.Expect(Question::MalformedListingLine, Answer::OK, QStringLiteral("[]"));
  w.ui.Expect(Question::MalformedListingLine, Answer::OK, QStringLiteral("[   ]"));
  EXPECT_EQ(w.Open(S0)->table().Count(), 2);
  EXPECT_TRUE(w.ui.Exhausted());
}

// Folders are made for entries that are restored: an entry whose copy is missing makes
// none, one whose copy fails after its folders were made removes them again (as far as
// they are empty); a folder that already held something stays.
TEST_F(RestoreSafety, NoEmptyFoldersAreLeftForEntriesThatFailed) {
  w.WriteCopy(S0, QStringLiteral("X:\\data\\short.txt"), "short");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\kept\\ok.txt"), "ok");
  w.WriteListing(S0, {L(QStringLiteral("X:\\data\\deep\\missing.txt"), 1), L(QStringLiteral("X:\\data\\short.txt"), 500),
                      L(QStringLiteral("T:\\src\\kept\\ok.txt"), 2), L(QStringLiteral("T:\\src\\kept\\no\\gone.txt"), 2)});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  EXPECT_EQ(w.RestoreAll(*r, QStringLiteral("T:\\restore")), RestoreOutcome::Finished);
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("-1,-1,2,-1"));
  EXPECT_EQ(Names(QStringLiteral("T:\\restore")),
            (QStringList{QStringLiteral("Drive_T"), QStringLiteral("Drive_T/src"), QStringLiteral("Drive_T/src/kept"),
                         QStringLiteral("Drive_T/src/kept/ok.txt")}));
  // In place, on a drive the table does not map: nothing at all.
  auto inPlace = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*inPlace), RestoreOutcome::Finished);
  EXPECT_EQ(Mark(*inPlace, 2), QStringLiteral("-1"));
}

// The program folder lies inside the saved tree (as ~/.local/share/Qarno inside a saved
// home). Restoring the first of two runs in place leaves the program's live set file,
// history and log alone: the later run stays in the history and its save reachable, and
// the entries left alone are reported as not restored. Before, the first run's copies were
// written over them and the second run vanished from the history.
TEST_F(RestoreSafety, AnInPlaceRestoreLeavesTheProgramsOwnLiveFilesAlone) {
  w.m.set.SaveList = {QStringLiteral("T:\\src"), QStringLiteral("T:\\prog")};
  auto backup = [&](Level level) { return w.Backup(level); };
  backup(Level::Level0);  // from now on the set folder holds a history
  w.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "first");
  const QString n0 = backup(Level::Level0);
  w.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "second, longer");
  const QString n1 = backup(Level::Level1);
  const QString history = QStringLiteral("T:\\prog\\SetDir\\daily.qrl");
  const QByteArray liveHistory = w.env.ReadFile(history);
  const QByteArray liveSet = w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"));
  ASSERT_TRUE(liveHistory.contains(n1.toUtf8()));
  // The first run saved the set file and the history as they stood before its end.
  ASSERT_TRUE(QString::fromUtf8(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + n0 + QStringLiteral(".csv")))
                  .contains(QStringLiteral("\"T:\\prog\\SetDir\\daily.qrl\"")));

  auto r = w.Open(n0);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "first");
  EXPECT_EQ(w.env.ReadFile(history), liveHistory);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn")), liveSet);
  int own = 0;
  for (int i = 1; i < r->table().Rows(); ++i) {
    const QString& path = r->table()[i].path;
    const bool inProgram = path.startsWith(QStringLiteral("T:\\prog"));
    EXPECT_EQ(r->IsOwnFileRow(i), inProgram) << path.toStdString();
    EXPECT_EQ(Mark(*r, i), inProgram ? QStringLiteral("-1") : QStringLiteral("2")) << path.toStdString();
    own += inProgram;
  }
  EXPECT_GE(own, 4);  // the folders, the set file, the history, the log
  EXPECT_EQ(r->state().ownFilesSkipped, own);
  EXPECT_TRUE(r->state().Status.endsWith(QStringLiteral("うち %1 個は使用中の Qarno 自身のファイルのため復元しませんでした").arg(own)));
  EXPECT_TRUE(w.ui.messages.isEmpty());
}

// Restored in place, shared folders that are there keep their modes: a 1777 folder stays
// sticky, a 2775 one set-group-ID, a read-only entry does not close an existing folder.
// A folder the restore makes takes its entry's attributes, but no such bit. Before, the
// restore set every folder's mode from its entry and dropped those bits.
TEST_F(RestoreSafety, FoldersThatAreThereKeepTheirModes) {
  w.WriteCopy(S0, QStringLiteral("T:\\shared\\tmp\\t.txt"), "t");
  w.WriteCopy(S0, QStringLiteral("T:\\shared\\group\\g.txt"), "g");
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\shared\\tmp"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      L(QStringLiteral("T:\\shared\\tmp\\t.txt"), 1),
                      W::Line(QStringLiteral("T:\\shared\\group"), QStringLiteral("R---D"), 0, QStringLiteral("3"), S0),
                      L(QStringLiteral("T:\\shared\\group\\g.txt"), 1),
                      W::Line(QStringLiteral("T:\\shared\\new"), QStringLiteral("R---D"), 0, QStringLiteral("3"), S0)});
  w.AddHistory(S0);
  w.env.MakeDir(QStringLiteral("T:\\shared\\tmp"));
  w.env.MakeDir(QStringLiteral("T:\\shared\\group"));
  Chmod(QStringLiteral("T:\\shared\\tmp"), 01777);
  Chmod(QStringLiteral("T:\\shared\\group"), 02775);
  Chmod(QStringLiteral("T:\\shared"), 02775);  // what is made in it would inherit the bit
  auto r = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,2,2,2"));
  EXPECT_EQ(Mode(QStringLiteral("T:\\shared\\tmp")), 01777u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\shared\\group")), 02775u);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\shared\\group\\g.txt")), "g");
  EXPECT_EQ(Mode(QStringLiteral("T:\\shared\\new")) & 07222, 0u);  // read-only, no set-ID or sticky bit
  Chmod(QStringLiteral("T:\\shared\\new"), 0755);
}

// A saved folder replaced by a link to another folder (a user's ~/.ssh pointing at root's):
// restoring one file of it in place — one ticked row, as qarno-restore --path does — and
// the whole run both write nothing through the link, and the entries are reported as not
// restored. Before, the file was written into the folder the link points at.
TEST_F(RestoreSafety, OneFileOfAFolderReplacedByALinkIsNotWrittenThroughIt) {
  const QString keys = QStringLiteral("T:\\home\\u\\.ssh\\authorized_keys");
  w.WriteCopy(S0, keys, "user key");
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\home\\u"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\home\\u\\.ssh"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      L(keys, 8)});
  w.AddHistory(S0);
  const QString rootKeys = QStringLiteral("T:\\root\\.ssh\\authorized_keys");
  w.env.WriteFile(rootKeys, "root key");
  Link(QStringLiteral("T:\\home\\u\\.ssh"), QStringLiteral("T:\\root\\.ssh"));
  w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
  for (bool oneFile : {true, false}) {
    auto r = w.Open(S0);
    r->SetTarget(0, QString());
    if (oneFile) ASSERT_EQ(r->MarkPathTree(keys), 1);
    else r->SetAllRestoreMarks();
    EXPECT_EQ(r->OK_Click(), RestoreOutcome::Finished);
    EXPECT_EQ(Marks(*r).join(u','), oneFile ? QStringLiteral("0,0,-1") : QStringLiteral("2,-1,-1"));
    EXPECT_EQ(w.env.ReadFile(rootKeys), "root key");
    EXPECT_EQ(Names(QStringLiteral("T:\\root")), (QStringList{QStringLiteral(".ssh"), QStringLiteral(".ssh/authorized_keys")}));
    EXPECT_TRUE(IsLink(QStringLiteral("T:\\home\\u\\.ssh")));
  }
}

}  // namespace
}  // namespace qarno::test
