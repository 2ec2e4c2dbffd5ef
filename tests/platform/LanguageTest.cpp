// SPDX-License-Identifier: GPL-3.0-or-later
// Which language a user is spoken to in, and that a message keeps the program's own words in
// the log whatever language it is shown in.
#include "platform/Language.h"
#include "platform/Prompter.h"

#include <QMap>
#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(UiLanguage, JapaneseForJapaneseAndThePlainLocaleEnglishForAnyOther) {
  struct Case {
    QMap<QString, QString> env;
    UiLanguage expected;
  };
  const auto J = UiLanguage::Japanese;
  const auto E = UiLanguage::English;
  const std::vector<Case> cases = {
      {{}, J},
      {{{"LANG", "C.UTF-8"}}, J},
      {{{"LANG", "POSIX"}}, J},
      {{{"LANG", "ja_JP.UTF-8"}}, J},
      {{{"LANG", "en_US.UTF-8"}}, E},
      {{{"LANG", "de_DE@euro"}}, E},
      // The first variable set wins: LC_ALL over LC_MESSAGES over LANG.
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, J},
      {{{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "fr_FR.UTF-8"}, {"LC_ALL", "C"}}, J},
      {{{"LANG", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, E},
      // LANGUAGE's first entry decides, except in the plain locale (as gettext).
      {{{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en:ja"}}, E},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja_JP:en"}}, J},
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}}, J},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ""}}, E},
  };
  for (const Case& c : cases) {
    const auto lookup = [&c](const char* name) { return c.env.value(QString::fromLatin1(name)); };
    EXPECT_EQ(ChooseUiLanguage(lookup), c.expected) << QStringList(c.env.keys()).join(u',').toStdString() << " = "
                                                    << QStringList(c.env.values()).join(u',').toStdString();
  }
}

TEST(HeadlessPrompter, ShowsTheTranslatedTextAndLogsTheProgramsOwnWords) {
  HeadlessPrompter ui;
  ui.SetQuiet(true);
  QStringList logged;
  ui.SetLogSink([&logged](const QString& line) { logged += line; });
  const Words text = QStringLiteral("C:\\a") + Words(u'\r') + Words(QStringLiteral("ありません。"), QStringLiteral("is missing."));
  EXPECT_EQ(text.Shown(), QStringLiteral("C:\\a\ris missing."));
  static_cast<Prompter&>(ui).MsgBox(Question::PreviousListingMissing, QStringLiteral("t"), text);
  EXPECT_EQ(logged, QStringList{QStringLiteral("C:\\a / ありません。 -> OK")});
  // A sink that also takes the line as shown: a failure's notice repeats what the user read.
  QStringList shown;
  logged.clear();
  ui.SetLogSink([&logged, &shown](const QString& line, const QString& read) {
    logged += line;
    shown += read;
  });
  static_cast<Prompter&>(ui).MsgBox(Question::PreviousListingMissing, QStringLiteral("t"), text);
  EXPECT_EQ(logged, QStringList{QStringLiteral("C:\\a / ありません。 -> OK")});
  EXPECT_EQ(shown, QStringList{QStringLiteral("C:\\a / is missing. -> OK")});
}

}  // namespace
}  // namespace qarno
