#pragma once
// The one door through which the system talks to the user: message boxes, beeps and the
// "yield to the user interface" of every long loop. The windows implement it with
// QMessageBox and processEvents; HeadlessPrompter answers with the safe choice and logs;
// tests script it. So every prompt, cancel point and unattended path runs without a display.
#include <QString>
#include <functional>
#include <optional>

namespace qarno {

enum class Icon { None, Exclamation, Information, Question, Critical };
enum class Buttons { OK, OKCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };
enum class Answer { OK, Cancel, Yes, No, Abort, Retry, Ignore };
enum class BeepKind { Asterisk, Default };

struct Message {
  QString title;
  QString text;
  Icon icon = Icon::Exclamation;
  Buttons buttons = Buttons::OK;
};

// The answer that loses nothing and starts nothing: Cancel, Abort, No, or OK where OK is the
// only button.
Answer SafeAnswer(Buttons buttons);
bool Offers(Buttons buttons, Answer answer);
QString AnswerName(Answer answer);

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer MsgBox(const Message& message) = 0;
  virtual void Beep(BeepKind kind) = 0;
  // Lets the user interface process pending events (timers, the Cancel button).
  virtual void DoEvents() = 0;

  Answer MsgBox(const QString& title, const QString& text, Buttons buttons = Buttons::OK,
                Icon icon = Icon::Exclamation) {
    return MsgBox(Message{title, text, icon, buttons});
  }
};

// For runs without a display: every question gets its safe answer (unless the policy gives
// another one), and its text goes to standard error and to the log sink, so that an
// unattended run never waits for a click.
class HeadlessPrompter : public Prompter {
 public:
  using Policy = std::function<std::optional<Answer>(const Message&)>;
  using Sink = std::function<void(const QString&)>;

  Answer MsgBox(const Message& message) override;
  void Beep(BeepKind) override {}
  void DoEvents() override;

  void SetPolicy(Policy policy) { policy_ = std::move(policy); }
  void SetLogSink(Sink sink) { sink_ = std::move(sink); }
  // Called at every yield, e.g. to refresh a progress line.
  void SetOnYield(std::function<void()> onYield) { onYield_ = std::move(onYield); }
  void SetQuiet(bool quiet) { quiet_ = quiet; }

 private:
  Policy policy_;
  Sink sink_;
  std::function<void()> onYield_;
  bool quiet_ = false;
};

}  // namespace qarno
