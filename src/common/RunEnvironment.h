// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a backup run or a restore is given to work with besides its request: the platform,
// the prompter, the trace and log, the cancel token and the clock. Nothing else of the
// program reaches a run; the program's module hands these out (Module1::Environment), a test
// may hand out its own.
#include "platform/ArchiverLibrary.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"

#include <QDateTime>
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

// The stop request of the Cancel buttons. The buttons raise it; every long loop tests it at
// its yields; a run or a restore clears it when it starts, and a window's progress timer
// clears it when it closes the window.
class CancelRequest {
 public:
  void Set() { set_ = true; }
  void Clear() { set_ = false; }
  bool IsSet() const { return set_; }
  explicit operator bool() const { return set_; }

  // Lifts the request for a clean-up that must not be cut short (the removal of a failed
  // save); on destruction a request made before or during the clean-up stands again.
  class Suspension {
   public:
    explicit Suspension(CancelRequest& r) : r_(r), was_(r.set_) { r_.set_ = false; }
    ~Suspension() { r_.set_ = r_.set_ || was_; }
    Suspension(const Suspension&) = delete;
    Suspension& operator=(const Suspension&) = delete;

   private:
    CancelRequest& r_;
    bool was_;
  };
  [[nodiscard]] Suspension Suspend() { return Suspension(*this); }

 private:
  bool set_ = false;
};

// Where the trace (debug mode) and the log lines go. The program's module is one; a run only
// writes to it.
class Journal {
 public:
  virtual ~Journal() = default;
  // 0 off, 1 every trace point with its values, 2 only the codes of those carrying paths.
  int16_t DebugMode = 0;
  bool LogEnabled = true;

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

 protected:
  virtual void WriteDebugLine(const QString& line) = 0;
  virtual void WriteLogLine(const QString& line) = 0;
};

// The time of day as a run sees it (save names, dates in the history, the log). Tests that
// need another day hand a run their own.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const { return QDateTime::currentDateTime(); }
};
// The system's clock, one for the program.
const Clock& SystemClock();

// A run's services. Its members are references to what the program (or a test) owns; the
// run holds the environment by value for its whole length.
struct RunEnvironment {
  Platform& fs;
  Prompter& ui;
  Journal& log;
  CancelRequest& cancel;
  const Clock& clock;
  const TextCodec& codec;
  ArchiverLibrary* archiver = nullptr;  // the LHA archiver; null reads as not installed

  template <typename... Args>
  void WriteDebug(int code, const Args&... args) const { log.WriteDebug(code, args...); }
  template <typename... Args>
  void WriteDebugPath(int code, const Args&... args) const { log.WriteDebugPath(code, args...); }
  template <typename... Args>
  void WriteLog(const QString& message, const Args&... args) const { log.WriteLog(message, args...); }
  void DoEvents() const { ui.DoEvents(); }
  // A beep, then an exclamation box with the given title.
  Answer Warn(Question kind, const QString& title, const Words& text, Buttons buttons = Buttons::OK) const {
    ui.Beep(BeepKind::Asterisk);
    return ui.MsgBox(kind, title, text, buttons, Icon::Exclamation);
  }
  std::optional<QStringList> ReadTextFile(const QString& path) const {
    auto bytes = fs.ReadAll(path);
    if (!bytes) return std::nullopt;
    return codec.DecodeLines(*bytes);
  }
  FsStatus WriteTextFile(const QString& path, const QStringList& lines) const { return fs.WriteAtomic(path, codec.EncodeLines(lines)); }
  // True when the archiver library could be loaded and called.
  bool ArchiverReady() const;
};

}  // namespace qarno
