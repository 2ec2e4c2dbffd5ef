// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random listings — climbing and slashed paths, NUL bytes, huge and broken sizes,
// foreign save names and aliases, missing and surplus fields, stray quotes, very long and
// blank lines — loaded and restored for real under a top directory that already holds
// links to elsewhere, from saves that hold a pipe and a link. Whatever a listing says,
// nothing outside the top directory changes (the saves included), no case hangs and none
// crashes (the sanitizer build runs this too).
#include "RestoreWorld.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace qarno::test {
namespace {

const QString S0 = QStringLiteral("qrn20010203_00");
const QString S1 = QStringLiteral("qrn20010203_01");
constexpr int kCases = 300;
constexpr unsigned kSecondsPerCase = 10;

volatile sig_atomic_t currentCase = -1;

void OnTimeout(int) {
  char text[] = "hostile listing: case 0000 did not finish in time\n";
  const int n = currentCase;
  for (int i = 0, d = 1000; i < 4; ++i, d /= 10) text[22 + i] = static_cast<char>('0' + (n / d) % 10);
  (void)!::write(2, text, sizeof text - 1);
  ::_exit(3);
}

// Everything below the folder as lstat sees it, links not followed: kind, mode, size,
// modification time, and the bytes of regular files.
void Walk(const QString& host, const QString& rel, QMap<QString, QByteArray>& out, const QStringList& skip) {
  const QStringList names = QDir(host).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    const QString relName = rel.isEmpty() ? name : rel + u'/' + name;
    if (skip.contains(relName)) continue;
    const QString path = host + u'/' + name;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) continue;
    QByteArray d = QByteArray::number(st.st_mode, 8) + ' ' + QByteArray::number(qint64(st.st_size)) + ' ' +
                   QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec));
    if (S_ISREG(st.st_mode)) {
      QFile f(path);
      if (f.open(QIODevice::ReadOnly)) d += ' ' + f.readAll().toHex();
    } else if (S_ISLNK(st.st_mode)) {
      d += ' ' + QFile::symLinkTarget(path).toUtf8();
    }
    out.insert(relName, d);
    if (S_ISDIR(st.st_mode)) Walk(path, relName, out, skip);
  }
}

class Hostile {
 public:
  explicit Hostile(quint32 seed) : rng_(seed) {}

  QString Line() {
    switch (Pick(20)) {
      case 0: return QString();
      case 1: return QString(Pick(3) + 1, u' ');
      case 2: return QString(10000 + Pick(5000), QChar(u'a' + Pick(26)));
      case 3: return u'"' + Path();  // the quote never closes
      default: break;
    }
    QStringList f{Path(), Attrs(), Size(), Date(), Of({"3", "3", "3", "2", "0", "5", "x", ""}), SaveName(),
                  Of({"1A2B-3C4D", "1A2B-3C4D", "", "FFFF-0000"}), Of({"BACKUP1", "BACKUP1", "", "OTHER"}),
                  Of({"", "", "1", "2", "-1"}), Of({"0", "0", "0", "1", "", "2", "x"}), Alias()};
    const int quoting = Pick(10);
    if (quoting < 8) f[0] = u'"' + f[0] + u'"';
    else if (quoting == 8) f[0] = u'"' + f[0] + QStringLiteral("\"x");
    const int keep = Pick(4) == 0 ? Pick(12) : 11;
    QString line = f.mid(0, keep).join(u',');
    if (Pick(8) == 0) line += QStringLiteral(",surplus,") + Of({"\"", ",,,", "\\..\\", "ü"});
    return line;
  }
  int Pick(int n) { return static_cast<int>(rng_.bounded(n)); }
  QString Of(std::initializer_list<const char*> options) {
    const int i = Pick(static_cast<int>(options.size()));
    return QString::fromUtf8(*(options.begin() + i));
  }

