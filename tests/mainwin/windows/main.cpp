// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' tests run in one QApplication on Qt's offscreen platform (also when the test
// list is read at build time, where no display is named).
#include <QApplication>
#include <gtest/gtest.h>

namespace {
// The offscreen platform says at every dialog that it cannot do what a desktop does.
QtMessageHandler previous = nullptr;
void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("This plugin does not support"))) return;
  if (previous) previous(type, context, text);
}
}  // namespace

int main(int argc, char** argv) {
  previous = qInstallMessageHandler(Quiet);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
