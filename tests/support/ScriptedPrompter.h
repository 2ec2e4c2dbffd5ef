#pragma once
// The prompter of the tests: answers come from a script, every message is recorded, and a
// message nobody expected fails the test.
#include "platform/Prompter.h"

#include <QList>
#include <deque>
#include <functional>

namespace qarno::test {

class ScriptedPrompter : public Prompter {
 public:
  struct Expected {
    QString contains;  // a part of the text the message must have
    Answer answer;
  };

  // Queues the answer to the next message, whose text must contain `contains`.
  void Expect(const QString& contains, Answer answer) { script_.push_back({contains, answer}); }
  // Every message gets the answer, without failing (for loops of identical questions).
  void AnswerAll(const QString& contains, Answer answer) { standing_.push_back({contains, answer}); }

  Answer MsgBox(const Message& message) override;
  void Beep(BeepKind kind) override { kind == BeepKind::Asterisk ? ++asterisks : ++defaults; }
  void DoEvents() override {
    ++yields;
    if (onYield) onYield(yields);
  }

  bool Exhausted() const { return script_.empty(); }

  QList<Message> messages;
  int asterisks = 0;
  int defaults = 0;
  int yields = 0;
  std::function<void(int)> onYield;

 private:
  std::deque<Expected> script_;
  QList<Expected> standing_;
};

}  // namespace qarno::test