 private:
  QString Path() {
    // Half of them name what the saves hold, or what the planted links would lead to.
    if (Pick(2) == 0)
      return Of({"T:\\src\\a.txt", "T:\\src\\dir\\b.txt", "X:\\data\\x.txt", "T:\\src\\p.txt", "T:\\src",
                 "T:\\src\\dir", "T:\\src\\slink.txt", "T:\\src\\flink.txt", "T:\\src\\fifo.txt", "T:\\lnk\\a.txt",
                 "T:\\dst\\daily\\qrn20010203_00\\Drive_T\\src\\a.txt", "X:\\", "T:\\", "T:\\any"});
    static const char* const kParts[] = {"src", "a.txt", "dir", "b.txt", "..", ".", "", "lnk", "flink.txt", "fifo.txt",
                                         "p.txt", "dst", "daily", "qrn20010203_00", "Drive_T", "Alias", "sibling",
                                         "slink.txt", "x/../y", " ", "...", "ﾃｽﾄ", "con", "\"q\"", ",", ":"};
    QString path = Of({"T:\\", "T:\\", "T:\\", "T:\\", "t:\\", "X:\\", "", "\\\\server\\share\\", "T:", "T:/", "/", "C:\\"});
    const int n = 1 + Pick(6);
    const QString sep = Pick(10) == 0 ? QStringLiteral("/") : QStringLiteral("\\");
    for (int i = 0; i < n; ++i) {
      if (i > 0) path += sep;
      const int kind = Pick(30);
      if (kind == 0) path += QString(300, u'n');
      else if (kind == 1) path += QStringLiteral("a") + QChar(0) + QStringLiteral("b");
      else path += QString::fromUtf8(kParts[Pick(std::size(kParts))]);
    }
    return path;
  }
  QString Attrs() { return Of({"---A-", "---A-", "----D", "R--A-", "R---D", "RSHAD", "xx", "", "-----", "R"}); }
  QString Size() {
    return Of({"0", "1", "5", "12", "1024", "9223372036854775807", "-1", "-9223372036854775808",
               "99999999999999999999", "abc", "", "1e30", " 7 "});
  }
  QString Date() { return Of({"2001/02/03 04:05:06", "2001/02/03 04:05:06", "", "garbage", "9999/99/99 99:99:99"}); }
  QString SaveName() {
    QString nul = S0;
    nul[5] = QChar(0);
    const QString fixed[] = {S0, S1, S0, S1, QString(), QStringLiteral(".."), QStringLiteral("..\\sibling"),
                             QStringLiteral("qrn/../x"), QStringLiteral("Qrn_All"), S0 + QStringLiteral("\\.."),
                             QStringLiteral("qrn2001020_00"), QStringLiteral("qrn20010203_0"), nul,
                             QStringLiteral("C:\\"), QStringLiteral("/etc")};
    return fixed[Pick(std::size(fixed))];
  }
  QString Alias() {
    return Of({"", "", "", "000000", "000001", "..\\x", "12345678901", "abc", "-1", "000000\\..\\..", "0"});
  }

  QRandomGenerator rng_;
};

struct HostileListing : ::testing::Test {
  RestoreWorld w;

  void SetUp() override {
    // Two saves with real copies, a packed one, a pipe and a link in their folders.
    for (const QString& save : {S0, S1}) {
      const QString run = QStringLiteral("T:\\dst\\daily\\") + save;
      w.WriteCopy(save, QStringLiteral("T:\\src\\a.txt"), "copy a " + save.toUtf8());
      w.WriteCopy(save, QStringLiteral("T:\\src\\dir\\b.txt"), "copy b");
      w.WriteCopy(save, QStringLiteral("X:\\data\\x.txt"), "copy x");
      w.WriteCopy(save, QStringLiteral("T:\\any"), "alias 0", QStringLiteral("000000"));
      w.WriteCopy(save, QStringLiteral("T:\\any"), "alias 1", QStringLiteral("000001"));
      w.env.WriteFile(run + QStringLiteral("\\Drive_T\\src\\p.txt.LZH"), "LZH\npacked");
      ASSERT_EQ(::mkfifo(QFile::encodeName(w.Host(run + QStringLiteral("\\Drive_T\\src\\fifo.txt"))).constData(), 0644), 0);
      ASSERT_EQ(::symlink(QFile::encodeName(w.Host(QStringLiteral("T:\\sibling\\f.txt"))).constData(),
                          QFile::encodeName(w.Host(run + QStringLiteral("\\Drive_T\\src\\slink.txt"))).constData()),
                0);
    }
    w.env.WriteFile(QStringLiteral("T:\\sibling\\f.txt"), "sibling file");
    w.env.WriteFile(QStringLiteral("T:\\sibling\\deep\\g.txt"), "sibling deep");
    w.AddHistory(S0);
    w.AddHistory(S1);
    w.AddHistory(QStringLiteral("..\\sibling"));
    for (Question q : {Question::MalformedListingLine, Question::RestoreIncomplete, Question::SaveNotInHistory,
                       Question::ArchiverMissing})
      w.ui.AnswerAll(q, Answer::OK);
    for (Question q : {Question::CannotRestore, Question::OlderListingMissing, Question::SwapMedium,
                       Question::RestoreMediumChanged, Question::MediumUnidentifiable})
      w.ui.AnswerAll(q, Answer::Ignore);
    w.ui.AnswerAll(Question::SearchOlderRuns, Answer::Yes);
    w.ui.AnswerAll(Question::ListingUnreadable, Answer::Cancel);
    w.ui.AnswerAll(Question::DriveInfoUnreadable, Answer::Cancel);
  }

