// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Attributes.h"

#include "platform/Platform.h"

#include <array>

namespace qarno {

namespace {
struct Position {
  char16_t letter;
  uint32_t bit;
};
constexpr Position kPositions[5] = {{u'R', attr::ReadOnly},
                                    {u'S', attr::System},
                                    {u'H', attr::Hidden},
                                    {u'A', attr::Archive},
                                    {u'D', attr::Directory}};
}  // namespace

QString AttrText(uint32_t attributes) {
  // One text per combination, shared by every entry that has it: a save list of 32,765
  // entries keeps 32 strings, not 32,765.
  static const std::array<QString, 32> texts = [] {
    std::array<QString, 32> t;
    for (uint32_t combination = 0; combination < 32; ++combination) {
      QString s(5, u'-');
      for (int i = 0; i < 5; ++i) {
        if (combination & (1u << i)) s[i] = QChar(kPositions[i].letter);
      }
      t[combination] = s;
    }
    return t;
  }();
  uint32_t combination = 0;
  for (int i = 0; i < 5; ++i) {
    if (attributes & kPositions[i].bit) combination |= 1u << i;
  }
  return texts[combination];
}

uint32_t AttrBits(QStringView text) {
  uint32_t a = 0;
  if (text.size() >= 5) {
    for (int i = 0; i < 5; ++i) {
      if (text[i] != u'-') a |= kPositions[i].bit;
    }
  }
  return a == 0 ? attr::Normal : a;
}

bool IsAttrText(QStringView t) {
  if (t.size() < 5) return false;
  for (int i = 0; i < 5; ++i) {
    if (t[i] != u'-' && t[i] != QChar(kPositions[i].letter)) return false;
  }
  return true;
}

}  // namespace qarno
