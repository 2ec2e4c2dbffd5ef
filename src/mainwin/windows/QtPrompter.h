// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The prompter of the desktop program: message boxes with the system's icon, title, text and
// buttons (the first button is the default; Escape answers Cancel or No where they are
// offered), the desktop's beep, and the event loop for the yields of long loops.
#include "platform/Prompter.h"

#include <QElapsedTimer>
#include <functional>

class QWidget;

namespace qarno {

class QtPrompter : public Prompter {
 public:
  using Prompter::MsgBox;
  Answer MsgBox(const Message& message) override;
  void Beep(BeepKind kind) override;
  void DoEvents() override;
  // Called at every yield of a long loop, after the events (the stop signals use it).
  void SetOnYield(std::function<void()> onYield) { onYield_ = std::move(onYield); }
  // An unattended run (/B2 and above) must never wait for a click, display or not: while
  // `unattended` says so, a question is not shown but answered as the headless program
  // answers it, written to standard error and handed to `sink` (the run's log).
  void SetUnattended(std::function<bool()> unattended, HeadlessPrompter::Sink sink = nullptr) {
    unattended_ = std::move(unattended);
    headless_.SetLogSink(std::move(sink));
  }
  // The same, the sink also given the line as the user read it.
  void SetUnattended(std::function<bool()> unattended, HeadlessPrompter::ShownSink sink) {
    unattended_ = std::move(unattended);
    headless_.SetLogSink(std::move(sink));
  }

 private:
  static constexpr int kEventsEveryMs = 5;
  QElapsedTimer sinceEvents_;  // since the event loop last turned at a yield
  std::function<void()> onYield_;
  std::function<bool()> unattended_;
  HeadlessPrompter headless_;
};

// The system's texts break lines with CR (or CR LF); a message box wants LF.
QString MessageBoxText(QString text);

}  // namespace qarno
