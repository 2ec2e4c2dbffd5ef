// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 30 one-second ticks before the computer is shut down after an automatic run, as the
// confirmation window and the program without a display both count them.
#include <QCoreApplication>
#include <QString>

namespace qarno {

class ShutdownCountdown {
 public:
  static constexpr int kTicks = 30;

  // One tick; true when the time has run out.
  bool Tick() {
    if (counter_ < kTicks) ++counter_;
    return counter_ >= kTicks;
  }
  int Counter() const { return counter_; }
  int Remaining() const { return kTicks - counter_; }
  // "残り" n "秒"
  QString StatusText() const {
    return QCoreApplication::translate("ShutdownCountdown", "残り%n秒", nullptr, Remaining());
  }
  // The progress bar's value between its minimum and maximum.
  int Progress(int minimum, int maximum) const { return minimum + (maximum - minimum) * counter_ / kTicks; }

 private:
  int counter_ = 0;
};

}  // namespace qarno
