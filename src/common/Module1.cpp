// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Module1.h"

#include "platform/WinPath.h"

#include <cmath>
#include <limits>

namespace qarno {

Module1::Module1(Platform& platform, Prompter& prompter, QString programFolder)
    : fs(platform), ui(prompter), ProgramFolder(std::move(programFolder)) {}

Module1::~Module1() = default;

QString Module1::DebugFilePath() const { return winpath::Join(ProgramFolder, QStringLiteral("Qarno.deb")); }

QString Module1::LogFilePath() const { return winpath::Join(SetFolder, set.Name + QStringLiteral(".log")); }

Answer Module1::Warn(Question kind, const QString& title, const Words& text, Buttons buttons) {
  return Environment().Warn(kind, title, text, buttons);
}

std::optional<QStringList> Module1::ReadTextFile(const QString& path) { return Environment().ReadTextFile(path); }

void Module1::WriteDebugLine(const QString& line) {
  const QByteArray bytes = codec.EncodeLine(line);
  if (debugFile_ && debugFile_->write(bytes) == bytes.size()) return;
  // Not open yet (or the write failed): the file is made anew, header first.
  debugFile_ = fs.Open(DebugFilePath(), QIODevice::WriteOnly | QIODevice::Truncate);
  if (!debugFile_) {
    DebugMode = 0;
    ui.MsgBox(Question::DebugFileNotCreated, MainCaption, TrWords("Module1", "デバッグファイルが作れません！"), Buttons::OK, Icon::Exclamation);
    return;
  }
  debugFile_->write(codec.EncodeLine(QStringLiteral("デバッグファイル")));
  debugFile_->write(bytes);
}

void Module1::WriteLogLine(const QString& line) {
  const QByteArray bytes = codec.EncodeLine(line);
  if (logFile_ && logFile_->write(bytes) == bytes.size()) return;
  logFile_ = fs.Open(LogFilePath(), QIODevice::WriteOnly | QIODevice::Append);
  if (!logFile_) {
    LogEnabled = false;
    ui.MsgBox(Question::LogFileNotCreated, MainCaption, TrWords("Module1", "ログファイルが作れません！"), Buttons::OK, Icon::Exclamation);
    return;
  }
  logFile_->write(bytes);
}

void Module1::CloseDebugFile() { debugFile_.reset(); }

void Module1::CloseLogFile() { logFile_.reset(); }

bool Module1::ChkUnlha() { return Environment().ArchiverReady(); }

RunEnvironment Module1::Environment() { return RunEnvironment{fs, ui, *this, CancelFlag, clock, codec, archiver}; }

const Clock& SystemClock() {
  static const Clock system;
  return system;
}

bool RunEnvironment::ArchiverReady() const {
  if (!archiver) return false;
  if (archiver->GetVersion() < 0) return false;
  return archiver->SetBackGroundMode(true) && archiver->SetCursorMode(true);
}

int64_t RoundHalfEven(double value) {
  // Far past what any medium holds, and no value: the figure is held, never undefined.
  if (!(value == value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(std::nearbyint(value));
}

}  // namespace qarno
