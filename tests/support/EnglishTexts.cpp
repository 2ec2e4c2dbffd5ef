// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/EnglishTexts.h"

#include <QCoreApplication>

namespace qarno::test {

namespace {
int argc = 1;
char name[] = "qarno-tests";
char* argv[] = {name, nullptr};
}  // namespace

EnglishTexts::EnglishTexts() {
  if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc, argv);
  loaded_ = translator_.load(QStringLiteral("qarno_en"), QStringLiteral(QARNO_TRANSLATIONS_DIR)) &&
            QCoreApplication::installTranslator(&translator_);
}

EnglishTexts::~EnglishTexts() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace qarno::test
