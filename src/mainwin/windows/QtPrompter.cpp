// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace qarno {

QString MessageBoxText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text;
}

namespace {
QList<QMessageBox::StandardButton> ButtonsOf(Buttons b) {
  switch (b) {
    case Buttons::OK: return {QMessageBox::Ok};
    case Buttons::OKCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case Buttons::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case Buttons::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case Buttons::AbortRetryIgnore: return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case Buttons::RetryCancel: return {QMessageBox::Retry, QMessageBox::Cancel};
  }
  return {QMessageBox::Ok};
}

QMessageBox::Icon IconOf(Icon icon) {
  switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Critical: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

Answer AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Ok: return Answer::OK;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    default: return Answer::Cancel;
  }
}
}  // namespace

Answer QtPrompter::MsgBox(const Message& message) {
  if (unattended_ && unattended_()) return headless_.MsgBox(message);
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = QApplication::activeWindow();
  QMessageBox box(IconOf(message.icon), message.title, MessageBoxText(message.Shown()), QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("MsgBox_") + QuestionName(message.kind));
  const auto buttons = ButtonsOf(message.buttons);
  QPushButton* first = nullptr;
  QPushButton* escape = nullptr;
  for (const auto b : buttons) {
    QPushButton* button = box.addButton(b);
    if (!first) first = button;
    if (b == QMessageBox::Cancel || (b == QMessageBox::No && !buttons.contains(QMessageBox::Cancel))) escape = button;
  }
  box.setDefaultButton(first);
  // With OK alone Escape closes as OK; Abort/Retry/Ignore offers nothing safe to Escape.
  if (!escape && message.buttons == Buttons::OK) escape = first;
  box.setEscapeButton(escape);
  box.exec();
  if (!box.clickedButton()) return SafeAnswer(message.buttons);
  return AnswerOf(box.standardButton(box.clickedButton()));
}

void QtPrompter::Beep(BeepKind) { QApplication::beep(); }

void QtPrompter::DoEvents() {
  // A run yields once per file and once per row: tens of thousands of turns of the event
  // loop would cost a run more time than its files. The loop turns at most every few
  // milliseconds instead, which a click or a repaint does not notice.
  if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsEveryMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    sinceEvents_.start();
  }
  if (onYield_) onYield_();
}

}  // namespace qarno
