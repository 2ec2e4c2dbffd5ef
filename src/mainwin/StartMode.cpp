// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/StartMode.h"

#include "mainwin/Qarno.h"

#include <cmath>

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

std::vector<Words> SwitchProblemWords(const QString& commandLine) {
  std::vector<Words> problems;
  QString text = commandLine.trimmed();
  QString arg;
  while (Qarno::GetNextArg(text, arg)) {
    if (!arg.startsWith(u'/')) continue;
    const QString letter = arg.mid(1, 1).toUpper();
    if (letter.isEmpty() || !QStringLiteral("LBCWSD").contains(letter)) {
      problems.push_back(TrWords("StartMode", "不明なスイッチ: %1").arg(arg));
      continue;
    }
    if (letter == u"S") continue;  // takes no value; whatever follows is passed over
    // Read as the command line is: a number, rounded; no number at all reads as 0.
    const QString value = arg.mid(2).trimmed();
    bool ok = value.isEmpty();
    double n = 0;
    if (!ok) n = value.toDouble(&ok);
    ok = ok && std::isfinite(n) && std::fabs(n) <= 1e9;
    const long long v = ok ? std::llrint(n) : 0;
    bool inRange = true;
    if (letter == u"L") inRange = !value.isEmpty() && v >= 0 && v <= 4;
    else if (letter == u"C") inRange = v == 0 || v == 1;
    else if (letter == u"W") inRange = v >= 0 && v <= 2;
    if (!ok || !inRange) problems.push_back(TrWords("StartMode", "スイッチの値が不正です: %1").arg(arg));
  }
  return problems;
}

QStringList SwitchProblems(const QString& commandLine) {
  QStringList own;
  for (const Words& problem : SwitchProblemWords(commandLine)) own += problem.Own();
  return own;
}

}  // namespace qarno
