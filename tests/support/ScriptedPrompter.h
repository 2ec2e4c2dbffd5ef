// SPDX-License-Identifier: GPL-3.0-or-later
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
    Question kind;
    Answer answer;
    QString contains;  // when not empty, a part of the text the message must have
  };

  // Queues the answer to the next message, which must be of this kind (and, when `contains`
  // is given, hold that text: a mismatch fails the test but the message is still answered).
  void Expect(Question kind, Answer answer, const QString& contains = QString()) {
    script_.push_back({kind, answer, contains});
  }
  // Every message of the kind gets the answer, without failing (for loops of one question).
  void AnswerAll(Question kind, Answer answer) { standing_.push_back({kind, answer, QString()}); }
  // The messages of one kind that were shown.
  QList<Message> Shown(Question kind) const;

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
