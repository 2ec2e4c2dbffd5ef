// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace qarno::test {

Answer ScriptedPrompter::MsgBox(const Message& message) {
  messages.append(message);
  if (!script_.empty() && script_.front().kind == message.kind) {
    const Expected e = script_.front();
    script_.pop_front();
    EXPECT_TRUE(Offers(message.buttons, e.answer))
        << "scripted answer not offered by: " << message.text.toStdString();
    if (!e.contains.isEmpty()) {
      EXPECT_TRUE(message.text.contains(e.contains))
          << QuestionName(message.kind).toStdString() << " said [" << message.text.toStdString()
          << "], expected it to hold [" << e.contains.toStdString() << "]";
    }
    return e.answer;
  }
  for (const Expected& e : standing_) {
    if (e.kind == message.kind) return e.answer;
  }
  ADD_FAILURE() << "unexpected message " << QuestionName(message.kind).toStdString() << ": ["
                << message.title.toStdString() << "] " << message.text.toStdString()
                << (script_.empty() ? std::string() : " (expected: " + QuestionName(script_.front().kind).toStdString() + ")");
  return SafeAnswer(message.buttons);
}

QList<Message> ScriptedPrompter::Shown(Question kind) const {
  QList<Message> out;
  for (const Message& m : messages) {
    if (m.kind == kind) out.append(m);
  }
  return out;
}

}  // namespace qarno::test
