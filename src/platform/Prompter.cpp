// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Prompter.h"

#include <cstdio>

namespace qarno {

Answer SafeAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::OK: return Answer::OK;
    case Buttons::OKCancel: return Answer::Cancel;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel: return Answer::Cancel;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::RetryCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

bool Offers(Buttons buttons, Answer answer) {
  switch (buttons) {
    case Buttons::OK: return answer == Answer::OK;
    case Buttons::OKCancel: return answer == Answer::OK || answer == Answer::Cancel;
    case Buttons::YesNo: return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel: return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    case Buttons::AbortRetryIgnore: return answer == Answer::Abort || answer == Answer::Retry || answer == Answer::Ignore;
    case Buttons::RetryCancel: return answer == Answer::Retry || answer == Answer::Cancel;
  }
  return false;
}

QString AnswerName(Answer answer) {
  switch (answer) {
    case Answer::OK: return QStringLiteral("OK");
    case Answer::Cancel: return QStringLiteral("Cancel");
    case Answer::Yes: return QStringLiteral("Yes");
    case Answer::No: return QStringLiteral("No");
    case Answer::Abort: return QStringLiteral("Abort");
    case Answer::Retry: return QStringLiteral("Retry");
    case Answer::Ignore: return QStringLiteral("Ignore");
  }
  return QString();
}

QString QuestionName(Question kind) {
  switch (kind) {
#define QARNO_QUESTION_NAME(k) \
  case Question::k: return QStringLiteral(#k);
    QARNO_QUESTIONS(QARNO_QUESTION_NAME)
#undef QARNO_QUESTION_NAME
  }
  return QStringLiteral("Question(%1)").arg(static_cast<int>(kind));
}

Answer HeadlessPrompter::MsgBox(const Message& message) {
  Answer answer = SafeAnswer(message.buttons);
  if (policy_) {
    if (auto chosen = policy_(message.kind); chosen && Offers(message.buttons, *chosen)) answer = *chosen;
  }
  const auto flat = [&answer](QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    text.replace(u'\r', QStringLiteral(" / "));
    text.replace(u'\n', QStringLiteral(" / "));
    return text + QStringLiteral(" -> ") + AnswerName(answer);
  };
  // The user reads the message in their language; the log keeps the program's own words.
  if (!quiet_) std::fprintf(stderr, "%s\n", flat(message.Shown()).toLocal8Bit().constData());
  if (sink_) sink_(flat(message.text), flat(message.Shown()));
  return answer;
}

void HeadlessPrompter::SetLogSink(Sink sink) {
  if (!sink) {
    sink_ = nullptr;
    return;
  }
  sink_ = [sink = std::move(sink)](const QString& logged, const QString&) { sink(logged); };
}

void HeadlessPrompter::DoEvents() {
  if (onYield_) onYield_();
}

}  // namespace qarno
