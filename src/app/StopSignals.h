// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C and the service manager's stop (SIGINT, SIGTERM) for the programs, with or without
// a display: the first signal asks the run to stop as its Cancel button would — at its next
// yield it cleans up, logs "中止されました" and ends with status 2 — and a second signal ends
// the program at once.
namespace qarno {

void InstallStopSignals();
// True the first time it is asked after a stop signal arrived: the request is taken once,
// as one click of the Cancel button, so that the clean-up of the stop is not cut short.
bool TakeStopRequest();
// True while a stop signal has arrived and nobody has taken the request yet.
bool StopPending();

}  // namespace qarno
