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

Answer Module1::Warn(Question kind, const QString& title, const QString& text, Buttons buttons) {
  BeepAsterisk();
  return ui.MsgBox(kind, title, text, buttons, Icon::Exclamation);
}

bool Module1::HoldSet(const QString& setName, LockKind kind, const QString& title, std::unique_ptr<SetLock>& hold,
                      bool* waited) {
  hold.reset();
  if (waited) *waited = false;
  if (exclusiveHolds_.contains(setName)) return true;
  SetLockResult r = fs.LockSet(SetFolder, setName, kind, setHoldWaitMs);
  if (waited) *waited = r.waited;
  if (r) {
    if (kind == LockKind::Shared) {
      hold = std::move(r.lock);
      return true;
    }
    // The name is the process's own until the hold goes.
    struct Exclusive : SetLock {
      Exclusive(Module1& m, const QString& name, std::unique_ptr<SetLock> inner)
          : m_(m), name_(name), inner_(std::move(inner)) {
        m_.exclusiveHolds_.append(name_);
      }
      ~Exclusive() override { m_.exclusiveHolds_.removeOne(name_); }
      Module1& m_;
      QString name_;
      std::unique_ptr<SetLock> inner_;
    };
    hold = std::make_unique<Exclusive>(*this, setName, std::move(r.lock));
    return true;
  }
  // A set folder where no hold can be made (missing, or not the user's to write): what
  // follows fails there by itself, with its own message, or only reads.
  if (!r.busy) return true;
  Warn(Question::SetInUse, title,
       QStringLiteral("セット「%1」は他で使用中です（保存・復元・履歴の変更）。").arg(setName) + u'\r' +
           QStringLiteral("終わってからもう一度実行してください。"));
  return false;
}

std::optional<QStringList> Module1::ReadTextFile(const QString& path) {
  auto bytes = fs.ReadAll(path);
  if (!bytes) return std::nullopt;
  return codec.DecodeLines(*bytes);
}

void Module1::WriteDebugLine(const QString& line) {
  const QByteArray bytes = codec.EncodeLine(line);
  if (debugFile_ && debugFile_->write(bytes) == bytes.size()) return;
  // Not open yet (or the write failed): the file is made anew, header first.
  debugFile_ = fs.Open(DebugFilePath(), QIODevice::WriteOnly | QIODevice::Truncate);
  if (!debugFile_) {
    DebugMode = 0;
    ui.MsgBox(Question::DebugFileNotCreated, MainCaption, QStringLiteral("デバッグファイルが作れません！"), Buttons::OK, Icon::Exclamation);
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
    ui.MsgBox(Question::LogFileNotCreated, MainCaption, QStringLiteral("ログファイルが作れません！"), Buttons::OK, Icon::Exclamation);
    return;
  }
  logFile_->write(bytes);
}

void Module1::CloseDebugFile() { debugFile_.reset(); }

void Module1::CloseLogFile() { logFile_.reset(); }

bool Module1::MakeDirPath(const QString& path, const std::function<uint32_t(const QString&)>& modeFor) {
  if (fs.SetCurrentDir(path)) return true;
  for (int n = 1;; ++n) {
    const QString prefix = GetPathPrefix(path, n);
    if (prefix.isEmpty()) break;
    if (!fs.SetCurrentDir(prefix)) {
      if (n == 1) return false;  // a drive root is never created
      const uint32_t mode = modeFor ? modeFor(prefix) : kDefaultDirMode;
      if (!fs.MkDir(prefix, mode) && !fs.IsDirectory(prefix)) return false;
      if (!fs.SetCurrentDir(prefix)) return false;
    }
  }
  return fs.SetCurrentDir(path);
}

void Module1::DeleteTree(const QString& directory) {
  if (CancelFlag) return;
  auto entries = fs.List(winpath::Join(directory, QStringLiteral("*.*")));
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    ui.DoEvents();
    if (CancelFlag) return;
    const QString path = winpath::Join(directory, e.name);
    currentItem = path;
    if (e.isDirectory) DeleteTree(path);
    else fs.Kill(path);
    if (CancelFlag) return;
  }
  QString parent, name;
  SplitPath(directory, parent, name);
  if (!parent.isEmpty()) fs.SetCurrentDir(parent);
  fs.RmDir(directory);
}

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
