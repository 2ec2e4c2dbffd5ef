// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/CsvFields.h"

#include "common/Attributes.h"

namespace qarno {

bool CsvCursor::Field(QStringView& field) {
  if (rest_.isEmpty()) {
    field = QStringView();
    return false;
  }
  const qsizetype p = rest_.indexOf(u',');
  if (p < 0) {
    field = rest_;
    rest_ = QStringView();
  } else {
    field = rest_.left(p);
    rest_ = rest_.sliced(p + 1);
  }
  return true;
}

bool CsvCursor::PathField(QStringView& field) {
  if (rest_.isEmpty()) {
    field = QStringView();
    return false;
  }
  if (rest_.startsWith(u'"')) {
    const qsizetype q = rest_.indexOf(u'"', 1);
    if (q < 0) {
      field = rest_;
      rest_ = QStringView();
      return true;
    }
    field = rest_.mid(1, q - 1);
    // The character after the closing quote is the separating comma.
    rest_ = q + 2 >= rest_.size() ? QStringView() : rest_.sliced(q + 2);
    return true;
  }
  for (qsizetype p = rest_.indexOf(u','); p >= 0; p = rest_.indexOf(u',', p + 1)) {
    if (IsAttrText(rest_.mid(p + 1, 5))) {
      field = rest_.left(p);
      rest_ = rest_.sliced(p + 1);
      return true;
    }
  }
  field = rest_;
  rest_ = QStringView();
  return true;
}

bool GetCsvField(QString& rest, QString& field) {
  CsvCursor c(rest);
  QStringView f;
  const bool ok = c.Field(f);
  field = f.toString();
  rest = c.rest().toString();
  return ok;
}

bool GetCsvPathField(QString& rest, QString& field) {
  CsvCursor c(rest);
  QStringView f;
  const bool ok = c.PathField(f);
  field = f.toString();
  rest = c.rest().toString();
  return ok;
}

}  // namespace qarno
