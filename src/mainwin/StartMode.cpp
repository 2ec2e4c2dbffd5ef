#include "mainwin/StartMode.h"

#include "mainwin/Qarno.h"

namespace qarno {

bool AsksForAutoRun(const QString& commandLine) {
  QString text = commandLine.trimmed();
  QString arg;
  while (Qarno::GetNextArg(text, arg)) {
    if (arg.size() >= 2 && arg[0] == u'/') {
      const QChar letter = arg[1].toUpper();
      if (letter == u'S') return true;
      if (letter == u'B') {
        // /B-1 is the one value that asks for no run; an unreadable number reads as 0.
        bool ok = false;
        const double n = arg.mid(2).trimmed().toDouble(&ok);
        if (!ok || n > -0.5) return true;
      }
    }
  }
  return false;
}

}  // namespace qarno
