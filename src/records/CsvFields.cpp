#include "records/CsvFields.h"

namespace qarno {

bool IsAttrField(QStringView t) {
  if (t.size() < 5) return false;
  return (t[0] == u'R' || t[0] == u'-') && (t[1] == u'S' || t[1] == u'-') && (t[2] == u'H' || t[2] == u'-') &&
         (t[3] == u'A' || t[3] == u'-') && (t[4] == u'D' || t[4] == u'-');
}

bool GetCsvField(QString& rest, QString& field) {
  if (rest.isEmpty()) {
    field.clear();
    return false;
  }
  const qsizetype p = rest.indexOf(u',');
  if (p < 0) {
    field = rest;
    rest.clear();
  } else {
    field = rest.left(p);
    rest = rest.mid(p + 1);
  }
  return true;
}

bool GetCsvPathField(QString& rest, QString& field) {
  if (rest.isEmpty()) {
    field.clear();
    return false;
  }
  if (rest.startsWith(u'"')) {
    const qsizetype q = rest.indexOf(u'"', 1);
    if (q < 0) {
      field = rest;
      rest.clear();
      return true;
    }
    field = rest.mid(1, q - 1);
    // The character after the closing quote is the separating comma.
    rest = q + 2 >= rest.size() ? QString() : rest.mid(q + 2);
    return true;
  }
  for (qsizetype p = rest.indexOf(u','); p >= 0; p = rest.indexOf(u',', p + 1)) {
    if (IsAttrField(QStringView(rest).mid(p + 1, 5))) {
      field = rest.left(p);
      rest = rest.mid(p + 1);
      return true;
    }
  }
  field = rest;
  rest.clear();
  return true;
}

}  // namespace qarno
