// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WindowGeometry.h"

#include <cmath>

namespace qarno {

int TwipsToPixels(double twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch)); }

double PixelsToTwips(int pixels, double dpi) { return dpi > 0 ? std::round(pixels * kTwipsPerInch / dpi) : 0; }

double StoredTwips(const QString& text, double fallback, bool* stored) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  const bool usable = ok && std::isfinite(v) && std::fabs(v) < 1e7;
  if (stored) *stored = usable;
  return usable ? v : fallback;
}

QString TwipsText(double twips) { return QString::number(static_cast<long long>(std::llround(twips))); }

}  // namespace qarno
