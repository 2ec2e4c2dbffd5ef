// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The English translation of the core's texts, as a user with an English locale gets it:
// the .qm built beside the programs is installed for the lifetime of this object (with an
// application object of its own when the test has none), and taken away again after.
#include <QTranslator>
#include <memory>

class QCoreApplication;

namespace qarno::test {

class EnglishTexts {
 public:
  EnglishTexts();
  ~EnglishTexts();
  EnglishTexts(const EnglishTexts&) = delete;
  EnglishTexts& operator=(const EnglishTexts&) = delete;

  // False when the built translation could not be loaded.
  bool Loaded() const { return loaded_; }

 private:
  std::unique_ptr<QCoreApplication> app_;
  QTranslator translator_;
  bool loaded_ = false;
};

}  // namespace qarno::test
