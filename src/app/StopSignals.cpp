// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StopSignals.h"

#include <csignal>

namespace qarno {

namespace {
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int sig) {
  if (stopRequested) {
    // The second signal: the default action, at once.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    return;
  }
  stopRequested = 1;
}
}  // namespace

void InstallStopSignals() {
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

namespace {
bool taken = false;
}  // namespace

bool StopPending() { return stopRequested && !taken; }

bool TakeStopRequest() {
  if (!stopRequested || taken) return false;
  taken = true;
  return true;
}

}  // namespace qarno
