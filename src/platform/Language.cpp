// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Language.h"

#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qarno {

namespace {

// "ja_JP.UTF-8" → "ja"; "C.UTF-8" → "C"; "sr@latin" → "sr".
QString LanguagePart(const QString& locale) {
  qsizetype end = 0;
  while (end < locale.size() && locale[end] != u'_' && locale[end] != u'.' && locale[end] != u'@') ++end;
  return locale.left(end);
}

bool IsPlain(const QString& language) {
  return language.isEmpty() || language == QLatin1String("C") || language == QLatin1String("POSIX");
}

UiLanguage Of(const QString& language) {
  return IsPlain(language) || language == QLatin1String("ja") ? UiLanguage::Japanese : UiLanguage::English;
}

}  // namespace

UiLanguage ChooseUiLanguage(const std::function<QString(const char*)>& variable) {
  QString locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = variable(name);
    if (!locale.isEmpty()) break;
  }
  const QString language = LanguagePart(locale);
  // gettext ignores LANGUAGE in the C locale, so a plain environment stays in the
  // program's own language whatever LANGUAGE says.
  if (!IsPlain(language)) {
    const QString first = variable("LANGUAGE").section(u':', 0, 0, QString::SectionSkipEmpty);
    if (!first.isEmpty()) return Of(LanguagePart(first));
  }
  return Of(language);
}

UiLanguage ChooseUiLanguage() {
  return ChooseUiLanguage([](const char* name) { return qEnvironmentVariable(name); });
}

QString TranslationsDir() {
  const QString data = InstalledDataDir();
  if (data.isEmpty()) return QString();
  const QDir dir(data + QStringLiteral("/translations"));
  return dir.exists() ? dir.absolutePath() : QString();
}

UiLanguage InstallUiLanguage(QCoreApplication& app, UiLanguage language) {
  if (language == UiLanguage::English) {
    const QString dir = TranslationsDir();
    bool found = false;
    for (const char* name : {"qarno", "qarno-windows"}) {
      auto* translator = new QTranslator(&app);
      if (!dir.isEmpty() && translator->load(QString::fromLatin1(name) + QStringLiteral("_en"), dir)) {
        QCoreApplication::installTranslator(translator);
        found = true;
      } else {
        delete translator;
      }
    }
    if (!found) language = UiLanguage::Japanese;
  }
  // Qt's own texts (standard buttons, file dialogs): Qt speaks English untranslated.
  if (language == UiLanguage::Japanese) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(qt);
    else
      delete qt;
  }
  return language;
}

}  // namespace qarno
