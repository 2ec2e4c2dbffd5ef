#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace qarno::test {

Answer ScriptedPrompter::MsgBox(const Message& message) {
  messages.append(message);
  if (!script_.empty()) {
    const Expected e = script_.front();
    if (message.text.contains(e.contains)) {
      script_.pop_front();
      EXPECT_TRUE(Offers(message.buttons, e.answer))
          << "scripted answer not offered by: " << message.text.toStdString();
      return e.answer;
    }
  }
  for (const Expected& e : standing_) {
    if (message.text.contains(e.contains)) return e.answer;
  }
  ADD_FAILURE() << "unexpected message: [" << message.title.toStdString() << "] " << message.text.toStdString()
                << (script_.empty() ? std::string() : " (expected: " + script_.front().contains.toStdString() + ")");
  return SafeAnswer(message.buttons);
}

}  // namespace qarno::test
