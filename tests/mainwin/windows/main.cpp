// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' tests run in one QApplication on Qt's offscreen platform (also when the test
// list is read at build time, where no display is named). They speak Japanese, the program's
// own language; with QARNO_TEST_LANGUAGE=en the built English translation is installed first,
// as for a user whose locale is not Japanese (the layout checks run so once more).
#include <QApplication>
#include <QTranslator>
#include <cstdio>
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
  if (qgetenv("QARNO_TEST_LANGUAGE") == "en") {
    for (const char* name : {"qarno_en", "qarno-windows_en"}) {
      auto* english = new QTranslator(&app);
      if (!english->load(QString::fromLatin1(name), QStringLiteral(QARNO_TRANSLATIONS_DIR))) {
        std::fprintf(stderr, "no %s.qm in %s\n", name, QARNO_TRANSLATIONS_DIR);
        return 1;
      }
      QApplication::installTranslator(english);
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