  // The top directory, fresh for each case, with links planted where a listing could aim.
  void PlantTarget() {
    const QString host = w.Host(QStringLiteral("T:\\restore"));
    if (QFileInfo::exists(host)) {
      QDirIterator it(host, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QString p = it.next();
        if (!QFileInfo(p).isSymLink()) ::chmod(QFile::encodeName(p).constData(), 0755);
      }
      ::chmod(QFile::encodeName(host).constData(), 0755);
      ASSERT_TRUE(QDir(host).removeRecursively());
    }
    QDir().mkpath(host + QStringLiteral("/Drive_T/src"));
    auto link = [&](const char* at, const QString& to) {
      ASSERT_EQ(::symlink(QFile::encodeName(w.Host(to)).constData(), QFile::encodeName(host + QLatin1String(at)).constData()), 0);
    };
    link("/Drive_T/lnk", QStringLiteral("T:\\sibling"));
    link("/Drive_T/dst", QStringLiteral("T:\\dst"));
    link("/Drive_T/src/flink.txt", QStringLiteral("T:\\sibling\\f.txt"));
    link("/Drive_T/src/dir", QStringLiteral("T:\\sibling\\deep"));
    link("/Drive_X", QStringLiteral("T:\\sibling"));
  }
};

TEST_F(HostileListing, NothingOutsideTheTopDirectoryIsEverWritten) {
  struct sigaction action {};
  action.sa_handler = OnTimeout;
  ::sigaction(SIGALRM, &action, nullptr);
  QMap<QString, QByteArray> before;
  Walk(w.env.root(), QString(), before, {QStringLiteral("restore"), QStringLiteral("prog")});
  ASSERT_GT(before.size(), 20);

  int restored = 0, refused = 0;
  for (int c = 0; c < kCases; ++c) {
    currentCase = c;
    ::alarm(kSecondsPerCase);
    Hostile gen(0x51AE0000u + static_cast<quint32>(c));
    PlantTarget();
    for (const QString& save : {S0, S1}) {
      QStringList lines;
      const int n = 1 + gen.Pick(25);
      for (int i = 0; i < n; ++i) lines += gen.Line();
      QByteArray bytes;
      for (const QString& l : lines) bytes += (gen.Pick(2) ? l.toUtf8() : w.m.codec.Encode(l)) + "\r\n";
      w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral(".csv"), bytes);
    }
    // The listings are the saves' now: they belong to the "before" of this case.
    Walk(w.env.root(), QString(), before, {QStringLiteral("restore"), QStringLiteral("prog")});
    w.m.CancelFlag.Clear();
    FRestore r(w.m, w.main.HisTable);
    r.SkipBlankLines(gen.Pick(2) == 0);
    r.Form_Load();
    if (r.FormInit(1 + gen.Pick(2))) {
      r.SetTarget(1, QStringLiteral("T:\\restore"));
      if (gen.Pick(5) == 0 && r.table().Count() > 0) {
        r.MarkPathTree(FieldText(r.table()[1 + gen.Pick(r.table().Count())], SaveListEntry::Path));
      } else {
        r.SetAllRestoreMarks();
      }
      r.OK_Click();
      restored += r.table().CountMarked(RestoreFlag::Restored);
      refused += r.table().CountMarked(RestoreFlag::Failed);
    }
    ::alarm(0);
    QMap<QString, QByteArray> after;
    Walk(w.env.root(), QString(), after, {QStringLiteral("restore"), QStringLiteral("prog")});
    if (after != before) {
      for (auto it = after.begin(); it != after.end(); ++it)
        if (before.value(it.key()) != it.value()) ADD_FAILURE() << "case " << c << " changed " << it.key().toStdString();
      for (auto it = before.begin(); it != before.end(); ++it)
        if (!after.contains(it.key())) ADD_FAILURE() << "case " << c << " removed " << it.key().toStdString();
      break;
    }
  }
  currentCase = -1;
  ::signal(SIGALRM, SIG_DFL);
  // The run did restore things, and refused others: the cases reached both sides.
  EXPECT_GT(restored, 30);
  EXPECT_GT(refused, 100);
  std::printf("hostile listing: %d cases, %d entries restored, %d not\n", kCases, restored, refused);
}

}  // namespace
}  // namespace qarno::test
