#pragma once
// The shared module: the program-wide values and the services every window uses — tracing
// and logging, beeps and message boxes, directory creation and save deletion, drive and
// medium identity. One instance lives for the whole program run; windows and engines hold a
// reference to it. It depends on QtCore and the platform layer only.
#include "common/Settings.h"
#include "common/Types.h"
#include "common/Utils.h"
#include "platform/ArchiverLibrary.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"

#include <QIODevice>
#include <memory>
#include <optional>

namespace qarno {

// A trace or log argument that was not given: the line ends before it.
struct Missing {};

namespace detail {
inline std::optional<QString> ArgText(const QString& v) { return v; }
inline std::optional<QString> ArgText(const char* v) { return QString::fromUtf8(v); }
inline std::optional<QString> ArgText(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }
inline std::optional<QString> ArgText(Missing) { return std::nullopt; }
template <typename T>
  requires std::is_integral_v<T>
std::optional<QString> ArgText(T v) { return QString::number(v); }
inline std::optional<QString> ArgText(double v) { return QString::number(v, 'g', 15); }
}  // namespace detail

// Builds "first [a] [b] ...", stopping at the first Missing argument.
template <typename... Args>
QString FormatTraceLine(const QString& first, const Args&... args) {
  QString line = first;
  bool stopped = false;
  [[maybe_unused]] auto add = [&](const std::optional<QString>& t) {
    if (stopped || !t) {
      stopped = true;
      return;
    }
    line += QStringLiteral(" [") + *t + u']';
  };
  (add(detail::ArgText(args)), ...);
  return line;
}

// The medium the user chose to go on with despite the identity warning; not asked again for
// the same medium until the program ends.
struct AcceptedMedium {
  QString root, name, serial;
};

class Module1 {
 public:
  Module1(Platform& platform, Prompter& prompter, QString programFolder);
  ~Module1();

  Platform& fs;
  Prompter& ui;
  TextCodec codec;
  ArchiverLibrary* archiver = nullptr;  // the LHA archiver; null reads as not installed

  // --- Program-wide values ---
  BackupSet set;  // the current set; its options are the program-wide run options
  Settings settings;
  QString ProgramFolder;  // Windows path of the folder of the program's files
  QString ProgramName = QStringLiteral("Qarno");
  QString ProgramVersion;
  QString SetFolder;
  QString MainCaption = QStringLiteral("Qarno");  // the main window's caption
  int16_t DebugMode = 0;
  bool LogEnabled = true;
  bool CancelFlag = false;
  int16_t AutoRunMode = -1;
  bool ShutdownAfterRun = false;
  int16_t OpenDialogKind = 0;
  int32_t ExecMode = 0;
  bool SetModified = false;
  bool HistoryModified = false;
  QStringList NoCompTypes;  // entries 1..n of the no-compression list, held from index 0
  AcceptedMedium acceptedMedium;
  QString currentItem;      // what a long walk is at, for the progress displays

  // --- Tracing and logging ---
  template <typename... Args>
  void WriteDebug(int code, const Args&... args) {
    if (DebugMode != 0) WriteDebugLine(FormatTraceLine(QString::number(code), args...));
  }
  // A trace point whose values carry file paths: with debug mode 2 only the code is written.
  template <typename... Args>
  void WriteDebugPath(int code, const Args&... args) {
    if (DebugMode == 1) WriteDebugLine(FormatTraceLine(QString::number(code), args...));
    else if (DebugMode == 2) WriteDebugLine(QString::number(code));
  }
  template <typename... Args>
  void WriteLog(const QString& message, const Args&... args) {
    if (LogEnabled) WriteLogLine(FormatTraceLine(message, args...));
  }
  void CloseDebugFile();
  void CloseLogFile();
  void BeepAsterisk() { ui.Beep(BeepKind::Asterisk); }
  void BeepDefault() { ui.Beep(BeepKind::Default); }
  // BeepAsterisk, then an exclamation box with the given title.
  Answer Warn(Question kind, const QString& title, const QString& text, Buttons buttons = Buttons::OK);
  void DoEvents() { ui.DoEvents(); }

  QString DebugFilePath() const;
  QString LogFilePath() const;
  // Encodes and writes the system's text files.
  bool WriteTextFile(const QString& path, const QStringList& lines) { return fs.WriteAtomic(path, codec.EncodeLines(lines)); }
  std::optional<QStringList> ReadTextFile(const QString& path);

  // --- Files and paths ---
  // Makes the directory current, creating every missing level of it (never a drive root).
  bool MakeDirPath(const QString& path);
  // Removes a save from the destination: its listing and its folder with all below it.
  void DeleteSaveData(const QString& folder, const QString& saveName);
  void DeleteTree(const QString& directory);

  // --- The archiver ---
  // True when the archiver library could be loaded and called.
  bool ChkUnlha();

  // --- Drive and medium identity ---
  bool ReadDriveInfo(QString& drive, QString& volumeName, QString& volumeSerial);
  int64_t GetFreeDiskKB(const QString& root);
  int64_t GetAllSizeKB(const QString& directory, const QString& saveName);
  static QString FormatSerial(uint32_t serial);
  static int64_t ClustersOf(int64_t bytes, int64_t clusterSize);
  int64_t SumClusters(const QString& directory, int64_t count, int64_t clusterSize);

 private:
  void WriteDebugLine(const QString& line);
  void WriteLogLine(const QString& line);

  std::unique_ptr<QIODevice> debugFile_;
  std::unique_ptr<QIODevice> logFile_;
};

// Rounds half to even, as the system's conversions of free and used space do.
int64_t RoundHalfEven(double value);

}  // namespace qarno
