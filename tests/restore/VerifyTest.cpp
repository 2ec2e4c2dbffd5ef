// SPDX-License-Identifier: GPL-3.0-or-later
// Verification of recorded runs, as restic and borg test their checks: real backups (plain
// copies and packed with the real archiver), then one kind of damage at a time on the
// medium, and the report must name exactly that damage; a restore after a verification
// still falls back to older runs as before.
#include "RestoreWorld.h"
#include "records/ContentManifest.h"
#include "restore/RunVerifier.h"
#include "support/EnglishTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <xxhash.h>

namespace qarno::test {
namespace {

QString ArchiverBesideTests() {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2) +
         QStringLiteral("/libunlha32.so");
}

// The real archiver, with what its read observer shows of each packed file kept aside (an
// empty block starts a file).
class WatchedArchiver : public ArchiverLibrary {
 public:
  explicit WatchedArchiver(ArchiverLibrary& real) : real_(real) {}
  QList<QByteArray> seen;  // one per packed file, in order

  bool Load() override { return real_.Load(); }
  int GetVersion() override { return real_.GetVersion(); }
  bool SetBackGroundMode(bool on) override { return real_.SetBackGroundMode(on); }
  bool SetCursorMode(bool on) override { return real_.SetCursorMode(on); }
  int Unlha(const QString& commandLine, int outputLength) override { return real_.Unlha(commandLine, outputLength); }
  void SetMethod(int level) override { real_.SetMethod(level); }
  bool SetReadObserver(ReadObserver observer) override {
    if (!observer) return real_.SetReadObserver({});
    return real_.SetReadObserver([this, observer](const char* data, size_t size) {
      if (size == 0) seen.append(QByteArray());
      else if (!seen.isEmpty()) seen.last().append(data, static_cast<qsizetype>(size));
      observer(data, size);
    });
  }

 private:
  ArchiverLibrary& real_;
};

struct Verify : ::testing::TestWithParam<bool> {
  RestoreWorld w;
  LoadedArchiver real{ArchiverBesideTests()};
  const QDateTime t0{QDate(2019, 4, 5), QTime(6, 7, 8)};

