// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language the programs speak to the user. Japanese is the program's own language: its
// texts are written in it and its stored files (listings, history, set files, logs) keep it
// in every locale. A user whose locale asks for another language sees English, the one
// translation shipped.
#include <QString>
#include <functional>

class QCoreApplication;

namespace qarno {

enum class UiLanguage { Japanese, English };

// Chooses as gettext does: LANGUAGE (its first entry) unless the locale is C or POSIX, then
// LC_ALL, LC_MESSAGES and LANG, the first one set. Japanese for "ja" and for the C/POSIX
// locale (or none at all); English for every other language.
UiLanguage ChooseUiLanguage(const std::function<QString(const char*)>& variable);
UiLanguage ChooseUiLanguage();  // from this process's environment

// Installs the translations of the chosen language into the application: the program's own
// (qarno*_en.qm from share/qarno/translations beside the programs) and Qt's (its standard
// buttons and dialogs). Japanese needs no translation of the program's texts. Call it once,
// right after the application object is made, before any text is shown. Returns the language
// installed: Japanese when the English translation cannot be found.
UiLanguage InstallUiLanguage(QCoreApplication& app, UiLanguage language = ChooseUiLanguage());

// The folder the translations are looked for in (empty when there is none).
QString TranslationsDir();

}  // namespace qarno
