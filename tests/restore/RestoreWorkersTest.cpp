// SPDX-License-Identifier: GPL-3.0-or-later
// A restore with copy workers must do what the same restore does on one thread: the same
// files, bytes, times and modes, the same log and trace lines, marks, counts and questions,
// whether it ends normally, stops on a failure or is cancelled.
#include "RestoreWorld.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>

namespace qarno::test {
namespace {

// The number of copy workers the restore is told to use, for as long as this lives.
class WorkerCount {
 public:
  explicit WorkerCount(int n) : had_(qEnvironmentVariableIsSet(kName)), before_(qgetenv(kName)) {
    qputenv(kName, QByteArray::number(n));
  }
  ~WorkerCount() { had_ ? qputenv(kName, before_) : qunsetenv(kName); }

 private:
  static constexpr const char* kName = "QARNO_COPY_WORKERS";
  const bool had_;
  const QByteArray before_;
};

// Every file and folder below the host folder: path and mode, for files also the time and
// the bytes. Folders' times tell only when their last file arrived.
QStringList Tree(const QString& hostDir) {
  QStringList out;
  QDirIterator it(hostDir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    QString line = path.mid(hostDir.size()) + u' ' + QString::number(st.st_mode, 8);
    if (S_ISREG(st.st_mode)) {
      QFile f(path);
      f.open(QIODevice::ReadOnly);
      line += u' ' + QString::number(st.st_mtime) + u' ' +
              QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
    }
    out += line;
  }
  out.sort();
  return out;
}

using Lines = std::vector<std::string>;
Lines LinesOf(const QStringList& list) {
  Lines out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

struct Outcome {
  RestoreOutcome end = RestoreOutcome::NotStarted;
  Lines tree, marks, questions, log, trace;
  std::string counts, status;
  int workerCopies = 0;
};

// Two lists of lines that differ are shown side by side where they differ.
void ExpectSameLines(const Lines& one, const Lines& many, const char* what) {
  if (one == many) return;
  std::string diff;
  for (size_t i = 0; i < std::max(one.size(), many.size()); ++i) {
    const std::string a = i < one.size() ? one[i] : "(none)", b = i < many.size() ? many[i] : "(none)";
    if (a != b) diff += "  one thread: " + a + "\n  workers:    " + b + "\n";
  }
  ADD_FAILURE() << what << " differ from line to line:\n" << diff;
}

void ExpectSame(const Outcome& one, const Outcome& many) {
  EXPECT_EQ(one.end, many.end);
  ExpectSameLines(one.tree, many.tree, "files");
  EXPECT_EQ(one.marks, many.marks);
  EXPECT_EQ(one.questions, many.questions);
  EXPECT_EQ(one.counts, many.counts);
  EXPECT_EQ(one.status, many.status);
  ExpectSameLines(one.log, many.log, "log lines");
  ExpectSameLines(one.trace, many.trace, "trace lines");
  EXPECT_EQ(one.workerCopies, 0);
  EXPECT_GT(many.workerCopies, 0);
}

// The scene makes the tree, saves it and prepares the answers; it gives the save's name. The
// restore then runs with the number of workers, in place or under the top directory.
using Scene = std::function<QString(RestoreWorld&)>;
Outcome Restore(int workers, const Scene& scene, const QString& topDir,
                const std::function<void(RestoreWorld&)>& arm = {}) {
  RestoreWorld w;
  const QString save = scene(w);
  w.fs.workers = true;
  w.m.DebugMode = 1;
  w.m.CloseLogFile();
  const qsizetype logBefore = w.env.ReadFile(w.m.LogFilePath()).size();
  WorkerCount count(workers);
  auto r = w.Open(save);
  if (arm) arm(w);
  Outcome o;
  o.end = w.RestoreAll(*r, topDir);
  QStringList marks, questions;
  for (int row = 1; row < r->table().Rows(); ++row) marks += FieldText(r->table()[row], SaveListEntry::RestoreFlag);
  for (const Message& m : w.ui.messages) questions += QuestionName(m.kind) + u' ' + m.text;
  o.marks = LinesOf(marks);
  o.questions = LinesOf(questions);
  o.counts = (r->table().Cell(cell::RestoredFiles) + u'/' + r->table().Cell(cell::RestoredFolders) + u'/' +
              r->table().Cell(cell::RestoredKB)).toStdString();
  o.status = r->state().Status.toStdString();
  o.tree = LinesOf(Tree(w.Host(QStringLiteral("T:\\src"))) + Tree(w.Host(QStringLiteral("T:\\restore"))));
  w.m.CloseLogFile();
  w.m.CloseDebugFile();
  o.log = LinesOf(QString::fromUtf8(w.env.ReadFile(w.m.LogFilePath()).mid(logBefore)).split(QStringLiteral("\r\n")));
  o.trace = LinesOf(QString::fromUtf8(w.env.ReadFile(w.m.DebugFilePath())).split(QStringLiteral("\r\n")));
  o.workerCopies = w.fs.workerCopies;
  return o;
}

// 150 files in twelve folders, a few with odd names, some read-only, some large enough to
// be still in a worker's hands when the next ones are handed out.
void WriteTree(RestoreWorld& w) {
  const QStringList odd{QStringLiteral("空白 入り.txt"), QStringLiteral("#1.dat"), QStringLiteral("-x"),
                        QStringLiteral("点..txt"), QStringLiteral("カンマ,入り.txt")};
  for (int i = 0; i < 150; ++i) {
    const QString folder = QStringLiteral("T:\\src\\d%1\\s%2\\").arg(i % 4).arg(i % 3);
    const QString name = i % 30 == 7 ? odd[(i / 30) % odd.size()] : QStringLiteral("f%1.dat").arg(i, 3, 10, QChar(u'0'));
    const int size = i % 25 == 3 ? 300000 + i : (i * 137) % 5000;
    w.env.WriteFile(folder + name, QByteArray(size, char('a' + i % 26)),
                    QDateTime(QDate(2001, 1, 1 + i % 28), QTime(i % 24, i % 60, 0)));
    if (i % 11 == 5) ::chmod(QFile::encodeName(w.Host(folder + name)).constData(), 0444);
  }
  // Times that do not depend on when the test runs.
  w.env.SetTime(QStringLiteral("T:\\src"), RestoreWorld::kTime);
  for (int d = 0; d < 4; ++d) {
    w.env.SetTime(QStringLiteral("T:\\src\\d%1").arg(d), RestoreWorld::kTime);
    for (int s = 0; s < 3; ++s) w.env.SetTime(QStringLiteral("T:\\src\\d%1\\s%2").arg(d).arg(s), RestoreWorld::kTime);
  }
}

QString SavedTree(RestoreWorld& w) {
  WriteTree(w);
  return w.Backup(Level::Level0);
}

QString CopyOf(const QString& save, const QString& path) {
  return QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral("\\Drive_T") + path.mid(2);
}

TEST(RestoreWorkers, RestoreWhatOneThreadRestoresAndSayTheSame) {
  // One copy is missing from the save (asked about, then ignored) and one holds more than
  // its listing says (restored and reported).
  const Scene scene = [](RestoreWorld& w) {
    const QString save = SavedTree(w);
    QFile::remove(w.Host(CopyOf(save, QStringLiteral("T:\\src\\d1\\s1\\f013.dat"))));
    QFile longer(w.Host(CopyOf(save, QStringLiteral("T:\\src\\d2\\s2\\f014.dat"))));
    longer.open(QIODevice::Append);
    longer.write("more");
    longer.close();
    w.env.SetTime(CopyOf(save, QStringLiteral("T:\\src\\d2\\s2\\f014.dat")), RestoreWorld::kTime);
    w.ui.AnswerAll(Question::CannotRestore, Answer::Ignore);
    return save;
  };
  const Outcome one = Restore(1, scene, QStringLiteral("T:\\restore"));
  const Outcome many = Restore(4, scene, QStringLiteral("T:\\restore"));
  ExpectSame(one, many);
  EXPECT_EQ(many.end, RestoreOutcome::Finished);
  EXPECT_EQ(std::count(many.marks.begin(), many.marks.end(), "-1"), 1);
  EXPECT_EQ(many.questions.size(), 1);
  EXPECT_EQ(std::count_if(many.log.begin(), many.log.end(),
                          [](const std::string& l) { return l.find("保存時の一覧と一致しません") == 0; }),
            1);
  EXPECT_EQ(std::count_if(many.tree.begin(), many.tree.end(),
                          [](const std::string& l) { return l.find("/Drive_T/src/d") == 0; }),
            149 + 4 + 12);
}

TEST(RestoreWorkers, AStopOnAFailureLeavesNothingOneThreadWouldNotHaveWritten) {
  // In place: most files are gone from the tree, a few were changed since and are there, and
  // one folder is gone with all in it. An early file cannot be copied and the user stops the
  // restore there: the new files and folders made beyond it go again, and the changed files
  // beyond it keep the user's bytes.
  const Scene scene = [](RestoreWorld& w) {
    const QString save = SavedTree(w);
    QStringList files;
    QDirIterator it(w.Host(QStringLiteral("T:\\src")), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files += it.next();
    files.sort();
    int n = 0;
    for (const QString& path : files) {
      if (++n % 10 == 0) {
        ::chmod(QFile::encodeName(path).constData(), 0644);
        QFile changed(path);
        changed.open(QIODevice::WriteOnly);
        changed.write("the user's newer bytes");
        changed.close();
        const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
      } else {
        QFile::remove(path);
      }
    }
    QDir(w.Host(QStringLiteral("T:\\src\\d1"))).removeRecursively();
    w.fs.copyFails = {CopyOf(save, QStringLiteral("T:\\src\\d0\\s1\\f004.dat"))};
    w.ui.Expect(Question::CannotRestore, Answer::Abort);
    return save;
  };
  const Outcome one = Restore(1, scene, QString());
  const Outcome many = Restore(4, scene, QString());
  ExpectSame(one, many);
  EXPECT_EQ(many.end, RestoreOutcome::Stopped);
  EXPECT_GT(std::count(many.marks.begin(), many.marks.end(), "1"), 100);
}

TEST(RestoreWorkers, ACancelEndsTheRestoreWithEveryFileWhole) {
  RestoreWorld original;
  WriteTree(original);
  const QStringList originalTree = Tree(original.Host(QStringLiteral("T:\\src")));
  Outcome outcomes[2];
  for (int workers : {1, 4}) {
    int restored = 0;
    outcomes[workers == 4] = Restore(workers, SavedTree, QStringLiteral("T:\\restore"), [](RestoreWorld& w) {
      const int start = w.ui.yields;
      w.ui.onYield = [&w, start](int n) {
        if (n == start + 84) w.m.CancelFlag.Set();  // with files in the workers' hands
      };
    });
    // Whatever is there came whole.
    for (const std::string& entry : outcomes[workers == 4].tree) {
      if (entry.find("/Drive_T/src/") != 0) continue;
      const QString line = QString::fromStdString(entry).mid(12);
      const QStringList parts = line.split(u' ');
      if (parts.size() >= 4 && parts[parts.size() - 3].startsWith(QStringLiteral("100"))) {
        ++restored;
        EXPECT_TRUE(originalTree.contains(line)) << line.toStdString();
      }
    }
    EXPECT_GT(restored, 20);
    EXPECT_LT(restored, 140);
  }
  ExpectSame(outcomes[0], outcomes[1]);
  EXPECT_EQ(outcomes[1].end, RestoreOutcome::Stopped);
}

}  // namespace
}  // namespace qarno::test