  void SetUp() override {
    if (GetParam()) {
      if (!QFileInfo::exists(real.path()) || real.GetVersion() < 0) GTEST_SKIP() << "archiver library not built";
      w.m.archiver = &real;
      w.m.set.options.ComplexTypeMode = 1;
    }
    Put(QStringLiteral("a.txt"), "alpha alpha alpha alpha");
    Put(QStringLiteral("docs\\big.bin"), QByteArray(300000, '\x5a') + QByteArray("tail"));
    Put(QStringLiteral("docs\\empty"), "");
    Put(QStringLiteral("docs\\text.txt"), QByteArray("line of text\r\n").repeated(400));
  }
  bool packed() const { return GetParam(); }
  void Put(const QString& rel, const QByteArray& content) {
    w.env.WriteFile(QStringLiteral("T:\\src\\") + rel, content, t0);
  }
  QString Backup(Level level) { return w.Backup(level); }
  int RowOf(const QString& save) const { return w.main.HisTable.RowOf(save); }
  VerifyReport Check(const QString& save, bool full) {
    RunVerifier v(w.m, w.m.set.Name);
    return v.Verify(w.main.HisTable.Row(RowOf(save)), full);
  }
  // The host path of a file's copy in a save.
  QString CopyOf(const QString& save, const QString& rel) const {
    return w.Host(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral("\\Drive_T\\src\\") + rel +
                  (packed() ? QStringLiteral(".LZH") : QString()));
  }
  QString SumOf(const QString& save) const { return w.Host(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral(".sum")); }
  static std::string Lines(const VerifyReport& r) {
    std::string out;
    for (const VerifyProblem& p : r.problems)
      out += (VerifyKindText(p.kind) + u' ' + p.path + QStringLiteral(" (") + p.detail + QStringLiteral(")\n")).toStdString();
    return out;
  }
};

TEST_P(Verify, ACleanRunIsCleanQuickAndFullAndItsManifestNamesEveryCopy) {
  const QString save = Backup(Level::Level0);
  QFile sum(SumOf(save));
  ASSERT_TRUE(sum.open(QIODevice::ReadOnly));
  const ManifestContent manifest = ParseManifest(sum.readAll());
  ASSERT_EQ(manifest.state, ManifestContent::State::Read);
  EXPECT_EQ(manifest.entries.size(), 4);
  ContentHash h;
  h.Add("alpha alpha alpha alpha", 23);
  EXPECT_EQ(manifest.entries.value(QStringLiteral("T:\\src\\a.txt")).hash, h.Hex());
  EXPECT_EQ(manifest.entries.value(QStringLiteral("T:\\src\\docs\\big.bin")).size, 300004);

  for (bool full : {false, true}) {
    const VerifyReport r = Check(save, full);
    EXPECT_TRUE(r.Clean()) << Lines(r);
    EXPECT_EQ(r.files, 4);
    EXPECT_EQ(r.manifest, VerifyReport::Manifest::Present);
    EXPECT_EQ(r.contentChecked, full ? 4 : 0);
  }
}

// Random bytes do not pack: the packer reads the file, gives up and starts over to store it.
// The hash taken while it reads must still be of the file's bytes, each once, or the manifest
// condemns a good copy.
TEST_P(Verify, AFileThePackerStoresIsHashedOnceAndVerifiesClean) {
  if (!packed()) GTEST_SKIP() << "packing only";
  QByteArray random(3 << 19, Qt::Uninitialized);  // 1.5 MiB
  QRandomGenerator gen(20190405);
  gen.fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
  Put(QStringLiteral("docs\\random.bin"), random);
  WatchedArchiver watched(real);
  w.m.archiver = &watched;
  const QString save = Backup(Level::Level0);

  QFile archive(CopyOf(save, QStringLiteral("docs\\random.bin")));
  ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
  EXPECT_EQ(archive.read(7).mid(2), QByteArray("-lh0-"));  // stored, not packed
  EXPECT_EQ(watched.seen.count(random), 1);  // what the observer saw of the file: its bytes, once

  XXH128_canonical_t canonical;
  XXH128_canonicalFromHash(&canonical, XXH3_128bits(random.constData(), static_cast<size_t>(random.size())));
  QFile sum(SumOf(save));
  ASSERT_TRUE(sum.open(QIODevice::ReadOnly));
  const ManifestEntry line = ParseManifest(sum.readAll()).entries.value(QStringLiteral("T:\\src\\docs\\random.bin"));
  EXPECT_EQ(line.size, random.size());
  EXPECT_EQ(line.hash, QByteArray(reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest).toHex());

  const VerifyReport r = Check(save, true);
  EXPECT_TRUE(r.Clean()) << Lines(r);
  EXPECT_EQ(r.contentChecked, 5);
}

TEST_P(Verify, EachDamageIsNamedExactly) {
  const QString save = Backup(Level::Level0);
  // A truncated copy, a deleted one, one byte flipped inside another.
  {
    QFile f(CopyOf(save, QStringLiteral("docs\\big.bin")));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
  }
  ASSERT_TRUE(QFile::remove(CopyOf(save, QStringLiteral("a.txt"))));
  {
    QFile f(CopyOf(save, QStringLiteral("docs\\text.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    bytes[bytes.size() - 40] = static_cast<char>(bytes[bytes.size() - 40] ^ 0x01);
    f.seek(0);
    f.write(bytes);
  }
  const QString big = QStringLiteral("T:\\src\\docs\\big.bin"), a = QStringLiteral("T:\\src\\a.txt"),
                text = QStringLiteral("T:\\src\\docs\\text.txt");
  auto kindOf = [](const VerifyReport& r, const QString& path) -> std::optional<VerifyProblem::Kind> {
    for (const VerifyProblem& p : r.problems)
      if (p.path == path) return p.kind;
    return std::nullopt;
  };
  const VerifyReport quick = Check(save, false);
  const VerifyReport full = Check(save, true);
  EXPECT_EQ(kindOf(quick, a), VerifyProblem::Kind::Missing);
  EXPECT_EQ(kindOf(full, a), VerifyProblem::Kind::Missing);
  // A truncated plain copy shows in its size; a truncated archive in its length.
  const auto truncated = packed() ? VerifyProblem::Kind::ArchiveDamaged : VerifyProblem::Kind::SizeDiffers;
  EXPECT_EQ(kindOf(quick, big), truncated) << Lines(quick);
  EXPECT_EQ(kindOf(full, big), truncated) << Lines(full);
  // A flipped byte: the quick check cannot see it; the full one names it (the archive's CRC
  // for a packed copy, the manifest for a plain one).
  EXPECT_EQ(kindOf(quick, text), std::nullopt) << Lines(quick);
  EXPECT_EQ(kindOf(full, text), packed() ? VerifyProblem::Kind::ArchiveDamaged : VerifyProblem::Kind::ContentDiffers)
      << Lines(full);
  EXPECT_EQ(quick.problems.size(), 2u) << Lines(quick);
  EXPECT_EQ(full.problems.size(), 3u) << Lines(full);
  EXPECT_FALSE(full.Clean());
}

TEST_P(Verify, AMissingManifestIsSaidAndADamagedOneNamedWithItsLine) {
  const EnglishTexts english;  // the details as an English user reads them
  ASSERT_TRUE(english.Loaded());
  const QString save = Backup(Level::Level0);
  QFile sum(SumOf(save));
  ASSERT_TRUE(sum.open(QIODevice::ReadOnly));
  const QByteArray good = sum.readAll();
  sum.close();

  ASSERT_TRUE(QFile::remove(SumOf(save)));
  VerifyReport r = Check(save, true);
  EXPECT_EQ(r.manifest, VerifyReport::Manifest::Missing);
  EXPECT_TRUE(r.Clean()) << Lines(r);  // as far as the listing allows: sizes (and CRCs) hold
  EXPECT_EQ(r.contentChecked, 0);

  // One line garbled: named, and the other lines still used.
  QByteArray damaged = good;
  damaged.replace(damaged.indexOf("\r\n") + 2, 4, "zzzz");
  ASSERT_TRUE(sum.open(QIODevice::WriteOnly));
  sum.write(damaged);
  sum.close();
  r = Check(save, true);
  EXPECT_EQ(r.manifest, VerifyReport::Manifest::Damaged);
  ASSERT_EQ(r.problems.size(), 1u) << Lines(r);
  EXPECT_EQ(r.problems[0].kind, VerifyProblem::Kind::ManifestDamaged);
  EXPECT_EQ(r.problems[0].detail, QStringLiteral("1 unreadable line(s), the first is line 2"));
  EXPECT_EQ(r.contentChecked, 3);

  // Not a manifest at all.
  ASSERT_TRUE(sum.open(QIODevice::WriteOnly));
  sum.write("\x00\x01garbage");
  sum.close();
  r = Check(save, false);
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(r.problems[0].kind, VerifyProblem::Kind::ManifestDamaged);
}

// A record cut short must never pass for a clean run with less to check: the manifest
// says where it ends, and listing and manifest answer for each other. A manifest written
// before the end line existed still verifies clean.
TEST_P(Verify, ACutManifestOrListingIsReportedAndAnOldManifestStillReads) {
  const EnglishTexts english;  // the details as an English user reads them
  ASSERT_TRUE(english.Loaded());
  const QString save = Backup(Level::Level0);
  const QString listing = w.Host(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral(".csv"));
  auto read = [](const QString& file) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  };
  auto write = [](const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  };
  auto damage = [](const VerifyReport& r) {
    QStringList out;
    for (const VerifyProblem& p : r.problems) out += VerifyKindText(p.kind) + QStringLiteral(": ") + p.detail;
    return out;
  };
  const QByteArray sum = read(SumOf(save)), list = read(listing);
  ASSERT_TRUE(sum.startsWith("Qarno-Manifest 2 XXH3-128\r\n") && sum.endsWith("\r\nend 4\r\n")) << sum.toStdString();
  const qsizetype firstLineEnd = sum.indexOf("\r\n") + 2;

  // The manifest cut after its first line, or counting otherwise than it holds.
  write(SumOf(save), sum.left(firstLineEnd));
  VerifyReport r = Check(save, true);
  EXPECT_EQ(damage(r), (QStringList{QStringLiteral("manifest damaged: no end line: the manifest is cut short")} +
                        (packed() ? QStringList()
                                  : QStringList{QStringLiteral("manifest damaged: 4 file(s) copied by this run have no line, "
                                                               "the first is T:\\src\\a.txt")})));
  QByteArray miscounted = sum;
  miscounted.replace("end 4", "end 5");
  write(SumOf(save), miscounted);
  EXPECT_EQ(damage(Check(save, false)),
            QStringList{QStringLiteral("manifest damaged: the end line counts 5 file line(s), the manifest holds 4")});

  // Written before the end line: read as it is, and cross-checked all the same.
  QByteArray v1 = sum;
  v1.replace("Qarno-Manifest 2", "Qarno-Manifest 1");
  v1.chop(QByteArray("end 4\r\n").size());
  write(SumOf(save), v1);
  r = Check(save, true);
  EXPECT_TRUE(r.Clean()) << Lines(r);
  EXPECT_EQ(r.contentChecked, 4);
  if (!packed()) {
    write(SumOf(save), v1.left(firstLineEnd));
    EXPECT_EQ(damage(Check(save, false)),
              QStringList{QStringLiteral("manifest damaged: 4 file(s) copied by this run have no line, the first is T:\\src\\a.txt")});
  }
  write(SumOf(save), sum);

  // The listing cut inside its last line, without its last two lines, or empty.
  const QByteArray bigLine = "\"T:\\src\\docs\\big.bin\"";
  ASSERT_TRUE(list.contains(bigLine));
  write(listing, list.left(list.size() - 3));
  EXPECT_EQ(damage(Check(save, false)).value(0), QStringLiteral("listing damaged: the last line is cut"));
  QByteArray fewer = list;
  fewer.chop(1);
  fewer = fewer.left(fewer.lastIndexOf('\n') + 1);
  fewer.chop(1);
  fewer = fewer.left(fewer.lastIndexOf('\n') + 1);
  write(listing, fewer);
  r = Check(save, true);
  ASSERT_EQ(r.problems.size(), 1u) << Lines(r);
  EXPECT_EQ(r.problems[0].kind, VerifyProblem::Kind::ListingDamaged);
  EXPECT_TRUE(r.problems[0].detail.startsWith(QStringLiteral("the manifest names 2 file(s) the listing does not hold")))
      << Lines(r);
  write(listing, QByteArray());
  EXPECT_EQ(damage(Check(save, true)).value(0), QStringLiteral("listing damaged: the listing holds no line"));
  write(listing, list);
  EXPECT_TRUE(Check(save, true).Clean());
}

TEST_P(Verify, LinksInTheSaveFolderAreNeverFollowed) {
  const QString save = Backup(Level::Level0);
  // The copy replaced by a link to the very same bytes elsewhere; a folder of the save
  // replaced by a link to the source tree.
  const QString outside = w.Host(QStringLiteral("T:\\elsewhere"));
  QDir().mkpath(outside);
  ASSERT_TRUE(QFile::rename(CopyOf(save, QStringLiteral("a.txt")), outside + QStringLiteral("/a")));
  ASSERT_TRUE(QFile::link(outside + QStringLiteral("/a"), CopyOf(save, QStringLiteral("a.txt"))));
  const QString docs = QFileInfo(CopyOf(save, QStringLiteral("docs\\big.bin"))).path();
  ASSERT_TRUE(QDir(docs).removeRecursively());
  ASSERT_TRUE(QFile::link(w.Host(QStringLiteral("T:\\src\\docs")), docs));
  const VerifyReport r = Check(save, true);
  EXPECT_EQ(r.problems.size(), 4u) << Lines(r);
  for (const VerifyProblem& p : r.problems) EXPECT_EQ(p.kind, VerifyProblem::Kind::Missing) << Lines(r);
}

TEST_P(Verify, LaterRunsAndOlderRunsAfterAVerificationRestoreAsBefore) {
  const QString first = Backup(Level::Level0);
  Put(QStringLiteral("a.txt"), "beta, changed");
  const QString second = Backup(Level::Level1);
  // The second run's manifest holds only what it copied; its listing points a.txt's
  // neighbours to the first run, whose copies it does not verify.
  VerifyReport r = Check(second, true);
  EXPECT_TRUE(r.Clean()) << Lines(r);
  EXPECT_EQ(r.files, 1);
  // The second run's copy is lost: verification names it and changes nothing. As before,
  // a copy that fails is not searched for, and an entry whose listing names no save is
  // found in the older runs.
  ASSERT_TRUE(QFile::remove(CopyOf(second, QStringLiteral("a.txt"))));
  r = Check(second, false);
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(r.problems[0].kind, VerifyProblem::Kind::Missing);
  const QString listing = QStringLiteral("T:\\dst\\daily\\") + second + QStringLiteral(".csv");
  QString text = QString::fromUtf8(w.env.ReadFile(listing));
  const qsizetype at = text.indexOf(QStringLiteral(",3,") + second + u',');
  ASSERT_GT(at, 0);
  text.replace(at, second.size() + 4, QStringLiteral(",0,,"));
  w.env.WriteFile(listing, text.toUtf8());
  w.ui.AnswerAll(Question::SearchOlderRuns, Answer::Yes);
  auto restore = w.Open(second);
  EXPECT_EQ(w.RestoreAll(*restore, QStringLiteral("T:\\back")), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\back\\Drive_T\\src\\a.txt")), QByteArray("alpha alpha alpha alpha"));
  (void)first;
}

TEST_P(Verify, ARunWithTheManifestSwitchedOffIsCheckedByItsListingAndLeavesNoStaleManifest) {
  w.m.settings.ContentManifest = 0;
  const QString save = Backup(Level::Level0);
  EXPECT_FALSE(QFileInfo::exists(SumOf(save)));
  const VerifyReport r = Check(save, true);
  EXPECT_TRUE(r.Clean()) << Lines(r);
  EXPECT_EQ(r.manifest, VerifyReport::Manifest::Missing);
  // A repair with manifests on cannot vouch for the copies it keeps: the save stays without
  // a manifest rather than with one that seems to have lost their lines.
  w.m.settings.ContentManifest = 1;
  EXPECT_EQ(Backup(Level::Repair), save);
  EXPECT_FALSE(QFileInfo::exists(SumOf(save)));
  EXPECT_TRUE(Check(save, true).Clean()) << Lines(Check(save, true));
}

INSTANTIATE_TEST_SUITE_P(Storage, Verify, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Packed" : "Plain"; });

}  // namespace
}  // namespace qarno::test
