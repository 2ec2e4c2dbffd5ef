// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window positions and sizes are kept in twips, 1440 to the logical inch of the screen, as
// text in the settings store; the windows work in pixels. A dialog keeps its place as an
// offset from the main window's top-left corner.
#include <QString>

namespace qarno {

constexpr double kTwipsPerInch = 1440.0;

// Pixels for twips on a screen of `dpi` logical dots per inch, rounded to the nearest.
int TwipsToPixels(double twips, double dpi);
double PixelsToTwips(int pixels, double dpi);

// A stored value in twips, or nullopt-like `fallback` when the text is empty or no number;
// `stored` tells which.
double StoredTwips(const QString& text, double fallback, bool* stored = nullptr);

// The text a position or size is stored as: whole twips.
QString TwipsText(double twips);

}  // namespace qarno
