// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The attribute text of a listing entry: five characters for read-only, system, hidden,
// archive and directory, each its letter or "-" ("R-HA-", "----D"). The one place where the
// text and the Windows attribute bits are turned into each other.
#include <QString>
#include <cstdint>

namespace qarno {

// The text of the bits (only the six low bits count).
QString AttrText(uint32_t attributes);
// The bits of a text; a letter other than "-" at a position sets its bit. "Normal" when none
// is set, as Windows wants it for a plain file. A text shorter than five characters is
// taken as no attributes.
uint32_t AttrBits(QStringView text);
// True when the first five characters are an attribute text (letters exact, upper case).
bool IsAttrText(QStringView text);
// True when the fifth character says "directory".
inline bool IsDirectoryAttr(QStringView text) { return text.size() >= 5 && text[4] == u'D'; }

}  // namespace qarno
